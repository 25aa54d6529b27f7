// Owner-drawn button faces: what each shape draws for each state, recorded on a fake canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "display/shapes.h"

using namespace display;

namespace {

struct Op {
    std::string kind;  // "ellipse", "fill", "3d", "focus", "bk", "bkcolor", "text", "textcolor"
    Rect rect;
    Pen pen;
    Color a = 0;
    Color b = 0;
    std::wstring text;
};

Op Make(std::string kind, Rect rect = {}, Pen pen = {}, Color a = 0, Color b = 0,
        std::wstring text = {}) {
    return Op{std::move(kind), rect, pen, a, b, std::move(text)};
}

class RecordingCanvas : public ShapeCanvas {
public:
    std::vector<Op> ops;
    Color textColor = Rgb(0, 0, 0);

    void Ellipse(const Rect& r, const Pen& pen) override { ops.push_back(Make("ellipse", r, pen)); }
    void FillSolid(const Rect& r, Color c) override { ops.push_back(Make("fill", r, {}, c)); }
    void Draw3dRect(const Rect& r, Color tl, Color br) override {
        ops.push_back(Make("3d", r, {}, tl, br));
    }
    void DrawFocusRect(const Rect& r) override { ops.push_back(Make("focus", r)); }
    void SetBkTransparent(bool t) override { ops.push_back(Make("bk", {}, {}, t ? 1u : 0u)); }
    void SetBkColor(Color c) override { ops.push_back(Make("bkcolor", {}, {}, c)); }
    Color SetTextColor(Color c) override {
        ops.push_back(Make("textcolor", {}, {}, c));
        return std::exchange(textColor, c);
    }
    void DrawCentredText(const Rect& r, const std::wstring& t) override {
        ops.push_back(Make("text", r, {}, textColor, 0, t));
    }

    std::vector<Op> Only(const std::string& kind) const {
        std::vector<Op> out;
        for (const Op& op : ops)
            if (op.kind == kind) out.push_back(op);
        return out;
    }
};

class Colours : public CAdvancedComponent {
public:
    Colours(Color face, Color label, Color disabled) {
        m_crFace = face;
        m_crLabel = label;
        m_crDisabledLabel = disabled;
    }
    void Redraw() override { ++redraws; }
    int redraws = 0;
};

const Rect kItem{0, 0, 40, 20};
const Color kGreen = Rgb(0, 255, 0);
const Color kGrey = Rgb(128, 128, 128);
const Color kNearBlack = Rgb(1, 1, 1);
const Pen kOutline{PenStyle::Solid, 2, kGrey};
const Pen kSunkenOutline{PenStyle::Solid, 2, kNearBlack};

// The ellipses one concentric fill of `r` draws.
std::vector<Rect> FaceRings(Rect r) {
    std::vector<Rect> rings;
    while (!r.IsEmpty()) {
        r = r.Shrunk(1);
        rings.push_back(r);
    }
    return rings;
}

TEST(DrawnEllipse, NormalIsGreyRimAroundSolidConcentricFace) {
    RecordingCanvas dc;
    DrawnEllipse().Draw(dc, kItem, 0, kGreen);
    auto ellipses = dc.Only("ellipse");
    ASSERT_FALSE(ellipses.empty());
    EXPECT_EQ(ellipses[0].rect, (Rect{1, 1, 39, 19}));
    EXPECT_EQ(ellipses[0].pen, kOutline);
    // A 36 x 16 face needs eight rings of the wide pen, the last one degenerate.
    std::vector<Rect> expected = FaceRings({2, 2, 38, 18});
    ASSERT_EQ(ellipses.size(), 1 + expected.size());
    EXPECT_EQ(expected.size(), 8u);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(ellipses[i + 1].rect, expected[i]) << i;
        EXPECT_EQ(ellipses[i + 1].pen, (Pen{PenStyle::Solid, 3, kGreen})) << i;
    }
    EXPECT_TRUE(dc.Only("focus").empty());
}

TEST(DrawnEllipse, FaceOfAnEmptyRectangleDrawsNothing) {
    RecordingCanvas dc;
    DrawnEllipse().DrawFace(dc, {5, 5, 5, 20}, kGreen);
    DrawnEllipse().DrawFace(dc, {5, 5, 3, 3}, kGreen);
    EXPECT_TRUE(dc.ops.empty());
}

TEST(DrawnEllipse, FrameColourDependsOnlyOnTheSignOfTheDepth) {
    RecordingCanvas dc;
    DrawnEllipse shape;
    shape.DrawFrame(dc, kItem, 0);
    shape.DrawFrame(dc, kItem, 5);
    shape.DrawFrame(dc, kItem, -1);
    shape.DrawFrame(dc, kItem, -7);
    auto e = dc.Only("ellipse");
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].pen, kOutline);
    EXPECT_EQ(e[1].pen, kOutline);
    EXPECT_EQ(e[2].pen, kSunkenOutline);
    EXPECT_EQ(e[3].pen, kSunkenOutline);
}

TEST(DrawnEllipse, FocusAddsDottedRingWhoseGapsShowTheFace) {
    RecordingCanvas dc;
    DrawnEllipse().Draw(dc, kItem, kStateFocus, kGreen);
    auto ellipses = dc.Only("ellipse");
    auto dotted = std::find_if(ellipses.begin(), ellipses.end(),
                               [](const Op& op) { return op.pen.style == PenStyle::Dot; });
    ASSERT_NE(dotted, ellipses.end());
    EXPECT_EQ(dotted->rect, (Rect{4, 4, 36, 16}));
    EXPECT_EQ(dotted->pen, (Pen{PenStyle::Dot, 1, kNearBlack}));
    // Opaque background in the face colour, set before the dotted ring.
    auto bk = dc.Only("bk");
    auto bkColour = dc.Only("bkcolor");
    ASSERT_FALSE(bk.empty());
    EXPECT_EQ(bk.front().a, 0u);
    ASSERT_EQ(bkColour.size(), 1u);
    EXPECT_EQ(bkColour[0].a, kGreen);
    // The face inside the ring is filled again, starting one pixel further in.
    EXPECT_EQ(ellipses.back().pen.color, kGreen);
    EXPECT_NE(std::find_if(ellipses.begin(), ellipses.end(),
                           [](const Op& op) {
                               return op.rect == Rect{6, 6, 34, 14};
                           }),
              ellipses.end());
    // No near-black outline without the pressed bit.
    for (const Op& op : ellipses)
        EXPECT_NE(op.pen, kSunkenOutline);
}

TEST(DrawnEllipse, PressedWithFocusDrawsTheOutlineTwiceInNearBlack) {
    RecordingCanvas dc;
    DrawnEllipse().Draw(dc, kItem, kStateFocus | kStateSelected, kGreen);
    std::vector<Rect> sunken;
    for (const Op& op : dc.Only("ellipse"))
        if (op.pen == kSunkenOutline) sunken.push_back(op.rect);
    ASSERT_EQ(sunken.size(), 2u);
    EXPECT_EQ(sunken[0], (Rect{1, 1, 39, 19}));
    EXPECT_EQ(sunken[1], (Rect{2, 2, 38, 18}));
}

TEST(DrawnEllipse, PressedWithoutFocusLooksNormal) {
    RecordingCanvas normal, pressed;
    DrawnEllipse().Draw(normal, kItem, 0, kGreen);
    DrawnEllipse().Draw(pressed, kItem, kStateSelected, kGreen);
    ASSERT_EQ(normal.ops.size(), pressed.ops.size());
    for (size_t i = 0; i < normal.ops.size(); ++i) {
        EXPECT_EQ(normal.ops[i].kind, pressed.ops[i].kind);
        EXPECT_EQ(normal.ops[i].rect, pressed.ops[i].rect);
        EXPECT_EQ(normal.ops[i].pen, pressed.ops[i].pen);
    }
}

TEST(DrawnRect, NormalIsFaceThenTwoRingRaisedBevel) {
    RecordingCanvas dc;
    DrawnRect().Draw(dc, kItem, 0, kGreen);
    ASSERT_EQ(dc.ops.size(), 3u);
    EXPECT_EQ(dc.ops[0].kind, "fill");
    EXPECT_EQ(dc.ops[0].rect, kItem);
    EXPECT_EQ(dc.ops[0].a, kGreen);
    // Ring 1 light 255 dark 127, ring 2 light 223 dark 85, palette-relative.
    EXPECT_EQ(dc.ops[1].rect, kItem);
    EXPECT_EQ(dc.ops[1].a, 0x02FFFFFFu);
    EXPECT_EQ(dc.ops[1].b, 0x027F7F7Fu);
    EXPECT_EQ(dc.ops[2].rect, kItem.Shrunk(1));
    EXPECT_EQ(dc.ops[2].a, 0x02DFDFDFu);
    EXPECT_EQ(dc.ops[2].b, 0x02555555u);
}

TEST(DrawnRect, FrameRingsFollowTheDepth) {
    RecordingCanvas dc;
    DrawnRect shape;
    shape.DrawFrame(dc, kItem, 0);
    EXPECT_TRUE(dc.ops.empty());
    shape.DrawFrame(dc, kItem, 1);
    shape.DrawFrame(dc, kItem, -1);
    ASSERT_EQ(dc.ops.size(), 2u);
    EXPECT_EQ(dc.ops[0].a, Rgb(255, 255, 255));
    EXPECT_EQ(dc.ops[0].b, kGrey);
    EXPECT_EQ(dc.ops[1].a, kGrey);  // sunken: grey top-left, white bottom-right
    EXPECT_EQ(dc.ops[1].b, Rgb(255, 255, 255));
    dc.ops.clear();
    shape.DrawFrame(dc, kItem, -3);
    ASSERT_EQ(dc.ops.size(), 3u);
    EXPECT_EQ(dc.ops[2].rect, kItem.Shrunk(2));
    // Ring 3: light 63/3 + 192 = 213, dark 255/4 = 63, reversed for a sunken frame.
    EXPECT_EQ(dc.ops[2].a, PaletteRgb(63, 63, 63));
    EXPECT_EQ(dc.ops[2].b, PaletteRgb(213, 213, 213));
}

TEST(DrawnRect, FocusAndPressedLooks) {
    RecordingCanvas focused;
    DrawnRect().Draw(focused, kItem, kStateFocus, kGreen);
    auto rects = focused.Only("focus");
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, kItem.Shrunk(2));
    EXPECT_EQ(focused.Only("3d").size(), 2u);

    RecordingCanvas pressed;
    DrawnRect().Draw(pressed, kItem, kStateFocus | kStateSelected, kGreen);
    auto frames = pressed.Only("3d");
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[2].rect, kItem);  // the outermost ring turns sunken
    EXPECT_EQ(frames[2].a, kGrey);
    EXPECT_EQ(frames[2].b, Rgb(255, 255, 255));
    EXPECT_EQ(pressed.Only("focus").size(), 1u);

    RecordingCanvas noFocus;
    DrawnRect().Draw(noFocus, kItem, kStateSelected, kGreen);
    EXPECT_EQ(noFocus.Only("3d").size(), 2u);
    EXPECT_TRUE(noFocus.Only("focus").empty());
}

TEST(AdvancedButtonPaint, ShapeKindChoosesTheShapeAndCaptionIsCentredInTheLabelColour) {
    Colours colours(kGreen, kNearBlack, kGrey);
    RecordingCanvas ellipse;
    PaintAdvancedButton(ellipse, kShapeEllipse, kItem, 0, L"GR", colours);
    EXPECT_FALSE(ellipse.Only("ellipse").empty());
    EXPECT_TRUE(ellipse.Only("3d").empty());
    auto text = ellipse.Only("text");
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].text, L"GR");
    EXPECT_EQ(text[0].rect, kItem);
    EXPECT_EQ(text[0].a, kNearBlack);
    // Transparent behind the text, old text colour back afterwards.
    EXPECT_EQ(ellipse.ops.back().kind, "textcolor");
    EXPECT_EQ(ellipse.textColor, Rgb(0, 0, 0));
    EXPECT_EQ(ellipse.ops[ellipse.ops.size() - 3].kind, "bk");
    EXPECT_EQ(ellipse.ops[ellipse.ops.size() - 3].a, 1u);

    for (int kind : {0, 2, -1}) {
        RecordingCanvas rect;
        PaintAdvancedButton(rect, kind, kItem, 0, L"GR", colours);
        EXPECT_TRUE(rect.Only("ellipse").empty()) << kind;
        EXPECT_EQ(rect.Only("3d").size(), 2u) << kind;
    }
}

TEST(AdvancedButtonPaint, DisabledCaptionUsesTheDisabledLabelColour) {
    Colours colours(kGreen, kNearBlack, kGrey);
    RecordingCanvas dc;
    PaintAdvancedButton(dc, kShapeEllipse, kItem, kStateDisabled, L"A", colours);
    auto text = dc.Only("text");
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].a, kGrey);
}

TEST(AdvancedComponent, EachSetterStoresAndRepaintsAtOnce) {
    Colours colours(kGreen, kNearBlack, kGrey);
    EXPECT_TRUE(colours.SetFaceColor(Rgb(255, 0, 255)));
    EXPECT_EQ(colours.redraws, 1);
    EXPECT_TRUE(colours.SetLabelColor(Rgb(255, 255, 0)));
    EXPECT_EQ(colours.redraws, 2);
    EXPECT_EQ(colours.FaceColor(), Rgb(255, 0, 255));
    EXPECT_EQ(colours.LabelColor(), Rgb(255, 255, 0));
    EXPECT_EQ(colours.DisabledLabelColor(), kGrey);
}

}  // namespace
