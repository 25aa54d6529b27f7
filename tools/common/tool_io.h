#pragma once
// What every command-line tool does the same way: whole files in and out, the contest's
// date-time options, and where the country file is by default.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/datetime.h"
#include "host_play.h"

namespace tools {

// The whole file; false when it cannot be read.
inline bool ReadWholeFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return !in.bad();
}

// Writes `text` as the whole file; false when it cannot be written.
inline bool WriteWholeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

// "YYYY-MM-DD HH:MM", also with a T or seconds.
inline bool ParseWhen(const std::string& text, COleDateTime& out) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, used = 0;
    char sep = 0;
    int n = std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d%n:%2d%n", &y, &mo, &d, &sep, &h, &mi,
                        &used, &s, &used);
    if (n < 6 || (sep != ' ' && sep != 'T') || static_cast<size_t>(used) != text.size())
        return false;
    out = COleDateTime::FromFields(y, mo, d, h, mi, s);
    return out.m_status == COleDateTime::valid && mo <= 12 && d <= 31 && h < 24 && mi < 60;
}

// Debian's hamradio-files on Linux; on Windows cty.dat beside the program.
inline std::string DefaultCountryFile() {
#if defined(_WIN32)
    return (std::filesystem::path(DefaultPluginPath("")).parent_path() / "cty.dat").string();
#else
    return "/usr/share/hamradio-files/cty.dat";
#endif
}

}  // namespace tools
