#pragma once
// The cross-check of a contest: every QSO line of every log against the other logs. Knows
// nothing of scoring: lines the contest's own rules refuse come in with their verdict and
// never confirm another line; lines the rules count as dupes still confirm the other side.
//
// The order of the matching:
// 1. Clocks. Every line against the lines of the station it names that name it back on the
//    same band, up to `clockSearchMinutes` apart (a pair of stations works once a band, so
//    the gap of such a pair says how far the clocks differ). Each log's clock in turn is
//    fitted to the densest cluster of its gaps (of two, the one nearer agreement), with the
//    other logs' clocks as known so far: a constant, or a line over time when the gaps follow
//    one; all logs again, a few rounds. A log with fewer than `minClockPairs` gaps in its
//    cluster keeps its clock.
// 2. The contest period, by the corrected clock (to the nearest minute; a correction below a
//    minute moves no QSO out). A line outside it is not credited, but still confirms the
//    other side; one far outside that whole days put inside has a wrong date and confirms
//    at the time it meant.
// 3. Candidate pairs, ranked by quality before they are linked, so that a line taken by a
//    better partner is never stolen by a worse one:
//    a. exact: the calls are each other's stations (operating indicators aside), same band
//       and mode, within the window; the pair whose exchanges mirror each other first, then
//       lines inside the period, then lines that do not repeat a line a minute or two before
//       (one QSO logged twice: the first line is the QSO), then the nearest in time;
//    b. busted calls: a line whose station sent no log, against the lines of the other logs
//       that name this log's station then, on its band and mode, from a station whose call
//       is like the one logged (two signs changed at most, or a part of it) and that sent
//       the exchange this line received (or, one sign off, sent another); the fitting
//       exchange, the likest call and the nearest time first;
//    c. band or mode mismatch: the calls are each other's within the window, but the
//       other log has another band or mode; both lines are not in the log as logged;
//    d. busted calls as in b, for a logged station that did send a log; the exchange must
//       fit.
// 4. What is still alone: not in the log when the station sent a log, else unverified
//    when another log has the call too, else unique.
#include <atomic>
#include <climits>
#include <string>
#include <thread>
#include <vector>

namespace check {

enum class Verdict {
    kOk,
    kUnverified,
    kUnique,
    kNil,
    kBustedCall,
    kBustedExchange,
    kDupe,
    kBad,
    kXQso,
    kNone,  // not decided yet
};
const char* VerdictName(Verdict v);

// Why a line has its verdict, where the verdict alone does not say it.
enum class Reason {
    kNone,
    kWrongBand,      // the contest's rules: a band outside the contest
    kWrongMode,      // the contest's rules: not the log's mode
    kNoExchange,     // the contest's rules: an exchange missing
    kNoCall,         // the contest's rules: no call, nothing to count
    kUnreadable,     // the line cannot be read: `detail`
    kOutsidePeriod,  // by the corrected clock
    kDateOff,        // outside, and whole days off from inside: a date error
    kBandMismatch,   // the other log has it on `otherHas`
    kModeMismatch,   // the other log has it in `otherHas`
};

struct Line {
    int line = 0;     // in the log's file, from 1
    long minute = 0;  // minutes since 1899-12-30, as logged
    std::string band, mode, call, exchSent, exchRcvd;
    std::string station;  // the worked call's station: `call` without operating indicators
    bool xQso = false;
    Verdict ruled = Verdict::kNone;  // kBad when the rules refuse it, kDupe when they count
                                     // it as a dupe
    Reason why = Reason::kNone;      // of kBad
};

struct Log {
    std::string call;
    std::string station;  // the own call without operating indicators
    std::vector<Line> lines;
};

// Two lines of one log this close, same call and band, are one QSO logged twice rather than
// two tries: seconds are cut and a log is written as the QSO ends.
constexpr long kOneQsoMinutes = 2;

struct Options {
    int windowMinutes = 5;         // two lines of one QSO lie at most this far apart
    int clockSearchMinutes = 720;  // how far off a clock is looked for
    int minClockPairs = 3;         // fewer gaps than this tell no clock
    long periodFirst = LONG_MIN;   // the contest period, minutes since 1899-12-30:
    long periodEnd = LONG_MAX;     // [first, end)
    int threads = 1;
};

// A line's verdict and its evidence: the line of the other log that confirms it (whose call
// is the right one of a busted call, whose sent exchange, band or mode is what the other log
// has of a busted exchange or a mismatch). Small: a contest has millions.
struct Finding {
    Verdict verdict = Verdict::kNone;
    Reason why = Reason::kNone;
    int otherLog = -1;  // the confirming (or busted, or mismatched) log and line index in it
    int otherLine = -1;
};

// A log's clock against the others: it runs `offset` minutes ahead at minute `anchor` (as
// logged) and gains `drift` minutes an hour from there on. A constant clock has no drift.
struct Clock {
    double offset = 0;
    double drift = 0;
    long anchor = 0;
    double At(long minute) const { return offset + drift * double(minute - anchor) / 60.0; }
};

struct Outcome {
    std::vector<std::vector<Finding>> findings;      // per log, per line
    std::vector<Clock> clocks;                       // per log
    std::vector<std::vector<std::string>> bustedBy;  // per log: stations that busted its call
};

Outcome Match(const std::vector<const Log*>& logs, const Options& options);

// work(i) for every i below `count`, on `threads` threads, in any order.
template <typename Work>
void ForEach(size_t count, int threads, Work work) {
    std::atomic<size_t> next{0};
    auto run = [&] {
        for (size_t i = next++; i < count; i = next++)
            work(i);
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(run);
    run();
    for (std::thread& t : pool)
        t.join();
}

// The distance of two calls in signs changed, lost, added or swapped with a neighbour.
int CallDistance(const std::string& a, const std::string& b);
// Whether a logged call may be a bust of `right`: two signs off at most, or a part of it of
// three signs or more.
bool MayBeBustOf(const std::string& logged, const std::string& right);
// Exchanges as the contest compares them: blanks and case aside, serials by their value.
bool SameExchange(const std::string& logged, const std::string& sent);

}  // namespace check
