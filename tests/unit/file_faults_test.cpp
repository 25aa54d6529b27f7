// The plug-in's files misbehave under it: folders it may not write, a missing Plugins
// folder, a bad-QSO file deleted or made unreadable between calls. No call may fail, the
// log must stay right, and no bad-QSO line that was written may be lost.
#include <sys/fsuid.h>
#include <unistd.h>

#include <filesystem>

#include "engine_util.h"
#include "results/results.h"

namespace fs = std::filesystem;

namespace {

// File access checked as an ordinary user: permission bits hold even for root.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() : was_(geteuid()) {
        if (was_ == 0) setfsuid(65534);
    }
    ~AsOrdinaryUser() {
        if (was_ == 0) setfsuid(0);
    }

private:
    uid_t was_;
};

class FileFaults : public EngineTest {
protected:
    static std::string Results() {
        StateLock lock(TheContest().mutex);
        int out = 0;
        return results::GetResult(TheContest(), &out, lock);
    }
    static int Count() {
        StateLock lock(TheContest().mutex);
        return TheContest().log.Count();
    }
    static engine::QsoArgs Bad(const std::string& call, int minute) {
        engine::QsoArgs q = Qso(call, "12m");
        q.time = COleDateTime::FromFields(2017, 5, 6, 14, minute);
        return q;
    }
};

TEST_F(FileFaults, ReadOnlyWorkingFolderLosesLinesButNotQsos) {
    StartCwPass();
    ASSERT_EQ(Add(Bad("F1AAA", 1)), 0);
    std::string before = BadFile();
    fs::permissions(dir_.path(), fs::perms(0555));
    fs::permissions(dir_.path() / TheContest().badQsoFile, fs::perms(0444));
    {
        AsOrdinaryUser user;
        EXPECT_EQ(Add(Qso("DL1AAA")), 1);
        EXPECT_EQ(Add(Qso("DL1AAA")), 1);  // a dupe whose line cannot be written
        EXPECT_EQ(Count(), 2);
        // The file cannot be rewritten: the removal must not lose it.
        EXPECT_EQ(Remove(Bad("F1AAA", 1)), 1);
        EXPECT_EQ(Remove(Qso("DL1AAA")), 1);
        EXPECT_EQ(Count(), 1);
        EXPECT_FALSE(Results().empty());
        // A new pass cannot create its file; the pass works all the same.
        EXPECT_EQ(DoReset(PassArgs()), 1);
        EXPECT_EQ(Add(Qso("DL1AAA")), 1);
        EXPECT_EQ(Count(), 1);
    }
    fs::permissions(dir_.path(), fs::perms(0755));
    EXPECT_EQ(BadFile(), before);
}

TEST_F(FileFaults, MissingPluginsFolder) {
    fs::remove_all(dir_.path() / "Plugins");
    EXPECT_EQ(DoReset(PassArgs()), 1);
    // Without settings the log is an SSB log; the claimed score cannot be stored.
    EXPECT_EQ(TheContest().cwTest, 0);
    EXPECT_EQ(Add(Qso("DL1AAA", "20m", "SSB")), 1);
    EXPECT_EQ(Add(Qso("DL1BBB", "20m", "CW")), 0);
    EXPECT_NE(Results().find("Total\t 1\t"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_.path() / "Plugins"));
}

TEST_F(FileFaults, BadQsoFileDeletedBetweenCalls) {
    StartCwPass();
    ASSERT_EQ(Add(Bad("F1AAA", 1)), 0);
    fs::remove(dir_.path() / TheContest().badQsoFile);
    // The next line starts the file again, with its title.
    ASSERT_EQ(Add(Bad("F2BBB", 2)), 0);
    ASSERT_EQ(Add(Bad("F3CCC", 3)), 0);
    std::vector<std::string> lines = BadLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "SOLSTICE-RACE CW TEST UBN file ");
    // Removing one QSO keeps the other's line.
    EXPECT_EQ(Remove(Bad("F3CCC", 3)), 1);
    lines = BadLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find("F2BBB"), std::string::npos);

    // Deleted again: a removal neither fails nor creates it.
    fs::remove(dir_.path() / TheContest().badQsoFile);
    EXPECT_EQ(Remove(Bad("F2BBB", 2)), 1);
    EXPECT_FALSE(fs::exists(dir_.path() / TheContest().badQsoFile));
}

TEST_F(FileFaults, UnreadableBadQsoFileKeepsItsLines) {
    StartCwPass();
    ASSERT_EQ(Add(Bad("F1AAA", 1)), 0);
    ASSERT_EQ(Add(Bad("F2BBB", 2)), 0);
    std::string before = BadFile();
    fs::permissions(dir_.path() / TheContest().badQsoFile, fs::perms(0200));  // write only
    {
        AsOrdinaryUser user;
        EXPECT_EQ(Remove(Bad("F1AAA", 1)), 1);
        EXPECT_NE(Results().find("Total"), std::string::npos);
    }
    fs::permissions(dir_.path() / TheContest().badQsoFile, fs::perms(0644));
    EXPECT_EQ(BadFile(), before);
}

TEST_F(FileFaults, BadQsoFileNameTakenByAFolder) {
    StartCwPass();
    fs::remove(dir_.path() / TheContest().badQsoFile);
    fs::create_directory(dir_.path() / TheContest().badQsoFile);
    EXPECT_EQ(Add(Bad("F1AAA", 1)), 0);
    EXPECT_EQ(Add(Qso("DL1AAA")), 1);
    EXPECT_EQ(Remove(Qso("DL1AAA")), 1);
    EXPECT_EQ(Count(), 0);
    EXPECT_TRUE(fs::is_directory(dir_.path() / TheContest().badQsoFile));
}

}  // namespace
