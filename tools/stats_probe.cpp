// Loads the native plug-in library by path, as the host loads the DLL, and prints what its
// small exports answer.
#include <dlfcn.h>

#include <cstdio>

int main(int argc, char** argv) {
    const char* path = argc > 1 ? argv[1] : "./libstats.so";
    void* lib = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        std::fprintf(stderr, "stats-probe: cannot load %s: %s\n", path, dlerror());
        return 1;
    }
    auto sets = reinterpret_cast<int (*)()>(dlsym(lib, "GetNumberOfSets"));
    auto name = reinterpret_cast<const char* (*)(int)>(dlsym(lib, "GetSetName"));
    auto exchg = reinterpret_cast<int (*)(const char*, const char*, const char*)>(
        dlsym(lib, "GetExchgCount0"));
    auto version = reinterpret_cast<unsigned long (*)(const char*)>(dlsym(lib, "setVersion"));
    if (!sets || !name || !exchg || !version) {
        std::fprintf(stderr, "stats-probe: %s lacks an export\n", path);
        return 1;
    }
    std::printf("plug-in:         %s\n", path);
    std::printf("GetNumberOfSets: %d\n", sets());
    std::printf("GetSetName(0):   \"%s\"\n", name(0));
    std::printf("GetSetName(1):   \"%s\"\n", name(1));
    std::printf("GetExchgCount0:  %d\n", exchg(nullptr, nullptr, nullptr));
    std::printf("setVersion:      %lu\n", version(nullptr));
    dlclose(lib);
    return 0;
}
