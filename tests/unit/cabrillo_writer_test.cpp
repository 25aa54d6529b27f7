#include <gtest/gtest.h>

#include "cabrillo/cabrillo.h"
#include "cabrillo_check.h"
#include "test_util.h"

namespace {

CInfo Qso(const std::string& call, uint32_t kHz, const std::string& mode, COleDateTime time,
          const std::string& exchSent = "001", const std::string& exchRcvd = "M") {
    CInfo e;
    e.m_strCall = call;
    e.m_nFreqKHz = kHz;
    e.m_strMode = mode;
    e.m_time = time;
    e.m_strRstSent = "599";
    e.m_strRstRcvd = "599";
    e.m_strExchSent = exchSent;
    e.m_strExchRcvd = exchRcvd;
    return e;
}

const COleDateTime kMay6 = COleDateTime::FromFields(2017, 5, 6, 14, 5);

TEST(CabrilloQsoLine, FieldWidths) {
    EXPECT_EQ(cabrillo::QsoLine(Qso("DL1ABC", 14025, "CW", kMay6), "EA1XX"),
              "QSO: 14025 CW 2017-05-06 1405 EA1XX         599 001    DL1ABC        599 M\r\n");
    // Four digits get one leading blank; the 160m band has the same.
    EXPECT_EQ(cabrillo::QsoLine(Qso("DL1ABC", 7025, "CW", kMay6), "EA1XX").substr(0, 11),
              "QSO:  7025 ");
    EXPECT_EQ(cabrillo::QsoLine(Qso("DL1ABC", 1830, "CW", kMay6), "EA1XX").substr(0, 11),
              "QSO:  1830 ");
}

TEST(CabrilloQsoLine, Modes) {
    auto mode = [](const std::string& m) {
        return cabrillo::QsoLine(Qso("DL1ABC", 14200, m, kMay6), "EA1XX").substr(11, 3);
    };
    EXPECT_EQ(mode("SSB"), "PH ");
    EXPECT_EQ(mode("CW"), "CW ");
    EXPECT_EQ(mode("RTTY"), "?? ");
    EXPECT_EQ(mode("ssb"), "?? ");
    EXPECT_EQ(mode(""), "?? ");
}

TEST(CabrilloQsoLine, LongValuesAreWrittenInFullAndKeepTheirBlanks) {
    CInfo e = Qso("EA8/DL1ABCDEF/P", 123456, "CW", kMay6, "1234567", "BARCELONA");
    e.m_strRstSent = "5999";
    std::string line = cabrillo::QsoLine(e, "EA8/G4ABCDEF/MM");
    EXPECT_EQ(line,
              "QSO: 123456 CW 2017-05-06 1405 EA8/G4ABCDEF/MM 5999 1234567 EA8/DL1ABCDEF/P 599 "
              "BARCELONA\r\n");
    EXPECT_TRUE(
        cabrillo_check::Problems("START-OF-LOG: 3.0\r\n" + line + "END-OF-LOG:\r\n").empty());
}

TEST(CabrilloQsoLine, InvalidAndNullTimes) {
    CInfo invalid = Qso("DL1ABC", 14025, "CW", COleDateTime(0.0, COleDateTime::invalid));
    EXPECT_EQ(cabrillo::QsoLine(invalid, "EA1XX").substr(0, 31), "QSO: 14025 CW Invalid DateTime ");
    CInfo null = Qso("DL1ABC", 14025, "CW", COleDateTime(0.0, COleDateTime::null));
    EXPECT_EQ(cabrillo::QsoLine(null, "EA1XX").substr(0, 21), "QSO: 14025 CW  EA1XX ");
}

class CabrilloWriter : public StateTest {
protected:
    void SetUp() override {
        StateTest::SetUp();
        cabrillo::HeaderStore& s = TheContest().header;
        s = cabrillo::HeaderStore();
        s.callsign = "EA1XX";
        s.baseName = "EA1XX";
        s.categoryOperator = "SINGLE-OP";
        s.categoryBand = "ALL";
        s.categoryMode = "CW";
        s.categoryPower = "LOW";
        s.categoryAssisted = "NON-ASSISTED";
        s.categoryTransmitter = "ONE";
        s.operators = "EA1XX";
        s.club = "URE";
        s.name = "Ana Garcia";
        s.address = "Calle Mayor 1";
        s.soapbox = cabrillo::SoapboxLogForm("Fun<CR><LF>73");
        TheContest().claimed = 42;
        TheContest().hostVersion = "2.7";
    }
    void TearDown() override {
        TheContest().header = cabrillo::HeaderStore();
        StateTest::TearDown();
    }
    std::string Cbr(const std::string& name = "EA1XX.cbr") const {
        return ReadFile(dir.path() / name);
    }

    ScopedTempDir dir;
};

const char kHeader[] =
    "START-OF-LOG: 3.0\r\n"
    "CONTEST: SOLSTICE-RACE \r\n"
    "CALLSIGN: EA1XX\r\n"
    "CATEGORY-OPERATOR: SINGLE-OP\r\n"
    "CATEGORY-BAND: ALL\r\n"
    "CATEGORY-MODE: CW\r\n"
    "CATEGORY-POWER: LOW\r\n"
    "CATEGORY-ASSISTED: NON-ASSISTED\r\n"
    "CATEGORY-TRANSMITTER: ONE\r\n"
    "LOCATION: DX\r\n"
    "EMAIL: \r\n"
    "OPERATORS: EA1XX\r\n"
    "CLAIMED-SCORE: 42\r\n"
    "CREATED-BY: Ketl 2.7\r\n"
    "CLUB: URE\r\n"
    "NAME: Ana Garcia\r\n"
    "ADDRESS: Calle Mayor 1\r\n"
    "SOAPBOX: Fun\r\n"
    "SOAPBOX: 73\r\n";

TEST_F(CabrilloWriter, WritesTheExpectedFileAndRewritesItEachTime) {
    CInfo first = Qso("DL1ABC", 14025, "CW", kMay6);
    CInfo dupe = first;
    dupe.m_bDupe = 1;
    CInfo phone =
        Qso("EA4ZZ", 7090, "SSB", COleDateTime::FromFields(2017, 5, 6, 23, 59), "002", "TO");
    phone.m_strRstSent = "59";
    phone.m_strRstRcvd = "57";
    TheContest().log.Append(first);
    TheContest().log.Append(dupe);
    TheContest().log.Append(phone);

    const std::string cw =
        "QSO: 14025 CW 2017-05-06 1405 EA1XX         599 001    DL1ABC        599 M\r\n";
    const std::string ph =
        "QSO:  7090 PH 2017-05-06 2359 EA1XX         59  002    EA4ZZ         57  TO\r\n";
    EXPECT_EQ(cabrillo::ExportLog(TheContest()), "File produced: EA1XX.cbr");
    EXPECT_EQ(Cbr(), kHeader + cw + cw + ph + "END-OF-LOG:\r\n");
    EXPECT_EQ(cabrillo_check::Problems(Cbr()), std::vector<std::string>{});
    // A second results call holds each entry once and follows the log as it is now.
    TheContest().log.RemoveAt(1);
    EXPECT_EQ(cabrillo::ExportLog(TheContest()), "File produced: EA1XX.cbr");
    EXPECT_EQ(TheContest().header.qsoLines.size(), 2u);
    EXPECT_EQ(Cbr(), kHeader + cw + ph + "END-OF-LOG:\r\n");
}

TEST_F(CabrilloWriter, EmptyLogEndsRightAfterTheSoapbox) {
    EXPECT_EQ(cabrillo::ExportLog(TheContest()), "File produced: EA1XX.cbr");
    EXPECT_EQ(Cbr(), std::string(kHeader) + "END-OF-LOG:\r\n");
    EXPECT_TRUE(cabrillo_check::Problems(Cbr()).empty());
}

TEST_F(CabrilloWriter, PastedTabsBecomeBlanks) {
    TheContest().header.name = "Ana\tGarcia";
    TheContest().header.soapbox = cabrillo::SoapboxLogForm("Fun\tand<CR><LF>73");
    TheContest().log.Append(Qso("DL1ABC", 14025, "CW", kMay6, "001", "M\t"));
    cabrillo::ExportLog(TheContest());
    EXPECT_TRUE(cabrillo_check::Problems(Cbr()).empty()) << Cbr();
    EXPECT_NE(Cbr().find("NAME: Ana Garcia\r\n"), std::string::npos);
    EXPECT_NE(Cbr().find("SOAPBOX: Fun and\r\nSOAPBOX: 73\r\n"), std::string::npos);
    EXPECT_NE(Cbr().find(" 599 M \r\n"), std::string::npos);
}

TEST_F(CabrilloWriter, FileThatCannotBeWrittenIsNotReportedAsProduced) {
    std::filesystem::create_directory(dir.path() / "EA1XX.cbr");
    EXPECT_EQ(cabrillo::ExportLog(TheContest()), "File not produced: EA1XX.cbr");
}

TEST_F(CabrilloWriter, OddOwnCallStillWritesIntoTheCurrentFolder) {
    TheContest().header.baseName = cabrillo::BaseName("EA1/..\\X:Y");
    EXPECT_EQ(cabrillo::ExportLog(TheContest()), "File produced: EA1_.._X_Y.cbr");
    EXPECT_TRUE(cabrillo_check::Problems(Cbr("EA1_.._X_Y.cbr")).empty());
}

TEST(CabrilloChecker, FindsWhatLogCheckersReject) {
    const std::string qso = "QSO: 14025 CW 2017-05-06 1405 EA1XX 599 001 DL1ABC 599 M\r\n";
    const std::string good = "START-OF-LOG: 3.0\r\nCALLSIGN: EA1XX\r\n" + qso + "END-OF-LOG:\r\n";
    EXPECT_TRUE(cabrillo_check::Problems(good).empty());
    auto bad = [](const std::string& file) { return !cabrillo_check::Problems(file).empty(); };
    EXPECT_TRUE(bad("CALLSIGN: EA1XX\r\n" + qso + "END-OF-LOG:\r\n"));
    EXPECT_TRUE(bad("START-OF-LOG: 3.0\r\n" + qso));
    EXPECT_TRUE(bad("START-OF-LOG: 3.0\r\nCALLSIGN:\tEA1XX\r\n" + qso + "END-OF-LOG:\r\n"));
    EXPECT_TRUE(bad("START-OF-LOG: 3.0\nCALLSIGN: EA1XX\r\n" + qso + "END-OF-LOG:\r\n"));
    EXPECT_TRUE(bad("START-OF-LOG: 3.0\r\nCALLSIGN: EA1XX\r\n" + qso + "END-OF-LOG:"));
    EXPECT_TRUE(bad("START-OF-LOG: 3.0\r\nCALL-SIGN: EA1XX\r\n" + qso + "END-OF-LOG:\r\n"));
    EXPECT_TRUE(bad("START-OF-LOG: 3.0\r\nSOAPBOX: a\rb\r\n" + qso + "END-OF-LOG:\r\n"));
    EXPECT_TRUE(bad("START-OF-LOG: 3.0\r\n" + qso + "CALLSIGN: EA1XX\r\nEND-OF-LOG:\r\n"));
    // Touching fields: own call and RST run together.
    EXPECT_TRUE(
        bad("START-OF-LOG: 3.0\r\nQSO: 14025 CW 2017-05-06 1405 EA1XXXXXXXXXX599 001 "
            "DL1ABC 599 M\r\nEND-OF-LOG:\r\n"));
}

}  // namespace
