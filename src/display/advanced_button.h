#pragma once
// An owner-drawn push button painted as a filled ellipse or a bevelled rectangle with a
// centred caption, in colours its owner changes at run time.
#include <windows.h>

#include "display/shapes.h"
#include "win/control.h"

class CAdvancedButton : public win::SubclassedControl, public display::CAdvancedComponent {
public:
    CAdvancedButton() = default;
    ~CAdvancedButton() override = default;

    // Takes over the parent's control `id` and stores the colours; false, changing nothing,
    // when the parent has no such control. The shape kind goes back to 0 (rectangle).
    bool AttachToItem(int id, HWND parent, display::Color face, display::Color label,
                      display::Color disabledLabel);
    // Invalidates, erases and repaints the whole control at once.
    void Redraw() override;

    int m_nShape = 0;  // display::kShapeEllipse draws an ellipse, anything else a rectangle

protected:
    // Any push or check-box style becomes owner-drawn.
    void PreSubclassWindow() override;
    bool DrawItem(const DRAWITEMSTRUCT& item) override;
};
