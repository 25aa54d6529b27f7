#include "display/advanced_button.h"

#include "display/gdi_canvas.h"
#include "win/wide_text.h"

bool CAdvancedButton::AttachToItem(int id, HWND parent, display::Color face, display::Color label,
                                   display::Color disabledLabel) {
    if (!SubclassDlgItem(id, parent)) return false;
    m_crFace = face;
    m_crLabel = label;
    m_crDisabledLabel = disabledLabel;
    m_nShape = 0;
    return true;
}

void CAdvancedButton::Redraw() {
    if (Hwnd()) RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CAdvancedButton::PreSubclassWindow() {
    const LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
    SetWindowLongPtrW(Hwnd(), GWL_STYLE, style | BS_OWNERDRAW);
}

bool CAdvancedButton::DrawItem(const DRAWITEMSTRUCT& item) {
    display::GdiShapeCanvas canvas(item.hDC);
    display::PaintAdvancedButton(canvas, m_nShape, display::FromRECT(item.rcItem), item.itemState,
                                 win::WindowTextW(Hwnd(), 511), *this);
    return true;
}
