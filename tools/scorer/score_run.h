#pragma once
// One scoring of a log: what was read, how each QSO resolved, what the plug-in answered
// and where its files went. Everything that reports on a scoring reads it from here.
#include <cstdio>
#include <string>
#include <vector>

#include "country_file.h"
#include "host_play.h"
#include "log_readers.h"

namespace scorer {

struct ReplayedQso {
    tools::LoggedQso logged;
    tools::Qso given;     // as handed to AddData0, with its entity and prefix text
    bool stored = false;  // AddData0's answer
};

struct ScoreRun {
    std::string logPath;
    tools::ReadLog log;  // its QSOs are moved into `replayed`
    std::string ownCall;
    tools::Resolution own;
    bool cw = true;
    std::string modeNote;  // how the mode was chosen
    COleDateTime start{0.0, COleDateTime::null};
    COleDateTime end{0.0, COleDateTime::null};
    std::vector<ReplayedQso> replayed;  // in time order
    size_t reportsSupplied = 0;         // QSOs given the mode's usual report
    size_t freqsSupplied = 0;           // QSOs given their band's lower edge
    std::string outDir;                 // absolute
    std::string resultsFile;            // in outDir
    std::string results;                // the plug-in's results text
};

// The summary on standard error.
void PrintSummary(const ScoreRun& run, std::FILE* out);

}  // namespace scorer
