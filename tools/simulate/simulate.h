#pragma once
// A whole SOLSTICE RACE as it could have happened, and what every entrant wrote of it: the
// stations come from a list of active contest calls, the QSOs between them follow the bands
// and hours, and each log carries the mistakes real entrants make (busted calls of one or two
// signs and partial calls, busted exchanges, QSOs the other side never logged, dupes, X-QSO
// lines, QSOs outside the rules, band and mode mismatches, lines dated a day off, clocks off
// by minutes, by the local time or drifting, indicators such as /P on calls, UTF-16 files).
// The truth names the verdict a log checker owes every QSO line and the kind of mistake that
// touches it, so that the checker can be measured against it kind by kind.
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
    // Mistakes in one QSO, as shares of the QSOs of the logs sent in.
    double bustedCalls = 0.02;           // one sign heard as its CW look-alike, or lost
    double bustedCallsTwoSigns = 0.003;  // two signs so
    double partialCalls = 0.002;         // the last two signs never copied
    double digitAndSwap = 0.001;         // the digit changed and two letters swapped
    double bustedExchanges = 0.01;
    double notInLog = 0.01;
    double dupes = 0.005;             // the QSO logged again a few minutes later
    double firstNilThenDupe = 0.002;  // a first try the other never logged, then the QSO
    double xQsos = 0.002;
    double outsideRules = 0.002;    // on a band outside the contest
    double bandMismatches = 0.002;  // one side logs another contest band
    double modeMismatches = 0.001;  // one side logs the other mode
    // Mistakes of a whole log, as shares of the logs (a log has at most one of them).
    double clockOffLogs = 0.03;         // clock 5 to 30 minutes off
    double localTimeLogs = 0.02;        // kept in local time: 60 or 120 minutes off
    double driftingClockLogs = 0.02;    // right at the start, 2 to 8 minutes off at the end
    double dayEarlyLogs = 0.01;         // a run of QSOs of the day before left in the log
    double ownIndicatorLogs = 0.01;     // signed CALL/P (or /M, /QRP, /A) in its own log
    double workedIndicatorLogs = 0.01;  // logged by the others as CALL/P, by itself as CALL
    double utf16Logs = 0.01;            // written in UTF-16 LE with a byte-order mark
};

// The verdict a checker owes one QSO line.
struct TruthRow {
    std::string log;  // the entrant's call
    int line = 0;     // in that log's file, from 1
    std::string verdict;
    std::string rightCall;  // of a busted call
    std::string note;       // no commas
    // The mistake that touches the line: its own, that of its QSO on the other side, that of
    // its log, that of the other station's log; `ok` for none (see KindNames()).
    std::string kind;
};

struct LogFile {
    std::string call;
    std::string fileName;
    std::string text;                // the file's bytes (UTF-16 LE with a BOM when `utf16`)
    int clockOffsetMinutes = 0;      // how far ahead its clock runs at the contest's start
    double driftMinutesPerHour = 0;  // what its clock gains an hour from there on
    std::string kind;                // the log's own mistake, empty for none
    bool utf16 = false;
};

struct Contest {
    std::vector<LogFile> logs;
    std::vector<TruthRow> truth;
    long long qsoLines = 0;
};

// Every kind a truth row can name, `ok` first.
const std::vector<std::string>& KindNames();
// The share option of a kind of mistake; null for `ok`, `dupe_confirming` (the other side of
// a dupe) and names of no kind.
double* ShareOf(Options& options, const std::string& kind);
// How far ahead a log's clock runs at `minute` (from the contest's start, true time): the
// minutes it writes are the true ones plus this.
int ClockAt(int offsetMinutes, double driftMinutesPerHour, int minute);

// The calls of a call list in MASTER.SCP's form: one a line, `#` starts a comment.
std::vector<std::string> ReadCallList(std::string_view text);
// A call as a CW operator may copy it wrongly: one sign heard as its look-alike (S and H,
// U and V, B and 6, ...), or one sign lost. Never the call itself.
std::string CwLookAlike(const std::string& call, std::mt19937& rng);
// The contest drawn from `calls` (which must hold Spanish calls and others).
Contest Simulate(const std::vector<std::string>& calls, const Options& options);
// Writes DIR/logs/*.log, DIR/truth.csv (log,line,verdict,right_call,note,kind) and
// DIR/clocks.csv (log,offset_minutes,drift_minutes_per_hour); false with `error` set when the
// folder cannot be written.
bool WriteContest(const Contest& contest, const std::string& dir, std::string& error);

}  // namespace sim
