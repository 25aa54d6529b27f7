#include "display/gdi_canvas.h"

#include <climits>

#include "win/gdi.h"

namespace display {

RECT ToRECT(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}
Rect FromRECT(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

namespace {
void Fill(HDC dc, const Rect& r, Color color) {
    win::GdiObject<HBRUSH> brush(CreateSolidBrush(color));
    if (!brush) return;
    RECT rc = ToRECT(r);
    FillRect(dc, &rc, brush.Get());
}
}  // namespace

void GdiShapeCanvas::Ellipse(const Rect& r, const Pen& pen) {
    win::GdiObject<HPEN> gdiPen(
        CreatePen(pen.style == PenStyle::Dot ? PS_DOT : PS_SOLID, pen.width, pen.color));
    win::SelectGuard select(m_dc, gdiPen.Get());
    ::Ellipse(m_dc, r.left, r.top, r.right, r.bottom);
}

void GdiShapeCanvas::FillSolid(const Rect& r, Color color) {
    Fill(m_dc, r, color);
}

void GdiShapeCanvas::Draw3dRect(const Rect& r, Color topLeft, Color bottomRight) {
    // Top and left take the first colour, bottom and right the second, one pixel each.
    Fill(m_dc, {r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    Fill(m_dc, {r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    Fill(m_dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
    Fill(m_dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

void GdiShapeCanvas::DrawFocusRect(const Rect& r) {
    RECT rc = ToRECT(r);
    ::DrawFocusRect(m_dc, &rc);
}

void GdiShapeCanvas::SetBkTransparent(bool transparent) {
    SetBkMode(m_dc, transparent ? TRANSPARENT : OPAQUE);
}

void GdiShapeCanvas::SetBkColor(Color color) {
    ::SetBkColor(m_dc, color);
}

Color GdiShapeCanvas::SetTextColor(Color color) {
    return ::SetTextColor(m_dc, color);
}

void GdiShapeCanvas::DrawCentredText(const Rect& r, const std::wstring& text) {
    RECT rc = ToRECT(r);
    DrawTextW(m_dc, text.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void GdiTableCanvas::FillSolid(const Rect& r, Color color) {
    Fill(m_dc, r, color);
}

void GdiTableCanvas::SetBkTransparent(bool transparent) {
    SetBkMode(m_dc, transparent ? TRANSPARENT : OPAQUE);
}

void GdiTableCanvas::DrawTextAt(int x, int y, const std::string& text) {
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return;
    TextOutA(m_dc, x, y, text.data(), static_cast<int>(text.size()));
}

}  // namespace display
