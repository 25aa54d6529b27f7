#include "display/shapes.h"

#include <cstdlib>

namespace display {

namespace {
constexpr Color kOutline = Rgb(128, 128, 128);
constexpr Color kNearBlack = Rgb(1, 1, 1);
}  // namespace

void DrawnObject::DrawLabel(ShapeCanvas& dc, Rect r, const std::wstring& text, Color color) {
    Color old = dc.SetTextColor(color);
    dc.SetBkTransparent(true);
    dc.DrawCentredText(r, text);
    dc.SetTextColor(old);
}

void DrawnEllipse::Draw(ShapeCanvas& dc, Rect r, unsigned state, Color face) {
    r = r.Shrunk(1);
    DrawFrame(dc, r, 2);
    r = r.Shrunk(1);
    DrawFace(dc, r, face);
    if (state & kStateFocus) {
        // The pressed look needs the focus: a click always focuses the button first.
        if (state & kStateSelected) {
            r = r.Shrunk(-1);
            DrawFrame(dc, r, -1);
            r = r.Shrunk(1);
            DrawFrame(dc, r, -1);
        }
        DrawFace(dc, r, face);
        r = r.Shrunk(2);
        DrawFocus(dc, r, face);
        r = r.Shrunk(1);
        DrawFace(dc, r, face);
    }
}

void DrawnEllipse::DrawFrame(ShapeCanvas& dc, Rect r, int depth) {
    dc.Ellipse(r, {PenStyle::Solid, 2, depth >= 0 ? kOutline : kNearBlack});
}

void DrawnEllipse::DrawFace(ShapeCanvas& dc, Rect r, Color color) {
    // Concentric rings of a wide pen fill the shape without a brush of the face colour.
    while (!r.IsEmpty()) {
        r = r.Shrunk(1);
        dc.Ellipse(r, {PenStyle::Solid, 3, color});
    }
}

void DrawnEllipse::DrawFocus(ShapeCanvas& dc, Rect r, Color color) {
    // The gaps of the dotted ring show the face colour.
    dc.SetBkTransparent(false);
    dc.SetBkColor(color);
    dc.Ellipse(r, {PenStyle::Dot, 1, kNearBlack});
}

void DrawnRect::Draw(ShapeCanvas& dc, Rect r, unsigned state, Color face) {
    DrawFace(dc, r, face);
    DrawFrame(dc, r, 2);
    if (state & kStateFocus) {
        if (state & kStateSelected) DrawFrame(dc, r, -1);
        r = r.Shrunk(2);
        DrawFocus(dc, r, face);
    }
}

void DrawnRect::DrawFrame(ShapeCanvas& dc, Rect r, int depth) {
    const int rings = std::abs(depth);
    for (int c = 1; c <= rings; ++c) {
        Color light = Rgb(255, 255, 255);
        Color dark = Rgb(128, 128, 128);
        if (rings > 1) {
            const int lightLevel = 63 / c + 192;
            const int darkLevel = 255 / (c + 1);
            light = PaletteRgb(lightLevel, lightLevel, lightLevel);
            dark = PaletteRgb(darkLevel, darkLevel, darkLevel);
        }
        if (depth > 0) {
            dc.Draw3dRect(r, light, dark);
        } else {
            dc.Draw3dRect(r, dark, light);
        }
        r = r.Shrunk(1);
    }
}

void DrawnRect::DrawFace(ShapeCanvas& dc, Rect r, Color color) {
    dc.FillSolid(r, color);
}

void DrawnRect::DrawFocus(ShapeCanvas& dc, Rect r, Color) {
    dc.DrawFocusRect(r);
}

bool CAdvancedComponent::SetLabelColor(Color color) {
    m_crLabel = color;
    Redraw();
    return true;
}

bool CAdvancedComponent::SetFaceColor(Color color) {
    m_crFace = color;
    Redraw();
    return true;
}

void PaintAdvancedButton(ShapeCanvas& dc, int shapeKind, const Rect& item, unsigned state,
                         const std::wstring& caption, const CAdvancedComponent& colours) {
    DrawnEllipse ellipse;
    DrawnRect rect;
    DrawnObject& shape = shapeKind == kShapeEllipse ? static_cast<DrawnObject&>(ellipse)
                                                    : static_cast<DrawnObject&>(rect);
    shape.Draw(dc, item, state, colours.FaceColor());
    shape.DrawLabel(dc, item, caption,
                    (state & kStateDisabled) ? colours.DisabledLabelColor() : colours.LabelColor());
}

}  // namespace display
