#pragma once
// An off-screen context for one paint: the picture is collected in a bitmap the size of the
// target's clip box and copied onto the target in one block when the object is destroyed,
// so a control that repaints often does not flicker. A printing target is drawn on directly.
#include <windows.h>

class CMemDC {
public:
    // Printing is read from the target's technology (a raster printer).
    explicit CMemDC(HDC target);
    CMemDC(HDC target, bool printing);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    // Where to draw, in the target's logical coordinates. Null when the off-screen context
    // could not be made; drawing on it then does nothing and the target keeps its contents.
    HDC Hdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    const RECT& Area() const { return m_rect; }
    bool IsOffScreen() const { return m_bMemDC; }

private:
    HDC m_pDC = nullptr;  // the target, not owned
    HDC m_hDC = nullptr;  // the memory context, or the target's when printing
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    RECT m_rect{};
    bool m_bMemDC = false;
};
