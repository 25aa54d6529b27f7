#include <windows.h>

#include "settings/settings.h"

namespace settings {

const char* FileName() {
    return "Plugins\\SOLSTICE-RACE.ini";
}

std::string ReadKey(const char* key) {
    char buffer[100] = {0};
    GetPrivateProfileStringA(kSection, key, "", buffer, sizeof buffer, FileName());
    return buffer;
}

std::string ReadText(const char* key) {
    // The function answers size - 1 when it had to cut the value: grow and read again.
    std::string buffer(256, '\0');
    for (;;) {
        DWORD got = GetPrivateProfileStringA(kSection, key, "", buffer.data(),
                                             static_cast<DWORD>(buffer.size()), FileName());
        if (got + 1 < buffer.size()) {
            buffer.resize(got);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool WriteKey(const char* key, const std::string& value) {
    return WritePrivateProfileStringA(kSection, key, value.c_str(), FileName()) != FALSE;
}

}  // namespace settings
