// The plug-in as the host drives it: Stats.dll loaded by path, its exports called on this
// thread, which also serves the host's automation object that the Setup window talks to.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "fake_host.h"
#include "find_window.h"
#include "host_exports.h"

namespace {

constexpr const wchar_t* kDialogClass = L"#32770";
const std::wstring kSetupCaption = L"Setup SOLSTICE-RACE-2017";

std::string Setting(const char* key) {
    char buffer[100] = {0};
    GetPrivateProfileStringA("Settings", key, "", buffer, sizeof buffer,
                             ".\\Plugins\\SOLSTICE-RACE.ini");
    return buffer;
}
void SetSetting(const char* key, const char* value) {
    WritePrivateProfileStringA("Settings", key, value, ".\\Plugins\\SOLSTICE-RACE.ini");
}

// Holds the host's role for the whole program.
class HostRole : public ::testing::Environment {
public:
    void SetUp() override { turn = std::make_unique<HostRoleTurn>(); }
    void TearDown() override { turn.reset(); }
    std::unique_ptr<HostRoleTurn> turn;
};
const auto* const kRole = ::testing::AddGlobalTestEnvironment(new HostRole);

class PlayedHost : public ::testing::Test {
protected:
    void SetUp() override {
        UnmanagedWindows();
        CoInitialize(nullptr);
        CreateDirectoryA("Plugins", nullptr);
        ASSERT_TRUE(host.Register());
        dll = std::make_unique<HostExports>();
        ASSERT_TRUE(dll->Loaded());
    }
    void TearDown() override {
        dll.reset();
        host.Revoke();
        CoUninitialize();
    }

    HWND Reset() {
        dll->ResetStats(folder.path + "\\", 0, "EA1XX", COleDateTime::FromFields(2017, 5, 6, 12, 0),
                        COleDateTime::FromFields(2017, 5, 7, 12, 0), "EA");
        HWND w = nullptr;
        PumpUntil([&] { return (w = FindTop(kDialogClass, kSetupCaption)) != nullptr; });
        return w;
    }
    // The refresh asks for the typed call first; wait for that and for the rest of it.
    bool WaitForRefresh(size_t asked) {
        return PumpUntil([&] { return host.fieldsAsked.size() > asked; }) && (PumpFor(150), true);
    }
    // The host checks the typed call at every keystroke. A check while the last refresh still
    // runs posts none (one at a time), so the operator keeps typing until a refresh asks.
    bool TypeUntilRefresh() {
        const size_t asked = host.fieldsAsked.size();
        return PumpUntil([&] {
                   dll->CheckCall("EA3XYZ", "CW", "EA3", "EA", "20m");
                   return host.fieldsAsked.size() > asked;
               }) &&
               (PumpFor(150), true);
    }
    bool Has(const std::string& c) {
        return std::find(host.commands.begin(), host.commands.end(), c) != host.commands.end();
    }
    bool Checked(HWND w, int id) {
        DWORD_PTR r = 0;
        PumpUntil([&] {
            return SendMessageTimeoutW(GetDlgItem(w, id), BM_GETCHECK, 0, 0, SMTO_NORMAL, 200,
                                       &r) != 0;
        });
        return r == BST_CHECKED;
    }

    TempCurrentFolder folder;
    FakeHostObject host;
    std::unique_ptr<HostExports> dll;
};

TEST_F(PlayedHost, FirstResetOpensTheSetupWindowAndSetsCw) {
    HWND w = Reset();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return host.commands.size() >= 2; }));
    EXPECT_EQ(host.commands[0], "<MODE:CW>");
    EXPECT_EQ(host.commands[1], "<BAUDRATE:27>");
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 400);
    EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(Checked(w, 1016));
    EXPECT_TRUE(PumpUntil([] { return Setting("CW") == "1"; }));
    EXPECT_EQ(Setting("SSB"), "0");
    // The next reset of the pass keeps the running window (alternate resets start it).
    Reset();
    EXPECT_TRUE(IsWindow(w));
}

TEST_F(PlayedHost, SsbClickAndViewBoxes) {
    HWND w = Reset();
    ASSERT_NE(w, nullptr);
    WaitForRefresh(0);
    host.commands.clear();
    PostMessageW(GetDlgItem(w, 1017), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return Has("<MODE:SSB>") && Setting("CW") == "0"; }));
    EXPECT_FALSE(Has("<MODE:CW>"));
    EXPECT_EQ(Setting("SSB"), "1");
    EXPECT_TRUE(Checked(w, 1017));
    EXPECT_FALSE(Checked(w, 1016));

    PostMessageW(GetDlgItem(w, 1018), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return FindEadx(); }));
    EXPECT_TRUE(PumpUntil([] { return Setting("EADX100") == "1"; }));
    PostMessageW(GetDlgItem(w, 1020), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return FindGrid(); }));
    EXPECT_TRUE(PumpUntil([] { return Setting("EA_Province") == "1"; }));
    PostMessageW(GetDlgItem(w, 1018), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return !FindEadx(); }));
    EXPECT_TRUE(PumpUntil([] { return Setting("EADX100") == "0"; }));
    PostMessageW(GetDlgItem(w, 1020), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return !AnyDisplay(); }));
    EXPECT_TRUE(PumpUntil([] { return Setting("EA_Province") == "0"; }));
}

TEST_F(PlayedHost, TypedCallFrequencyMoveRemovalAndUnload) {
    SetSetting("EADX100", "1");
    SetSetting("EA_Province", "1");
    HWND w = Reset();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitForRefresh(0));
    ASSERT_EQ(dll->AddData(HostExports::SpanishQso()), 1);

    // The operator types a call: the call check nudges the Setup window.
    host.entry = L"EA3XYZ";
    ASSERT_TRUE(TypeUntilRefresh());
    EXPECT_NE(FindTop(kDialogClass, L"SOLSTICE-RACE-2017 worked with EA3XYZ"), nullptr);

    // The station moves by more than 300 Hz.
    host.commands.clear();
    host.frequency += 301;
    ASSERT_TRUE(TypeUntilRefresh());
    EXPECT_EQ(host.commands, std::vector<std::string>{"<SP1>"});

    // Removals while a refresh waits on this thread for the typed call: the setup thread's
    // queue then runs a refresh ahead of the last request to clear the marks (the second
    // removal's own refresh is dropped, one waits already). Once it has drained, the grid
    // shows what its caption counts.
    HostExports::QsoFields madrid = HostExports::SpanishQso(), girona = HostExports::SpanishQso();
    madrid.call = "EA4AAA";
    madrid.exchRcvd = "M";
    girona.call = "EA3BBB";
    girona.exchRcvd = "GI";
    ASSERT_EQ(dll->AddData(madrid), 1);
    ASSERT_EQ(dll->AddData(girona), 1);
    dll->GetResult();
    host.entry = L"";
    size_t asked = host.fieldsAsked.size();
    dll->CheckCall("EA3", "CW", "EA3", "EA", "20m");
    Sleep(200);
    ASSERT_EQ(dll->RemoveData(HostExports::SpanishQso()), 1);
    ASSERT_EQ(dll->RemoveData(madrid), 1);
    dll->GetResult();
    // A setup thread slower than the pause above takes every request in one refresh; either
    // way the grid ends up showing what its caption counts.
    ASSERT_TRUE(WaitForRefresh(asked));
    HWND grid = nullptr;
    EXPECT_TRUE(PumpUntil([&] {
        grid = FindTop(kDialogClass, L"Spain province worked on 20m 1 of 52");
        return grid != nullptr && WorkedBoxes(grid) == L"GI";
    })) << (grid ? WorkedBoxes(grid) : L"no grid of 1 of 52");
    EXPECT_NE(FindTop(kDialogClass, L"SOLSTICE-RACE-2017 EA100DX worked on 20m", true), nullptr);

    // Unloading closes every window and returns promptly.
    ULONGLONG start = GetTickCount64();
    dll.reset();
    EXPECT_LT(GetTickCount64() - start, 2000u);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(AnyDisplay());
    EXPECT_EQ(FindTop(kDialogClass, kSetupCaption), nullptr);
}

// Thousands of calls from the host while it moves its frequency and the operator types: the
// setup thread refreshes all along against the live host object; then the unload.
TEST_F(PlayedHost, ThousandsOfCallsWhileTheHostMovesThenUnload) {
    SetSetting("EADX100", "1");
    SetSetting("EA_Province", "1");
    HWND w = Reset();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(WaitForRefresh(0));
    const size_t askedBefore = host.fieldsAsked.size();
    const wchar_t* const typed[] = {L"EA3XYZ", L"", L"EA", L"DL1ABC", L"EA0AA", L"K5ZZ"};
    const double freqs[] = {14025000, 14025500, 7012000, 10120000, 21030000, 3999999};
    const char* const bands[] = {"160m", "80m", "40m", "20m", "15m", "10m"};
    const char* const provinces[] = {"B", "M", "SMR", "TF", "001"};
    int stored = 0, removed = 0;
    std::string text;
    for (int i = 0; i < 4000; ++i) {
        host.entry = typed[i % 6];
        host.frequency = freqs[(i / 3) % 6];
        HostExports::QsoFields q = HostExports::SpanishQso();
        q.call = "EA" + std::to_string(i % 500);
        q.band = bands[i % 6];
        q.exchRcvd = provinces[i % 5];
        q.prefix = i % 4 ? "EA" : "DL";
        q.time = COleDateTime::FromFields(2017, 5, 6, 12 + (i % 1440) / 60, i % 60);
        switch (i % 4) {
            case 0:
            case 1:
                stored += dll->AddData(q);
                break;
            case 2:
                dll->CheckCall(q.call, "CW", "EA3", q.prefix, q.band);
                break;
            default: {
                HostExports::QsoFields old = q;
                int j = i - 3;
                old.call = "EA" + std::to_string(j % 500);
                old.band = bands[j % 6];
                old.prefix = j % 4 ? "EA" : "DL";
                old.time = COleDateTime::FromFields(2017, 5, 6, 12 + (j % 1440) / 60, j % 60);
                dll->RemoveData(old);
                ++removed;
                break;
            }
        }
        if (i % 200 == 0) text = dll->GetResult();
        if (i % 20 == 0) PumpFor(1);  // the host's thread serves its automation object
    }
    text = dll->GetResult();
    EXPECT_NE(text.find("Total\t"), std::string::npos);
    EXPECT_GT(stored, 1000);
    EXPECT_TRUE(IsWindow(w));
    // Refreshes kept coming between the calls (11 to 28 asks in all in five runs here).
    EXPECT_GE(host.fieldsAsked.size(), askedBefore + 5) << "the setup thread kept refreshing";

    ULONGLONG start = GetTickCount64();
    dll.reset();
    EXPECT_LT(GetTickCount64() - start, 2000u);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(AnyDisplay());
}

}  // namespace
