#include <gtest/gtest.h>

#include <cmath>

#include "setup/refresh.h"
#include "setup_fakes.h"
#include "test_util.h"

namespace {

using setup::Refresh;
using setup::RefreshMemory;
using setup::ViewOptions;

CInfo Qso(const std::string& call, const std::string& prefix, const std::string& band,
          const std::string& mode, int hour, int minute, const std::string& exch,
          const std::string& province) {
    CInfo e;
    e.m_strCall = call;
    e.m_strPrefix = prefix;
    e.m_strBand = band;
    e.m_strMode = mode;
    e.m_time = COleDateTime::FromFields(2017, 6, 21, hour, minute);
    e.m_strExchRcvd = exch;
    e.m_strProvince = province;
    return e;
}

class RefreshTest : public StateTest {
protected:
    void SetUp() override {
        StateTest::SetUp();
        TheContest().yearText = "2017";
    }
    void Run() { Refresh(TheContest(), view, &host, windows, memory); }
    std::vector<std::string> Row(int slot) {
        return TheContest().bandTable[static_cast<size_t>(slot)];
    }

    ViewOptions view{true, true};
    FakeHost host;
    FakeWindows windows;
    RefreshMemory memory;
};

TEST(BandSlot, FromTheMegahertzFigure) {
    EXPECT_EQ(setup::BandSlotOfFrequency(1830000), 0);
    EXPECT_EQ(setup::BandSlotOfFrequency(3999999), 1);
    EXPECT_EQ(setup::BandSlotOfFrequency(4000000), std::nullopt);
    EXPECT_EQ(setup::BandSlotOfFrequency(7000000), 2);
    EXPECT_EQ(setup::BandSlotOfFrequency(14025000), 3);
    EXPECT_EQ(setup::BandSlotOfFrequency(21999999.9), 4);
    EXPECT_EQ(setup::BandSlotOfFrequency(28500000), 5);
    EXPECT_EQ(setup::BandSlotOfFrequency(10120000), std::nullopt);
    EXPECT_EQ(setup::BandSlotOfFrequency(0), std::nullopt);
    EXPECT_EQ(setup::BandSlotOfFrequency(-1000000), std::nullopt);
    EXPECT_EQ(setup::BandSlotOfFrequency(1e300), std::nullopt);
    EXPECT_EQ(setup::BandSlotOfFrequency(std::nan("")), std::nullopt);
}

TEST(Captions, EnglishAndRussianInCodePage1251) {
    EXPECT_EQ(setup::EadxCallCaption(false, "2017", "EA3XYZ"),
              "SOLSTICE-RACE-2017 worked with EA3XYZ");
    EXPECT_EQ(setup::EadxBandCaption(false, "2017", "20m", 57),
              "SOLSTICE-RACE-2017 EA100DX worked on 20m 57 \xe8\xe7 338");
    EXPECT_EQ(setup::ProvinceCaption(false, "20m", 3), "Spain province worked on 20m 3 of 52");
    EXPECT_EQ(setup::EadxCallCaption(true, "2017", "UA1A"),
              "SOLSTICE-RACE-2017 \xf0\xe0\xe1\xee\xf2\xe0\xeb \xf1 UA1A");
    EXPECT_EQ(setup::EadxBandCaption(true, "2017", "40m", 0),
              "SOLSTICE-RACE-2017 EA100DX \xee\xf2\xf0\xe0\xe1\xee\xf2\xe0\xed\xee \xed\xe0 40m 0 "
              "\xe8\xe7 338");
    EXPECT_EQ(setup::ProvinceCaption(true, "10m", 52),
              "\xcf\xf0\xee\xe2\xe8\xed\xf6\xe8\xe8 \xc8\xf1\xef\xe0\xed\xe8\xe8 "
              "\xee\xf2\xf0\xe0\xe1\xee\xf2\xe0\xed\xfb \xed\xe0 10m 52 \xe8\xe7 52");
}

TEST_F(RefreshTest, TwoCharacterCallEndsEarlyAndKeepsTheDisplays) {
    TheContest().bandTable[3] = {"20m", "CW", "09:00", "B", "   -"};
    TheContest().currentBandSlot = 2;
    windows.eadxOpen = true;
    windows.eadxCaption = "before";
    host.entry = "EA";
    TheContest().refreshAllowed = 0;
    Run();
    EXPECT_EQ(host.frequencyReads, 0);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(TheContest().enteredCall, "EA");
    EXPECT_EQ(Row(3), (StringList{"20m", "CW", "09:00", "B", "   -"}));
    EXPECT_EQ(TheContest().currentBandSlot, 2);
    EXPECT_EQ(windows.eadxCaption, "before");
    EXPECT_EQ(windows.invalidations, 0);
    EXPECT_EQ(TheContest().refreshAllowed, 1);

    host.entry = "E";
    TheContest().refreshAllowed = 0;
    Run();
    EXPECT_EQ(host.frequencyReads, 0);
    EXPECT_EQ(TheContest().refreshAllowed, 1);
    EXPECT_EQ(host.fieldsAsked, (std::vector<int>{5, 5}));
}

TEST_F(RefreshTest, BandTableShowsTheLastQsoOfTheCallOnEachBand) {
    auto& log = TheContest().log;
    log.Append(Qso("EA3XYZ", "EA", "40m", "CW", 10, 7, "B", "B"));
    log.Append(Qso("EA3XYZ", "EA", "20m", "CW", 10, 45, "GI", "GI"));
    log.Append(Qso("EA3XYZ", "EA", "20m", "SSB", 11, 30, "T", "T"));
    log.Append(Qso("EA3XY", "EA", "80m", "CW", 12, 0, "M", "M"));      // another call
    log.Append(Qso("ea3xyz", "EA", "15m", "CW", 12, 0, "M", "M"));     // case differs
    log.Append(Qso("EA3XYZ", "EA", "20M", "CW", 12, 0, "M", "M"));     // band case differs
    log.Append(Qso("EA3XYZ", "EA", "30m", "CW", 12, 0, "M", "M"));     // no contest band
    log.Append(Qso("EA3XYZ", "EA8", "10m", "CW", 13, 5, "TF", "TF"));  // Canaries
    host.entry = "EA3XYZ";
    Run();
    EXPECT_EQ(TheContest().enteredCall, "EA3XYZ");
    EXPECT_EQ(Row(2), (StringList{"40m", "CW", "10:07", "B", "   -"}));
    EXPECT_EQ(Row(3), (StringList{"20m", "SSB", "11:30", "T", "   -"}));
    EXPECT_EQ(Row(5), (StringList{"10m", "CW", "13:05", "TF", "   -"}));
    for (int r : {0, 1, 4}) {
        EXPECT_EQ(Row(r), (StringList{contest::kBands[r], "   -", "   -", "   -", "   -"})) << r;
    }
    EXPECT_EQ(windows.eadxCaption, "SOLSTICE-RACE-2017 worked with EA3XYZ");
    EXPECT_EQ(windows.invalidations, 1);
}

TEST_F(RefreshTest, ForeignStationShowsItsReceivedExchange) {
    // The province field of a foreign QSO is never shown, even when something is in it.
    TheContest().log.Append(Qso("DL1ABC", "DL", "80m", "CW", 8, 3, "012", "XX"));
    host.entry = "DL1ABC";
    Run();
    EXPECT_EQ(Row(1), (StringList{"80m", "CW", "08:03", "012", "   -"}));
}

TEST_F(RefreshTest, EmptyCallClearsTheTableAndCountsTheBand) {
    TheContest().bandTable[3] = {"20m", "CW", "09:00", "B", "   -"};
    TheContest().entityLists[3] = StringList(57, "K");
    TheContest().enteredCall = "OLD";
    host.entry = "";
    Run();
    EXPECT_EQ(TheContest().enteredCall, "");
    EXPECT_EQ(Row(3), (StringList{"20m", "   -", "   -", "   -", "   -"}));
    EXPECT_EQ(TheContest().currentBandSlot, 3);
    EXPECT_EQ(windows.eadxCaption, "SOLSTICE-RACE-2017 EA100DX worked on 20m 57 \xe8\xe7 338");
    EXPECT_EQ(windows.invalidations, 1);
}

TEST_F(RefreshTest, Sp1OnlyWhenTheFrequencyMovedMoreThan300Hz) {
    host.frequency = 14025000;
    Run();
    EXPECT_EQ(host.commands, (std::vector<std::string>{"<SP1>"}));
    host.frequency = 14025300;
    Run();
    EXPECT_EQ(host.commands.size(), 1u);
    host.frequency = 14025301;
    Run();
    EXPECT_EQ(host.commands.size(), 2u);
    EXPECT_EQ(memory.lastFrequency, 14025301);
    host.frequency = 14025001;  // exactly 300 below the last "<SP1>"
    Run();
    EXPECT_EQ(host.commands.size(), 2u);
    host.frequency = 14025000;
    Run();
    EXPECT_EQ(host.commands.size(), 3u);
}

TEST_F(RefreshTest, OffBandFrequencyKeepsBandAndDisplays) {
    TheContest().currentBandSlot = 3;
    TheContest().provinceLists[2] = {"B"};
    windows.provinceOpen = true;
    windows.shownMarks = {"M"};
    host.frequency = 10120000;
    Run();
    EXPECT_EQ(host.commands, (std::vector<std::string>{"<SP1>"}));
    EXPECT_EQ(TheContest().currentBandSlot, 3);
    EXPECT_EQ(windows.clears, 0);
    EXPECT_EQ(windows.shownMarks, (std::vector<std::string>{"M"}));
    EXPECT_EQ(windows.invalidations, 0);
    EXPECT_EQ(TheContest().refreshAllowed, 1);
}

TEST_F(RefreshTest, ProvinceGridShowsExactlyTheCurrentBand) {
    TheContest().provinceLists[3] = {"B", "M", "SMR"};
    TheContest().provinceLists[2] = {"GI"};
    windows.provinceOpen = true;
    Run();
    EXPECT_EQ(windows.shownMarks, (std::vector<std::string>{"B", "M", "SMR"}));
    EXPECT_EQ(windows.provinceCaption, "Spain province worked on 20m 3 of 52");
    host.frequency = 7010000;
    Run();
    EXPECT_EQ(windows.shownMarks, (std::vector<std::string>{"GI"}));
    EXPECT_EQ(windows.provinceCaption, "Spain province worked on 40m 1 of 52");
    EXPECT_EQ(windows.clears, 2);
    // The same band again still starts from a clear grid.
    Run();
    EXPECT_EQ(windows.clears, 3);
    EXPECT_EQ(windows.shownMarks, (std::vector<std::string>{"GI"}));
}

TEST_F(RefreshTest, OpensWantedWindowsEvenWithoutHost) {
    host.connected = false;
    TheContest().refreshAllowed = 0;
    Refresh(TheContest(), view, nullptr, windows, memory);
    EXPECT_EQ(windows.eadxOpened, 1);
    EXPECT_EQ(windows.provinceOpened, 1);
    EXPECT_EQ(windows.eadxCaption, "template");
    EXPECT_EQ(TheContest().refreshAllowed, 1);
    // Open windows are not opened twice; unwanted ones are not opened.
    view.province = false;
    windows.provinceOpen = false;
    Run();
    EXPECT_EQ(windows.eadxOpened, 1);
    EXPECT_EQ(windows.provinceOpened, 1);
    EXPECT_EQ(host.entryReads, 0);
}

TEST_F(RefreshTest, FailingHostCallStopsTheRefreshButAllowsTheNext) {
    TheContest().log.Append(Qso("EA3XYZ", "EA", "40m", "CW", 10, 7, "B", "B"));
    TheContest().currentBandSlot = 1;
    host.entry = "EA3XYZ";
    host.failFrequency = true;
    TheContest().refreshAllowed = 0;
    Run();
    // The table was filled before the failing read; nothing after it ran.
    EXPECT_EQ(Row(2)[1], "CW");
    EXPECT_EQ(TheContest().currentBandSlot, 1);
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(windows.invalidations, 0);
    EXPECT_EQ(TheContest().refreshAllowed, 1);

    host.failFrequency = false;
    host.failEntry = true;
    TheContest().refreshAllowed = 0;
    Run();
    EXPECT_EQ(TheContest().refreshAllowed, 1);

    host.failEntry = false;
    host.failCommand = true;
    TheContest().refreshAllowed = 0;
    Run();
    EXPECT_EQ(memory.lastFrequency, 0);  // "<SP1>" was not sent, so it is tried again
    EXPECT_EQ(TheContest().currentBandSlot, 1);
    EXPECT_EQ(TheContest().refreshAllowed, 1);
}

// A removal posts its request to clear the marks; a refresh queued before it may run first
// or after it, on a contest band or off one. Once both have run, the grid shows the list of
// the band its caption names, and the caption counts it.
TEST_F(RefreshTest, RemovalRequestLeavesTheMarksTheCaptionCounts) {
    struct Case {
        bool refreshFirst;
        double frequency;
        StringList after;  // the band's list once the removal is through
        const char* caption;
    };
    const Case cases[] = {
        {true, 14025000, {"B"}, "Spain province worked on 20m 1 of 52"},
        {false, 14025000, {"B"}, "Spain province worked on 20m 1 of 52"},
        {true, 10120000, {"B"}, "Spain province worked on 20m 1 of 52"},
        {false, 10120000, {"B"}, "Spain province worked on 20m 1 of 52"},
        {true, 14025000, {}, "Spain province worked on 20m 0 of 52"},
        {false, 10120000, {}, "Spain province worked on 20m 0 of 52"},
    };
    for (const Case& c : cases) {
        FakeWindows grid;
        grid.provinceOpen = true;
        host.frequency = 14025000;
        TheContest().provinceLists[3] = {"B", "M"};
        Refresh(TheContest(), view, &host, grid, memory);
        ASSERT_EQ(grid.shownMarks, (StringList{"B", "M"}));
        TheContest().provinceLists[3] = c.after;
        host.frequency = c.frequency;
        if (c.refreshFirst) Refresh(TheContest(), view, &host, grid, memory);
        setup::RedrawProvinceMarks(TheContest(), grid);
        if (!c.refreshFirst) Refresh(TheContest(), view, &host, grid, memory);
        EXPECT_EQ(grid.shownMarks, c.after) << c.refreshFirst << " " << c.frequency;
        EXPECT_EQ(grid.provinceCaption, c.caption) << c.refreshFirst << " " << c.frequency;
    }
    // Before any refresh has found a band the grid has no count to agree with: it is cleared.
    TheContest().currentBandSlot = -1;
    windows.provinceOpen = true;
    windows.shownMarks = {"M"};
    setup::RedrawProvinceMarks(TheContest(), windows);
    EXPECT_TRUE(windows.shownMarks.empty());
    EXPECT_EQ(windows.provinceCaption, "");
    // Without a grid there is nothing to draw.
    FakeWindows closed;
    setup::RedrawProvinceMarks(TheContest(), closed);
    EXPECT_EQ(closed.clears, 0);
}

}  // namespace
