#pragma once
// Plays the operator on a second thread: waits for a window of this process by its
// caption and works its controls while the test's main thread is blocked in a modal loop.
// Results are collected, not asserted, on the driving thread; the test checks them after
// Join().
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace window_driver {

struct Search {
    const char* caption;
    HWND found;
};

inline BOOL CALLBACK MatchCaption(HWND hwnd, LPARAM lparam) {
    auto* search = reinterpret_cast<Search*>(lparam);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char caption[256] = {0};
    GetWindowTextA(hwnd, caption, sizeof caption);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) &&
        std::string(caption) == search->caption) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of this process with this caption, or null after `waitMs`.
inline HWND WaitForWindow(const char* caption, int waitMs) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    do {
        Search search{caption, nullptr};
        EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < until);
    return nullptr;
}

inline std::string Text(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}
inline std::string ItemText(HWND dialog, int id) {
    return Text(GetDlgItem(dialog, id));
}
inline void SetItemText(HWND dialog, int id, const std::string& text) {
    SetWindowTextA(GetDlgItem(dialog, id), text.c_str());
}
inline void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// Runs `drive` with the window once it appears (null when it did not within `waitMs`).
class Driver {
public:
    Driver(const char* caption, int waitMs, std::function<void(HWND)> drive)
        : m_thread([caption, waitMs, drive] { drive(WaitForWindow(caption, waitMs)); }) {}
    ~Driver() { Join(); }
    void Join() {
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::thread m_thread;
};

}  // namespace window_driver
