#include "display/mem_dc.h"

CMemDC::CMemDC(HDC target) : CMemDC(target, GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER) {}

CMemDC::CMemDC(HDC target, bool printing) : m_pDC(target), m_bMemDC(!printing) {
    if (!m_bMemDC) {
        m_hDC = target;
        return;
    }
    // Only the part of the target that needs painting is buffered.
    GetClipBox(target, &m_rect);
    const int width = m_rect.right - m_rect.left;
    const int height = m_rect.bottom - m_rect.top;
    if (width <= 0 || height <= 0) return;
    m_hDC = CreateCompatibleDC(target);
    if (!m_hDC) return;
    m_bitmap = CreateCompatibleBitmap(target, width, height);
    if (!m_bitmap) {
        DeleteDC(m_hDC);
        m_hDC = nullptr;
        return;
    }
    m_oldBitmap = SelectObject(m_hDC, m_bitmap);
    // The target's coordinates address the bitmap directly.
    SetWindowOrgEx(m_hDC, m_rect.left, m_rect.top, nullptr);
}

CMemDC::~CMemDC() {
    if (!m_bMemDC) return;  // the printer's context belongs to its owner
    if (m_hDC) {
        BitBlt(m_pDC, m_rect.left, m_rect.top, m_rect.right - m_rect.left,
               m_rect.bottom - m_rect.top, m_hDC, m_rect.left, m_rect.top, SRCCOPY);
        if (m_oldBitmap) SelectObject(m_hDC, m_oldBitmap);
    }
    if (m_bitmap) DeleteObject(m_bitmap);
    if (m_hDC) DeleteDC(m_hDC);
}
