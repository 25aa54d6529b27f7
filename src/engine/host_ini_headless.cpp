// The native build searches with the same matching as FindFirstFileA, in name order (the
// order NTFS hands the names out). The folder is read with readdir: a reset searches it
// every time, and building a path object for each name costs more than the match.
// 64-bit directory offsets and inode numbers even in a 32-bit build: without them readdir
// ends early on file systems that hand out larger ones.
#ifndef _FILE_OFFSET_BITS
#define _FILE_OFFSET_BITS 64
#endif
#include <dirent.h>

#include <algorithm>

#include "engine/host_ini.h"

namespace hostini {

std::optional<std::string> Find(const std::string& folderText) {
    const std::string pattern = folderText + "*.ini";
    const std::string folder = FolderOf(pattern);
    const std::string namePattern = pattern.substr(folder.size());
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.empty() ? "." : folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            std::string_view name = entry->d_name;
            if (name == "." || name == "..") continue;
            if (MatchesPattern(name, namePattern)) names.emplace_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    if (!PickHostIni(names)) return std::nullopt;
    return HostIniIn(pattern);
}

}  // namespace hostini
