// The simulated contest is the checker's test data: its logs must read as any Cabrillo log
// does, and its truth must say what the logs really hold, for every kind of mistake.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "log_readers.h"
#include "match.h"
#include "simulate.h"
#include "tool_io.h"

namespace fs = std::filesystem;

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
    // Plenty of every mistake, so that each kind is met in a small contest: 2 % of the QSOs
    // each, 10 % of the logs for each whole log's mistake.
    for (const std::string& kind : sim::KindNames())
        if (double* share = sim::ShareOf(o, kind)) *share = 0.02;
    for (double* logs : {&o.clockOffLogs, &o.localTimeLogs, &o.driftingClockLogs, &o.dayEarlyLogs,
                         &o.ownIndicatorLogs, &o.workedIndicatorLogs, &o.utf16Logs})
        *logs = 0.1;
    o.bustedCalls = o.bustedExchanges = o.notInLog = 0.03;
    return o;
}

// Each kind of mistake comes from its own share: with it at 0 the kind is gone, the others stay.
TEST(Simulate, EachKindHasItsOwnShare) {
    const std::vector<std::string> calls = Calls();
    for (const std::string& kind : sim::KindNames()) {
        sim::Options o = Small(11);
        double* share = sim::ShareOf(o, kind);
        if (kind == "ok" || kind == "dupe_confirming") {
            EXPECT_EQ(share, nullptr) << kind;
            continue;
        }
        ASSERT_NE(share, nullptr) << kind;
        *share = 0;
        std::set<std::string> kinds;
        for (const sim::TruthRow& t : sim::Simulate(calls, o).truth)
            kinds.insert(t.kind);
        EXPECT_FALSE(kinds.count(kind)) << kind;
        // The others stay (a dupe's other side goes with it).
        for (const std::string& k : sim::KindNames()) {
            if (k != kind && !(kind == "dupe" && k == "dupe_confirming")) {
                EXPECT_TRUE(kinds.count(k)) << kind << " " << k;
            }
        }
    }
}

TEST(Simulate, TheSameSeedWritesTheSameContest) {
    const std::vector<std::string> calls = Calls();
    ASSERT_GT(calls.size(), 10000u);
    sim::Contest a = sim::Simulate(calls, Small(5)), b = sim::Simulate(calls, Small(5));
    ASSERT_EQ(a.logs.size(), 40u);
    for (size_t i = 0; i < a.logs.size(); ++i)
        EXPECT_EQ(a.logs[i].text, b.logs[i].text);
    ASSERT_EQ(a.truth.size(), b.truth.size());
    for (size_t i = 0; i < a.truth.size(); ++i)
        EXPECT_EQ(a.truth[i].kind + a.truth[i].verdict, b.truth[i].kind + b.truth[i].verdict);
    EXPECT_NE(sim::Simulate(calls, Small(6)).logs[0].text, a.logs[0].text);
}

// The station behind a call: indicators that do not change the entity aside.
std::string Station(std::string call) {
    for (const char* suffix : {"/P", "/M", "/QRP", "/A"}) {
        const std::string s = suffix;
        if (call.size() > s.size() && call.compare(call.size() - s.size(), s.size(), s) == 0)
            return call.substr(0, call.size() - s.size());
    }
    return call;
}

// A simulated log as a checker sees it.
struct Read {
    const sim::LogFile* file = nullptr;
    std::vector<std::string> rawLines;
    std::vector<tools::LoggedQso> qsos;         // X-QSO lines too: they confirm the other side
    std::map<int, const sim::TruthRow*> truth;  // by line
};

// Every log reads back whole, and the truth holds for each kind of mistake: an OK line has its
// counterpart in the other station's log (same band and mode, within a minute once the clocks
// are put right, with our call or a bust of it), a NIL line has none, a busted call is no
// station's call and its right call's log has the QSO, and each kind is what its name says.
// Every rule here is exact, so every line must pass: no share is allowed to fail.
void TruthHoldsForEveryKind(const std::string& mode) {
    const std::vector<std::string> calls = Calls();
    const std::set<std::string> callSet(calls.begin(), calls.end());
    sim::Options options = Small(11);
    options.mode = mode;
    sim::Contest contest = sim::Simulate(calls, options);
    const long start =
        std::lround(tools::ReadCabrillo("START-OF-LOG: 3.0\nCALLSIGN: K1A\nQSO: 14000 CW "
                                        "2026-06-20 1200 K1A 599 1 K1B 599 1\nEND-OF-LOG:\n")
                        .qsos.at(0)
                        .time.m_dt *
                    1440.0);
    std::map<std::string, Read> logs;  // by the station's call
    for (const sim::LogFile& f : contest.logs) {
        std::string text = f.text;
        if (f.utf16) {
            ASSERT_EQ(text.substr(0, 2), "\xFF\xFE") << f.call;
            std::string narrow;
            for (size_t i = 2; i + 1 < text.size(); i += 2) {
                ASSERT_EQ(text[i + 1], '\0') << f.call;
                narrow += text[i];
            }
            text = narrow;
        }
        tools::ReadLog r = tools::ReadCabrillo(text);
        EXPECT_TRUE(r.damaged.empty()) << f.call;
        EXPECT_EQ(r.ownCall, f.call);
        Read& log = logs[Station(f.call)];
        log.file = &f;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            log.rawLines.push_back(line);
        std::string all = text;
        for (size_t at = all.find("X-QSO:"); at != std::string::npos; at = all.find("X-QSO:", at))
            all.replace(at, 6, "QSO:");
        log.qsos = tools::ReadCabrillo(all).qsos;
        EXPECT_EQ(log.qsos.size(), r.qsos.size() + static_cast<size_t>(r.xQsos));
    }
    long rows = 0;
    for (const sim::TruthRow& t : contest.truth) {
        ASSERT_TRUE(logs.count(Station(t.log))) << t.log;
        logs[Station(t.log)].truth[t.line] = &t;
        ++rows;
    }
    ASSERT_EQ(rows, contest.qsoLines);

    // The minute of a line on the true clock, from the contest's start.
    auto trueMinute = [&](const Read& log, const tools::LoggedQso& q) {
        const double logged =
            std::round(q.time.m_dt * 1440.0) - start - log.file->clockOffsetMinutes;
        return logged / (1.0 + log.file->driftMinutesPerHour / 60.0);
    };
    auto truthOf = [](const Read& log, const tools::LoggedQso& q) {
        auto it = log.truth.find(q.line);
        return it == log.truth.end() ? nullptr : it->second;
    };
    // The call a line means: the right one of a bust.
    auto heard = [&](const Read& log, const tools::LoggedQso& q) {
        const sim::TruthRow* t = truthOf(log, q);
        return Station(t && t->verdict == "BUSTED_CALL" ? t->rightCall : q.call);
    };
    struct Line {
        const Read& log;
        const tools::LoggedQso& q;
        const sim::TruthRow& t;
        const Read* other;  // the log of the station worked (the right one of a bust)
    };
    // Lines of the other log with us on the band and mode within `minutes`; each side logs
    // the minute of the QSO or the next, and a drifting clock rounds its minutes (half a
    // minute more for each side whose clock drifts).
    auto counterparts = [&](const Line& l, double minutes, bool sameBandAndMode = true) {
        std::vector<const tools::LoggedQso*> found;
        if (!l.other) return found;
        minutes += 0.5 * ((l.log.file->driftMinutesPerHour != 0) +
                          (l.other->file->driftMinutesPerHour != 0)) +
                   1e-6;
        for (const tools::LoggedQso& o : l.other->qsos)
            if (heard(*l.other, o) == Station(l.log.file->call) &&
                (!sameBandAndMode || (o.band == l.q.band && o.mode == l.q.mode)) &&
                std::fabs(trueMinute(*l.other, o) - trueMinute(l.log, l.q)) <= minutes)
                found.push_back(&o);
        return found;
    };
    // Lines of this log with the same station on the same band and mode, before or after.
    auto sameStation = [&](const Line& l, bool before) {
        std::vector<const tools::LoggedQso*> found;
        for (const tools::LoggedQso& o : l.log.qsos)
            if (Station(o.call) == Station(l.q.call) && o.band == l.q.band && o.mode == l.q.mode &&
                (before ? o.line < l.q.line : o.line > l.q.line))
                found.push_back(&o);
        return found;
    };
    auto okAfter = [&](const Line& l) {
        for (const tools::LoggedQso* o : sameStation(l, false))
            if (truthOf(l.log, *o)->verdict == "OK") return true;
        return false;
    };
    const std::set<std::string> contestBands = {"160m", "80m", "40m", "20m", "15m", "10m"};
    // Whether this log or the other's has a whole-log mistake.
    auto eitherLog = [](const Line& l, const std::function<bool(const sim::LogFile&)>& has) {
        return has(*l.log.file) || (l.other && has(*l.other->file));
    };
    auto offsetIn = [](int low, int high) {
        return [=](const sim::LogFile& f) {
            return f.driftMinutesPerHour == 0 && std::abs(f.clockOffsetMinutes) >= low &&
                   std::abs(f.clockOffsetMinutes) <= high;
        };
    };

    struct Kind {
        std::string name;
        double minutes;  // how far apart the lines of a confirmed QSO may lie
        std::function<bool(const Line&)> holds;  // what the kind's name says
    };
    const Kind kinds[] = {
        {"ok", 1, [](const Line&) { return true; }},
        {"busted_call_one_sign", 1,
         [&](const Line& l) {
             return l.t.verdict != "BUSTED_CALL" ||
                    check::CallDistance(l.q.call, l.t.rightCall) == 1;
         }},
        {"busted_call_two_signs", 1,
         [&](const Line& l) {
             return l.t.verdict != "BUSTED_CALL" ||
                    (check::CallDistance(l.q.call, l.t.rightCall) == 2 &&
                     l.q.call.size() == l.t.rightCall.size());
         }},
        {"partial_call", 1,
         [&](const Line& l) {
             return l.t.verdict != "BUSTED_CALL" ||
                    (l.t.rightCall.size() == l.q.call.size() + 2 &&
                     l.t.rightCall.compare(0, l.q.call.size(), l.q.call) == 0);
         }},
        {"digit_and_swap", 1,
         [&](const Line& l) {
             if (l.t.verdict != "BUSTED_CALL") return true;
             const std::string& r = l.t.rightCall;
             const size_t d = r.find_last_of("0123456789");
             return l.q.call.size() == r.size() && d != std::string::npos && l.q.call[d] != r[d] &&
                    check::CallDistance(l.q.call, r) == 2;
         }},
        {"busted_exchange", 1,
         [&](const Line& l) {
             if (l.t.verdict != "BUSTED_EXCHANGE") return true;
             for (const tools::LoggedQso* o : counterparts(l, 1))
                 if (o->exchSent == l.q.exchRcvd) return false;
             return !counterparts(l, 1).empty();
         }},
        {"not_in_log", 1, [&](const Line& l) { return counterparts(l, 24 * 60).empty(); }},
        // The other log may have the QSO at the dupe's time: a minute or two after the first
        // line, and a minute more.
        {"dupe", 3,
         [&](const Line& l) {
             // The line counted, then the same QSO again.
             if (l.t.verdict == "DUPE") return sameStation(l, true).size() == 1;
             for (const tools::LoggedQso* o : sameStation(l, false))
                 if (truthOf(l.log, *o)->verdict == "DUPE") return true;
             return false;
         }},
        {"dupe_confirming", 1,
         [&](const Line& l) {
             // The other log has the QSO twice: once as a dupe.
             return counterparts(l, 4).size() == 2;
         }},
        {"first_nil_then_dupe", 1,
         [&](const Line& l) {
             if (l.t.verdict == "NIL") return okAfter(l) && !counterparts(l, 17).empty();
             // The log that tried twice: the failed try comes first; the other log: it has
             // both tries with us.
             const auto before = sameStation(l, true);
             if (before.size() == 1) return truthOf(l.log, *before[0])->verdict == "NIL";
             return before.empty() && counterparts(l, 17).size() == 2;
         }},
        {"x_qso", 1,
         [&](const Line& l) {
             return l.t.verdict != "X_QSO" ||
                    l.log.rawLines.at(static_cast<size_t>(l.q.line - 1)).rfind("X-QSO:", 0) == 0;
         }},
        {"outside_rules", 1,
         [&](const Line& l) { return l.t.note == "band" && !contestBands.count(l.q.band); }},
        {"day_early", 1,
         [&](const Line& l) {
             if (l.t.verdict == "BAD")
                 return l.t.note == "period" && trueMinute(l.log, l.q) < 0 && okAfter(l) &&
                        counterparts(l, 1).empty();
             // The QSO of the contest, after its copy of the day before in the log that has
             // it, or in the other log.
             for (const Read* log : {&l.log, l.other}) {
                 if (!log) continue;
                 const std::string& them = log == &l.log ? l.q.call : l.log.file->call;
                 for (const tools::LoggedQso& o : log->qsos) {
                     const sim::TruthRow* t = truthOf(*log, o);
                     if (Station(o.call) == Station(them) && o.band == l.q.band &&
                         t->verdict == "BAD" && t->note == "period")
                         return true;
                 }
             }
             return false;
         }},
        {"band_mismatch", 1,
         [&](const Line& l) {
             for (const tools::LoggedQso* o : counterparts(l, 1, false))
                 if (o->band != l.q.band && l.t.note == "in its log on " + o->band) return true;
             return false;
         }},
        {"mode_mismatch", 1,
         [&](const Line& l) {
             if (l.t.verdict == "BAD") return l.t.note == "mode" && l.q.mode != mode;
             for (const tools::LoggedQso* o : counterparts(l, 1, false))
                 if (o->mode != l.q.mode && l.t.note == "in its log as " + o->mode) return true;
             return false;
         }},
        {"own_indicator", 1,
         [&](const Line& l) {
             // Signed with the indicator in its header and on each of its QSO lines.
             const std::string& own = l.log.file->call;
             if (own != Station(own))
                 return l.log.rawLines.at(static_cast<size_t>(l.q.line - 1))
                            .find(" " + own + " ") != std::string::npos;
             return l.other && l.other->file->call != Station(l.other->file->call);
         }},
        {"worked_indicator", 1,
         [&](const Line& l) {
             // Ours as the others write it, or theirs as we write it.
             return l.q.call != Station(l.q.call) || l.log.file->kind == "worked_indicator";
         }},
        {"clock_off", 1, [&](const Line& l) { return eitherLog(l, offsetIn(5, 30)); }},
        {"local_time", 1,
         [&](const Line& l) {
             return eitherLog(l, [&](const sim::LogFile& f) {
                 return offsetIn(60, 120)(f) && f.clockOffsetMinutes % 60 == 0;
             });
         }},
        {"drifting_clock", 1,
         [&](const Line& l) {
             return eitherLog(l, [](const sim::LogFile& f) {
                 const double end = std::fabs(f.driftMinutesPerHour * 24);
                 return f.clockOffsetMinutes == 0 && end >= 2 && end <= 8;
             });
         }},
        {"utf16", 1, [&](const Line& l) { return eitherLog(l, &sim::LogFile::utf16); }},
    };
    ASSERT_EQ(std::size(kinds), sim::KindNames().size());
    std::map<std::string, const Kind*> byName;
    for (const Kind& k : kinds)
        byName[k.name] = &k;
    for (const std::string& name : sim::KindNames())
        ASSERT_TRUE(byName.count(name)) << name;

    std::map<std::string, std::map<std::string, int>> seen;  // kind -> verdict -> lines
    for (const auto& [station, log] : logs)
        for (const tools::LoggedQso& q : log.qsos) {
            const sim::TruthRow* t = truthOf(log, q);
            ASSERT_NE(t, nullptr) << station << " line " << q.line;
            ASSERT_TRUE(byName.count(t->kind)) << t->kind;
            const Kind& kind = *byName[t->kind];
            ++seen[t->kind][t->verdict];
            const std::string right = t->verdict == "BUSTED_CALL" ? t->rightCall : q.call;
            const Line l{log, q, *t,
                         logs.count(Station(right)) ? &logs.at(Station(right)) : nullptr};
            const std::string where = station + " line " + std::to_string(q.line) + " (" + t->kind +
                                      ", " + t->verdict + ")";
            if (t->verdict == "OK") {
                EXPECT_FALSE(counterparts(l, kind.minutes).empty()) << where;
            } else if (t->verdict == "NIL") {
                ASSERT_NE(l.other, nullptr) << where;
                EXPECT_TRUE(counterparts(l, 1).empty()) << where;
            } else if (t->verdict == "BUSTED_CALL") {
                EXPECT_FALSE(callSet.count(q.call)) << where;
                EXPECT_FALSE(counterparts(l, 1).empty()) << where;
            } else if (t->verdict == "UNIQUE" || t->verdict == "UNVERIFIED") {
                EXPECT_EQ(l.other, nullptr) << where;
                int logsWithIt = 0;
                for (const auto& [s, other] : logs)
                    for (const tools::LoggedQso& o : other.qsos)
                        if (o.call == q.call) {
                            ++logsWithIt;
                            break;
                        }
                EXPECT_EQ(logsWithIt > 1, t->verdict == "UNVERIFIED") << where;
            }
            EXPECT_TRUE(kind.holds(l)) << where;
        }
    for (const std::string& name : sim::KindNames())
        EXPECT_FALSE(seen[name].empty()) << name;
    std::map<std::string, int> verdicts;
    for (const auto& [kind, byVerdict] : seen)
        for (const auto& [verdict, n] : byVerdict)
            verdicts[verdict] += n;
    for (const char* v : {"OK", "NIL", "BUSTED_CALL", "BUSTED_EXCHANGE", "DUPE", "X_QSO", "BAD",
                          "UNIQUE", "UNVERIFIED"})
        EXPECT_GT(verdicts[v], 0) << v;

    // The files say the same.
    const fs::path dir = fs::temp_directory_path() / "stats-simulate-test";
    fs::remove_all(dir);
    std::string error;
    ASSERT_TRUE(sim::WriteContest(contest, dir.string(), error)) << error;
    std::string truth, clocks;
    ASSERT_TRUE(tools::ReadWholeFile((dir / "truth.csv").string(), truth));
    ASSERT_TRUE(tools::ReadWholeFile((dir / "clocks.csv").string(), clocks));
    const sim::TruthRow& t = contest.truth.back();
    EXPECT_EQ(truth.rfind("log,line,verdict,right_call,note,kind\n", 0), 0u);
    EXPECT_NE(truth.find("\n" + t.log + "," + std::to_string(t.line) + "," + t.verdict + "," +
                         t.rightCall + "," + t.note + "," + t.kind + "\n"),
              std::string::npos);
    EXPECT_EQ(clocks.rfind("log,offset_minutes,drift_minutes_per_hour\n", 0), 0u);
    for (const sim::LogFile& f : contest.logs) {
        std::istringstream rows(clocks);
        bool found = false;
        for (std::string row; std::getline(rows, row);) {
            if (row.rfind(f.call + ",", 0) != 0) continue;
            std::istringstream cells(row.substr(f.call.size() + 1));
            int offset = 0;
            char comma = 0;
            double drift = 0;
            cells >> offset >> comma >> drift;
            found =
                offset == f.clockOffsetMinutes && std::fabs(drift - f.driftMinutesPerHour) < 1e-4;
        }
        EXPECT_TRUE(found) << f.call;
        std::string bytes;
        ASSERT_TRUE(tools::ReadWholeFile((dir / "logs" / f.fileName).string(), bytes));
        EXPECT_EQ(bytes, f.text) << f.call;
    }
    fs::remove_all(dir);
}

TEST(Simulate, LogsReadBackAndTheTruthHoldsForEveryKind) {
    for (const char* mode : {"CW", "SSB"}) {
        SCOPED_TRACE(mode);
        TruthHoldsForEveryKind(mode);
    }
}

TEST(Simulate, ACwLookAlikeIsNeverTheCallItself) {
    std::mt19937 rng(3);
    for (const std::string call : {"EA4ZZZ", "K1A", "TTT", "EA5/LA4WKA", "5H3EE"})
        for (int i = 0; i < 200; ++i)
            EXPECT_NE(sim::CwLookAlike(call, rng), call) << call;
}

}  // namespace
