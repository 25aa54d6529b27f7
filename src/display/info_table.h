#pragma once
// What the EADX100 window's table button draws where. Call mode (a call is being typed):
// one row per band with when and how that call was worked, the current band highlighted.
// List mode: the entities worked on the current band, sorted, in a grid of short texts.
#include <string>
#include <vector>

#include "display/geometry.h"
#include "engine/contest.h"

namespace display {

constexpr Color kCallModeBackground = Rgb(255, 255, 198);
constexpr Color kCurrentBandHighlight = Rgb(198, 255, 255);
constexpr Color kListModeBackground = Rgb(255, 250, 198);
constexpr int kListCellWidth = 40;
constexpr int kListCellHeight = 15;
constexpr int kListLeft = 5;

class TableCanvas {
public:
    virtual ~TableCanvas() = default;
    virtual void FillSolid(const Rect& r, Color color) = 0;
    virtual void SetBkTransparent(bool transparent) = 0;
    // Black text in the context's font, top-left at (x, y).
    virtual void DrawTextAt(int x, int y, const std::string& text) = 0;
};

// What one paint reads of the engine instance; copied under its lock so that the paint
// itself runs without it.
struct InfoTableSnapshot {
    std::string enteredCall;
    BandLists bandTable;
    int currentBandSlot = -1;
    StringList entities;  // worked on the current band
};
// Takes the instance's lock while copying.
InfoTableSnapshot TakeInfoTableSnapshot(engine::Contest& contest);

// Ascending, byte-wise; equal texts keep their order.
void SortEntities(StringList& entities);

// Height of one band row in call mode for an item rectangle whose bottom is `itemBottom`.
inline int RowHeight(int itemBottom) {
    return itemBottom / 7;
}

// Draws the whole picture for an item rectangle whose top-left is (0, 0). Sorts the
// snapshot's entity list.
void DrawInfoTable(TableCanvas& dc, const Rect& item, InfoTableSnapshot& data);

// Where the table button goes in a client area of the given size: a one-pixel margin at
// top and left, three at right and bottom; never a negative size.
Rect TableButtonPlacement(int clientWidth, int clientHeight);

}  // namespace display
