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

std::optional<std::vector<std::string>> ReadLines(const std::string& path) {
    if (path.empty()) return std::nullopt;
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return std::nullopt;
    std::vector<std::string> lines;
    std::string line;
    bool pending = false;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) {
        for (size_t i = 0; i < n; ++i) {
            if (buf[i] == '\n') {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                lines.push_back(std::move(line));
                line.clear();
                pending = false;
            } else {
                line += buf[i];
                pending = true;
            }
        }
    }
    // A read that broke off is no file content: callers would take a part for the whole.
    if (std::ferror(f.get())) return std::nullopt;
    if (pending) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace textfile
