#include <windows.h>

#include <memory>

#include "engine/host_ini.h"

namespace hostini {

namespace {
struct FindCloser {
    void operator()(HANDLE h) const { FindClose(h); }
};
}  // namespace

std::optional<std::string> Find(const std::string& folderText) {
    const std::string pattern = folderText + "*.ini";
    WIN32_FIND_DATAA data;
    HANDLE raw = FindFirstFileA(pattern.c_str(), &data);
    if (raw == INVALID_HANDLE_VALUE) return std::nullopt;
    std::unique_ptr<void, FindCloser> search(raw);
    do {
        if (PickHostIni({data.cFileName})) return HostIniIn(pattern);
    } while (FindNextFileA(raw, &data));
    return std::nullopt;
}

}  // namespace hostini
