// The native build searches with the same matching as FindFirstFileA, in name order (the
// order NTFS hands the names out).
#include <algorithm>
#include <filesystem>

#include "engine/host_ini.h"

namespace hostini {

std::optional<std::string> Find(const std::string& folderText) {
    const std::string pattern = folderText + "*.ini";
    const std::string folder = FolderOf(pattern);
    const std::string namePattern = pattern.substr(folder.size());
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (MatchesPattern(name, namePattern)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    if (!PickHostIni(names)) return std::nullopt;
    return HostIniIn(pattern);
}

}  // namespace hostini
