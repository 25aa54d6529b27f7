// The Setup window, its thread and the host link under Wine, with a fake host object
// registered as the running "Ketl2.Application" on this (the host's) thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/contest.h"
#include "fake_host.h"
#include "find_window.h"
#include "host_exports.h"
#include "settings/settings.h"
#include "setup/setup_handlers.h"
#include "setup/setup_thread.h"
#include "win/module.h"

namespace {

// The engine instance the windows show, made as the plug-in makes its own.
engine::Contest& TheContest() {
    static engine::Contest contest(engine::Files::All());
    return contest;
}

using Commands = std::vector<std::string>;

constexpr const wchar_t* kDialogClass = L"#32770";
const std::wstring kSetupCaption = L"Setup SOLSTICE-RACE-2017";

// The setup code linked into this program takes its dialog template and icon from the
// plug-in's own resources, as it does inside Stats.dll.
class PluginResources : public ::testing::Environment {
public:
    void SetUp() override {
        UnmanagedWindows();
        ASSERT_TRUE(dll.Loaded());
        win::SetModule(dll.module);
    }
    void TearDown() override { win::SetModule(nullptr); }
    HostRoleTurn turn;
    HostExports dll;
};
const auto* const kResources = ::testing::AddGlobalTestEnvironment(new PluginResources);

class SetupWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        CreateDirectoryA("Plugins", nullptr);
        TheContest().Clear();
        setup::ShowContest(TheContest());
        {
            StateLock lock(TheContest().mutex);
            TheContest().yearText = "2017";
        }
        ASSERT_TRUE(host.Register()) << "the fake host could not register";
    }
    void TearDown() override {
        PumpUntil([] { return TheContest().refreshAllowed == 1; }, 2000);
        setup::CloseAll();
        host.Revoke();
        CoUninitialize();
        TheContest().Clear();
    }

    HWND StartAndWait() {
        TheContest().refreshAllowed = 0;
        setup::StartRoutine();
        HWND w = nullptr;
        PumpUntil([&] { return (w = FindTop(kDialogClass, kSetupCaption)) != nullptr; });
        // The initialisation ends with a refresh; wait until it is done.
        PumpUntil([&] { return !host.fieldsAsked.empty() && TheContest().refreshAllowed == 1; });
        return w;
    }
    // Posts a click, as the operator's mouse would, and lets the setup thread handle it.
    void Click(HWND setupWindow, int id) {
        PostMessageW(GetDlgItem(setupWindow, id), BM_CLICK, 0, 0);
    }
    bool Checked(HWND setupWindow, int id) {
        LRESULT r = 0;
        PumpUntil([&] {
            return SendMessageTimeoutW(GetDlgItem(setupWindow, id), BM_GETCHECK, 0, 0, SMTO_NORMAL,
                                       200, reinterpret_cast<PDWORD_PTR>(&r)) != 0;
        });
        return r == BST_CHECKED;
    }
    // Posts the refresh message and waits until the refresh has ended.
    bool RefreshNow() {
        TheContest().refreshAllowed = 0;
        setup::PostRefresh();
        return PumpUntil([] { return TheContest().refreshAllowed == 1; });
    }
    std::string Key(const char* key) { return settings::ReadKey(key); }
    bool HasCommand(const std::string& c) {
        return std::find(host.commands.begin(), host.commands.end(), c) != host.commands.end();
    }

    TempCurrentFolder folder;
    FakeHostObject host;
};

TEST_F(SetupWindowTest, FirstStartOpensTopmostAtDefaultPlaceAndSelectsCw) {
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(setup::SetupWindowExists());
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 400);
    EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(Checked(w, 1016));
    EXPECT_FALSE(Checked(w, 1017));
    ASSERT_GE(host.commands.size(), 2u);
    EXPECT_EQ(host.commands[0], "<MODE:CW>");
    EXPECT_EQ(host.commands[1], "<BAUDRATE:27>");
    EXPECT_EQ(host.fieldsAsked.front(), 5);
    // The log and the settings follow the CW the host was told.
    EXPECT_EQ(TheContest().cwTest, 1);
    EXPECT_EQ(Key("CW"), "1");
    EXPECT_EQ(Key("SSB"), "0");
    EXPECT_EQ(TextOf(GetDlgItem(w, 1018)), L"Country EADX100");
    EXPECT_EQ(TextOf(GetDlgItem(w, 1023)), L"Choice of mode");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(w, 1019)));
    // No display window without its stored option; the close item is greyed.
    EXPECT_FALSE(AnyDisplay());
    UINT state = GetMenuState(GetSystemMenu(w, FALSE), SC_CLOSE, MF_BYCOMMAND);
    EXPECT_TRUE(state & MF_GRAYED);
}

TEST_F(SetupWindowTest, PaintsItsPaleYellowBackground) {
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    PumpFor(200);
    RECT client;
    GetClientRect(w, &client);
    // The bottom-right corner holds no control.
    POINT p{client.right - 3, client.bottom - 3};
    ClientToScreen(w, &p);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(c, RGB(255, 250, 198));
}

TEST_F(SetupWindowTest, MouseOverAMovedWindowSavesItsPlace) {
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Key("setup_x"), "");  // the default place is not written
    SetWindowPos(w, nullptr, 200, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_ASYNCWINDOWPOS);
    PumpUntil([&] {
        RECT r;
        GetWindowRect(w, &r);
        return r.left == 200 && r.top == 300;
    });
    PostMessageW(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_TRUE(PumpUntil([&] { return Key("setup_x") == "200" && Key("setup_y") == "300"; }));
    // The next Setup window opens there.
    host.fieldsAsked.clear();
    HWND again = StartAndWait();
    ASSERT_NE(again, nullptr);
    RECT r;
    GetWindowRect(again, &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 300);
}

TEST_F(SetupWindowTest, StoredSsbStartsInSsb) {
    settings::WriteKey("SSB", "1");
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(host.commands.front(), "<MODE:SSB>");
    EXPECT_FALSE(HasCommand("<MODE:CW>"));
    EXPECT_FALSE(Checked(w, 1016));
}

TEST_F(SetupWindowTest, OnTopReopensTheDisplaysTopmost) {
    settings::WriteKey("EADX100", "1");
    settings::WriteKey("EA_Province", "1");
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    HWND before = FindGrid();
    ASSERT_NE(before, nullptr);
    EXPECT_FALSE(GetWindowLongW(before, GWL_EXSTYLE) & WS_EX_TOPMOST);
    Click(w, 1021);
    auto topmostPair = [] {
        HWND grid = FindGrid();
        HWND eadx = FindEadx();
        return grid && eadx && (GetWindowLongW(grid, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
               (GetWindowLongW(eadx, GWL_EXSTYLE) & WS_EX_TOPMOST);
    };
    EXPECT_TRUE(PumpUntil(topmostPair));
    EXPECT_FALSE(IsWindow(before));
    EXPECT_TRUE(PumpUntil([&] { return Key("setup_window_on_top") == "1"; }));
    EXPECT_TRUE(Checked(w, 1021));
}

TEST_F(SetupWindowTest, TypedCallFillsTheBandTableAndTheCaption) {
    settings::WriteKey("EADX100", "1");
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    {
        StateLock lock(TheContest().mutex);
        CInfo e;
        e.m_strCall = "EA3XYZ";
        e.m_strPrefix = "EA";
        e.m_strBand = "40m";
        e.m_strMode = "CW";
        e.m_strProvince = "B";
        e.m_time = COleDateTime::FromFields(2017, 6, 21, 10, 7);
        TheContest().log.Append(e);
    }
    host.entry = L"EA3XYZ";
    ASSERT_TRUE(RefreshNow());
    EXPECT_NE(FindTop(kDialogClass, L"SOLSTICE-RACE-2017 worked with EA3XYZ"), nullptr);
    StateLock lock(TheContest().mutex);
    EXPECT_EQ(TheContest().enteredCall, "EA3XYZ");
    EXPECT_EQ(TheContest().bandTable[2], (StringList{"40m", "CW", "10:07", "B", "   -"}));
    EXPECT_EQ(TheContest().bandTable[3][1], "   -");
    EXPECT_EQ(TheContest().currentBandSlot, 3);
}

TEST_F(SetupWindowTest, FrequencyMovesOfMoreThan300HzSendSp1) {
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    host.frequency = 7010000;
    ASSERT_TRUE(RefreshNow());
    host.commands.clear();
    host.frequency = 7010300;
    ASSERT_TRUE(RefreshNow());
    EXPECT_TRUE(host.commands.empty());
    host.frequency = 7010601;
    ASSERT_TRUE(RefreshNow());
    EXPECT_EQ(host.commands, Commands{"<SP1>"});
    EXPECT_EQ(TheContest().currentBandSlot, 2);
}

TEST_F(SetupWindowTest, RemovalRedrawsTheGridFromTheListsAsTheyAreNow) {
    settings::WriteKey("EA_Province", "1");
    {
        StateLock lock(TheContest().mutex);
        TheContest().provinceLists[3] = {"B", "SMR"};
    }
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(RefreshNow());
    HWND grid = FindTop(kDialogClass, L"Spain province worked on 20m 2 of 52");
    ASSERT_NE(grid, nullptr);
    RECT g, setupRect;
    GetWindowRect(grid, &g);
    GetWindowRect(w, &setupRect);
    RECT overlap;
    ASSERT_FALSE(IntersectRect(&overlap, &g, &setupRect)) << "the Setup window covers the grid";
    EXPECT_TRUE(PumpUntil([&] { return WorkedBoxes(grid) == L"B EA0"; })) << WorkedBoxes(grid);
    {
        StateLock lock(TheContest().mutex);
        TheContest().provinceLists[3] = {"M"};
    }
    setup::PostClearProvinceMarks();
    EXPECT_TRUE(PumpUntil([&] { return WorkedBoxes(grid) == L"M"; })) << WorkedBoxes(grid);
    EXPECT_TRUE(PumpUntil([&] { return TextOf(grid) == L"Spain province worked on 20m 1 of 52"; }));
}

TEST_F(SetupWindowTest, FailedHostCallDoesNotMuteTheRefresh) {
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    host.failFrequency = true;
    host.entry = L"DL1ABC";
    EXPECT_TRUE(RefreshNow());
    host.failFrequency = false;
    host.entryIsString = false;
    EXPECT_TRUE(RefreshNow());
    StateLock lock(TheContest().mutex);
    EXPECT_EQ(TheContest().enteredCall, "");
}

TEST_F(SetupWindowTest, EnterIsIgnoredEscapeEndsWindowAndDisplays) {
    settings::WriteKey("EADX100", "1");
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(PumpUntil([] { return AnyDisplay(); }));
    PostMessageW(w, WM_COMMAND, IDOK, 0);
    PumpFor(200);
    EXPECT_TRUE(IsWindow(w));
    PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(PumpUntil([] { return !setup::SetupWindowExists(); }));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(AnyDisplay());
    // The next start opens the stored windows again.
    host.fieldsAsked.clear();
    EXPECT_NE(StartAndWait(), nullptr);
    EXPECT_TRUE(PumpUntil([] { return AnyDisplay(); }));
}

TEST_F(SetupWindowTest, StartingAgainReplacesTheRunningWindow) {
    HWND first = StartAndWait();
    ASSERT_NE(first, nullptr);
    host.fieldsAsked.clear();
    HWND second = StartAndWait();
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(second));
}

TEST_F(SetupWindowTest, RussianTextsForExUssrStations) {
    {
        StateLock lock(TheContest().mutex);
        TheContest().exUssr = 1;
    }
    HWND w = nullptr;
    setup::StartRoutine();
    const std::wstring caption =
        L"\x0423\x0441\x0442\x0430\x043d\x043e\x0432\x043a\x0438 SOLSTICE-RACE-2017";
    EXPECT_TRUE(PumpUntil([&] { return (w = FindTop(kDialogClass, caption)) != nullptr; }));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(w, 1021)),
              L"\x041f\x043e\x0432\x0435\x0440\x0445 \x043e\x043a\x043e\x043d");
}

TEST_F(SetupWindowTest, CloseAllEndsEverythingWithinTwoSeconds) {
    settings::WriteKey("EADX100", "1");
    settings::WriteKey("EA_Province", "1");
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(PumpUntil([] { return FindGrid() != nullptr; }));
    // Close while the setup thread may be asking the host: the wait serves its calls.
    TheContest().refreshAllowed = 0;
    setup::PostRefresh();
    ULONGLONG start = GetTickCount64();
    setup::CloseAll();
    ULONGLONG took = GetTickCount64() - start;
    EXPECT_LT(took, 2000u);
    EXPECT_FALSE(setup::SetupWindowExists());
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(AnyDisplay());
}

TEST_F(SetupWindowTest, CloseAllRightAfterTheStartDoesNotHang) {
    setup::StartRoutine();
    ULONGLONG start = GetTickCount64();
    setup::CloseAll();
    EXPECT_LT(GetTickCount64() - start, 2000u);
    EXPECT_FALSE(setup::SetupWindowExists());
    EXPECT_EQ(FindTop(kDialogClass, kSetupCaption), nullptr);
}

TEST_F(SetupWindowTest, ProcessEndDoesNotWaitForTheGoneThread) {
    HWND w = StartAndWait();
    ASSERT_NE(w, nullptr);
    // At process end the setup thread has been stopped already; nothing would answer.
    ULONGLONG start = GetTickCount64();
    setup::CloseAllForUnload(true);
    EXPECT_LT(GetTickCount64() - start, 100u);
    EXPECT_TRUE(IsWindow(w));  // here the thread still runs; the fixture closes it
}

TEST(SetupWithoutHost, ModeStillReachesTheSettings) {
    TempCurrentFolder folder;
    CreateDirectoryA("Plugins", nullptr);
    TheContest().Clear();
    CoInitialize(nullptr);
    setup::StartRoutine();
    EXPECT_TRUE(PumpUntil([] { return settings::ReadKey("CW") == "1"; }));
    EXPECT_TRUE(PumpUntil([] { return TheContest().refreshAllowed == 1; }));
    setup::CloseAll();
    EXPECT_FALSE(setup::SetupWindowExists());
    CoUninitialize();
}

}  // namespace
