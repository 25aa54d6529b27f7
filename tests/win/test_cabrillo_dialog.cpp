// The Cabrillo header dialog from template 101, shown by the preparation of an export and
// worked from a second thread as the operator would.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "../unit/cabrillo_check.h"
#include "cabrillo/cabrillo.h"
#include "host_exports.h"
#include "setup/settings.h"
#include "win/module.h"
#include "window_driver.h"

namespace {

using window_driver::Click;
using window_driver::ItemText;
using window_driver::SetItemText;

constexpr const char* kCaption = "SOLSTICE RACE Contest";

// What the operator saw, gathered on the driving thread.
struct Seen {
    bool found = false;
    std::map<int, std::string> texts;
    std::map<int, std::vector<std::string>> choices;
    std::vector<std::string> layoutErrors;
    bool lockFree = false;
};

const int kFieldIds[] = {1009, 1010, 1008, 1013, 1014, 1015, 1016, 1021, 1022,
                         1007, 1002, 1003, 1011, 1012, 1006, 1005, 1001, 1004};

struct Place {
    int id, x, y, w, h;
    bool combo;
};
// Controls with ids, in dialog units; a combo box's height is that of its open list.
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

std::vector<std::string> Choices(HWND combo) {
    std::vector<std::string> out;
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string item(static_cast<size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
        out.push_back(item.c_str());
    }
    return out;
}

void Look(HWND dialog, Seen& seen) {
    seen.found = true;
    for (int id : kFieldIds)
        seen.texts[id] = ItemText(dialog, id);
    for (int id : {1013, 1014, 1015, 1016, 1021, 1022})
        seen.choices[id] = Choices(GetDlgItem(dialog, id));
    for (const Place& p : kPlaces) {
        // Each coordinate is converted on its own, as the dialog manager does.
        RECT want = {p.x, p.y, p.w, p.h};
        MapDialogRect(dialog, &want);
        RECT got;
        HWND control = GetDlgItem(dialog, p.id);
        GetWindowRect(control, &got);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&got), 2);
        bool same = control && got.left == want.left && got.top == want.top &&
                    got.right - got.left == want.right &&
                    (p.combo || got.bottom - got.top == want.bottom);
        if (!same) seen.layoutErrors.push_back("control " + std::to_string(p.id));
    }
    std::unique_lock<std::mutex> probe(StateMutex(), std::try_to_lock);
    seen.lockFree = probe.owns_lock();
}

std::string Key(const char* key) {
    char buffer[200] = {0};
    GetPrivateProfileStringA("Settings", key, "", buffer, sizeof buffer, settings::FileName());
    return buffer;
}

// The file's raw bytes, line ends included.
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

class CabrilloDialog : public ::testing::Test {
protected:
    void SetUp() override {
        // The template lives in the plug-in's resources.
        resources = LoadLibraryA((HostExports::ProgramFolder() + "Stats.dll").c_str());
        ASSERT_NE(resources, nullptr);
        win::SetModule(resources);
        CreateDirectoryA("Plugins", nullptr);
        ResetStateForTests();
        cabrillo::Store() = cabrillo::HeaderStore();
        State().exportFlag = 1;
    }
    void TearDown() override {
        win::SetModule(nullptr);
        if (resources) FreeLibrary(resources);
    }
    int Prepare(const std::string& ownCall) {
        StateLock lock(StateMutex());
        return cabrillo::PrepareExport(ownCall, COleDateTime::FromFields(2026, 6, 20, 0, 0),
                                       COleDateTime::FromFields(2026, 6, 21, 0, 0), lock);
    }

    TempCurrentFolder folder;
    HMODULE resources = nullptr;
};

TEST_F(CabrilloDialog, ShowsTemplateAndLoadedValuesAndTakesTheAnswersOnOk) {
    WritePrivateProfileStringA("Settings", "Name", "Ana", settings::FileName());
    WritePrivateProfileStringA("Settings", "SoapBox", "old<CR><LF>text", settings::FileName());
    WritePrivateProfileStringA("Settings", "CW", "1", settings::FileName());
    Seen seen;
    window_driver::Driver driver(kCaption, 10000, [&seen](HWND dialog) {
        if (!dialog) return;
        Look(dialog, seen);
        SetItemText(dialog, 1010, "EA8/G4ABC/P");
        SetItemText(dialog, 1008, "123");
        SetItemText(dialog, 1015, "SSB");
        SetItemText(dialog, 1016, "100W");  // typed, not chosen
        SendDlgItemMessageA(dialog, 1013, CB_SETCURSEL, 2, 0);
        SetItemText(dialog, 1007, "Ana Garcia");
        SetItemText(dialog, 1004, "ana@example.org");
        SetItemText(dialog, 1001, "line 1\r\nline 2");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(Prepare("EA8/G4ABC"), 1);
    driver.Join();

    ASSERT_TRUE(seen.found) << "no dialog captioned " << kCaption;
    EXPECT_TRUE(seen.lockFree);
    EXPECT_EQ(seen.layoutErrors, std::vector<std::string>{});
    EXPECT_EQ(seen.texts[1009], "SOLSTICE RACE Contest");
    EXPECT_EQ(seen.texts[1010], "EA8/G4ABC");
    EXPECT_EQ(seen.texts[1006], "EA8/G4ABC");
    EXPECT_EQ(seen.texts[1007], "Ana");
    EXPECT_EQ(seen.texts[1013], "SINGLE-OP");
    EXPECT_EQ(seen.texts[1014], "ALL");
    EXPECT_EQ(seen.texts[1015], "CW");
    EXPECT_EQ(seen.texts[1016], "");
    EXPECT_EQ(seen.texts[1021], "NON-ASSISTED");
    EXPECT_EQ(seen.texts[1022], "ONE");
    EXPECT_EQ(seen.texts[1001], "old\r\ntext");
    using L = std::vector<std::string>;
    EXPECT_EQ(seen.choices[1013], (L{"SINGLE-OP", "MULTI-MULTI", "MULTI-OP"}));
    EXPECT_EQ(seen.choices[1014], (L{"ALL", "80M", "40M", "20M", "15M", "10M"}));
    EXPECT_EQ(seen.choices[1015], (L{"CW", "SSB"}));
    EXPECT_EQ(seen.choices[1016], (L{"HIGH", "LOW", "QRP"}));
    EXPECT_EQ(seen.choices[1021], (L{"ASSISTED", "NON-ASSISTED"}));
    EXPECT_EQ(seen.choices[1022], (L{"ONE", "TWO", "UNLIMITED"}));

    const cabrillo::HeaderStore& s = cabrillo::Store();
    EXPECT_EQ(s.callsign, "EA8/G4ABC/P");
    EXPECT_EQ(s.baseName, "EA8_G4ABC");
    EXPECT_EQ(s.categoryMode, "CW");
    EXPECT_EQ(s.categoryPower, "100W");
    EXPECT_EQ(s.categoryOperator, "MULTI-OP");
    EXPECT_EQ(s.soapbox, "line 1\r\nSOAPBOX: line 2");
    EXPECT_EQ(Key("Name"), "Ana Garcia");
    EXPECT_EQ(Key("Email"), "ana@example.org");
    EXPECT_EQ(Key("Category"), "MULTI-OP");
    EXPECT_EQ(Key("SoapBox"), "line 1<CR><LF>line 2");
    EXPECT_EQ(State().exportFlag, 1);

    // The writer then produces a log that a checker accepts.
    CInfo qso;
    qso.m_strCall = "DL1ABC";
    qso.m_nFreqKHz = 14025;
    qso.m_strMode = "CW";
    qso.m_time = COleDateTime::FromFields(2026, 6, 20, 12, 0);
    qso.m_strRstSent = qso.m_strRstRcvd = "599";
    qso.m_strExchSent = "001";
    qso.m_strExchRcvd = "017";
    State().log.Append(qso);
    EXPECT_EQ(cabrillo::ExportLog(), "File produced: EA8_G4ABC.cbr");
    std::string file = ReadAll("EA8_G4ABC.cbr");
    EXPECT_EQ(cabrillo_check::Problems(file), std::vector<std::string>{});
    EXPECT_NE(file.find("SOAPBOX: line 1\r\nSOAPBOX: line 2\r\n"), std::string::npos) << file;
}

TEST_F(CabrilloDialog, CancelClearsTheExportFlagAndWritesNoKey) {
    WritePrivateProfileStringA("Settings", "Name", "Ana", settings::FileName());
    bool found = false;
    window_driver::Driver driver(kCaption, 10000, [&found](HWND dialog) {
        if (!dialog) return;
        found = true;
        SetItemText(dialog, 1007, "Changed");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(Prepare("EA1XX"), 0);
    driver.Join();
    ASSERT_TRUE(found);
    EXPECT_EQ(State().exportFlag, 0);
    EXPECT_EQ(Key("Name"), "Ana");
    EXPECT_EQ(Key("Operators"), "");
    EXPECT_EQ(cabrillo::Store().name, "Ana");
}

}  // namespace
