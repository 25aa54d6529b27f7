#pragma once
// Plays the host towards the plug-in: prepares the host's folder, lists the statistics set,
// starts a pass and hands over QSOs, queries and the results call, with the arguments in
// the places where the host puts them. Shared by the host simulator and the scorer.
#include <string>

#include "base/datetime.h"
#include "plugin.h"
#include "qso.h"

namespace tools {

// The plug-in library beside the running program, else one folder up (both in a build
// folder), else natively where `cmake --install` puts it relative to the program.
std::string DefaultPluginPath(const char* argv0);

// Makes `workdir` with the settings the Setup window would have left (the log's mode and,
// unless the Setup window is wanted, "Start" at 1 so that the reset does not start it) and
// the host's Ketl2.ini, then makes it the current folder, where the plug-in writes its
// files. Throws std::exception when the folder cannot be made.
void PrepareHostFolder(const std::string& workdir, bool cw, bool setupWindow,
                       const std::string& hostVersion);

class HostPlay {
public:
    HostPlay(const Plugin& plugin, std::string ownCall)
        : p_(plugin), ownCall_(std::move(ownCall)) {}

    // setVersion (for HTML), the set listing and ResetStats0.
    void Start(bool html, bool exportLog, const std::string& ownPrefix, COleDateTime start,
               COleDateTime end) const;
    // AddData0; true when the plug-in stored the QSO.
    bool Add(const Qso& q) const { return Call(true, q) != 0; }
    void Remove(const Qso& q) const { Call(false, q); }
    // CheckCall0 with call, mode, band and prefixes of `q`.
    int CheckCall(const Qso& q) const;
    int CheckExchange(const std::string& exchange, const std::string& prefix) const;
    // GetResult0, and the results written to `file` in the current folder.
    std::string Results(const char* file) const;

private:
    int Call(bool add, const Qso& q) const;
    const Plugin& p_;
    std::string ownCall_;
};

}  // namespace tools
