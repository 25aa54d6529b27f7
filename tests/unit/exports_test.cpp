// The exports themselves: what they read of the host's arguments.
#include "plugin/exports.h"

#include "engine_util.h"
#include "plugin/state.h"

namespace {

// The exports reach the plug-in's instance: these tests work on that one.
class Exports : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        State().Clear();
        State().setup = TheContest().setup;
        CurrentContest() = &State();
    }
    void TearDown() override {
        EngineTest::TearDown();
        State().Clear();
    }
};

TEST_F(Exports, RemovalReadsOnlyWhatNamesTheQso) {
    StartCwPass();
    engine::QsoArgs q = Qso("DL1ABC");
    ASSERT_EQ(Add(q), 1);
    // The arguments that only AddData0 reads may hold anything: here pointers to nowhere.
    const char* junk = reinterpret_cast<const char*>(1);
    COleDateTime time = q.time;
    EXPECT_EQ(
        RemoveData0(junk, "DL1ABC", &time, nullptr, nullptr, nullptr, 0, 0, "CW", junk, junk, junk,
                    junk, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                    junk, "DL", 0, 0, 0, 0.0, 0.0, nullptr, junk, nullptr, "20m", nullptr),
        1);
    EXPECT_TRUE(TheContest().log.Empty());
}

// A QSO without an entity (a maritime mobile) scores its points and is no EADX100
// multiplier: the live call check and the score agree.
TEST_F(Exports, QsoWithoutEntityIsNoMultiplierInCheckOrScore) {
    StartCwPass();
    auto add = [](const char* call, const char* prefix, const char* prefixText, int minute) {
        COleDateTime time = COleDateTime::FromFields(2017, 5, 6, 14, minute), unused;
        return AddData0("EA1XX", call, &time, &unused, &unused, &unused, 0, 14025000, "CW", "599",
                        "599", "001", "002", "", "", "", "", "", "", "", "", prefixText, prefix, 0,
                        0, 0, 0.0, 0.0, "", "", "", "20m", "");
    };
    auto check = [](const char* call, const char* prefix, const char* prefixText) {
        char out1[256] = {0}, out2[256] = {0};
        return CheckCall0(call, 0, 0, "CW", "", "", "", "", "", "", "", "", prefixText, prefix, 0,
                          0, 0, 0.0, 0.0, "", "", "", "", "", "20m", "", out1, out2);
    };
    ASSERT_EQ(add("DL1ABC", "DL", "DL1", 3), 1);
    EXPECT_EQ(check("G4ABC/MM", "", "G4"), 1);  // no new multiplier
    ASSERT_EQ(add("G4ABC/MM", "", "G4", 4), 1);
    int out = 0;
    std::string results = GetResult0(&out);
    // QSOs 2, points 1 + 1, EADX100 1 (DL only), Prov 0, iMults 1.
    EXPECT_NE(results.find("Total\t 2\t  2\t   1\t  0\t   1"), std::string::npos) << results;
}

}  // namespace
