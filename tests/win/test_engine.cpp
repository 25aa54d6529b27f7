// The contest engine through the 64-bit DLL under Wine: the bad-QSO file, the settings file
// through the real profile functions, and the host ini search.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "find_window.h"
#include "host_exports.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Spit(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

std::string Setting(const char* key) {
    char buffer[100] = {0};
    GetPrivateProfileStringA("Settings", key, "", buffer, sizeof buffer,
                             ".\\Plugins\\SOLSTICE-RACE.ini");
    return buffer;
}

const char kBadFile[] = "BadQSO_StatsSOLSTICE-RACE_07_05_2017.txt";

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dll.Loaded()) << GetLastError();
        CreateDirectoryA("Plugins", nullptr);
        CreateDirectoryA("host", nullptr);
    }
    // A host whose ini is in the folder "host\"; old versions never get the Setup window.
    int Reset(int exportFlag = 0) {
        return dll.ResetStats(folder.path + "\\host\\", exportFlag, "EA1XX",
                              COleDateTime::FromFields(2017, 5, 6, 12, 0),
                              COleDateTime::FromFields(2017, 5, 7, 12, 0), "EA");
    }
    static HostExports::QsoFields Qso(const std::string& call, const std::string& band = "20m") {
        HostExports::QsoFields q;
        q.call = call;
        q.band = band;
        q.time = COleDateTime::FromFields(2017, 5, 6, 14, 3);
        q.prefix = "DL";
        q.prefixText = "DL1";
        return q;
    }

    TempCurrentFolder folder;
    HostExports dll;
};

TEST_F(Engine, HostVersionComesFromTheIniThatWasFound) {
    Spit("host\\Ketl2.ini", "[Main]\r\nLang=1\r\nKetl=2.19\r\n");
    Spit("Ketl2.ini", "Ketl=2.16\r\n");  // not in the searched folder
    Spit("Plugins\\SOLSTICE-RACE.ini", "[Settings]\r\nStart=1\r\n");
    EXPECT_EQ(Reset(), 1);
    // Only host version 2.19 or 2.20 answers 1 for a band outside the contest.
    EXPECT_EQ(dll.CheckCall("DL1ABC", "CW", "DL1", "DL", "12m"), 1);

    // A folder with only a backup of the host ini keeps the version known so far.
    DeleteFileA("host\\Ketl2.ini");
    Spit("host\\OldKetl2.ini", "Ketl=2.16\r\n");
    Spit("Plugins\\SOLSTICE-RACE.ini", "[Settings]\r\nStart=1\r\n");
    Reset();
    EXPECT_EQ(dll.CheckCall("DL1ABC", "CW", "DL1", "DL", "12m"), 1);

    DeleteFileA("host\\OldKetl2.ini");
    Spit("Plugins\\SOLSTICE-RACE.ini", "[Settings]\r\nStart=1\r\n");
    Reset();
    EXPECT_EQ(dll.CheckCall("DL1ABC", "CW", "DL1", "DL", "12m"), 4);
}

TEST_F(Engine, SettingsAlternateThroughTheProfileFunctions) {
    Spit("host\\Ketl2.ini", "Ketl=2.16\r\n");
    // Keys are found without regard to case, as the profile functions do.
    Spit("Plugins\\SOLSTICE-RACE.ini", "[settings]\r\ncw=1\r\n");
    Reset();
    EXPECT_EQ(Setting("Start"), "1");
    EXPECT_EQ(Slurp(kBadFile), "SOLSTICE-RACE CW TEST UBN file \r\n");
    Reset();
    EXPECT_EQ(Setting("Start"), "0");
    {
        // The export pass shows the Cabrillo header dialog; the operator cancels it.
        std::thread operatorAtTheDialog([] {
            for (int tries = 0; tries < 500; ++tries) {
                if (HWND dialog = FindTop(L"#32770", L"SOLSTICE RACE Contest")) {
                    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                    return;
                }
                Sleep(20);
            }
        });
        Reset(1);  // an export pass leaves "0" behind
        operatorAtTheDialog.join();
    }
    EXPECT_EQ(Setting("Start"), "0");
    EXPECT_EQ(Setting("CW"), "1");
}

TEST_F(Engine, WithoutThePluginsFolderNothingIsCreated) {
    RemoveDirectoryA("Plugins");
    Spit("host\\Ketl2.ini", "Ketl=2.16\r\n");
    EXPECT_EQ(Reset(), 1);
    EXPECT_EQ(GetFileAttributesA("Plugins"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Slurp(kBadFile), "SOLSTICE-RACE SSB TEST UBN file \r\n");
}

TEST_F(Engine, BadQsoFileLinesAndRemoval) {
    Spit("host\\Ketl2.ini", "Ketl=2.16\r\n");
    Spit("Plugins\\SOLSTICE-RACE.ini", "[Settings]\r\nCW=1\r\nStart=1\r\n");
    Reset();
    HostExports::QsoFields wrongBand = Qso("EA1A", "12m");
    wrongBand.freqHz = 24900500;
    EXPECT_EQ(dll.AddData(wrongBand), 0);
    EXPECT_EQ(dll.AddData(Qso("EA1AB")), 1);
    EXPECT_EQ(dll.AddData(Qso("EA1AB")), 1);
    const std::string title = "SOLSTICE-RACE CW TEST UBN file \r\n";
    const std::string wrongBandLine =
        "QSO:  24900  CW  2017-05-06 1403  EA1XX  599  001  EA1A  599  001   WRONG BAND !!!\r\n";
    const std::string dupeLine =
        "QSO:  14025  CW  2017-05-06 1403  EA1XX  599  001  EA1AB  599  001   DUPE !!!\r\n";
    EXPECT_EQ(Slurp(kBadFile), title + wrongBandLine + dupeLine);

    // A file that another program holds open against reading is left as it is.
    HANDLE holder = CreateFileA(kBadFile, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    HANDLE reader = CreateFileA(kBadFile, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(reader, INVALID_HANDLE_VALUE) << "the file should not be readable now";
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    EXPECT_EQ(dll.RemoveData(Qso("EA1A", "12m")), 1);
    CloseHandle(holder);
    EXPECT_EQ(Slurp(kBadFile), title + wrongBandLine + dupeLine);

    // Removing "EA1A" keeps the lines of "EA1AB".
    EXPECT_EQ(dll.RemoveData(Qso("EA1A", "12m")), 1);
    EXPECT_EQ(Slurp(kBadFile), title + dupeLine);
    EXPECT_EQ(dll.CheckCall("EA1AB", "CW", "EA1", "EA", "20m"), 0);
    EXPECT_EQ(dll.RemoveData(Qso("EA1AB")), 1);
    EXPECT_EQ(Slurp(kBadFile), title);
    EXPECT_EQ(dll.CheckCall("EA1AB", "CW", "EA1", "EA", "20m"), 0);  // the dupe remains
    EXPECT_EQ(dll.CheckCall("DL1ZZ", "CW", "DL1", "DL", "20m"), 1);
    EXPECT_EQ(dll.IsValidExchg(" m", "EA"), 1);
}

// Another program (an editor, a virus scanner) holds the file with no sharing at all: every
// export goes on, the log stays right, and the file keeps every line it had.
TEST_F(Engine, BadQsoFileHeldExclusivelyByAnotherProgram) {
    Spit("host\\Ketl2.ini", "Ketl=2.16\r\n");
    Spit("Plugins\\SOLSTICE-RACE.ini", "[Settings]\r\nCW=1\r\nStart=1\r\n");
    Reset();
    HostExports::QsoFields wrongBand = Qso("EA1A", "12m");
    EXPECT_EQ(dll.AddData(wrongBand), 0);
    const std::string before = Slurp(kBadFile);
    HANDLE holder = CreateFileA(kBadFile, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(dll.AddData(Qso("EA1AB")), 1);
    EXPECT_EQ(dll.AddData(Qso("EA1AB")), 1);  // its dupe line cannot be written
    EXPECT_EQ(dll.RemoveData(wrongBand), 1);
    EXPECT_EQ(dll.CheckCall("EA1AB", "CW", "EA1", "EA", "20m"), 0);
    const std::string result = dll.GetResult();
    EXPECT_NE(result.find("Total\t 1\t"), std::string::npos) << result;
    CloseHandle(holder);
    EXPECT_EQ(Slurp(kBadFile), before);
}

}  // namespace
