#pragma once
// The plug-in's settings file: one section "Settings" in Plugins\SOLSTICE-RACE.ini below the
// host's current folder. Never cached: every read and write goes to the file. Failures are
// silent: a missing file, section or key reads as empty; a refused write changes nothing.
#include <string>

namespace settings {

// The file as handed to the profile functions (relative to the current folder).
const char* FileName();
constexpr const char* kSection = "Settings";

// The value, at most 99 characters; empty when missing.
std::string ReadKey(const char* key);
// The whole value, however long: the Cabrillo header's texts.
std::string ReadText(const char* key);
// ReadKey converted by the C library's decimal rule: 0 for missing or non-numeric text.
int ReadIntKey(const char* key);
// Writes a text value; the result is deliberately ignored by callers.
bool WriteKey(const char* key, const std::string& value);
bool WriteIntKey(const char* key, int value);

// The last position read from or written to the file for one window.
struct PositionCache {
    int x = 0;
    int y = 0;
};

// Reads the window's x and y keys; 0 (missing, zero or not a number) becomes the default.
PositionCache LoadPosition(const char* xKey, const char* yKey, int defaultX, int defaultY);

// Writes each coordinate that differs from the cache, x first, and updates the cache.
void SavePosition(PositionCache& cache, const char* xKey, const char* yKey, int left, int top);

}  // namespace settings
