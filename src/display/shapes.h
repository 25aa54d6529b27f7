#pragma once
// Owner-drawn button faces: the colour mix-in and the shapes that paint an elliptic or a
// bevelled rectangular button. The shapes draw through ShapeCanvas, which the Windows
// build implements with GDI and the tests with a recorder.
#include <string>

#include "display/geometry.h"

namespace display {

enum class PenStyle { Solid, Dot };

struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    Color color = 0;
    friend bool operator==(const Pen&, const Pen&) = default;
};

// The drawing operations the shapes need; each pen or brush lives for one call only.
class ShapeCanvas {
public:
    virtual ~ShapeCanvas() = default;
    // An ellipse outlined with the pen and filled with the context's current brush.
    virtual void Ellipse(const Rect& r, const Pen& pen) = 0;
    virtual void FillSolid(const Rect& r, Color color) = 0;
    // A one-pixel frame: top and left edges in the first colour, bottom and right in the second.
    virtual void Draw3dRect(const Rect& r, Color topLeft, Color bottomRight) = 0;
    virtual void DrawFocusRect(const Rect& r) = 0;
    virtual void SetBkTransparent(bool transparent) = 0;
    virtual void SetBkColor(Color color) = 0;
    // Returns the previous text colour.
    virtual Color SetTextColor(Color color) = 0;
    // One line, centred both ways within r.
    virtual void DrawCentredText(const Rect& r, const std::wstring& text) = 0;
};

// A shape for one paint. Rectangles are passed by value: each step works on its own copy.
class DrawnObject {
public:
    virtual void Draw(ShapeCanvas& dc, Rect r, unsigned state, Color face) = 0;
    virtual void DrawLabel(ShapeCanvas& dc, Rect r, const std::wstring& text, Color color);
    // Positive depth raised, negative sunken.
    virtual void DrawFrame(ShapeCanvas& dc, Rect r, int depth) = 0;
    virtual void DrawFace(ShapeCanvas& dc, Rect r, Color color) = 0;
    virtual void DrawFocus(ShapeCanvas& dc, Rect r, Color color) = 0;

protected:
    ~DrawnObject() = default;
};

class DrawnEllipse final : public DrawnObject {
public:
    void Draw(ShapeCanvas& dc, Rect r, unsigned state, Color face) override;
    void DrawFrame(ShapeCanvas& dc, Rect r, int depth) override;
    void DrawFace(ShapeCanvas& dc, Rect r, Color color) override;
    void DrawFocus(ShapeCanvas& dc, Rect r, Color color) override;
};

class DrawnRect final : public DrawnObject {
public:
    void Draw(ShapeCanvas& dc, Rect r, unsigned state, Color face) override;
    void DrawFrame(ShapeCanvas& dc, Rect r, int depth) override;
    void DrawFace(ShapeCanvas& dc, Rect r, Color color) override;
    void DrawFocus(ShapeCanvas& dc, Rect r, Color color) override;
};

// The three colours of an owner-drawn component; the owner changes them at run time and
// each change repaints the component at once.
class CAdvancedComponent {
public:
    virtual ~CAdvancedComponent() = default;
    virtual bool SetLabelColor(Color color);
    virtual bool SetFaceColor(Color color);
    virtual void Redraw() = 0;

    Color FaceColor() const { return m_crFace; }
    Color LabelColor() const { return m_crLabel; }
    Color DisabledLabelColor() const { return m_crDisabledLabel; }

protected:
    // Black on the dialog grey until the owner attaches the component.
    Color m_crFace = Rgb(192, 192, 192);
    Color m_crLabel = Rgb(0, 0, 0);
    Color m_crDisabledLabel = Rgb(128, 128, 128);
};

// Shape kind that selects the ellipse; every other value draws a rectangle.
constexpr int kShapeEllipse = 1;

// The whole face of an advanced button: shape, then the caption in the colour for its state.
void PaintAdvancedButton(ShapeCanvas& dc, int shapeKind, const Rect& item, unsigned state,
                         const std::wstring& caption, const CAdvancedComponent& colours);

}  // namespace display
