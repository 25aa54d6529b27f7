#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "settings/settings.h"
#include "test_util.h"

namespace {

TEST(Settings, MissingFileSectionOrKeyReadsEmpty) {
    ScopedTempDir dir;
    EXPECT_EQ(settings::ReadKey("CW"), "");
    EXPECT_EQ(settings::ReadIntKey("CW"), 0);
    dir.MakePlugins();
    WriteFile(dir.path() / "Plugins/SOLSTICE-RACE.ini", "[Other]\nCW=1\n");
    EXPECT_EQ(settings::ReadKey("CW"), "");
    // ... also when the other section follows ours.
    WriteFile(dir.path() / "Plugins/SOLSTICE-RACE.ini", "[Settings]\nName=x\n[Other]\nCW=1\n");
    EXPECT_EQ(settings::ReadKey("CW"), "");
}

TEST(Settings, WritesAndReadsBackWithoutRegardToKeyCase) {
    ScopedTempDir dir;
    dir.MakePlugins();
    EXPECT_TRUE(settings::WriteKey("Claimed", "1234"));
    EXPECT_EQ(settings::ReadKey("claimed"), "1234");
    EXPECT_TRUE(settings::WriteKey("CLAIMED", "-5"));
    EXPECT_EQ(settings::ReadIntKey("Claimed"), -5);
    std::string file = ReadFile(dir.path() / "Plugins/SOLSTICE-RACE.ini");
    EXPECT_NE(file.find("[Settings]"), std::string::npos);
    EXPECT_EQ(file.find("1234"), std::string::npos) << file;
}

TEST(Settings, IntegerRuleOfTheCLibrary) {
    ScopedTempDir dir;
    dir.MakePlugins();
    settings::WriteKey("setup_x", "  42abc");
    EXPECT_EQ(settings::ReadIntKey("setup_x"), 42);
    settings::WriteKey("setup_x", "abc");
    EXPECT_EQ(settings::ReadIntKey("setup_x"), 0);
    settings::WriteKey("setup_y", "-300");
    EXPECT_EQ(settings::ReadIntKey("setup_y"), -300);
}

TEST(Settings, ValuesAreCutTo99Characters) {
    ScopedTempDir dir;
    dir.MakePlugins();
    settings::WriteKey("SoapBox", std::string(150, 'x'));
    EXPECT_EQ(settings::ReadKey("SoapBox"), std::string(99, 'x'));
}

// A write touches the line of its key only; a file written by hand (comments, other
// sections, CR LF, blanks, quotes) keeps every other byte.
TEST(Settings, WriteKeepsTheRestOfAHandWrittenFile) {
    struct Case {
        const char* before;
        const char* key;
        const char* value;
        const char* after;
    } cases[] = {
        {"", "CW", "1", "[Settings]\nCW=1\n"},
        {"[Other]\nCW=0", "cw", "1", "[Other]\nCW=0\n\n[Settings]\ncw=1\n"},
        {"; mine\r\n[settings]\r\n  Cw = 0 \r\nName=x\r\n\r\n[Other]\r\nCW=5\r\n", "CW", "1",
         "; mine\r\n[settings]\r\nCw=1\r\nName=x\r\n\r\n[Other]\r\nCW=5\r\n"},
        {"[Settings]\nName=x\n\n[Other]\n", "Club", "c", "[Settings]\nName=x\nClub=c\n\n[Other]\n"},
        {"[Settings]\nName=x", "Club", "c", "[Settings]\nName=x\nClub=c\n"},
        {"[Settings]\nName=x\n[Other]\nCW=0\n", "CW", "1",
         "[Settings]\nName=x\nCW=1\n[Other]\nCW=0\n"},
        {"[Settings]\nCW=1\nCW=2\n", "CW", "3", "[Settings]\nCW=3\nCW=2\n"},
        {"[Settings]\n Cw = 1 \n", "CW", "1", "[Settings]\n Cw = 1 \n"},  // unchanged: not written
    };
    for (const Case& c : cases) {
        ScopedTempDir dir;
        dir.MakePlugins();
        if (*c.before) WriteFile(dir.path() / "Plugins/SOLSTICE-RACE.ini", c.before);
        EXPECT_TRUE(settings::WriteKey(c.key, c.value));
        EXPECT_EQ(ReadFile(dir.path() / "Plugins/SOLSTICE-RACE.ini"), c.after) << c.before;
        EXPECT_EQ(settings::ReadKey(c.key), c.value) << c.before;
    }
}

TEST(Settings, ReadsValuesAsTheProfileFunctionsDo) {
    ScopedTempDir dir;
    dir.MakePlugins();
    WriteFile(dir.path() / "Plugins/SOLSTICE-RACE.ini",
              "[Settings]\nName= \"A B\" \nClub='x\nCW=1\ncw=2\n;Email=no\nFlag\n");
    EXPECT_EQ(settings::ReadKey("name"), "A B");
    EXPECT_EQ(settings::ReadKey("Club"), "'x");
    EXPECT_EQ(settings::ReadKey("CW"), "1");
    EXPECT_EQ(settings::ReadKey(";Email"), "");
    EXPECT_EQ(settings::ReadKey("Flag"), "");
}

TEST(Settings, AFileThatCannotBeReadIsNotReplaced) {
    ScopedTempDir dir;
    dir.MakePlugins();
    std::filesystem::create_directory(dir.path() / "Plugins/SOLSTICE-RACE.ini");
    EXPECT_FALSE(settings::WriteKey("CW", "1"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "Plugins/SOLSTICE-RACE.ini"));
    EXPECT_EQ(settings::ReadKey("CW"), "");
}

TEST(Settings, AWriteTheSystemRefusesHalfWayLeavesTheFileAsItWas) {
    ScopedTempDir dir;
    dir.MakePlugins();
    const std::string before = "[Settings]\nName=x\nClub=c\n";
    WriteFile(dir.path() / "Plugins/SOLSTICE-RACE.ini", before);
    // A file-size limit stands in for a full disk: the write stops after 40 bytes.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 40;
    auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    bool written = settings::WriteKey("Name", std::string(60, 'n'));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFile(dir.path() / "Plugins/SOLSTICE-RACE.ini"), before);
}

TEST(Settings, WriteIntoMissingFolderFailsAndCreatesNothing) {
    ScopedTempDir dir;
    EXPECT_FALSE(settings::WriteKey("Start", "1"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Plugins"));
    EXPECT_EQ(settings::ReadKey("Start"), "");
}

TEST(Settings, WindowPositionDefaultsAndSaving) {
    ScopedTempDir dir;
    dir.MakePlugins();
    settings::PositionCache pos = settings::LoadPosition("setup_x", "setup_y", 10, 400);
    EXPECT_EQ(pos.x, 10);
    EXPECT_EQ(pos.y, 400);
    // Unmoved: nothing is written.
    settings::SavePosition(pos, "setup_x", "setup_y", 10, 400);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Plugins/SOLSTICE-RACE.ini"));
    // Dragged to a monitor on the left: the coordinate is written in full.
    settings::SavePosition(pos, "setup_x", "setup_y", -1200, 400);
    EXPECT_EQ(settings::ReadKey("setup_x"), "-1200");
    EXPECT_EQ(settings::ReadKey("setup_y"), "");
    EXPECT_EQ(pos.x, -1200);
    settings::PositionCache again = settings::LoadPosition("setup_x", "setup_y", 10, 400);
    EXPECT_EQ(again.x, -1200);
    EXPECT_EQ(again.y, 400);
}

}  // namespace
