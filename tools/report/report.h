#pragma once
// The contest report page: one self-contained HTML file (inline SVG and CSS, no script, no
// external file) that shows a replayed log hour by hour, band by band, with its multipliers,
// its province map and the QSOs the rules left out.
//
// Its numbers come from the plug-in's own scoring code. The tools talk to the plug-in
// library through its exports, which give the results only as a whole; the page needs them
// per QSO. So the report links the portable core and replays the same QSOs into an engine
// instance of its own (engine/contest.h), then asks it for its per-QSO tally. The library
// the tool loads keeps its own instance: it binds its core symbols inside itself (they are
// hidden there), and the tools are linked so that they export none of theirs. The page's
// instance writes no file: the reasons come from the bad-QSO file the loaded plug-in wrote.
#include <string>
#include <vector>

#include "base/datetime.h"
#include "engine/contest.h"
#include "qso.h"

namespace report {

// One QSO as the host passes it to AddData0 (or to RemoveData0 when `remove` is set); an
// empty entity prefix is a call that could not be resolved.
struct LoggedQso : tools::Qso {
    bool remove = false;
};

struct Contest {
    std::string ownCall;
    std::string ownPrefix;
    COleDateTime start{0.0, COleDateTime::null};
    COleDateTime end{0.0, COleDateTime::null};
    bool cw = true;
    std::vector<LoggedQso> qsos;  // in the order the host passed them
};

// The page for the contest. `badQsoFile` is the bad-QSO file the plug-in wrote for this log;
// a missing one lists no reasons. Safe to call from several threads at once.
std::string BuildPage(const Contest& contest, const std::string& badQsoFile);

// Builds the page and writes it to `path`; false with the reason when it cannot be written.
bool WritePage(const Contest& contest, const std::string& badQsoFile, const std::string& path,
               std::string& error);

// The arguments the engine takes for `q`, as the exports build them from the host's call.
engine::QsoArgs ArgsOf(const std::string& ownCall, const tools::Qso& q);

}  // namespace report
