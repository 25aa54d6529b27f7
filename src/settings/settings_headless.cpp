// Settings through SimpleIni with the observable rules of the Windows profile functions:
// keys without regard to case, values cut to 99 characters, nothing created when the
// Plugins folder is missing.
// Values are 8-bit bytes in the ANSI code page: no UTF-8 conversion or validation.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <unistd.h>

#include <mutex>

#include "settings/settings.h"

namespace settings {

namespace {
// The Windows functions serialise access to the file; so do we, within the process.
std::mutex& FileMutex() {
    static std::mutex mutex;
    return mutex;
}
}  // namespace

const char* FileName() {
    return "Plugins/SOLSTICE-RACE.ini";
}

std::string ReadText(const char* key) {
    if (key == nullptr) return std::string();
    std::lock_guard<std::mutex> guard(FileMutex());
    CSimpleIniA ini;
    if (ini.LoadFile(FileName()) < 0) return std::string();
    return ini.GetValue(kSection, key, "");
}

std::string ReadKey(const char* key) {
    std::string value = ReadText(key);
    if (value.size() > 99) value.resize(99);
    return value;
}

bool WriteKey(const char* key, const std::string& value) {
    if (key == nullptr) return false;
    std::lock_guard<std::mutex> guard(FileMutex());
    CSimpleIniA ini;
    ini.SetSpaces(false);
    SI_Error loaded = ini.LoadFile(FileName());
    // A file that exists but cannot be read must not be replaced by a one-key file.
    if (loaded < 0 && (loaded != SI_FILE || access(FileName(), F_OK) == 0)) return false;
    ini.SetValue(kSection, key, value.c_str());
    return ini.SaveFile(FileName(), false) >= 0;
}

}  // namespace settings
