// The simulated contest is the checker's test data: its logs must read as any Cabrillo log
// does, and its truth must say what the logs really hold.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "log_readers.h"
#include "simulate.h"
#include "tool_io.h"

namespace {

std::vector<std::string> Calls() {
    std::string text;
    tools::ReadWholeFile("/usr/share/hamradio-files/MASTER.SCP", text);
    return sim::ReadCallList(text);
}

sim::Options Small(std::uint32_t seed) {
    sim::Options o;
    o.entrants = 40;
    o.seed = seed;
    // Plenty of every mistake, so that each kind is met in a small contest.
    o.bustedCalls = o.bustedExchanges = o.notInLog = 0.03;
    o.dupes = o.xQsos = o.outsideRules = 0.02;
    o.clockOffLogs = 0.1;
    return o;
}

TEST(Simulate, TheSameSeedWritesTheSameContest) {
    const std::vector<std::string> calls = Calls();
    ASSERT_GT(calls.size(), 10000u);
    sim::Contest a = sim::Simulate(calls, Small(5)), b = sim::Simulate(calls, Small(5));
    ASSERT_EQ(a.logs.size(), 40u);
    for (size_t i = 0; i < a.logs.size(); ++i)
        EXPECT_EQ(a.logs[i].text, b.logs[i].text);
    EXPECT_NE(sim::Simulate(calls, Small(6)).logs[0].text, a.logs[0].text);
}

// Every log reads back whole, and the truth holds: an OK line has its counterpart in the
// other log (same band, within a minute once the clocks are put right, with our call or a
// bust of it), a not-in-log line has none, a busted call is not the call of the station worked.
TEST(Simulate, LogsReadBackAndTheTruthHolds) {
    sim::Contest contest = sim::Simulate(Calls(), Small(11));
    std::map<std::string, tools::ReadLog> logs;
    std::map<std::string, int> offsets;
    for (const sim::LogFile& f : contest.logs) {
        tools::ReadLog r = tools::ReadCabrillo(f.text);
        EXPECT_TRUE(r.damaged.empty()) << f.call;
        EXPECT_EQ(r.ownCall, f.call);
        offsets[f.call] = f.clockOffsetMinutes;
        // X-QSO lines too: they confirm the other side.
        std::string all = f.text;
        for (size_t at = all.find("X-QSO:"); at != std::string::npos; at = all.find("X-QSO:", at))
            all.replace(at, 6, "QSO:");
        logs[f.call] = tools::ReadCabrillo(all);
        EXPECT_EQ(logs[f.call].qsos.size(), r.qsos.size() + static_cast<size_t>(r.xQsos));
    }
    auto at = [&](const std::string& call, int line) -> const tools::LoggedQso* {
        for (const tools::LoggedQso& q : logs[call].qsos)
            if (q.line == line) return &q;
        return nullptr;
    };
    // The minute of a line on the true clock.
    auto trueMinute = [&](const std::string& call, const tools::LoggedQso& q) {
        return static_cast<long>(q.time.m_dt * 1440.0 + 0.5) - offsets[call];
    };
    std::map<std::pair<std::string, int>, std::string> bustOf;  // (log, line) -> right call
    for (const sim::TruthRow& t : contest.truth)
        if (t.verdict == "BUSTED_CALL") bustOf[{t.log, t.line}] = t.rightCall;
    auto counterpart = [&](const std::string& call, const tools::LoggedQso& q,
                           const std::string& other) {
        for (const tools::LoggedQso& o : logs[other].qsos) {
            auto bust = bustOf.find({other, o.line});
            const std::string heard = bust == bustOf.end() ? o.call : bust->second;
            if (heard == call && o.band == q.band &&
                std::labs(trueMinute(other, o) - trueMinute(call, q)) <= 1)
                return true;
        }
        return false;
    };
    std::map<std::string, int> seen;
    for (const sim::TruthRow& t : contest.truth) {
        ++seen[t.verdict];
        const tools::LoggedQso* q = at(t.log, t.line);
        ASSERT_NE(q, nullptr) << t.log << " line " << t.line;
        if (t.verdict == "OK") {
            EXPECT_TRUE(counterpart(t.log, *q, q->call)) << t.log << " line " << t.line;
        } else if (t.verdict == "NIL") {
            ASSERT_TRUE(logs.count(q->call));
            EXPECT_FALSE(counterpart(t.log, *q, q->call)) << t.log << " line " << t.line;
        } else if (t.verdict == "BUSTED_CALL") {
            EXPECT_NE(q->call, t.rightCall);
            EXPECT_TRUE(counterpart(t.log, *q, t.rightCall)) << t.log << " line " << t.line;
        } else if (t.verdict == "UNIQUE" || t.verdict == "UNVERIFIED") {
            EXPECT_FALSE(logs.count(q->call));
        }
    }
    for (const char* v : {"OK", "NIL", "BUSTED_CALL", "BUSTED_EXCHANGE", "DUPE", "X_QSO", "BAD",
                          "UNIQUE", "UNVERIFIED"})
        EXPECT_GT(seen[v], 0) << v;
}

TEST(Simulate, ACwLookAlikeIsNeverTheCallItself) {
    std::mt19937 rng(3);
    for (const std::string call : {"EA4ZZZ", "K1A", "TTT", "EA5/LA4WKA", "5H3EE"})
        for (int i = 0; i < 200; ++i)
            EXPECT_NE(sim::CwLookAlike(call, rng), call) << call;
}

}  // namespace
