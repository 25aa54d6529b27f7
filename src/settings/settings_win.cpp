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

bool WriteKey(const char* key, const std::string& value) {
    return WritePrivateProfileStringA(kSection, key, value.c_str(), FileName()) != FALSE;
}

}  // namespace settings
