// Admission of QSOs and the lines of the bad-QSO file.
#include <algorithm>
#include <filesystem>

#include "engine_util.h"

namespace {

class Admission : public EngineTest {};

const char kTitleCw[] = "SOLSTICE-RACE CW TEST UBN file \r\n";

TEST_F(Admission, LineLayoutIsExactWithCrLf) {
    StartCwPass();
    engine::QsoArgs q = Qso("DL1ABC", "12m");
    q.freqHz = 7012500;  // the remainder is dropped
    q.exchRcvd = " 7 ";  // written as passed
    EXPECT_EQ(Add(q), 0);
    EXPECT_EQ(BadFile(), std::string(kTitleCw) +
                             "QSO:  7012  CW  2017-05-06 1403  EA1XX  599  001  DL1ABC  599   7 "
                             "   WRONG BAND !!!\r\n");
}

TEST_F(Admission, RejectionsInTheirOrderAndNothingStored) {
    StartCwPass();
    engine::QsoArgs wrongBandAndMode = Qso("A1", "12m", "RTTY");
    engine::QsoArgs ssbInCwTest = Qso("A2", "20m", "SSB");
    engine::QsoArgs lowerCaseCw = Qso("A3", "20m", "cw");
    engine::QsoArgs noSent = Qso("A4");
    noSent.exchSent = "";
    engine::QsoArgs noRcvd = Qso("A5");
    noRcvd.exchRcvd = "";
    engine::QsoArgs noNumberWrongBand = Qso("A6", "12m");
    noNumberWrongBand.exchRcvd = "";

    for (const auto* q :
         {&wrongBandAndMode, &ssbInCwTest, &lowerCaseCw, &noSent, &noRcvd, &noNumberWrongBand})
        EXPECT_EQ(Add(*q), 0) << q->call;

    EXPECT_TRUE(TheContest().log.Empty());
    EXPECT_TRUE(TheContest().workedBands.empty());
    std::vector<std::string> lines = BadLines();
    ASSERT_EQ(lines.size(), 7u);  // the title and one line per rejected QSO
    const char* expected[][2] = {{"A1", "   WRONG BAND !!!"}, {"A2", "   WRONG MODE !!!"},
                                 {"A3", "   WRONG MODE !!!"}, {"A4", "   NO NUMBER !!!"},
                                 {"A5", "   NO NUMBER !!!"},  {"A6", "   WRONG BAND !!!"}};
    for (size_t i = 0; i < 6; ++i) {
        const std::string& line = lines[i + 1];
        EXPECT_NE(line.find(std::string("  ") + expected[i][0] + "  "), std::string::npos) << line;
        EXPECT_TRUE(line.ends_with(expected[i][1])) << line;
    }
}

TEST_F(Admission, SsbTestTakesOnlyUpperCaseSsb) {
    WriteFile(dir_.path() / "Plugins/SOLSTICE-RACE.ini", "[Settings]\r\nStart=1\r\n");
    DoReset(PassArgs());
    EXPECT_EQ(Add(Qso("K1A", "20m", "CW")), 0);
    EXPECT_EQ(Add(Qso("K1B", "20m", "ssb")), 0);
    EXPECT_EQ(Add(Qso("K1C", "20m", "SSB")), 1);
    EXPECT_EQ(BadFile().rfind("SOLSTICE-RACE SSB TEST UBN file \r\n", 0), 0u);
    EXPECT_EQ(TheContest().log.Count(), 1);
}

TEST_F(Admission, StoredEntryCarriesTheQso) {
    StartCwPass();
    engine::QsoArgs q = Qso("K5XYZ", "40m");
    q.prefix = "K";
    q.prefixText = "K5";
    q.extra = "extra";
    q.freqHz = 7012999;
    ASSERT_EQ(Add(q), 1);
    const CInfo& e = TheContest().log[0];
    EXPECT_EQ(e.m_strCall, "K5XYZ");
    EXPECT_EQ(e.m_strBand, "40m");
    EXPECT_EQ(e.m_strMode, "CW");
    EXPECT_EQ(e.m_strExtra, "extra");
    EXPECT_EQ(e.m_strExchSent, "001");
    EXPECT_EQ(e.m_strExchRcvd, "002");
    EXPECT_EQ(e.m_strPrefix, "K");
    EXPECT_EQ(e.m_nFreqKHz, 7012u);
    EXPECT_EQ(e.m_nAreaK, 5);
    EXPECT_EQ(e.m_nAreaJA, -1);
    EXPECT_EQ(e.m_bDupe, 0);
    EXPECT_EQ(e.m_bNotCounted, 0);
    EXPECT_EQ(e.m_bRejected, 0);
    EXPECT_TRUE(e.m_time.SameMoment(q.time));
    EXPECT_EQ(BadFile(), kTitleCw);  // nothing to report
}

TEST_F(Admission, SpanishProvinceOrProvinceLine) {
    StartCwPass();
    engine::QsoArgs tf = Qso("EA8AA");
    tf.prefix = "EA8";
    tf.exchRcvd = " tf ";
    EXPECT_EQ(Add(tf), 1);
    EXPECT_EQ(TheContest().log[0].m_strProvince, "TF");
    EXPECT_EQ(TheContest().log[0].m_strExchRcvd, " tf ");

    engine::QsoArgs serial = Qso("EA1BB");
    serial.prefix = "EA";
    serial.prefixText = "EA1";
    serial.exchRcvd = "123";
    EXPECT_EQ(Add(serial), 1);
    EXPECT_EQ(TheContest().log[1].m_strProvince, "");
    EXPECT_EQ(TheContest().log[1].m_nAreaK, -1);

    std::string file = BadFile();
    EXPECT_EQ(file.find("EA8AA"), std::string::npos);
    EXPECT_NE(file.find("  EA1BB  599  123   NO SPAIN PROVINCE !!!\r\n"), std::string::npos)
        << file;
}

TEST_F(Admission, DupeIsSameCallBandAndModeExactly) {
    StartCwPass();
    EXPECT_EQ(Add(Qso("DL1ABC", "20m")), 1);
    EXPECT_EQ(Add(Qso("DL1ABC", "40m")), 1);  // another band
    EXPECT_EQ(Add(Qso("dl1abc", "20m")), 1);  // another spelling
    EXPECT_EQ(Add(Qso("DL1ABC", "20M")), 1);  // the band as typed differs
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(TheContest().log[i].m_bDupe, 0) << i;
    EXPECT_EQ(BadFile(), kTitleCw);

    EXPECT_EQ(Add(Qso("DL1ABC", "20m")), 1);
    EXPECT_EQ(Add(Qso("DL1ABC", "20m")), 1);
    EXPECT_EQ(TheContest().log[4].m_bDupe, 1);
    EXPECT_EQ(TheContest().log[4].m_bNotCounted, 1);
    EXPECT_EQ(TheContest().log[5].m_bDupe, 1);
    std::string file = BadFile();
    // One dupe line per dupe QSO, however many earlier entries it repeats.
    size_t first = file.find("   DUPE !!!\r\n");
    ASSERT_NE(first, std::string::npos);
    size_t second = file.find("   DUPE !!!\r\n", first + 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(file.find("   DUPE !!!", second + 1), std::string::npos);
}

TEST_F(Admission, ProvinceLineComesBeforeDupeLine) {
    StartCwPass();
    engine::QsoArgs q = Qso("EA5ZZ");
    q.prefix = "EA";
    q.exchRcvd = "12";
    Add(q);
    Add(q);
    std::string file = BadFile();
    size_t province2 = file.rfind("   NO SPAIN PROVINCE !!!\r\n");
    size_t dupe = file.find("   DUPE !!!\r\n");
    ASSERT_NE(dupe, std::string::npos);
    EXPECT_LT(province2, dupe);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 4);
}

TEST_F(Admission, WorkedBandsInArrivalOrderIncludingDupesBands) {
    StartCwPass();
    Add(Qso("A1", "40m"));
    Add(Qso("A2", "20m"));
    Add(Qso("A1", "40m"));
    Add(Qso("A3", "12m"));
    EXPECT_EQ(TheContest().workedBands, (StringList{"40m", "20m"}));
}

TEST_F(Admission, NoFileIsTouchedWithoutALine) {
    StartCwPass();
    std::filesystem::remove(dir_.path() / TheContest().badQsoFile);
    EXPECT_EQ(Add(Qso("DL1ABC")), 1);
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / TheContest().badQsoFile));
    // A line to write creates the file again.
    EXPECT_EQ(Add(Qso("DL1ABC")), 1);
    EXPECT_NE(BadFile().find("   DUPE !!!"), std::string::npos);
}

TEST_F(Admission, BeforeAnyResetLinesAreLostButTheLogChanges) {
    // Test mode SSB, no file name yet.
    EXPECT_EQ(Add(Qso("DL1ABC", "20m", "SSB")), 1);
    EXPECT_EQ(Add(Qso("DL1ABC", "20m", "SSB")), 1);
    EXPECT_EQ(TheContest().log.Count(), 2);
    EXPECT_TRUE(std::filesystem::is_empty(dir_.path() / "Plugins"));
}

TEST_F(Admission, NullAndInvalidTimesAreWrittenAsTheirTexts) {
    StartCwPass();
    engine::QsoArgs q = Qso("A1", "12m");
    q.time = COleDateTime(0, COleDateTime::null);
    Add(q);
    q.call = "A2";
    q.time = COleDateTime(0, COleDateTime::invalid);
    Add(q);
    std::string file = BadFile();
    EXPECT_NE(file.find("QSO:  14025  CW    EA1XX"), std::string::npos) << file;
    EXPECT_NE(file.find("QSO:  14025  CW  Invalid DateTime  EA1XX"), std::string::npos) << file;
}

}  // namespace
