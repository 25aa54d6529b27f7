// Engine instances: a tool's instance reads and writes no file, yet scores a log exactly as
// the plug-in's instance, which writes them all.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/contest.h"
#include "test_util.h"

namespace {

struct Played {
    std::string results;
    std::vector<std::string> badLines;
};

// A CW log with every kind of bad-QSO line, a removal of a QSO with a line, an export.
Played Play(engine::Contest& contest) {
    engine::ResetArgs reset;
    reset.exportFlag = 1;
    reset.ownCall = "EA1XX";
    reset.ownPrefix = "EA";
    reset.start = COleDateTime::FromFields(2017, 5, 6, 12, 0);
    reset.end = COleDateTime::FromFields(2017, 5, 7, 12, 0);
    contest.Reset(reset);
    auto qso = [](const char* call, const char* band, const char* prefix, const char* exch,
                  int minute) {
        engine::QsoArgs q;
        q.ownCall = "EA1XX";
        q.call = call;
        q.time = COleDateTime::FromFields(2017, 5, 6, 14, minute);
        q.mode = "CW";
        q.rstSent = q.rstRcvd = "599";
        q.exchSent = "M";
        q.exchRcvd = exch;
        q.prefix = prefix;
        q.prefixText = std::string(prefix) + "1";
        q.band = band;
        return q;
    };
    const engine::QsoArgs qsos[] = {
        qso("DL1AA", "20m", "DL", "001", 1), qso("EA3AA", "20m", "EA", "B", 2),
        qso("EA3AA", "20m", "EA", "B", 3),   qso("EA5AA", "40m", "EA", "XX", 4),
        qso("F1AA", "12m", "F", "002", 5),   qso("F2AA", "40m", "F", "", 6),
        qso("EA8AA", "15m", "EA8", "TF", 7),
    };
    for (const engine::QsoArgs& q : qsos)
        contest.Add(q);
    contest.Remove(qsos[3]);
    Played run;
    run.results = contest.Results(nullptr);
    run.badLines = contest.BadQsoLines().value_or(std::vector<std::string>{});
    return run;
}

TEST(EngineInstance, WithoutFilesScoresAsThePluginsAndWritesNothing) {
    Played plugin, tool;
    {
        ScopedTempDir dir;
        dir.MakePlugins();
        WriteFile(dir.path() / "Plugins/SOLSTICE-RACE.ini", "[Settings]\r\nCW=1\r\nStart=1\r\n");
        engine::Contest contest(engine::Files::All());
        plugin = Play(contest);
    }
    ScopedTempDir dir;
    engine::Contest contest;
    contest.SetMode(true);
    tool = Play(contest);
    EXPECT_EQ(tool.results, plugin.results);
    EXPECT_EQ(tool.badLines, plugin.badLines);
    // Title, dupe, wrong band, no number; the removed QSO took its line along.
    EXPECT_EQ(plugin.badLines.size(), 4u);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
