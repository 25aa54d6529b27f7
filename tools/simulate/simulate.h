#pragma once
// A whole SOLSTICE RACE as it could have happened, and what every entrant wrote of it: the
// stations come from a list of active contest calls, the QSOs between them follow the bands
// and hours, and each log carries the mistakes operators make (busted calls and exchanges,
// QSOs the other side never logged, dupes, X-QSO lines, QSOs outside the rules, a clock that
// runs off). The truth names the verdict a log checker owes every QSO line, so that the
// checker can be measured against it.
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct Options {
    int entrants = 200;  // logs sent in
    std::uint32_t seed = 1;
    std::string mode = "CW";   // CW or SSB: the mode of this contest
    int year = 2026;           // 20 June 12:00 to 21 June 12:00 UTC
    double silentShare = 0.3;  // of all stations worked, those that send no log
    double qsoRate = 700;      // QSOs of a station of full activity (a log holds about 0.6 of it)
    // Mistakes, as shares of the QSO lines of the logs sent in.
    double bustedCalls = 0.02;
    double bustedExchanges = 0.01;
    double notInLog = 0.01;
    double dupes = 0.005;
    double xQsos = 0.002;
    double outsideRules = 0.002;
    double clockOffLogs = 0.03;  // share of logs whose clock runs 5 to 30 minutes off
};

// The verdict a checker owes one QSO line.
struct TruthRow {
    std::string log;  // the entrant's call
    int line = 0;     // in that log's file, from 1
    std::string verdict;
    std::string rightCall;  // of a busted call
    std::string note;
};

struct LogFile {
    std::string call;
    std::string fileName;
    std::string text;
    int clockOffsetMinutes = 0;
};

struct Contest {
    std::vector<LogFile> logs;
    std::vector<TruthRow> truth;
    long long qsoLines = 0;
};

// The calls of a call list in MASTER.SCP's form: one a line, `#` starts a comment.
std::vector<std::string> ReadCallList(std::string_view text);
// A call as a CW operator may copy it wrongly: one sign heard as its look-alike (S and H,
// U and V, B and 6, ...), or one sign lost. Never the call itself.
std::string CwLookAlike(const std::string& call, std::mt19937& rng);
// The contest drawn from `calls` (which must hold Spanish calls and others).
Contest Simulate(const std::vector<std::string>& calls, const Options& options);
// Writes DIR/logs/*.log, DIR/truth.csv and DIR/clocks.csv; false with `error` set when the
// folder cannot be written.
bool WriteContest(const Contest& contest, const std::string& dir, std::string& error);

}  // namespace sim
