#pragma once
// Finds this process's top-level windows by class and caption, without sending messages to
// the thread that owns them.
#include <windows.h>

#include <string>

inline std::wstring TextOf(HWND w) {
    wchar_t buffer[256] = {0};
    // Reads the stored text without sending a message to the setup thread.
    InternalGetWindowText(w, buffer, 256);
    return buffer;
}

struct FindData {
    const wchar_t* className;
    std::wstring caption;
    bool prefix;
    HWND found;
};

inline BOOL CALLBACK FindProc(HWND w, LPARAM lp) {
    auto* d = reinterpret_cast<FindData*>(lp);
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process != GetCurrentProcessId()) return TRUE;  // another test program's window
    wchar_t cls[64] = {0};
    GetClassNameW(w, cls, 64);
    if (std::wstring(cls) != d->className) return TRUE;
    std::wstring text = TextOf(w);
    if (d->prefix ? text.rfind(d->caption, 0) == 0 : text == d->caption) {
        d->found = w;
        return FALSE;
    }
    return TRUE;
}

inline HWND FindTop(const wchar_t* className, const std::wstring& caption, bool prefix = false) {
    FindData d{className, caption, prefix, nullptr};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

// The display windows by their captions: the template's until a refresh sets one.
inline HWND FindEadx() {
    HWND w = FindTop(L"#32770", L"Multiplier");
    return w ? w : FindTop(L"#32770", L"SOLSTICE-RACE", true);
}
inline HWND FindGrid() {
    HWND w = FindTop(L"#32770", L"EA Province");
    return w ? w : FindTop(L"#32770", L"Spain province", true);
}
inline bool AnyDisplay() {
    return FindEadx() != nullptr || FindGrid() != nullptr;
}

// The province boxes that show worked (magenta face), by caption, in the order of the grid's
// controls. Read from the screen: the grid must not be covered.
inline std::wstring WorkedBoxes(HWND grid) {
    std::wstring shown;
    HDC screen = GetDC(nullptr);
    for (HWND box = FindWindowExW(grid, nullptr, L"Button", nullptr); box;
         box = FindWindowExW(grid, box, L"Button", nullptr)) {
        RECT r;
        GetWindowRect(box, &r);
        // Inside the ellipse, left of the centred label.
        if (GetPixel(screen, r.left + 4, (r.top + r.bottom) / 2) != RGB(255, 0, 255)) continue;
        shown += (shown.empty() ? L"" : L" ") + TextOf(box);
    }
    ReleaseDC(nullptr, screen);
    return shown;
}
