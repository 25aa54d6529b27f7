#include <gtest/gtest.h>

#include "setup/setup_handlers.h"
#include "setup_fakes.h"
#include "test_util.h"

namespace {

using setup::SetupHandlers;

class SetupHandlersTest : public StateTest {
protected:
    void SetUp() override {
        StateTest::SetUp();
        dir.MakePlugins();
    }
    std::string Key(const char* key) { return settings::ReadKey(key); }
    int CwTest() { return TheContest().cwTest; }

    ScopedTempDir dir;
    FakeHost host;
    FakeWindows windows;
    FakeView view;
    SetupHandlers handlers{TheContest(), host, windows, view};
};

using Commands = std::vector<std::string>;

TEST_F(SetupHandlersTest, FirstStartSelectsCwForHostLogAndSettings) {
    settings::PositionCache pos = handlers.LoadSettings();
    EXPECT_EQ(pos.x, 10);
    EXPECT_EQ(pos.y, 400);
    handlers.SendInitialMode();
    EXPECT_EQ(host.commands, (Commands{"<MODE:CW>", "<BAUDRATE:27>"}));
    EXPECT_EQ(handlers.Options().cw, 1);
    EXPECT_EQ(handlers.Options().ssb, 0);
    // The log follows what the window shows: CW QSOs are not rejected as wrong mode.
    EXPECT_EQ(CwTest(), 1);
    EXPECT_EQ(Key("CW"), "1");
    EXPECT_EQ(Key("SSB"), "0");
    EXPECT_EQ(handlers.Options().eadx, 0);
    EXPECT_EQ(handlers.Options().province, 0);
}

TEST_F(SetupHandlersTest, StoredSsbSendsOnlyTheSsbMode) {
    settings::WriteKey("SSB", "1");
    settings::WriteKey("setup_x", "123");
    settings::WriteKey("setup_y", "45");
    settings::WriteKey("EADX100", "1");
    settings::WriteKey("EA_Province", "1");
    settings::PositionCache pos = handlers.LoadSettings();
    EXPECT_EQ(pos.x, 123);
    EXPECT_EQ(pos.y, 45);
    handlers.SendInitialMode();
    EXPECT_EQ(host.commands, (Commands{"<MODE:SSB>"}));
    EXPECT_EQ(handlers.Options().cw, 0);
    EXPECT_EQ(handlers.Options().ssb, 1);
    EXPECT_EQ(handlers.Options().eadx, 1);
    EXPECT_EQ(handlers.Options().province, 1);
    EXPECT_EQ(Key("CW"), "");  // nothing written
}

TEST_F(SetupHandlersTest, StoredCwIsSentAndLeftAsStored) {
    settings::WriteKey("CW", "1");
    {
        StateLock lock(TheContest().mutex);
        TheContest().cwTest = 1;  // as the reset read it
    }
    handlers.LoadSettings();
    handlers.SendInitialMode();
    EXPECT_EQ(host.commands, (Commands{"<MODE:CW>", "<BAUDRATE:27>"}));
    EXPECT_EQ(CwTest(), 1);
    EXPECT_EQ(Key("SSB"), "");
}

TEST_F(SetupHandlersTest, WithoutHostTheModeStillReachesOptionsFlagsAndSettings) {
    host.connected = false;
    handlers.LoadSettings();
    handlers.SendInitialMode();
    EXPECT_EQ(CwTest(), 1);
    handlers.ChooseSsb();
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(CwTest(), 0);
    EXPECT_EQ(Key("SSB"), "1");
    EXPECT_EQ(Key("CW"), "0");
    ASSERT_FALSE(view.shown.empty());
    EXPECT_EQ(view.shown.back().ssb, 1);
    EXPECT_EQ(view.shown.back().cw, 0);
}

TEST_F(SetupHandlersTest, ChoosingModesSendsCommandsWritesKeysAndShowsBoxes) {
    handlers.ChooseSsb();
    EXPECT_EQ(host.commands, (Commands{"<MODE:SSB>"}));
    EXPECT_EQ(CwTest(), 0);
    EXPECT_EQ(Key("SSB"), "1");
    EXPECT_EQ(Key("CW"), "0");
    host.commands.clear();
    handlers.ChooseCw();
    EXPECT_EQ(host.commands, (Commands{"<MODE:CW>", "<BAUDRATE:27>"}));
    EXPECT_EQ(CwTest(), 1);
    EXPECT_EQ(Key("CW"), "1");
    EXPECT_EQ(Key("SSB"), "0");
    // A second click on the set box keeps it set and sends both commands again.
    handlers.ChooseCw();
    EXPECT_EQ(host.commands.size(), 4u);
    ASSERT_EQ(view.shown.size(), 3u);
    EXPECT_EQ(view.shown.back().cw, 1);
    EXPECT_EQ(view.shown.back().ssb, 0);
    EXPECT_EQ(view.refreshesPosted, 0);  // mode changes repaint nothing
}

TEST_F(SetupHandlersTest, FirstStartSetsTheLogToCwBeforeTheHostHearsOfIt) {
    std::vector<std::string> seen;  // flag and key as each command arrives
    host.onCommand = [&] { seen.push_back(std::to_string(CwTest()) + Key("CW")); };
    handlers.LoadSettings();
    handlers.SendInitialMode();
    EXPECT_EQ(seen, (Commands{"11", "11"}));
}

TEST_F(SetupHandlersTest, RefusedModeCommandStillSetsLogSettingsAndBoxes) {
    host.failCommand = true;
    handlers.ChooseSsb();
    EXPECT_EQ(CwTest(), 0);
    EXPECT_EQ(Key("SSB"), "1");
    EXPECT_EQ(Key("CW"), "0");
    handlers.ChooseCw();
    EXPECT_EQ(CwTest(), 1);
    EXPECT_EQ(Key("CW"), "1");
    EXPECT_EQ(Key("SSB"), "0");
    ASSERT_EQ(view.shown.size(), 2u);
    EXPECT_EQ(view.shown.back().cw, 1);
    EXPECT_EQ(view.shown.back().ssb, 0);
    EXPECT_TRUE(host.commands.empty());
}

TEST_F(SetupHandlersTest, ViewBoxesFollowTheWindowsAndPostARefresh) {
    TheContest().refreshAllowed = 0;
    handlers.ToggleEadx();
    EXPECT_TRUE(windows.eadxOpen);
    EXPECT_EQ(handlers.Options().eadx, 1);
    EXPECT_EQ(Key("EADX100"), "1");
    EXPECT_EQ(TheContest().refreshAllowed, 1);
    EXPECT_EQ(view.refreshesPosted, 1);
    handlers.ToggleEadx();
    EXPECT_FALSE(windows.eadxOpen);
    EXPECT_EQ(handlers.Options().eadx, 0);
    EXPECT_EQ(Key("EADX100"), "0");
    EXPECT_EQ(view.refreshesPosted, 2);

    handlers.ToggleProvince();
    EXPECT_TRUE(windows.provinceOpen);
    EXPECT_EQ(Key("EA_Province"), "1");
    // A window closed behind the box's back: the next click opens it again.
    windows.provinceOpen = false;
    handlers.ToggleProvince();
    EXPECT_TRUE(windows.provinceOpen);
    EXPECT_EQ(windows.provinceOpened, 2);
    EXPECT_EQ(Key("EA_Province"), "1");
    EXPECT_EQ(view.refreshesPosted, 4);
}

TEST_F(SetupHandlersTest, OnTopClosesDisplaysForTheRefreshToReopen) {
    handlers.ToggleEadx();
    handlers.ToggleProvince();
    TheContest().refreshAllowed = 0;
    handlers.ToggleOnTop();
    EXPECT_EQ(TheContest().onTop, 1);
    EXPECT_EQ(Key("setup_window_on_top"), "1");
    EXPECT_FALSE(windows.eadxOpen);
    EXPECT_FALSE(windows.provinceOpen);
    EXPECT_EQ(TheContest().refreshAllowed, 0);  // posted without touching the flag
    EXPECT_EQ(view.refreshesPosted, 3);
    EXPECT_EQ(view.shown.back().onTop, 1);
    // The refresh opens both again.
    host.connected = false;
    handlers.OnRefresh();
    EXPECT_TRUE(windows.eadxOpen);
    EXPECT_TRUE(windows.provinceOpen);
    handlers.ToggleOnTop();
    EXPECT_EQ(TheContest().onTop, 0);
    EXPECT_EQ(Key("setup_window_on_top"), "0");
}

TEST_F(SetupHandlersTest, ClosingTheSetupWindowClosesItsDisplays) {
    handlers.ToggleEadx();
    handlers.CloseDisplays();
    EXPECT_FALSE(windows.eadxOpen);
    EXPECT_EQ(windows.eadxClosed, 1);
    EXPECT_EQ(windows.provinceClosed, 0);
}

TEST(SetupTexts, EnglishMovesTheViewLabelRussianDoesNot) {
    setup::SetupTexts en = setup::MakeSetupTexts(false, "2017");
    EXPECT_EQ(en.caption, "Setup SOLSTICE-RACE-2017");
    EXPECT_EQ(en.modeLabel, "Choice of mode");
    EXPECT_EQ(en.viewLabel, "View");
    EXPECT_EQ(en.onTop, "Window on top");
    EXPECT_EQ(en.eadx, "Country EADX100");
    EXPECT_EQ(en.province, "Province of Spain");
    EXPECT_TRUE(en.moveViewLabel);
    setup::SetupTexts ru = setup::MakeSetupTexts(true, "2017");
    EXPECT_EQ(ru.caption, "\xd3\xf1\xf2\xe0\xed\xee\xe2\xea\xe8 SOLSTICE-RACE-2017");
    EXPECT_EQ(ru.eadx, "\xd1\xf2\xf0\xe0\xed\xfb EADX100");
    EXPECT_EQ(ru.modeLabel, "\xc2\xfb\xe1\xee\xf0 \xe2\xe8\xe4\xe0 \xf1\xe2\xff\xe7\xe8");
    EXPECT_FALSE(ru.moveViewLabel);
}

}  // namespace
