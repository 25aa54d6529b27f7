#pragma once
// The province grid's boxes (one per province code) and which of them are marked worked.
#include <array>
#include <string>
#include <vector>

#include "display/geometry.h"

namespace display {

struct ProvinceBox {
    int id;               // control id in the grid's dialog template
    const char* caption;  // what the box shows
    const char* code;     // the province code that lights it
    int x, y, cx, cy;     // position and size in dialog units
};

constexpr int kProvinceBoxCount = 53;
extern const std::array<ProvinceBox, kProvinceBoxCount> kProvinceBoxes;

// Colours of a box that still counts as needed and of one already worked.
constexpr Color kNeededFace = Rgb(0, 255, 0);
constexpr Color kNeededLabel = Rgb(1, 1, 1);
constexpr Color kWorkedFace = Rgb(255, 0, 255);
constexpr Color kWorkedLabel = Rgb(255, 255, 0);
constexpr Color kBoxDisabledLabel = Rgb(128, 128, 128);
constexpr Color kGridBackground = Rgb(255, 250, 198);
constexpr Color kGridTextBackground = Rgb(255, 240, 198);

// Worked flags of the boxes, in the order of kProvinceBoxes. The two operations answer the
// boxes whose colours must change, so that the window repaints only those.
class ProvinceMarks {
public:
    // Every box back to needed; all of them are repainted.
    std::vector<int> Clear();
    // Marks the boxes of `code` (exact, case-sensitive) that are not marked yet.
    std::vector<int> Mark(const std::string& code);
    bool Worked(int box) const { return m_worked[static_cast<size_t>(box)] != 0; }

private:
    std::array<int, kProvinceBoxCount> m_worked{};
};

}  // namespace display
