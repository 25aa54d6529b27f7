#include "hostsim_report.h"

#include "engine/bad_qso.h"
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
        const Qso& q = a.qso;
        c.qsos.push_back({a.kind == Action::Remove, q.time, q.freqHz, q.mode, q.call, q.rstSent,
                          q.exchSent, q.rstRcvd, q.exchRcvd, q.band, q.prefix, q.prefixText});
    }
    return report::WritePage(c, badqso::FileName(log.end), path, error);
}

}  // namespace hostsim
