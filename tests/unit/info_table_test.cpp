// What the EADX100 window's table button draws where, on a recording canvas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/info_table.h"
#include "test_util.h"

using namespace display;

namespace {

struct Text {
    int x, y;
    std::string text;
    friend bool operator==(const Text&, const Text&) = default;
};

struct Fill {
    Rect rect;
    Color color;
};

class RecordingTable : public TableCanvas {
public:
    std::vector<Fill> fills;
    std::vector<Text> texts;
    bool transparent = false;
    bool textBeforeTransparent = false;

    void FillSolid(const Rect& r, Color c) override { fills.push_back({r, c}); }
    void SetBkTransparent(bool t) override { transparent = t; }
    void DrawTextAt(int x, int y, const std::string& t) override {
        if (!transparent) textBeforeTransparent = true;
        texts.push_back({x, y, t});
    }
};

InfoTableSnapshot ListMode(int slot, StringList entities) {
    InfoTableSnapshot s;
    s.currentBandSlot = slot;
    s.entities = std::move(entities);
    return s;
}

InfoTableSnapshot CallMode(int slot) {
    InfoTableSnapshot s;
    s.enteredCall = "EA8AA";
    s.currentBandSlot = slot;
    const char* bands[] = {"160m", "80m", "40m", "20m", "15m", "10m"};
    for (int i = 0; i < 6; ++i)
        s.bandTable[static_cast<size_t>(i)] = {bands[i], "", "", "", ""};
    s.bandTable[2] = {"40m", "CW", "1203", "TF", "spare"};
    return s;
}

TEST(InfoTableList, SortsTheEntitiesAndDrawsThemInCellsFromTheLeft) {
    RecordingTable dc;
    InfoTableSnapshot data = ListMode(3, {"K", "EA8", "DL", "EA"});
    DrawInfoTable(dc, {0, 0, 400, 300}, data);
    ASSERT_EQ(dc.fills.size(), 1u);
    EXPECT_EQ(dc.fills[0].rect, (Rect{0, 0, 400, 300}));
    EXPECT_EQ(dc.fills[0].color, Rgb(255, 250, 198));
    EXPECT_EQ(dc.texts,
              (std::vector<Text>{{5, 0, "DL"}, {45, 0, "EA"}, {85, 0, "EA8"}, {125, 0, "K"}}));
    EXPECT_FALSE(dc.textBeforeTransparent);
    EXPECT_EQ(data.entities, (StringList{"DL", "EA", "EA8", "K"}));
}

TEST(InfoTableList, WrapsWhenTheNextCellWouldPassTheRightEdgeLessOneCell) {
    RecordingTable dc;
    InfoTableSnapshot data = ListMode(0, {"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9"});
    DrawInfoTable(dc, {0, 0, 300, 100}, data);
    ASSERT_EQ(dc.texts.size(), 9u);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ((std::pair{dc.texts[i].x, dc.texts[i].y}), (std::pair{5 + 40 * i, 0})) << i;
    EXPECT_EQ((std::pair{dc.texts[7].x, dc.texts[7].y}), (std::pair{5, 15}));
    EXPECT_EQ((std::pair{dc.texts[8].x, dc.texts[8].y}), (std::pair{45, 15}));
}

TEST(InfoTableList, NarrowButtonPutsOneEntryOnEachLine) {
    RecordingTable dc;
    InfoTableSnapshot data = ListMode(0, {"A", "B", "C"});
    DrawInfoTable(dc, {0, 0, 60, 100}, data);
    EXPECT_EQ(dc.texts, (std::vector<Text>{{5, 0, "A"}, {5, 15, "B"}, {5, 30, "C"}}));
}

TEST(InfoTableList, EmptyPrefixSortsFirstAndLeavesTheFirstCellBlank) {
    RecordingTable dc;
    InfoTableSnapshot data = ListMode(1, {"K", ""});
    DrawInfoTable(dc, {0, 0, 400, 100}, data);
    ASSERT_EQ(dc.texts.size(), 2u);
    EXPECT_EQ(dc.texts[0], (Text{5, 0, ""}));
    EXPECT_EQ(dc.texts[1], (Text{45, 0, "K"}));
}

TEST(InfoTableList, NoBandYetOrNoSuchBandShowsTheBareBackground) {
    for (int slot : {-1, 6, 100}) {
        RecordingTable dc;
        InfoTableSnapshot data = ListMode(slot, {"K"});
        DrawInfoTable(dc, {0, 0, 400, 100}, data);
        EXPECT_EQ(dc.fills.size(), 1u) << slot;
        EXPECT_TRUE(dc.texts.empty()) << slot;
    }
}

TEST(InfoTableSort, ComparesBytesAsUnsigned) {
    StringList list{"ea", "EA", "\xC0", "E", "EA8", "9A"};
    SortEntities(list);
    EXPECT_EQ(list, (StringList{"9A", "E", "EA", "EA8", "ea", "\xC0"}));
}

TEST(InfoTableCall, RowsHeaderAndHighlightFollowTheButtonHeight) {
    RecordingTable dc;
    InfoTableSnapshot data = CallMode(2);
    DrawInfoTable(dc, {0, 0, 500, 420}, data);
    ASSERT_EQ(dc.fills.size(), 2u);
    EXPECT_EQ(dc.fills[0].rect, (Rect{0, 0, 500, 420}));
    EXPECT_EQ(dc.fills[0].color, Rgb(255, 255, 198));
    EXPECT_EQ(dc.fills[1].rect, (Rect{0, 190, 500, 240}));
    EXPECT_EQ(dc.fills[1].color, Rgb(198, 255, 255));
    EXPECT_FALSE(dc.textBeforeTransparent);
    ASSERT_GE(dc.texts.size(), 5u);
    EXPECT_EQ((std::vector<Text>(dc.texts.begin(), dc.texts.begin() + 5)),
              (std::vector<Text>{{20, 14, "Band"},
                                 {100, 14, "Mode"},
                                 {185, 0, "EA8AA"},
                                 {200, 14, "Time"},
                                 {315, 14, "Prov/NR"}}));
    // Four texts per band, the spare one not drawn; row r at 60 r + 10.
    ASSERT_EQ(dc.texts.size(), 5u + 24u);
    EXPECT_EQ((std::vector<Text>(dc.texts.begin() + 13, dc.texts.begin() + 17)),
              (std::vector<Text>{
                  {20, 190, "40m"}, {100, 190, "CW"}, {202, 190, "1203"}, {330, 190, "TF"}}));
    EXPECT_EQ(dc.texts[5], (Text{20, 70, "160m"}));
    EXPECT_EQ(dc.texts.back(), (Text{330, 370, ""}));
    for (const Text& t : dc.texts)
        EXPECT_NE(t.text, "spare");
}

TEST(InfoTableCall, NoBandYetHighlightsNoRow) {
    for (int slot : {-1, 6}) {
        RecordingTable dc;
        InfoTableSnapshot data = CallMode(slot);
        DrawInfoTable(dc, {0, 0, 500, 420}, data);
        EXPECT_EQ(dc.fills.size(), 1u) << slot;
        EXPECT_EQ(dc.texts.size(), 29u) << slot;
    }
}

TEST(InfoTableCall, ShortBandRowsShowBlanks) {
    RecordingTable dc;
    InfoTableSnapshot data = CallMode(0);
    data.bandTable[0] = {"160m"};
    data.bandTable[1].clear();
    DrawInfoTable(dc, {0, 0, 500, 140}, data);
    ASSERT_EQ(dc.texts.size(), 29u);
    EXPECT_EQ(dc.texts[5], (Text{20, 30, "160m"}));
    EXPECT_EQ(dc.texts[6], (Text{100, 30, ""}));
    EXPECT_EQ(dc.texts[9], (Text{20, 50, ""}));
}

TEST(TableButton, KeepsAOnePixelMarginTopLeftAndThreeRightBottom) {
    EXPECT_EQ(TableButtonPlacement(400, 300), (Rect{1, 1, 397, 297}));
    EXPECT_EQ(TableButtonPlacement(3, 0), (Rect{1, 1, 1, 1}));
}

class InfoTableState : public StateTest {};

TEST_F(InfoTableState, SnapshotCopiesWhatThePaintReads) {
    {
        StateLock lock(TheContest().mutex);
        TheContest().enteredCall = "DL1AA";
        TheContest().currentBandSlot = 3;
        TheContest().entityLists[3] = {"K", "DL"};
        TheContest().entityLists[2] = {"EA"};
        TheContest().bandTable[3] = {"20m", "CW", "1200", "005", ""};
    }
    InfoTableSnapshot s = TakeInfoTableSnapshot(TheContest());
    EXPECT_EQ(s.enteredCall, "DL1AA");
    EXPECT_EQ(s.currentBandSlot, 3);
    EXPECT_EQ(s.entities, (StringList{"K", "DL"}));
    EXPECT_EQ(s.bandTable[3][2], "1200");
    {
        StateLock lock(TheContest().mutex);
        TheContest().currentBandSlot = 9;  // never a valid slot: nothing to copy
    }
    EXPECT_TRUE(TakeInfoTableSnapshot(TheContest()).entities.empty());
}

}  // namespace
