#include "plugin.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tools {

namespace {

void* OpenLibrary(const std::string& path, std::string& error) {
#if defined(_WIN32)
    HMODULE m = LoadLibraryA(path.c_str());
    if (!m) error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(m);
#else
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) error = dlerror();
    return h;
#endif
}

void* Symbol(void* handle, const char* name) {
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
    return dlsym(handle, name);
#endif
}

template <typename F>
bool Resolve(void* handle, F& target, const char* name, std::string& error) {
    target = reinterpret_cast<F>(Symbol(handle, name));
    if (!target) error = std::string("the library has no export ") + name;
    return target != nullptr;
}

}  // namespace

bool Plugin::Load(const std::string& path, std::string& error) {
    handle = OpenLibrary(path, error);
    if (!handle) return false;
    bool ok = Resolve(handle, setVersion, "setVersion", error) &&
              Resolve(handle, GetNumberOfSets, "GetNumberOfSets", error) &&
              Resolve(handle, GetExchgCount0, "GetExchgCount0", error) &&
              Resolve(handle, GetSetName, "GetSetName", error) &&
              Resolve(handle, CheckCall0, "CheckCall0", error) &&
              Resolve(handle, IsValidExchg0, "IsValidExchg0", error) &&
              Resolve(handle, ResetStats0, "ResetStats0", error) &&
              Resolve(handle, AddData0, "AddData0", error) &&
              Resolve(handle, RemoveData0, "RemoveData0", error) &&
              Resolve(handle, GetResult0, "GetResult0", error);
    if (!ok) Unload();
    return ok;
}

void Plugin::Unload() {
    if (!handle) return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
    handle = nullptr;
}

}  // namespace tools
