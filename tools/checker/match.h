#pragma once
// The cross-check of a contest: every QSO line of every log against the other logs. Knows
// nothing of scoring: lines the contest's own rules refuse (a band or mode outside the
// contest, a dupe) come in with their verdict and are never taken as a confirmation.
#include <string>
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

struct Line {
    int line = 0;     // in the log's file, from 1
    long minute = 0;  // minutes since 1899-12-30, as logged
    std::string band, mode, call, exchSent, exchRcvd;
    bool xQso = false;
    Verdict ruled = Verdict::kNone;  // kBad or kDupe when the contest's rules refuse it
};

struct Log {
    std::string call;
    std::vector<Line> lines;
};

struct Options {
    int windowMinutes = 5;        // two lines of one QSO lie at most this far apart
    int clockSearchMinutes = 60;  // how far off a clock is looked for
};

struct Finding {
    Verdict verdict = Verdict::kNone;
    int otherLog = -1;  // the confirming (or busted) log and line index in it
    int otherLine = -1;
    std::string note;  // the right call of a bust
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
    std::vector<int> clockOffsets;                   // minutes each log's clock runs ahead
    std::vector<Clock> clocks;                       // per log
    std::vector<std::vector<std::string>> bustedBy;  // per log: stations that busted its call
};

Outcome Match(const std::vector<const Log*>& logs, const Options& options);

// Whether two calls are one edit apart (a sign changed, lost, added, or two swapped).
bool OneEditApart(const std::string& a, const std::string& b);
// Exchanges as the contest compares them: blanks and case aside, serials by their value.
bool SameExchange(const std::string& logged, const std::string& sent);

}  // namespace check
