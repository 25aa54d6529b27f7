// Settings with the observable rules of the Windows profile functions: section and key names
// without regard to case, blanks around names and values ignored, a value in matching quotes
// read without them, the first of repeated keys wins, values cut to 99 characters by
// ReadKey, nothing created when the Plugins folder is missing. A write changes the one line
// of its key (or adds it) and keeps every other byte of the file as it was; a write of the
// value already there leaves the file alone.
// Values are 8-bit bytes in the ANSI code page: no UTF-8 conversion or validation.
//
// The file is read with one read and written with one write per call, without building a
// tree of it: the plug-in reads and writes a few dozen keys at every reset.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <string_view>

#include "base/text.h"
#include "settings/settings.h"

namespace settings {

namespace {

// The Windows functions serialise access to the file; so do we, within the process.
std::mutex& FileMutex() {
    static std::mutex mutex;
    return mutex;
}

// Appends what is left of an open file to `file`; false when a read fails.
bool ReadAll(int fd, std::string& file) {
    char buffer[4096];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        file.append(buffer, static_cast<size_t>(got));
    }
}

// The file's bytes; empty when it does not exist, nullopt when it exists but cannot be read.
std::optional<std::string> Load() {
    int fd = open(FileName(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::string();
        return std::nullopt;
    }
    std::string file;
    bool ok = ReadAll(fd, file);
    close(fd);
    if (!ok) return std::nullopt;
    return file;
}

// Replaces the whole content of an open file.
bool Overwrite(int fd, const std::string& file) {
    size_t done = 0;
    while (done < file.size()) {
        ssize_t put = pwrite(fd, file.data() + done, file.size() - done, static_cast<off_t>(done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        done += static_cast<size_t>(put);
    }
    return ftruncate(fd, static_cast<off_t>(done)) == 0;
}

// Where a key stands in the file: the line of the key, or where a new key of the section
// goes (after its last non-blank line), or nothing when the section is missing.
struct Place {
    bool sectionFound = false;
    bool keyFound = false;
    size_t lineBegin = 0;  // the key's line, or the insertion point
    size_t lineEnd = 0;    // the end of the key's line, before its line break
    std::string_view key;  // the key as the file spells it
    std::string_view value;
};

Place Find(std::string_view file, std::string_view key) {
    Place place;
    bool inSection = false;
    size_t pos = 0;
    while (pos < file.size()) {
        size_t end = file.find('\n', pos);
        if (end == std::string_view::npos) end = file.size();
        size_t next = end < file.size() ? end + 1 : end;
        std::string_view line = text::TrimmedView(file.substr(pos, end - pos));
        if (!line.empty() && line.front() == '[') {
            if (inSection) return place;  // the section ended without the key
            size_t close = line.rfind(']');
            std::string_view name = line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1);
            if (text::EqualsNoCase(text::TrimmedView(name), kSection)) {
                inSection = place.sectionFound = true;
                place.lineBegin = next;
            }
        } else if (inSection && !line.empty() && line.front() != ';') {
            size_t eq = line.find('=');
            std::string_view name = text::TrimmedView(line.substr(0, eq));
            if (text::EqualsNoCase(name, key)) {
                place.keyFound = true;
                place.lineBegin = pos;
                // A CR LF line keeps its CR.
                place.lineEnd = end > pos && file[end - 1] == '\r' ? end - 1 : end;
                place.key = name;
                place.value = eq == std::string_view::npos ? std::string_view()
                                                           : text::TrimmedView(line.substr(eq + 1));
                return place;
            }
            place.lineBegin = next;
        }
        pos = next;
    }
    return place;
}

// The key's line set to the value, the rest of the file as it was.
std::string WithValue(const std::string& file, const Place& place, const char* key,
                      const std::string& value) {
    std::string out;
    out.reserve(file.size() + std::strlen(key) + value.size() + 16);
    if (place.keyFound) {
        out.append(file, 0, place.lineBegin);
        out.append(place.key).append("=").append(value);
        out.append(file, place.lineEnd, std::string::npos);
    } else if (place.sectionFound) {
        out.append(file, 0, place.lineBegin);
        // A last line without its line break gets one before the new key.
        if (place.lineBegin > 0 && file[place.lineBegin - 1] != '\n') out += '\n';
        out.append(key).append("=").append(value).append("\n");
        out.append(file, place.lineBegin, std::string::npos);
    } else {
        out = file;
        if (!out.empty() && out.back() != '\n') out += '\n';
        if (!out.empty()) out += '\n';
        out.append("[").append(kSection).append("]\n").append(key).append("=").append(value).append(
            "\n");
    }
    return out;
}

}  // namespace

const char* FileName() {
    return "Plugins/SOLSTICE-RACE.ini";
}

std::string ReadText(const char* key) {
    if (key == nullptr) return std::string();
    std::lock_guard<std::mutex> guard(FileMutex());
    std::optional<std::string> file = Load();
    if (!file) return std::string();
    std::string_view value = Find(*file, key).value;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::string ReadKey(const char* key) {
    std::string value = ReadText(key);
    if (value.size() > 99) value.resize(99);
    return value;
}

bool WriteKey(const char* key, const std::string& value) {
    if (key == nullptr) return false;
    std::lock_guard<std::mutex> guard(FileMutex());
    // One opening serves the read and the write. A file that exists but cannot be read is not
    // replaced by a one-key file; a missing Plugins folder fails the opening.
    int fd = open(FileName(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    std::string file;
    bool ok = ReadAll(fd, file);
    if (ok) {
        Place place = Find(file, key);
        // As the profile functions do, a value that is already there is not written again:
        // the results write the claimed score at every refresh.
        if (!place.keyFound || place.value != value) {
            ok = Overwrite(fd, WithValue(file, place, key, value));
            // Refused half-way (a full disk): the old content fits where it stood.
            if (!ok) Overwrite(fd, file);
        }
    }
    return close(fd) == 0 && ok;
}

}  // namespace settings
