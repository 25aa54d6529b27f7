// The reset of a statistics pass and the removal of a QSO.
#include <filesystem>

#include "engine/host_ini.h"
#include "engine_util.h"
#include "settings/settings.h"

namespace {

namespace fs = std::filesystem;

class Reset : public EngineTest {
protected:
    // A host folder below the current one, with its ini.
    std::string HostFolder(const std::string& iniName, const std::string& content) {
        fs::create_directories(dir_.path() / "host");
        WriteFile(dir_.path() / "host" / iniName, content);
        return "host/";
    }
};

TEST_F(Reset, DatesOwnStationAndBadQsoFile) {
    WriteFile(dir_.path() / "BadQSO_StatsSOLSTICE-RACE_07_05_2017.txt", "old content\r\n");
    engine::ResetArgs r = PassArgs();
    r.furtherText = "further";
    EXPECT_EQ(DoReset(r), 1);
    const engine::Contest& s = TheContest();
    EXPECT_EQ(s.startText, "06.05");
    EXPECT_EQ(s.yearText, "2017");
    EXPECT_EQ(s.endText, "07.05.2017");
    EXPECT_EQ(s.ownCall, "EA1XX");
    EXPECT_EQ(s.ownPrefix, "EA");
    EXPECT_EQ(s.furtherText, "further");
    EXPECT_EQ(s.badQsoFile, "BadQSO_StatsSOLSTICE-RACE_07_05_2017.txt");
    EXPECT_EQ(BadFile(), "SOLSTICE-RACE SSB TEST UBN file \r\n");
    for (int slot = 0; slot < contest::kBandCount; ++slot)
        EXPECT_EQ(s.bandTable[slot], (StringList{contest::kBands[slot], "-", "-", "-", "-"}));
}

TEST_F(Reset, EndsTheEarlierPass) {
    StartCwPass();
    Add(Qso("DL1ABC"));
    Add(Qso("DL1ABC"));
    TheContest().bandTable[3] = {"20m", "CW", "1403", "001", ""};
    StartCwPass();
    EXPECT_TRUE(TheContest().log.Empty());
    EXPECT_TRUE(TheContest().workedBands.empty());
    EXPECT_EQ(BadFile(), "SOLSTICE-RACE CW TEST UBN file \r\n");
    EXPECT_EQ(TheContest().bandTable[3], (StringList{"20m", "-", "-", "-", "-"}));
    EXPECT_EQ(TheContest().cwTest, 1);
}

TEST_F(Reset, ExUssrFlagIsSetForGood) {
    engine::ResetArgs r = PassArgs();
    DoReset(r);
    EXPECT_EQ(TheContest().exUssr, 0);
    r.ownPrefix = "UA2";
    DoReset(r);
    EXPECT_EQ(TheContest().exUssr, 1);
    r.ownPrefix = "DL";
    DoReset(r);
    EXPECT_EQ(TheContest().exUssr, 1);
}

TEST_F(Reset, HostVersionFromTheIniInTheSearchedFolder) {
    std::string folder = HostFolder("Ketl2.ini", "[Main]\r\nPath=x\r\nKetl=2.19\r\nKetl=9\r\n");
    // A stray ini in the current folder is not the one that was found.
    WriteFile(dir_.path() / "Ketl2.ini", "Ketl=2.16\r\n");
    DoReset(PassArgs(folder));
    EXPECT_EQ(TheContest().hostVersion, "2.19");
}

TEST_F(Reset, HostVersionRules) {
    DoReset(PassArgs("nowhere/"));
    EXPECT_EQ(TheContest().hostVersion, "Ketl");

    // The tag may stand anywhere; the first five characters go all the same.
    std::string folder = HostFolder("Ketl2.ini", "xKetl=2.20\r\n");
    DoReset(PassArgs(folder));
    EXPECT_EQ(TheContest().hostVersion, "=2.20");

    // Found but without the line: the version known so far stays.
    WriteFile(dir_.path() / "host/Ketl2.ini", "[Main]\r\n");
    DoReset(PassArgs(folder));
    EXPECT_EQ(TheContest().hostVersion, "=2.20");

    // A backup tells where the host lives, but only "Ketl2.ini" itself is read.
    fs::remove(dir_.path() / "host/Ketl2.ini");
    WriteFile(dir_.path() / "host/OldKetl2.ini", "Ketl=2.16\r\n");
    DoReset(PassArgs(folder));
    EXPECT_EQ(TheContest().hostVersion, "=2.20");

    // Only names with "Ketl2.ini" in them count.
    fs::remove(dir_.path() / "host/OldKetl2.ini");
    WriteFile(dir_.path() / "host/Other.ini", "Ketl=1.0\r\n");
    DoReset(PassArgs(folder));
    EXPECT_EQ(TheContest().hostVersion, "Ketl");
}

TEST_F(Reset, StartAlternatesAndStartsTheSetupWindowEveryOtherTime) {
    DoReset(PassArgs());
    EXPECT_EQ(SetupRecorder::calls, (std::vector<std::string>{"start"}));
    EXPECT_TRUE(SetupRecorder::startedUnlocked);
    EXPECT_EQ(settings::ReadKey("Start"), "1");
    DoReset(PassArgs());
    EXPECT_EQ(SetupRecorder::calls.size(), 1u);
    EXPECT_EQ(settings::ReadKey("Start"), "0");
    DoReset(PassArgs());
    EXPECT_EQ(SetupRecorder::calls.size(), 2u);
}

TEST_F(Reset, RunningSetupWindowIsLeftAlone) {
    SetupRecorder::windowExists = true;
    DoReset(PassArgs());
    EXPECT_TRUE(SetupRecorder::calls.empty());
    EXPECT_EQ(settings::ReadKey("Start"), "");
}

TEST_F(Reset, OldHostsNeverGetTheSetupWindowButStartStillAlternates) {
    for (const char* old : {"2.18", "2.17", "2.16", "2.15", "2.14", "2.14R"}) {
        std::string folder = HostFolder("Ketl2.ini", std::string("Ketl=") + old + "\r\n");
        DoReset(PassArgs(folder));
        EXPECT_EQ(settings::ReadKey("Start"), "1") << old;
        DoReset(PassArgs(folder));
        EXPECT_EQ(settings::ReadKey("Start"), "0") << old;
    }
    EXPECT_TRUE(SetupRecorder::calls.empty());
}

TEST_F(Reset, ExportResetNeverStartsTheSetupWindow) {
    engine::ResetArgs r = PassArgs();
    r.exportFlag = 1;
    DoReset(r);
    EXPECT_EQ(TheContest().exportFlag, 1);
    EXPECT_TRUE(SetupRecorder::calls.empty());
    EXPECT_EQ(settings::ReadKey("Start"), "0");
    r.exportFlag = 0;
    DoReset(r);
    EXPECT_EQ(TheContest().exportFlag, 0);
    EXPECT_EQ(SetupRecorder::calls.size(), 1u);
}

TEST(HostIni, SearchMatchesAsWindowsDoes) {
    using hostini::MatchesPattern;
    EXPECT_TRUE(MatchesPattern("Ketl2.ini", "*.ini"));
    EXPECT_TRUE(MatchesPattern("KETL2.INI", "*.ini"));
    EXPECT_TRUE(MatchesPattern("Ketl2.ini", "Ke*.ini"));
    EXPECT_FALSE(MatchesPattern("Ketl2.ini", "Kx*.ini"));
    EXPECT_FALSE(MatchesPattern("Ketl2.ini.bak", "*.ini"));
    EXPECT_TRUE(MatchesPattern("a.ini.ini", "*.ini"));
    EXPECT_TRUE(MatchesPattern("ab.ini", "a?.ini"));
    EXPECT_EQ(hostini::FolderOf("C:\\Ketl\\*.ini"), "C:\\Ketl\\");
    EXPECT_EQ(hostini::FolderOf("host/sub/*.ini"), "host/sub/");
    EXPECT_EQ(hostini::FolderOf("C:*.ini"), "C:");
    EXPECT_EQ(hostini::FolderOf("*.ini"), "");
    // The first name with the host ini's name in it, case-sensitive.
    EXPECT_EQ(hostini::PickHostIni({"a.ini", "ketl2.ini", "OldKetl2.ini", "Ketl2.ini"}),
              "OldKetl2.ini");
    EXPECT_EQ(hostini::PickHostIni({"a.ini"}), std::nullopt);
}

class Removal : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        StartCwPass();
    }
};

TEST_F(Removal, TakesTheFirstExactMatchOnly) {
    engine::QsoArgs first = Qso("DL1ABC");
    first.time = COleDateTime::FromFields(2017, 5, 6, 14, 3, 10);
    engine::QsoArgs second = first;
    second.time = COleDateTime::FromFields(2017, 5, 6, 14, 3, 40);
    Add(first);
    Add(second);
    Add(first);
    engine::QsoArgs other = Qso("DL1ABC", "40m");
    Add(other);

    EXPECT_EQ(Remove(second), 1);
    ASSERT_EQ(TheContest().log.Count(), 3);
    EXPECT_TRUE(TheContest().log[0].m_time.SameMoment(first.time));
    EXPECT_TRUE(TheContest().log[1].m_time.SameMoment(first.time));
    EXPECT_EQ(TheContest().log[2].m_strBand, "40m");

    // Mode, band and call must match exactly.
    engine::QsoArgs lower = first;
    lower.call = "dl1abc";
    Remove(lower);
    lower = first;
    lower.band = "20M";
    Remove(lower);
    EXPECT_EQ(TheContest().log.Count(), 3);
    Remove(first);
    EXPECT_EQ(TheContest().log.Count(), 2);
    // The remaining copy of `first` is the former dupe.
    EXPECT_EQ(TheContest().log[0].m_bDupe, 1);
}

TEST_F(Removal, NullTimesMatchInvalidOnesNever) {
    engine::QsoArgs nul = Qso("A1");
    nul.time = COleDateTime(0, COleDateTime::null);
    engine::QsoArgs inv = Qso("A2");
    inv.time = COleDateTime(0, COleDateTime::invalid);
    Add(nul);
    Add(inv);
    Remove(inv);
    EXPECT_EQ(TheContest().log.Count(), 2);
    Remove(nul);
    ASSERT_EQ(TheContest().log.Count(), 1);
    EXPECT_EQ(TheContest().log[0].m_strCall, "A2");
}

TEST_F(Removal, DropsOnlyTheRemovedQsosLines) {
    engine::QsoArgs a = Qso("EA1A");
    a.prefix = "EA";
    a.exchRcvd = "12";  // a province line
    engine::QsoArgs longer = a;
    longer.call = "EA1AB";
    engine::QsoArgs later = a;  // a dupe of `a`, a minute later
    later.time = COleDateTime::FromFields(2017, 5, 6, 14, 4);
    engine::QsoArgs rejected = a;
    rejected.band = "12m";
    Add(a);
    Add(longer);
    Add(later);
    Add(rejected);
    ASSERT_EQ(BadLines().size(), 6u);

    Remove(rejected);  // not stored, but its lines go with those of its minute
    std::vector<std::string> lines = BadLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "SOLSTICE-RACE CW TEST UBN file ");
    EXPECT_NE(lines[1].find("  EA1AB  599  12   NO SPAIN"), std::string::npos);
    EXPECT_NE(lines[2].find(" 1404  EA1XX  599  001  EA1A  599  12   NO SPAIN"), std::string::npos);
    EXPECT_NE(lines[3].find(" 1404  EA1XX  599  001  EA1A  599  12   DUPE"), std::string::npos);
    EXPECT_EQ(TheContest().log.Count(), 3);
}

TEST_F(Removal, RewritesWithTheCurrentTitle) {
    Add(Qso("A1", "12m"));
    TheContest().cwTest = 0;  // the Setup window chose SSB meanwhile
    Remove(Qso("B1"));
    std::vector<std::string> lines = BadLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "SOLSTICE-RACE SSB TEST UBN file ");
    EXPECT_TRUE(lines[1].ends_with("   WRONG BAND !!!"));
}

TEST_F(Removal, MissingFileIsNotCreated) {
    fs::remove(dir_.path() / TheContest().badQsoFile);
    Remove(Qso("A1"));
    EXPECT_FALSE(fs::exists(dir_.path() / TheContest().badQsoFile));
}

TEST_F(Removal, ListsGoWithTheLastEntry) {
    Add(Qso("A1", "20m"));
    Add(Qso("A2", "40m"));
    TheContest().entityLists[3] = {"DL"};
    TheContest().provinceLists[2] = {"M"};
    Remove(Qso("A1", "20m"));
    EXPECT_EQ(TheContest().workedBands, (StringList{"20m", "40m"}));
    EXPECT_EQ(TheContest().entityLists[3], StringList{"DL"});
    Remove(Qso("A2", "40m"));
    EXPECT_TRUE(TheContest().workedBands.empty());
    for (int slot = 0; slot < contest::kBandCount; ++slot) {
        EXPECT_TRUE(TheContest().entityLists[slot].empty());
        EXPECT_TRUE(TheContest().provinceLists[slot].empty());
    }
}

TEST_F(Removal, ClearsProvinceMarksForMainlandSpainAndAlwaysAsksForRefresh) {
    engine::QsoArgs ea = Qso("EA1A");
    ea.prefix = "EA";
    ea.exchRcvd = "M";
    engine::QsoArgs ea8 = Qso("EA8A");
    ea8.prefix = "EA8";
    ea8.exchRcvd = "TF";
    Add(ea);
    Add(ea8);
    SetupRecorder::windowExists = true;
    TheContest().refreshAllowed = 0;

    Remove(ea8);
    EXPECT_EQ(SetupRecorder::calls, (std::vector<std::string>{"refresh"}));
    EXPECT_EQ(TheContest().refreshAllowed.load(), 1);
    Remove(ea8);  // no longer stored: no marks, still a refresh
    Remove(ea);
    EXPECT_EQ(SetupRecorder::calls,
              (std::vector<std::string>{"refresh", "refresh", "clear marks", "refresh"}));

    SetupRecorder::windowExists = false;
    TheContest().refreshAllowed = 0;
    Remove(ea);
    EXPECT_EQ(SetupRecorder::calls.size(), 4u);
    EXPECT_EQ(TheContest().refreshAllowed.load(), 1);
}

}  // namespace
