// The checker against the truth of simulated contests, and the few matching rules a
// simulation does not reach.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "checker.h"
#include "outputs.h"
#include "simulate.h"
#include "tool_io.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& path) {
    std::string text;
    tools::ReadWholeFile(path, text);
    return text;
}

const tools::CountryFile& Countries() {
    static const tools::CountryFile countries =
        tools::CountryFile::Parse(Slurp("/usr/share/hamradio-files/cty.dat"));
    return countries;
}

struct Written {
    fs::path dir;
    sim::Contest contest;
    std::vector<std::string> files;
};

Written Simulated(int entrants, std::uint32_t seed, const std::string& name,
                  double mistakes = 0.0) {
    Written w;
    sim::Options o;
    o.entrants = entrants;
    o.seed = seed;
    // Every kind of mistake, at `mistakes` where asked for.
    for (const std::string& kind : sim::KindNames())
        if (double* share = sim::ShareOf(o, kind); share && mistakes > 0) *share = mistakes;
    w.contest = sim::Simulate(sim::ReadCallList(Slurp("/usr/share/hamradio-files/MASTER.SCP")), o);
    w.dir = fs::temp_directory_path() / name;
    fs::remove_all(w.dir);
    std::string error;
    EXPECT_TRUE(sim::WriteContest(w.contest, w.dir.string(), error)) << error;
    for (const sim::LogFile& f : w.contest.logs)
        w.files.push_back((w.dir / "logs" / f.fileName).string());
    return w;
}

// Every kind of mistake the simulation makes, many of each: every line gets the verdict the
// truth owes it (a busted call its right call), a log that lost nothing keeps its claimed
// score, and every clock is found at every hour of the contest.
TEST(Checker, FindsWhatTheSimulationInjected) {
    Written w = Simulated(80, 21, "stats-checker-test", 0.04);
    check::Checked c = check::CheckContest(w.files, Countries(), {}, 2);
    ASSERT_EQ(c.entrants.size(), 80u);
    ASSERT_TRUE(c.unreadable.empty());
    std::map<std::pair<std::string, int>, const sim::TruthRow*> truth;
    for (const sim::TruthRow& t : w.contest.truth)
        truth[{t.log, t.line}] = &t;
    std::map<std::string, int> lines, missed;
    for (const check::Entrant& e : c.entrants) {
        bool lostNothing = true;
        for (size_t k = 0; k < e.findings.size(); ++k) {
            const sim::TruthRow* t = truth[{e.call, e.log.lines[k].line}];
            ASSERT_NE(t, nullptr) << e.call << " line " << e.log.lines[k].line;
            const check::Finding& f = e.findings[k];
            const std::string found = check::VerdictName(f.verdict);
            ++lines[t->kind];
            if (found != t->verdict ||
                (found == "BUSTED_CALL" && check::RightCall(c, f) != t->rightCall)) {
                ++missed[t->kind];
                ADD_FAILURE() << t->kind << ": " << e.call << " line " << t->line << " "
                              << e.RawLine(t->line) << ": " << found << " "
                              << check::RightCall(c, f) << ", owed " << t->verdict << " "
                              << t->rightCall;
            }
            lostNothing = lostNothing &&
                          (check::Credited(f.verdict, false) || f.verdict == check::Verdict::kXQso);
        }
        if (lostNothing) {
            EXPECT_EQ(e.checked.score, e.claimed.score) << e.call;
        }
        const auto log = std::find_if(w.contest.logs.begin(), w.contest.logs.end(),
                                      [&](const sim::LogFile& f) { return f.call == e.call; });
        const long start = std::lround(c.start.m_dt * 1440);
        for (int hour = 0; hour <= 24; ++hour) {
            const int set =
                sim::ClockAt(log->clockOffsetMinutes, log->driftMinutesPerHour, hour * 60);
            EXPECT_NEAR(e.clock.At(start + hour * 60 + set), set,
                        log->driftMinutesPerHour != 0 ? 2.0 : 1.0)
                << e.call << " at hour " << hour;
        }
    }
    // Each kind was there to be found.
    for (const std::string& kind : sim::KindNames())
        EXPECT_GT(lines[kind], 0) << kind;
    fs::remove_all(w.dir);
}

// The same logs give the same bytes; a log that cannot be read is named and left out; of two
// logs of one call the later stands.
TEST(Checker, OutputsAreTheSameEachTimeAndUnreadableLogsAreNamed) {
    Written w = Simulated(12, 4, "stats-checker-outputs");
    std::ofstream(w.dir / "junk.txt") << "not a log\n";
    // The first log again, with a line that cannot be read: the later file stands.
    std::string again = w.contest.logs.front().text;
    again.insert(again.rfind("END-OF-LOG:"), "QSO: 14025 CW 2026-06-20\r\n");
    std::ofstream(w.dir / "again.log", std::ios::binary) << again;
    std::vector<std::string> files = w.files;
    files.push_back((w.dir / "junk.txt").string());
    files.push_back((w.dir / "again.log").string());
    check::Checked a = check::CheckContest(files, Countries(), {}, 2);
    check::Checked b = check::CheckContest(files, Countries(), {}, 1);
    ASSERT_EQ(a.unreadable.size(), 1u);
    EXPECT_NE(a.unreadable[0].find("junk.txt"), std::string::npos);
    ASSERT_EQ(a.dropped.size(), 1u);
    EXPECT_EQ(a.entrants.size(), 12u);
    const auto stands = std::find_if(
        a.entrants.begin(), a.entrants.end(),
        [&](const check::Entrant& e) { return e.file == (w.dir / "again.log").string(); });
    ASSERT_NE(stands, a.entrants.end());
    EXPECT_EQ(check::VerdictName(stands->findings.back().verdict), std::string("BAD"));
    EXPECT_EQ(stands->findings.back().why, check::Reason::kUnreadable);
    EXPECT_NE(check::QsosCsv(a).find("unreadable: "), std::string::npos);
    EXPECT_EQ(check::QsosCsv(a), check::QsosCsv(b));
    EXPECT_EQ(check::ResultsCsv(a), check::ResultsCsv(b));
    EXPECT_EQ(check::ResultsHtml(a), check::ResultsHtml(b));
    for (size_t i = 0; i < a.entrants.size(); ++i)
        EXPECT_EQ(check::Lcr(a, i), check::Lcr(b, i));
    std::string error;
    ASSERT_TRUE(check::WriteOutputs(a, (w.dir / "out").string(), error)) << error;
    EXPECT_TRUE(fs::exists(w.dir / "out" / "lcr" / (a.entrants[0].call + ".txt")) ||
                a.entrants[0].call.find('/') != std::string::npos);
    fs::remove_all(w.dir);
}

TEST(Checker, MatchingRulesASimulationDoesNotReach) {
    struct Calls {
        const char *logged, *right;
        int distance;
        bool mayBeBust;
    } calls[] = {
        {"EA4ZZZ", "EA4ZZZ", 0, false}, {"EA4ZZY", "EA4ZZZ", 1, true},
        {"DL1BAC", "DL1ABC", 1, true},  {"DL1AB", "DL1ABC", 1, true},
        {"DL1ABCD", "DL1ABC", 1, true}, {"DL1XYC", "DL1ABC", 2, true},
        {"DL2BAC", "DL1ABC", 2, true},  {"1AB", "DL1ABC", 3, true},
        {"DL", "DL1ABC", 4, false},     {"DL1XYZ", "DL1ABC", 3, false},
        {"K1A", "K1AE", 1, true},       {"1WAW", "W1AW", 1, true},
    };
    for (const Calls& c : calls) {
        EXPECT_EQ(check::CallDistance(c.logged, c.right), c.distance) << c.logged << " " << c.right;
        EXPECT_EQ(check::MayBeBustOf(c.logged, c.right), c.mayBeBust) << c.logged << " " << c.right;
    }
    struct Exchanges {
        const char *logged, *sent;
        bool same;
    } exchanges[] = {
        {"001", "1", true},  {"012", "12", true}, {"0", "000", true}, {" b", "B", true},
        {"12", "21", false}, {"M", "MA", false},  {"", "001", false},
    };
    for (const Exchanges& e : exchanges)
        EXPECT_EQ(check::SameExchange(e.logged, e.sent), e.same) << e.logged << " " << e.sent;
}

}  // namespace
