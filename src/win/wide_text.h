#pragma once
// Window texts are stored as 8-bit bytes in a known code page (the Russian texts in 1251);
// they are converted to UTF-16 and set through the wide functions, so that they show right
// whatever the system's ANSI code page is.
#include <windows.h>

#include <string>

namespace win {

constexpr unsigned kCyrillicCodePage = 1251;

std::wstring Widen(const std::string& text, unsigned codePage);
bool SetWindowTextFromCodePage(HWND hwnd, const std::string& text, unsigned codePage);
// The window's text, at most maxChars characters.
std::wstring WindowTextW(HWND hwnd, int maxChars = 511);

}  // namespace win
