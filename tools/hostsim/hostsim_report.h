#pragma once
// The report page of a replayed host log (see tools/report/report.h).
#include <string>

#include "host_log.h"

namespace hostsim {

// Writes the page of `log` to `path` after the replay, reading the reasons from the bad-QSO
// file the plug-in left in the current folder. False with the reason when it cannot.
bool WriteReport(const HostLog& log, const std::string& path, std::string& error);

}  // namespace hostsim
