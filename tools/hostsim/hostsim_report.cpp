#include "hostsim_report.h"

#include "engine/contest.h"
#include "report/report.h"

namespace hostsim {

bool WriteReport(const HostLog& log, const std::string& path, std::string& error) {
    report::Contest c;
    c.ownCall = log.ownCall;
    c.ownPrefix = log.ownPrefix;
    c.start = log.start;
    c.end = log.end;
    c.cw = log.cw;
    for (const Action& a : log.actions) {
        if (a.kind != Action::Add && a.kind != Action::Remove) continue;
        c.qsos.push_back({a.qso, a.kind == Action::Remove});
    }
    return report::WritePage(c, engine::BadQsoFileName(log.end), path, error);
}

}  // namespace hostsim
