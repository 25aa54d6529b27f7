#pragma once
// Plain values the display code draws with, the same on every platform, so that what a
// window draws where can be decided and tested without a window.
#include <cstdint>

namespace display {

// A colour as the platform's 32-bit colour reference: red in the low byte, then green, blue;
// the high byte 2 marks a palette-relative colour.
using Color = std::uint32_t;

constexpr Color Rgb(int r, int g, int b) {
    return static_cast<Color>((r & 0xff) | ((g & 0xff) << 8) | ((b & 0xff) << 16));
}
constexpr Color PaletteRgb(int r, int g, int b) {
    return 0x02000000u | Rgb(r, g, b);
}

// Left and top inside, right and bottom outside, as the platform's rectangles.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    // Moves every side inwards by n (outwards for negative n).
    Rect Shrunk(int n) const { return {left + n, top + n, right - n, bottom - n}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Owner-draw item state bits.
constexpr unsigned kStateSelected = 0x0001;
constexpr unsigned kStateDisabled = 0x0004;
constexpr unsigned kStateFocus = 0x0010;

}  // namespace display
