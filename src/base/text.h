#pragma once
// Small text helpers. Texts are 8-bit bytes as the host passed them.
#include <cstdarg>
#include <string>
#include <string_view>

namespace text {

// A null text from the host is an empty text.
inline std::string Str(const char* p) {
    return p ? std::string(p) : std::string();
}

// Upper-cases ASCII letters; other bytes stay as they are.
std::string Upper(std::string s);
// Removes blanks, tabs, carriage returns, line feeds, vertical tabs and form feeds at both ends.
std::string Trim(std::string_view s);
// The same, as a view into `s`.
std::string_view TrimmedView(std::string_view s);
// Comparison without regard to the case of ASCII letters.
bool EqualsNoCase(std::string_view a, std::string_view b);
// Replaces every occurrence of `from` (non-empty) by `to`, scanning left to right.
std::string ReplaceAll(std::string s, std::string_view from, std::string_view to);
// printf into a std::string.
std::string Format(const char* fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
std::string FormatV(const char* fmt, va_list args);

}  // namespace text
