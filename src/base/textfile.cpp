#include "base/textfile.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

namespace textfile {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool WriteMode(const std::string& path, const std::string& content, const char* mode) {
    if (path.empty()) return false;
    File f(std::fopen(path.c_str(), mode));
    if (!f) return false;
    bool ok = content.empty() ||
              std::fwrite(content.data(), 1, content.size(), f.get()) == content.size();
    std::FILE* raw = f.release();
    return (std::fclose(raw) == 0) && ok;
}
}  // namespace

bool Exists(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

bool Write(const std::string& path, const std::string& content) {
    return WriteMode(path, content, "wb");
}

bool Append(const std::string& path, const std::string& content) {
    return WriteMode(path, content, "ab");
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        size_t stop = end == std::string::npos ? text.size() : end;
        size_t cut = stop > pos && text[stop - 1] == '\r' ? stop - 1 : stop;
        lines.emplace_back(text, pos, cut - pos);
        if (end == std::string::npos) break;
        pos = end + 1;
    }
    return lines;
}

std::optional<std::vector<std::string>> ReadLines(const std::string& path) {
    if (path.empty()) return std::nullopt;
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return std::nullopt;
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0)
        text.append(buf, n);
    // A read that broke off is no file content: callers would take a part for the whole.
    if (std::ferror(f.get())) return std::nullopt;
    return SplitLines(text);
}

}  // namespace textfile
