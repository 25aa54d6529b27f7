#include <windows.h>

#include "base/ui.h"

#undef MessageBox

namespace ui {

namespace {
// The top-level window of the calling thread that is visible and unowned, as the
// framework's notion of the main window.
BOOL CALLBACK FindMainWindow(HWND hwnd, LPARAM lparam) {
    if (IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == nullptr) {
        *reinterpret_cast<HWND*>(lparam) = hwnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

void MessageBox(const std::string& text, const char* caption, unsigned style, Owner owner) {
    HWND parent = nullptr;
    if (owner == Owner::ActiveWindow) {
        parent = GetActiveWindow();
    } else {
        EnumThreadWindows(GetCurrentThreadId(), FindMainWindow, reinterpret_cast<LPARAM>(&parent));
    }
    MessageBoxA(parent, text.c_str(), caption, MB_OK | style);
}

std::vector<SinkMessage> TakeMessages() {
    return {};
}
void SetMessageListener(std::function<void(const SinkMessage&)>) {}

}  // namespace ui
