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

}  // namespace
