#pragma once
// The whole contest checked: every entrant's log read, cross-checked against the others
// (match.h), and scored twice by engine instances of its own, as submitted (the claimed
// score) and with only what is credited (the checked score).
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/datetime.h"
#include "country_file.h"
#include "engine/contest.h"
#include "match.h"

namespace check {

struct CheckOptions {
    Options match;
    bool removeUniques = false;
    int nilPenalty = 0;   // further QSOs' points taken off for each not-in-log QSO
    int bustPenalty = 0;  // the same for each busted call or exchange
    COleDateTime start{0.0, COleDateTime::null};  // null: 20 June 12:00 UTC of the logs' year
    COleDateTime end{0.0, COleDateTime::null};    // null: 24 hours after the start
    // Told as each step begins ("reading", "matching", ...); a long run shows it.
    std::function<void(const char* step)> progress = [](const char*) {};
};

// The figures of one scoring.
struct Score {
    int qsos = 0;
    int points = 0;
    int entities = 0;
    int provinces = 0;
    int score = 0;
};

struct Entrant {
    std::string file;
    std::string call;
    std::map<std::string, std::string> header;  // Cabrillo tags, SOAPBOX lines joined
    std::string text;                           // the file as read, for the evidence
    std::vector<unsigned> lineStarts;           // where each line of `text` starts
    Log log;                                    // its QSO lines in file order
    std::vector<int> points;                    // per line, as the claimed scoring counted it
    bool cw = true;
    Score claimed;
    Score checked;
    int penaltyPoints = 0;
    int clockOffset = 0;  // minutes ahead, rounded, for the reports
    Clock clock;
    std::vector<Finding> findings;             // per line
    std::map<size_t, std::string> unreadable;  // line index -> why it cannot be read
    std::vector<std::string> bustedBy;

    // Line `number` (from 1) of the file as written, without its line end.
    std::string RawLine(int number) const;
};

struct Checked {
    std::vector<Entrant> entrants;        // by call
    std::vector<std::string> unreadable;  // "file: why"
    std::vector<std::string> dropped;     // "file: CALL again in FILE, which stands"
    COleDateTime start, end;
    bool removeUniques = false;
};

// The contest's reason for a QSO the engine refused.
Reason ReasonOf(engine::Refusal refusal);

// A log's mode: its CATEGORY-MODE (CW, SSB or PH), else that of most of its lines, CW on a tie.
bool IsCwLog(const std::string& categoryMode, int cwLines, int ssbLines);

// A logged QSO as the engine takes it: the reports, which count for nothing, the mode's
// usual ones; a QSO without a frequency at its band's lower edge.
engine::QsoArgs QsoFor(const std::string& ownCall, const std::string& call, double time,
                       unsigned freqHz, const std::string& band, const std::string& mode,
                       const std::string& exchSent, const std::string& exchRcvd,
                       const tools::Resolution& worked);

// QSOs replayed in the order given (time order) through an engine instance of its own, as
// the contest's rules score them: `qso(i)` gives QSO i.
struct Replayed {
    Score score;
    std::vector<size_t> stored;                               // each stored QSO's i
    std::vector<std::pair<size_t, engine::Refusal>> refused;  // QSOs not stored, and why
    std::vector<engine::ScoredQso> perQso;                    // per stored QSO
};
Replayed ReplayQsos(const std::string& ownCall, const tools::Resolution& own, bool cw,
                    const COleDateTime& start, const COleDateTime& end,
                    const std::vector<size_t>& order,
                    const std::function<engine::QsoArgs(size_t i)>& qso);

// The right call of a busted call; what the other log has of a busted exchange (the exchange
// it sent) or of a mismatch (its band or mode); empty where the finding has no such line.
std::string RightCall(const Checked& c, const Finding& f);
std::string OtherHas(const Checked& c, const Finding& f);

// Whether a verdict keeps its QSO in the checked score.
bool Credited(Verdict v, bool removeUniques);

// Reads the files (in this order; a later file of the same call stands), checks and scores.
Checked CheckContest(const std::vector<std::string>& files, const tools::CountryFile& countries,
                     const CheckOptions& options, int threads);

}  // namespace check
