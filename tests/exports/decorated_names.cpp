// Declarations of the eleven exports as the host's compiler sees them. Compiled for the
// 32-bit Microsoft ABI only to read the decorated names; taking each address makes the
// compiler emit an undefined reference per function, which llvm-nm then lists.
class COleDateTime;
typedef const char* T;
typedef COleDateTime* D;

unsigned long __cdecl setVersion(T);
int __cdecl GetNumberOfSets();
int __cdecl StatsGetExchgCount0(T, T, T);
T __cdecl GetSetName(int);
void __cdecl SetupSet0();
int __cdecl CheckCallFunc0(T, unsigned int, unsigned int, T, T, T, T, T, T, T, T, T, T, T, int, int,
                           int, double, double, T, T, T, T, T, T, T, char*, char*);
int __cdecl StatsIsValidExchg0(T, T, T, T, int, int, int);
int __cdecl ResetStats0(T, int, T, D, D, T, T, T, T, T, T, T, T, T, T, int, int, int, double, double,
                        T, T, T);
int __cdecl AddData0(T, T, D, D, D, D, unsigned int, unsigned int, T, T, T, T, T, T, T, T, T, T, T, T,
                     T, T, T, int, int, int, double, double, T, T, T, T, T);
int __cdecl RemoveData0(T, T, D, D, D, D, unsigned int, unsigned int, T, T, T, T, T, T, T, T, T, T, T,
                        T, T, T, T, int, int, int, double, double, T, T, T, T, T);
T __cdecl GetResult0(int*);

extern void* const kAddresses[];
void* const kAddresses[] = {
    (void*)&setVersion,  (void*)&GetNumberOfSets, (void*)&StatsGetExchgCount0,
    (void*)&GetSetName,  (void*)&SetupSet0,       (void*)&CheckCallFunc0,
    (void*)&StatsIsValidExchg0, (void*)&ResetStats0, (void*)&AddData0,
    (void*)&RemoveData0, (void*)&GetResult0,
};
