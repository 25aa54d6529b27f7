// A Cabrillo export as the host runs it: a reset with the export flag shows the header
// dialog, the results call writes the log and shows the completion message.
#include <gtest/gtest.h>

#include <vector>

#include "../unit/cabrillo_check.h"
#include "host_exports.h"
#include "window_driver.h"

namespace {

using window_driver::Click;
using window_driver::SetItemText;

const char kIni[] = "Plugins\\SOLSTICE-RACE.ini";

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

bool Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The completion message as the operator saw it.
struct Shown {
    bool found = false;
    std::string text;
    bool informationIcon = false;
};

BOOL CALLBACK FindIcon(HWND child, LPARAM lparam) {
    char cls[32] = {0};
    GetClassNameA(child, cls, sizeof cls);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
        auto icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        // System icons are shared: the box shows the very handle LoadIcon hands out.
        if (icon && icon == LoadIconA(nullptr, MAKEINTRESOURCEA(32516))) {
            *reinterpret_cast<bool*>(lparam) = true;
            return FALSE;
        }
    }
    return TRUE;
}

// Closes the "Output" box once it appears, noting what it said.
window_driver::Driver OutputWatcher(Shown& shown, int waitMs) {
    return window_driver::Driver("Output", waitMs, [&shown](HWND box) {
        if (!box) return;
        shown.found = true;
        EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&shown.informationIcon));
        // The text sits in the box's static text control.
        shown.text = window_driver::ItemText(box, 0xFFFF);
        Click(box, IDOK);
    });
}

class CabrilloExport : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA("Plugins", nullptr);
        // A CW log, so that the CW QSOs are admitted.
        WritePrivateProfileStringA("Settings", "CW", "1", kIni);
        ASSERT_TRUE(dll.Loaded());
    }
    int Reset(int exportFlag) {
        return dll.ResetStats(folder.path + "\\", exportFlag, "EA8/G4ABC",
                              COleDateTime::FromFields(2026, 6, 20, 0, 0),
                              COleDateTime::FromFields(2026, 6, 21, 0, 0), "EA8");
    }
    void AddQsos() {
        HostExports::QsoFields q;
        q.ownCall = "EA8/G4ABC";
        q.call = "DL1ABC";
        q.prefix = "DL";
        q.prefixText = "DL";
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

TEST_F(CabrilloExport, OkThenResultsWriteTheLogAndSayItWasProduced) {
    bool dialogFound = false;
    {
        window_driver::Driver operatorAtTheDialog("SOLSTICE RACE Contest", 10000,
                                                  [&dialogFound](HWND dialog) {
                                                      if (!dialog) return;
                                                      dialogFound = true;
                                                      SetItemText(dialog, 1007, "Ana Garcia");
                                                      SetItemText(dialog, 1016, "LOW");
                                                      SetItemText(dialog, 1001, "Fun\r\n73");
                                                      Click(dialog, IDOK);
                                                  });
        Reset(1);
    }
    ASSERT_TRUE(dialogFound);
    EXPECT_EQ(Key("Name"), "Ana Garcia");
    EXPECT_EQ(Key("Operators"), "EA8/G4ABC");
    EXPECT_EQ(Key("Category"), "SINGLE-OP");
    EXPECT_EQ(Key("Contest"), "SOLSTICE RACE Contest");
    EXPECT_EQ(Key("SoapBox"), "Fun<CR><LF>73");
    AddQsos();

    for (int call = 0; call < 2; ++call) {
        Shown shown;
        {
            window_driver::Driver watcher = OutputWatcher(shown, 10000);
            dll.GetResult();
        }
        EXPECT_TRUE(shown.found);
        EXPECT_EQ(shown.text, "File produced: EA8_G4ABC.cbr");
        EXPECT_TRUE(shown.informationIcon);
        std::string log = ReadAll("EA8_G4ABC.cbr");
        EXPECT_EQ(cabrillo_check::Problems(log), std::vector<std::string>{}) << log;
        EXPECT_EQ(
            log.find("START-OF-LOG: 3.0\r\nCONTEST: SOLSTICE-RACE \r\nCALLSIGN: EA8/G4ABC\r\n"), 0u)
            << log;
        EXPECT_NE(log.find("CATEGORY-MODE: CW\r\nCATEGORY-POWER: LOW\r\n"), std::string::npos);
        EXPECT_NE(log.find("NAME: Ana Garcia\r\n"), std::string::npos);
        // The score the results call computed and kept, not what the dialog showed.
        EXPECT_NE(Key("Claimed"), "0");
        EXPECT_NE(log.find("CLAIMED-SCORE: " + Key("Claimed") + "\r\n"), std::string::npos);
        EXPECT_NE(log.find("SOAPBOX: Fun\r\nSOAPBOX: 73\r\n"), std::string::npos);
        // Each results call rewrites the file: every QSO once, never appended.
        const char kFirst[] =
            "QSO: 14025 CW 2026-06-20 1205 EA8/G4ABC     599 001    DL1ABC        599 017\r\n";
        const char kSecond[] =
            "QSO:  7012 CW 2026-06-20 1206 EA8/G4ABC     599 001    OK1XYZ        599 5\r\n";
        EXPECT_NE(log.find(std::string(kFirst) + kSecond + "END-OF-LOG:\r\n"), std::string::npos)
            << log;
        EXPECT_EQ(log.find(kFirst), log.rfind(kFirst));
    }
}

TEST_F(CabrilloExport, CancelWritesNoKeyAndNoLog) {
    WritePrivateProfileStringA("Settings", "Name", "Ana", kIni);
    bool dialogFound = false;
    {
        window_driver::Driver operatorAtTheDialog("SOLSTICE RACE Contest", 10000,
                                                  [&dialogFound](HWND dialog) {
                                                      if (!dialog) return;
                                                      dialogFound = true;
                                                      SetItemText(dialog, 1007, "Changed");
                                                      Click(dialog, IDCANCEL);
                                                  });
        Reset(1);
    }
    ASSERT_TRUE(dialogFound);
    EXPECT_EQ(Key("Name"), "Ana");
    EXPECT_EQ(Key("Operators"), "");
    AddQsos();
    Shown shown;
    {
        // A box that should not come is closed all the same, so the test cannot hang.
        window_driver::Driver watcher = OutputWatcher(shown, 1500);
        dll.GetResult();
    }
    EXPECT_FALSE(shown.found) << shown.text;
    EXPECT_FALSE(Exists("EA8_G4ABC.cbr"));
}

}  // namespace
