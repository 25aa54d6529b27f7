#include "display/info_table.h"

#include <algorithm>

#include "contest/contest_rules.h"

namespace display {

InfoTableSnapshot TakeInfoTableSnapshot(engine::Contest& s) {
    StateLock lock(s.mutex);
    InfoTableSnapshot snap;
    snap.enteredCall = s.enteredCall;
    snap.bandTable = s.bandTable;
    snap.currentBandSlot = s.currentBandSlot;
    if (s.currentBandSlot >= 0 && s.currentBandSlot < contest::kBandCount)
        snap.entities = s.entityLists[static_cast<size_t>(s.currentBandSlot)];
    return snap;
}

void SortEntities(StringList& entities) {
    // std::string compares bytes as unsigned, as the multibyte comparison does.
    std::stable_sort(entities.begin(), entities.end());
}

namespace {

const std::string& Cell(const StringList& row, size_t i) {
    static const std::string kEmpty;
    // Rows are built with five texts; a shorter one shows blanks rather than reading past it.
    return i < row.size() ? row[i] : kEmpty;
}

void DrawCallMode(TableCanvas& dc, const Rect& item, const InfoTableSnapshot& data) {
    dc.FillSolid(item, kCallModeBackground);
    const int h = RowHeight(item.bottom);
    const int s = data.currentBandSlot;
    if (s >= 0 && s < contest::kBandCount)
        dc.FillSolid({0, h * (s + 1) + 10, item.right, h * (s + 2)}, kCurrentBandHighlight);
    dc.SetBkTransparent(true);
    dc.DrawTextAt(20, 14, "Band");
    dc.DrawTextAt(100, 14, "Mode");
    dc.DrawTextAt(185, 0, data.enteredCall);
    dc.DrawTextAt(200, 14, "Time");
    dc.DrawTextAt(315, 14, "Prov/NR");
    for (int r = 1; r <= contest::kBandCount; ++r) {
        const StringList& row = data.bandTable[static_cast<size_t>(r - 1)];
        const int y = h * r + 10;
        dc.DrawTextAt(20, y, Cell(row, 0));
        dc.DrawTextAt(100, y, Cell(row, 1));
        dc.DrawTextAt(202, y, Cell(row, 2));
        dc.DrawTextAt(330, y, Cell(row, 3));
    }
}

void DrawListMode(TableCanvas& dc, const Rect& item, InfoTableSnapshot& data) {
    dc.FillSolid(item, kListModeBackground);
    if (data.currentBandSlot < 0 || data.currentBandSlot >= contest::kBandCount) return;
    dc.SetBkTransparent(true);
    SortEntities(data.entities);
    int x = kListLeft;
    int y = 0;
    for (const std::string& entity : data.entities) {
        dc.DrawTextAt(x, y, entity);
        x += kListCellWidth;
        if (x > item.right - kListCellWidth) {
            x = kListLeft;
            y += kListCellHeight;
        }
    }
}

}  // namespace

void DrawInfoTable(TableCanvas& dc, const Rect& item, InfoTableSnapshot& data) {
    if (!data.enteredCall.empty()) {
        DrawCallMode(dc, item, data);
    } else {
        DrawListMode(dc, item, data);
    }
}

Rect TableButtonPlacement(int clientWidth, int clientHeight) {
    return {1, 1, 1 + std::max(0, clientWidth - 4), 1 + std::max(0, clientHeight - 4)};
}

}  // namespace display
