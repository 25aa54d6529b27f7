#include "engine/host_ini.h"

#include "base/text.h"
#include "base/textfile.h"

namespace hostini {

namespace {
constexpr const char* kHostIni = "Ketl2.ini";
constexpr const char* kVersionTag = "Ketl=";
}  // namespace

std::optional<std::string> ReadVersion(const std::string& path) {
    auto lines = textfile::ReadLines(path);
    if (!lines) return std::nullopt;
    for (const std::string& line : *lines) {
        // The tag may stand anywhere; the version is what follows the line's first five
        // characters all the same.
        if (line.find(kVersionTag) != std::string::npos) return line.substr(5);
    }
    return std::nullopt;
}

std::string FolderOf(const std::string& pattern) {
    size_t cut = pattern.find_last_of("\\/:");
    return cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
}

std::string HostIniIn(const std::string& pattern) {
    return FolderOf(pattern) + kHostIni;
}

std::optional<std::string> PickHostIni(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (name.find(kHostIni) != std::string::npos) return name;
    }
    return std::nullopt;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    // Greedy matching with one back-track point for the last '*'.
    size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' ||
             (pattern[p] != '*' && text::EqualsNoCase(pattern.substr(p, 1), name.substr(n, 1))))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

}  // namespace hostini
