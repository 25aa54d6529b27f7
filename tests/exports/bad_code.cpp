// A DLL that breaks every rule of check-code.sh once; the test expects each one named.
#include <windows.h>

// A callee that pops its arguments, with an aligned SSE move against the stack.
extern "C" __declspec(dllexport) int __stdcall PopsItsArguments(int a, int b) {
    asm volatile("movaps %%xmm0, (%%esp)" ::: "memory");
    return a + b;
}

// A TLS callback of our own.
static void NTAPI OwnTlsCallback(PVOID, DWORD, PVOID) {}
extern "C" __attribute__((section(".CRT$XLB"), used)) const PIMAGE_TLS_CALLBACK ownTlsCallback =
    OwnTlsCallback;
