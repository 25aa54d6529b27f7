// A Cabrillo export as the host runs it: a reset with the export flag shows the header
// dialog, the results call writes the log and shows the completion message. A second
// thread plays the operator while the test's thread is blocked in the modal loops; it only
// gathers what it sees, the test's thread checks it afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <thread>
#include <vector>

#include "../unit/cabrillo_check.h"
#include "cabrillo/cabrillo.h"
#include "engine/contest.h"
#include "find_window.h"
#include "host_exports.h"
#include "win/module.h"

namespace {

// The engine instance the windows show, made as the plug-in makes its own.
engine::Contest& TheContest() {
    static engine::Contest contest(engine::Files::All());
    return contest;
}

const char kIni[] = "Plugins\\SOLSTICE-RACE.ini";
const wchar_t kCaption[] = L"SOLSTICE RACE Contest";

// Runs `work` on its own thread with the window of this process that has the caption, or
// with null when none came up within `waitMs`.
class Operator {
public:
    Operator(const wchar_t* caption, int waitMs, std::function<void(HWND)> work)
        : m_thread([=] {
              auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
              HWND found = nullptr;
              // Shown only once it has been filled.
              while (!(found && IsWindowVisible(found)) &&
                     std::chrono::steady_clock::now() < until) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
                  found = FindTop(L"#32770", caption);
              }
              work(found && IsWindowVisible(found) ? found : nullptr);
          }) {}
    ~Operator() { m_thread.join(); }

private:
    std::thread m_thread;
};

std::string Text(HWND window) {
    char buffer[512] = {0};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}
std::string Item(HWND dialog, int id) {
    return Text(GetDlgItem(dialog, id));
}
void SetItem(HWND dialog, int id, const char* text) {
    SetWindowTextA(GetDlgItem(dialog, id), text);
}
void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string Key(const char* key) {
    char buffer[200] = {0};
    GetPrivateProfileStringA("Settings", key, "", buffer, sizeof buffer, kIni);
    return buffer;
}

std::string ReadAll(const char* path) {
    std::string bytes;
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

// The header dialog as the operator found it.
struct DialogSeen {
    bool found = false;
    std::map<int, std::string> texts;
    std::map<int, std::vector<std::string>> choices;
    std::vector<int> misplaced;
};

struct Place {
    int id, x, y, w, h;
    bool combo;  // its template height is that of the open list
};
const Place kPlaces[] = {
    {1009, 55, 9, 190, 12, false},    {1010, 55, 23, 88, 12, false},
    {1008, 184, 23, 61, 12, false},   {1013, 92, 38, 79, 66, true},
    {1014, 92, 53, 79, 72, true},     {1015, 92, 67, 79, 72, true},
    {1016, 92, 81, 79, 72, true},     {1021, 92, 95, 79, 51, true},
    {1022, 105, 109, 66, 49, true},   {1007, 55, 124, 191, 12, false},
    {1002, 55, 137, 191, 12, false},  {1003, 67, 151, 179, 12, false},
    {1011, 101, 164, 145, 12, false}, {1012, 101, 177, 145, 12, false},
    {1006, 55, 191, 191, 12, false},  {1005, 55, 204, 191, 12, false},
    {1001, 55, 218, 191, 31, false},  {1004, 55, 250, 191, 12, false},
    {IDOK, 81, 276, 51, 21, false},   {IDCANCEL, 143, 276, 46, 21, false},
};

void Look(HWND dialog, DialogSeen& seen) {
    seen.found = true;
    for (const Place& p : kPlaces) {
        HWND control = GetDlgItem(dialog, p.id);
        seen.texts[p.id] = Text(control);
        if (p.combo) {
            LRESULT count = SendMessageA(control, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                char item[64] = {0};
                if (SendMessageA(control, CB_GETLBTEXTLEN, i, 0) < LRESULT{sizeof item})
                    SendMessageA(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                seen.choices[p.id].push_back(item);
            }
        }
        // Each coordinate is converted on its own, as the dialog manager does.
        RECT want = {p.x, p.y, p.w, p.h};
        MapDialogRect(dialog, &want);
        RECT got{};
        GetWindowRect(control, &got);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&got), 2);
        if (!control || got.left != want.left || got.top != want.top ||
            got.right - got.left != want.right || (!p.combo && got.bottom - got.top != want.bottom))
            seen.misplaced.push_back(p.id);
    }
}

// The completion message as the operator saw it.
struct BoxSeen {
    bool found = false;
    std::string text;
    bool informationIcon = false;
};

BOOL CALLBACK FindInformationIcon(HWND child, LPARAM lparam) {
    char cls[32] = {0};
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0 ||
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        return TRUE;
    // System icons are shared: the box shows the very handle that LoadIcon hands out.
    auto icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    *reinterpret_cast<bool*>(lparam) = icon && icon == LoadIconA(nullptr, IDI_INFORMATION);
    return FALSE;
}

void CloseBox(HWND box, BoxSeen& seen) {
    if (!box) return;
    seen.found = true;
    seen.text = Item(box, 0xFFFF);  // the message box's text control
    EnumChildWindows(box, FindInformationIcon, reinterpret_cast<LPARAM>(&seen.informationIcon));
    Click(box, IDOK);
}

const std::string kLongLine(150, 'x');

class CabrilloExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dll.Loaded());
        CreateDirectoryA("Plugins", nullptr);
        // A CW log, so that the CW QSOs are admitted.
        WritePrivateProfileStringA("Settings", "CW", "1", kIni);
        WritePrivateProfileStringA("Settings", "Name", "Ana", kIni);
        WritePrivateProfileStringA("Settings", "SoapBox", ("old<CR><LF>" + kLongLine).c_str(),
                                   kIni);
    }
    void Reset() {
        dll.ResetStats(folder.path + "\\", 1, "EA8/G4ABC",
                       COleDateTime::FromFields(2026, 6, 20, 0, 0),
                       COleDateTime::FromFields(2026, 6, 21, 0, 0), "EA8");
    }
    void AddQsos() {
        HostExports::QsoFields q;
        q.ownCall = "EA8/G4ABC";
        q.call = "DL1ABC";
        q.prefix = q.prefixText = "DL";
        q.time = COleDateTime::FromFields(2026, 6, 20, 12, 5);
        q.exchRcvd = "017";
        dll.AddData(q);
        q.call = "OK1XYZ";
        q.prefix = q.prefixText = "OK";
        q.band = "40m";
        q.freqHz = 7012000;
        q.time = COleDateTime::FromFields(2026, 6, 20, 12, 6);
        q.exchRcvd = "5";
        dll.AddData(q);
    }

    TempCurrentFolder folder;
    HostExports dll;
};

TEST_F(CabrilloExport, OkThenEveryResultsCallRewritesTheLogAndSaysSo) {
    DialogSeen dialog;
    {
        Operator op(kCaption, 10000, [&dialog](HWND d) {
            if (!d) return;
            Look(d, dialog);
            SetItem(d, 1007, "Ana Garcia");
            SetItem(d, 1008, "999999");  // not taken: the log has the computed score
            SetItem(d, 1015, "SSB");     // not taken: this is a CW log
            SetItem(d, 1016, "100W");    // typed rather than chosen
            SendDlgItemMessageA(d, 1013, CB_SETCURSEL, 2, 0);
            SetItem(d, 1001, "Fun\r\n73");
            Click(d, IDOK);
        });
        Reset();
    }
    ASSERT_TRUE(dialog.found) << "no header dialog";
    EXPECT_EQ(dialog.misplaced, std::vector<int>{});
    EXPECT_EQ(dialog.texts[1009], "SOLSTICE RACE Contest");
    EXPECT_EQ(dialog.texts[1010], "EA8/G4ABC");
    EXPECT_EQ(dialog.texts[1006], "EA8/G4ABC");
    EXPECT_EQ(dialog.texts[1007], "Ana");
    EXPECT_EQ(dialog.texts[1013], "SINGLE-OP");
    EXPECT_EQ(dialog.texts[1014], "ALL");
    EXPECT_EQ(dialog.texts[1015], "CW");
    EXPECT_EQ(dialog.texts[1016], "");
    EXPECT_EQ(dialog.texts[1021], "NON-ASSISTED");
    EXPECT_EQ(dialog.texts[1022], "ONE");
    EXPECT_EQ(dialog.texts[1001], "old\r\n" + kLongLine);  // not cut at 99
    EXPECT_EQ(dialog.texts[IDOK], "OK");
    EXPECT_EQ(dialog.texts[IDCANCEL], "CANCEL");
    using L = std::vector<std::string>;
    EXPECT_EQ(dialog.choices[1013], (L{"SINGLE-OP", "MULTI-MULTI", "MULTI-OP"}));
    EXPECT_EQ(dialog.choices[1014], (L{"ALL", "80M", "40M", "20M", "15M", "10M"}));
    EXPECT_EQ(dialog.choices[1015], (L{"CW", "SSB"}));
    EXPECT_EQ(dialog.choices[1016], (L{"HIGH", "LOW", "QRP"}));
    EXPECT_EQ(dialog.choices[1021], (L{"ASSISTED", "NON-ASSISTED"}));
    EXPECT_EQ(dialog.choices[1022], (L{"ONE", "TWO", "UNLIMITED"}));

    EXPECT_EQ(Key("Name"), "Ana Garcia");
    EXPECT_EQ(Key("Operators"), "EA8/G4ABC");
    EXPECT_EQ(Key("Category"), "MULTI-OP");
    EXPECT_EQ(Key("Contest"), "SOLSTICE RACE Contest");
    EXPECT_EQ(Key("SoapBox"), "Fun<CR><LF>73");
    AddQsos();

    for (int call = 0; call < 2; ++call) {
        BoxSeen box;
        {
            Operator op(L"Output", 10000, [&box](HWND b) { CloseBox(b, box); });
            dll.GetResult();
        }
        EXPECT_TRUE(box.found);
        EXPECT_EQ(box.text, "File produced: EA8_G4ABC.cbr");
        EXPECT_TRUE(box.informationIcon);
        std::string log = ReadAll("EA8_G4ABC.cbr");
        EXPECT_EQ(cabrillo_check::Problems(log), std::vector<std::string>{}) << log;
        EXPECT_EQ(log.find("START-OF-LOG: 3.0\r\nCONTEST: SOLSTICE-RACE \r\nCALLSIGN: EA8/G4ABC\r\n"
                           "CATEGORY-OPERATOR: MULTI-OP\r\nCATEGORY-BAND: ALL\r\n"
                           "CATEGORY-MODE: CW\r\nCATEGORY-POWER: 100W\r\n"),
                  0u)
            << log;
        EXPECT_NE(log.find("NAME: Ana Garcia\r\n"), std::string::npos);
        EXPECT_NE(log.find("SOAPBOX: Fun\r\nSOAPBOX: 73\r\n"), std::string::npos);
        EXPECT_NE(Key("Claimed"), "0");
        EXPECT_NE(log.find("CLAIMED-SCORE: " + Key("Claimed") + "\r\n"), std::string::npos);
        // Rewritten, never appended: every QSO exactly once.
        const std::string first =
            "QSO: 14025 CW 2026-06-20 1205 EA8/G4ABC     599 001    DL1ABC        599 017\r\n";
        const std::string second =
            "QSO:  7012 CW 2026-06-20 1206 EA8/G4ABC     599 001    OK1XYZ        599 5\r\n";
        EXPECT_NE(log.find(first + second + "END-OF-LOG:\r\n"), std::string::npos) << log;
        EXPECT_EQ(log.find(first), log.rfind(first));
    }
}

TEST_F(CabrilloExport, CancelWritesNoKeyAndNoLog) {
    bool found = false;
    {
        Operator op(kCaption, 10000, [&found](HWND d) {
            if (!d) return;
            found = true;
            SetItem(d, 1007, "Changed");
            Click(d, IDCANCEL);
        });
        Reset();
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(Key("Name"), "Ana");
    EXPECT_EQ(Key("Operators"), "");
    AddQsos();
    BoxSeen box;
    {
        // A box that should not come is closed all the same, so the test cannot hang.
        Operator op(L"Output", 1500, [&box](HWND b) { CloseBox(b, box); });
        dll.GetResult();
    }
    EXPECT_FALSE(box.found) << box.text;
    EXPECT_EQ(GetFileAttributesA("EA8_G4ABC.cbr"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

// The core linked into this program has no dialog templates of its own: the dialog cannot
// come up, and an unconfirmed header must not lead to an export.
TEST(CabrilloHeaderDialog, ThatCannotBeShownCancelsTheExport) {
    TempCurrentFolder folder;
    TheContest().Clear();
    win::SetModule(GetModuleHandleA(nullptr));
    TheContest().exportFlag = 1;
    StateLock lock(TheContest().mutex);
    EXPECT_EQ(cabrillo::PrepareExport(TheContest(), "EA1XX", COleDateTime(), COleDateTime(), lock),
              0);
    EXPECT_EQ(TheContest().exportFlag, 0);
}
