#include "win/wide_text.h"

#include <climits>
#include <vector>

namespace win {

std::wstring Widen(const std::string& text, unsigned codePage) {
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return {};
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

bool SetWindowTextFromCodePage(HWND hwnd, const std::string& text, unsigned codePage) {
    return SetWindowTextW(hwnd, Widen(text, codePage).c_str()) != FALSE;
}

std::wstring WindowTextW(HWND hwnd, int maxChars) {
    std::vector<wchar_t> buffer(static_cast<size_t>(maxChars) + 1, L'\0');
    const int n = GetWindowTextW(hwnd, buffer.data(), maxChars + 1);
    return std::wstring(buffer.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

}  // namespace win
