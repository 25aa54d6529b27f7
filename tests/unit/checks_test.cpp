// The call check and the exchange check.
#include "engine_util.h"

namespace {

class CheckCall : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        StartCwPass();  // host version "Ketl": no host ini in the folder
    }
};

TEST_F(CheckCall, DifferingBandArgumentsRefuseBeforeAnythingElse) {
    SetupRecorder::windowExists = true;
    TheContest().hostVersion = "2.19";
    EXPECT_EQ(Check("DL1ABC", "20m", "DL", "DL1", "CW", "40m"), 4);
    EXPECT_TRUE(SetupRecorder::calls.empty());
    // The same band in another case is not a difference; one band missing neither.
    EXPECT_EQ(Check("DL1ABC", "20m", "DL", "DL1", "CW", "20M"), 2);
    EXPECT_EQ(Check("DL1ABC", "20m", "DL", "DL1", "CW", ""), 2);
}

TEST_F(CheckCall, BandOrModeOutsideTheContestDependsOnTheHostVersion) {
    for (const char* version : {"Ketl", "", "2.18", "2.21"}) {
        TheContest().hostVersion = version;
        EXPECT_EQ(Check("DL1ABC", "12m"), 4) << version;
        EXPECT_EQ(Check("DL1ABC", "20m", "DL", "DL1", "RTTY"), 4) << version;
    }
    for (const char* version : {"2.19", "2.20"}) {
        TheContest().hostVersion = version;
        EXPECT_EQ(Check("DL1ABC", "12m"), 1) << version;
        EXPECT_EQ(Check("DL1ABC", "20m", "DL", "DL1", "RTTY"), 1) << version;
    }
    // The lookups ignore case; the mode of the test does not matter here.
    TheContest().hostVersion = "Ketl";
    EXPECT_EQ(Check("DL1ABC", "20M", "DL", "DL1", "ssb"), 2);
}

TEST_F(CheckCall, DupeNewMultiplierOrOrdinary) {
    EXPECT_EQ(Check("DL1ABC", "20m"), 2);
    EXPECT_EQ(Check("DL1ABC", "20m", ""), 1);  // no entity: ordinary
    Add(Qso("DL2XYZ", "20m"));
    EXPECT_EQ(Check("DL1ABC", "20m"), 1);  // entity worked on this band
    EXPECT_EQ(Check("DL1ABC", "40m"), 2);  // but not on this one
    EXPECT_EQ(Check("DL2XYZ", "20m"), 0);
    EXPECT_EQ(Check("DL2XYZ", "20m", "DL", "DL2", "SSB"), 0);  // the mode is not compared
    EXPECT_EQ(Check("dl2xyz", "20m"), 1);                      // the call is compared exactly
    EXPECT_EQ(Check("DL2XYZ", "20M"), 2);                      // and so is the band
}

TEST_F(CheckCall, SpecialPrefixCountsUntilSmrIsWorkedOnTheBand) {
    engine::QsoArgs ea = Qso("EA1AAA", "20m");
    ea.prefix = "EA";
    ea.exchRcvd = "M";
    Add(ea);
    EXPECT_EQ(Check("EA0XX", "20m", "EA", "EA1"), 1);
    EXPECT_EQ(Check("EA0XX", "20m", "EA", "EA0"), 2);  // entity worked, SMR not
    ea.call = "EA0SMR";
    ea.exchRcvd = "smr";
    ea.band = "40m";
    Add(ea);
    EXPECT_EQ(Check("EA0XX", "20m", "EA", "EA0"), 2);
    EXPECT_EQ(Check("EA0XX", "40m", "EA", "EA0"), 1);
    EXPECT_EQ(Check("EA0SMR", "40m", "EA", "EA0"), 0);  // the dupe answer comes first
}

TEST_F(CheckCall, AnswersFollowRemovalAndReset) {
    engine::QsoArgs smr = Qso("EA0AB", "20m");
    smr.prefix = "EA";
    smr.exchRcvd = "SMR";
    Add(smr);
    Add(smr);  // a stored dupe
    EXPECT_EQ(Check("EA0AB", "20m", "EA", "EA0"), 0);
    Remove(smr);
    EXPECT_EQ(Check("EA0AB", "20m", "EA", "EA0"), 0);  // the dupe still stands
    EXPECT_EQ(Check("EA0CD", "20m", "EA", "EA0"), 1);
    Remove(smr);
    EXPECT_EQ(Check("EA0AB", "20m", "EA", "EA0"), 2);
    EXPECT_EQ(Check("EA1AB", "20m", "EA", "EA1"), 2);
    Add(smr);
    DoReset(PassArgs());
    EXPECT_EQ(Check("EA0AB", "20m", "EA", "EA0"), 2);
}

TEST_F(CheckCall, RefreshNudgeOnlyWhileAllowedAndTheWindowExists) {
    Check("DL1ABC", "20m");
    EXPECT_TRUE(SetupRecorder::calls.empty());
    EXPECT_EQ(TheContest().refreshAllowed.load(), 1);

    SetupRecorder::windowExists = true;
    Check("DL1ABC", "20m");
    Check("DL1ABC", "20m");
    EXPECT_EQ(SetupRecorder::calls, (std::vector<std::string>{"refresh"}));
    EXPECT_EQ(TheContest().refreshAllowed.load(), 0);
    // The refresh handler allows the next one when it has run.
    TheContest().refreshAllowed = 1;
    Check("DL1ABC", "12m");  // even a refused call nudges
    EXPECT_EQ(SetupRecorder::calls.size(), 2u);
}

TEST(IsValidExchg, SerialNumbersOfThreeOrFourDigits) {
    for (const char* ok : {"001", "1234", "0599", "999"}) {
        EXPECT_EQ(engine::IsValidExchg(ok, "DL"), 1) << ok;
        EXPECT_EQ(engine::IsValidExchg(ok, "EA"), 1) << ok;
    }
    for (const char* bad : {"599", "12", "12345", "12a", " 12", "", "1 34"})
        EXPECT_EQ(engine::IsValidExchg(bad, "DL"), 0) << bad;
}

TEST(IsValidExchg, ProvincesFromSpanishEntitiesOnly) {
    EXPECT_EQ(engine::IsValidExchg("m", "EA"), 1);
    EXPECT_EQ(engine::IsValidExchg(" tf ", "EA8"), 0);  // four characters: the number rule
    EXPECT_EQ(engine::IsValidExchg("  tf ", "EA8"), 1);
    EXPECT_EQ(engine::IsValidExchg("HQ", "EA6"), 1);
    EXPECT_EQ(engine::IsValidExchg("HQ", "DL"), 0);
    EXPECT_EQ(engine::IsValidExchg("HQ", "ea"), 0);
    EXPECT_EQ(engine::IsValidExchg("SMR", "EA"), 0);  // three characters: the number rule
    EXPECT_EQ(engine::IsValidExchg("XX", "EA9"), 0);
    EXPECT_EQ(engine::IsValidExchg("", "EA"), 0);
}

}  // namespace
