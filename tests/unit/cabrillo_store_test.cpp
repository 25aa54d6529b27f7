#include <gtest/gtest.h>

#include "cabrillo/cabrillo.h"
#include "cabrillo/header_dialog.h"
#include "settings/settings.h"
#include "test_util.h"

namespace {

using cabrillo::HeaderDialogValues;

class CabrilloStore : public StateTest {
protected:
    void SetUp() override {
        StateTest::SetUp();
        TheContest().header = cabrillo::HeaderStore();
        TheContest().exportFlag = 1;
    }
    void TearDown() override {
        TheContest().headerDialog = cabrillo::ShowHeaderDialog;
        TheContest().header = cabrillo::HeaderStore();
        StateTest::TearDown();
    }
    // Runs the preparation as the reset does, with the lock held; keeps what the dialog
    // was shown.
    int Prepare(const std::string& ownCall, std::function<bool(HeaderDialogValues&)> answer = {}) {
        TheContest().headerDialog = [this, answer](HeaderDialogValues& v) {
            shown = v;
            ++showings;
            return answer ? answer(v) : true;
        };
        StateLock lock(TheContest().mutex);
        return cabrillo::PrepareExport(TheContest(), ownCall,
                                       COleDateTime::FromFields(2026, 6, 20, 0, 0),
                                       COleDateTime::FromFields(2026, 6, 21, 0, 0), lock);
    }
    std::string Ini() const { return ReadFile(dir.path() / "Plugins/SOLSTICE-RACE.ini"); }

    ScopedTempDir dir;
    HeaderDialogValues shown;
    int showings = 0;
};

TEST(CabrilloBaseName, PortableCallsAndBlanks) {
    EXPECT_EQ(cabrillo::BaseName("EA8/G4ABC"), "EA8_G4ABC");
    EXPECT_EQ(cabrillo::BaseName("G4ABC\\P"), "G4ABC_P");
    EXPECT_EQ(cabrillo::BaseName("  EA1XX \t"), "EA1XX");
    EXPECT_EQ(cabrillo::BaseName("   "), "ANON");
    EXPECT_EQ(cabrillo::BaseName(""), "ANON");
    // Replacement comes before trimming: a slash at an end stays as "_".
    EXPECT_EQ(cabrillo::BaseName(" /EA1XX/ "), "_EA1XX_");
}

TEST(CabrilloBaseName, StaysAPlainFileNameOfTheCurrentFolder) {
    EXPECT_EQ(cabrillo::BaseName("C:EA1XX"), "C_EA1XX");
    EXPECT_EQ(cabrillo::BaseName("../EA1XX"), ".._EA1XX");
    EXPECT_EQ(cabrillo::BaseName("A*B?C\"D<E>F|G"), "A_B_C_D_E_F_G");
    EXPECT_EQ(cabrillo::BaseName(std::string("EA\x01X\tY\x1f", 7)), "EA_X_Y_");
    // Bytes of the ANSI code page above 127 are ordinary characters.
    EXPECT_EQ(cabrillo::BaseName("R\xc0\xff"), "R\xc0\xff");
    // Windows opens a device for these names, whatever the extension.
    EXPECT_EQ(cabrillo::BaseName("CON"), "CON_");
    EXPECT_EQ(cabrillo::BaseName("nul"), "nul_");
    EXPECT_EQ(cabrillo::BaseName("COM1"), "COM1_");
    EXPECT_EQ(cabrillo::BaseName("Lpt9.x"), "Lpt9.x_");
    EXPECT_EQ(cabrillo::BaseName("COM10"), "COM10");
    EXPECT_EQ(cabrillo::BaseName("CONX"), "CONX");
}

TEST(CabrilloSoapbox, EscapingBothWaysAndTheLogForm) {
    const std::string typed = "Nice contest\r\n73 to all";
    std::string escaped = cabrillo::EscapeSoapbox(typed);
    EXPECT_EQ(escaped, "Nice contest<CR><LF>73 to all");
    EXPECT_EQ(cabrillo::UnescapeSoapbox(escaped), typed);
    EXPECT_EQ(cabrillo::SoapboxLogForm(escaped), "Nice contest\r\nSOAPBOX: 73 to all");
    // A bare line feed is dropped from the log form rather than breaking the line.
    EXPECT_EQ(cabrillo::SoapboxLogForm(cabrillo::EscapeSoapbox("a\nb")), "ab");
    EXPECT_EQ(cabrillo::SoapboxLogForm(cabrillo::EscapeSoapbox("a\r\nb\r\nc")),
              "a\r\nSOAPBOX: b\r\nSOAPBOX: c");
    EXPECT_EQ(cabrillo::EscapeSoapbox(""), "");
}

TEST_F(CabrilloStore, DefaultsWithoutSettingsFile) {
    EXPECT_EQ(Prepare(" EA8/G4ABC "), 1);
    EXPECT_EQ(showings, 1);
    EXPECT_EQ(shown.callsign, " EA8/G4ABC ");
    EXPECT_EQ(shown.operators, " EA8/G4ABC ");
    EXPECT_EQ(shown.contest, "SOLSTICE RACE Contest");
    EXPECT_EQ(shown.categoryOperator, "SINGLE-OP");
    EXPECT_EQ(shown.categoryBand, "ALL");
    EXPECT_EQ(shown.categoryMode, "SSB");
    EXPECT_EQ(shown.categoryAssisted, "NON-ASSISTED");
    EXPECT_EQ(shown.categoryTransmitter, "ONE");
    for (const std::string* empty : {&shown.name, &shown.address, &shown.club, &shown.email,
                                     &shown.soapbox, &shown.claimed, &shown.categoryPower})
        EXPECT_EQ(*empty, "");
    EXPECT_EQ(TheContest().header.baseName, "EA8_G4ABC");
    EXPECT_EQ(TheContest().exportFlag, 1);
    EXPECT_EQ(TheContest().cwTest, 0);
    // No Plugins folder: the answers are not written anywhere, and nothing is created.
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Plugins"));
}

TEST_F(CabrilloStore, LoadsTheKeysAndTheCwFlag) {
    dir.MakePlugins();
    WriteFile(dir.path() / "Plugins/SOLSTICE-RACE.ini",
              "[Settings]\nCW=1\nOperators=EA1XX EA1YY\nName=Ana\nAddress=Calle 1\n"
              "Claimed=4321\nEmail=ana@example.org\nClub=URE\nSoapBox=one<CR><LF>two\n"
              "Category=MULTI-OP\nContest=Other\n");
    EXPECT_EQ(Prepare("EA1XX"), 1);
    EXPECT_EQ(TheContest().cwTest, 1);
    EXPECT_EQ(shown.categoryMode, "CW");
    EXPECT_EQ(shown.operators, "EA1XX EA1YY");
    EXPECT_EQ(shown.name, "Ana");
    EXPECT_EQ(shown.address, "Calle 1");
    EXPECT_EQ(shown.claimed, "4321");
    EXPECT_EQ(shown.email, "ana@example.org");
    EXPECT_EQ(shown.club, "URE");
    EXPECT_EQ(shown.soapbox, "one\r\ntwo");
    // Written but never read back.
    EXPECT_EQ(shown.categoryOperator, "SINGLE-OP");
    EXPECT_EQ(shown.contest, "SOLSTICE RACE Contest");
}

TEST_F(CabrilloStore, OkTakesTheAnswersAndWritesTheKeysInOrder) {
    dir.MakePlugins();
    TheContest().header.qsoLines = {"QSO: old\r\n"};
    int result = Prepare("EA1XX", [](HeaderDialogValues& v) {
        v.callsign = "EA1XX/P";
        v.claimed = "999999";
        v.categoryMode = "CW";
        v.categoryOperator = "MULTI-OP";
        v.categoryBand = "20M";
        v.categoryPower = "QRP";
        v.categoryAssisted = "ASSISTED";
        v.categoryTransmitter = "TWO";
        v.contest = "My contest";
        v.name = "Ana";
        v.address = "Calle 1";
        v.addressCity = "Madrid";
        v.operators = "EA1XX";
        v.club = "URE";
        v.email = "a@b.c";
        v.soapbox = "line 1\r\nline 2";
        return true;
    });
    EXPECT_EQ(result, 1);
    const cabrillo::HeaderStore& s = TheContest().header;
    EXPECT_EQ(s.callsign, "EA1XX/P");
    EXPECT_EQ(s.baseName, "EA1XX");    // fixed before the dialog
    EXPECT_EQ(s.claimed, "");          // the claimed field is not taken
    EXPECT_EQ(s.categoryMode, "SSB");  // nor the mode: no CW key, an SSB log
    EXPECT_EQ(s.categoryOperator, "MULTI-OP");
    EXPECT_EQ(s.categoryBand, "20M");
    EXPECT_EQ(s.categoryPower, "QRP");
    EXPECT_EQ(s.categoryAssisted, "ASSISTED");
    EXPECT_EQ(s.categoryTransmitter, "TWO");
    EXPECT_EQ(s.addressCity, "Madrid");
    EXPECT_EQ(s.soapbox, "line 1\r\nSOAPBOX: line 2");
    EXPECT_TRUE(s.qsoLines.empty());
    EXPECT_EQ(Ini(),
              "[Settings]\nOperators=EA1XX\nName=Ana\nEmail=a@b.c\nAddress=Calle 1\n"
              "Category=MULTI-OP\nContest=My contest\nClub=URE\nSoapBox=line 1<CR><LF>line 2\n");
}

TEST_F(CabrilloStore, ModeChoiceInACwLogIsNotTaken) {
    dir.MakePlugins();
    settings::WriteKey("CW", "1");
    Prepare("EA1XX", [](HeaderDialogValues& v) {
        v.categoryMode = "SSB";
        return true;
    });
    EXPECT_EQ(TheContest().header.categoryMode, "CW");
}

TEST_F(CabrilloStore, TwoLineSoapboxSurvivesTheNextShowing) {
    dir.MakePlugins();
    Prepare("EA1XX", [](HeaderDialogValues& v) {
        v.soapbox = "first\r\nsecond";
        return true;
    });
    EXPECT_EQ(settings::ReadKey("SoapBox"), "first<CR><LF>second");
    Prepare("EA1XX");
    EXPECT_EQ(shown.soapbox, "first\r\nsecond");
    // Texts longer than the 99 characters of other keys come back whole.
    const std::string longName(150, 'n');
    Prepare("EA1XX", [&](HeaderDialogValues& v) {
        v.name = longName;
        return true;
    });
    Prepare("EA1XX");
    EXPECT_EQ(shown.name, longName);
}

TEST_F(CabrilloStore, PowerAndAddressDetailsCarryOverOtherFieldsReload) {
    dir.MakePlugins();
    Prepare("EA1XX", [](HeaderDialogValues& v) {
        v.categoryPower = "LOW";
        v.addressCity = "Madrid";
        v.addressPostalCode = "28001";
        v.addressCountry = "Spain";
        v.categoryBand = "40M";
        v.categoryOperator = "MULTI-OP";
        return true;
    });
    Prepare("EA2ZZ");
    EXPECT_EQ(shown.categoryPower, "LOW");
    EXPECT_EQ(shown.addressCity, "Madrid");
    EXPECT_EQ(shown.addressPostalCode, "28001");
    EXPECT_EQ(shown.addressCountry, "Spain");
    EXPECT_EQ(shown.categoryBand, "ALL");
    EXPECT_EQ(shown.categoryOperator, "SINGLE-OP");
    EXPECT_EQ(shown.callsign, "EA2ZZ");
    EXPECT_EQ(TheContest().header.baseName, "EA2ZZ");
}

TEST_F(CabrilloStore, CancelClearsTheExportFlagAndWritesNothing) {
    dir.MakePlugins();
    const std::string before = "[Settings]\nName=Ana\nSoapBox=x<CR><LF>y\n";
    WriteFile(dir.path() / "Plugins/SOLSTICE-RACE.ini", before);
    TheContest().header.qsoLines = {"QSO: kept\r\n"};
    EXPECT_EQ(Prepare("EA1XX",
                      [](HeaderDialogValues& v) {
                          v.name = "Changed";
                          return false;
                      }),
              0);
    EXPECT_EQ(TheContest().exportFlag, 0);
    EXPECT_EQ(Ini(), before);
    // The store keeps what was loaded, not what was typed.
    EXPECT_EQ(TheContest().header.name, "Ana");
    EXPECT_EQ(TheContest().header.soapbox, "x\r\ny");
    EXPECT_EQ(TheContest().header.qsoLines.size(), 1u);
}

TEST_F(CabrilloStore, StateLockIsFreeWhileTheDialogIsOpen) {
    bool lockFree = false;
    Prepare("EA1XX", [&lockFree](HeaderDialogValues&) {
        std::unique_lock<std::mutex> probe(TheContest().mutex, std::try_to_lock);
        lockFree = probe.owns_lock();
        return true;
    });
    EXPECT_TRUE(lockFree);
}

TEST_F(CabrilloStore, WithoutAnAnswerTheStandInSaysOkToTheLoadedValues) {
    dir.MakePlugins();
    settings::WriteKey("Name", "Ana");
    TheContest().headerDialog = cabrillo::ShowHeaderDialog;
    StateLock lock(TheContest().mutex);
    EXPECT_EQ(cabrillo::PrepareExport(TheContest(), "EA1XX", COleDateTime(), COleDateTime(), lock),
              1);
    EXPECT_EQ(TheContest().header.name, "Ana");
    EXPECT_EQ(TheContest().header.operators, "EA1XX");
    EXPECT_EQ(settings::ReadKey("Operators"), "EA1XX");
}

}  // namespace
