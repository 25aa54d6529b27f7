#pragma once
// Owners for GDI handles: each releases its handle when it goes out of scope.
#include <windows.h>

#include <utility>

namespace win {

// Any object for DeleteObject: pens, brushes, bitmaps, fonts.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle h) : m_h(h) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& o) noexcept : m_h(std::exchange(o.m_h, nullptr)) {}
    GdiObject& operator=(GdiObject&& o) noexcept {
        if (this != &o) {
            Reset();
            m_h = std::exchange(o.m_h, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    void Reset(Handle h = nullptr) {
        if (m_h) DeleteObject(m_h);
        m_h = h;
    }
    Handle Get() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    Handle m_h = nullptr;
};

// Selects an object into a context and puts the previous one back, so that the object can
// be deleted afterwards.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : m_dc(dc), m_old(obj ? SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard() {
        if (m_old) SelectObject(m_dc, m_old);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// A window's context from GetDC, released with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~WindowDC() {
        if (m_dc) ReleaseDC(m_hwnd, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// A context we created (CreateCompatibleDC), deleted with DeleteDC.
class OwnedDC {
public:
    OwnedDC() = default;
    explicit OwnedDC(HDC dc) : m_dc(dc) {}
    ~OwnedDC() { Reset(); }
    OwnedDC(const OwnedDC&) = delete;
    OwnedDC& operator=(const OwnedDC&) = delete;
    void Reset(HDC dc = nullptr) {
        if (m_dc) DeleteDC(m_dc);
        m_dc = dc;
    }
    HDC Get() const { return m_dc; }

private:
    HDC m_dc = nullptr;
};

}  // namespace win
