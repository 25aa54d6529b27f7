// Host simulator: replays a contest log through the statistics plug-in exactly as the host
// uses it (setVersion, ResetStats0, AddData0 per QSO, removals, queries, GetResult0), and
// leaves the plug-in's files in a working folder.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "command_line.h"
#include "host_log.h"
#include "host_play.h"
#include "hostsim_report.h"
#include "operator.h"
#include "plugin.h"
#include "version.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using hostsim::Action;
using hostsim::HostLog;
using tools::Plugin;
using tools::Qso;

namespace {

struct Options {
    std::string plugin;
    std::string workdir = "hostsim-work";
    std::string log;
    std::string hostVersion = "2.30";
    bool html = false;
    bool exportLog = false;
    bool setupWindow = false;
    bool quiet = false;
    std::string report;  // absolute: the simulator changes into the working folder
};

void DefineOptions(CLI::App& app, Options& o) {
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.description(
        "Replays a contest log through the statistics plug-in as the host does and prints the\n"
        "results. The plug-in's files (bad-QSO file, settings, Cabrillo log) stay in the\n"
        "working folder. The log format is described in the README (\"Host simulator\").");
    app.set_version_flag("--version", tools::VersionLine("stats-hostsim"));
    app.add_option("-p,--plugin", o.plugin,
                   "the plug-in library (default: beside this program, then in .., then where it "
                   "is installed)");
    app.add_option("-w,--workdir", o.workdir, "working folder, made when missing")
        ->capture_default_str();
    app.add_flag("--html", o.html, "call setVersion first, so that the results come as HTML");
    app.add_flag("--export", o.exportLog, "ask for a Cabrillo log at the reset");
    app.add_option("--host-version", o.hostVersion, "the host version in the host's Ketl2.ini")
        ->capture_default_str();
    app.add_flag("--setup-window", o.setupWindow, "let the reset start the Setup window (Windows)");
    app.add_option("--report", o.report, "also write the contest report page (HTML) to FILE");
    app.add_flag("-q,--quiet", o.quiet, "print the results only");
    app.add_option("LOG", o.log, "the contest log to replay")->required();
}

const char* CheckCallMeaning(int r) {
    switch (r) {
        case 0:
            return "dupe";
        case 1:
            return "valid, no new multiplier";
        case 2:
            return "new multiplier";
        case 4:
            return "not valid in this contest";
        default:
            return "unexpected answer";
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    CLI::App app("", "stats-hostsim");
    DefineOptions(app, o);
    if (auto code = tools::ParseCommandLine(app, argc, argv)) return *code;
    if (o.plugin.empty()) o.plugin = tools::DefaultPluginPath(argv[0]);
    o.plugin = fs::absolute(o.plugin).string();
    if (!o.report.empty()) o.report = fs::absolute(o.report).string();

    std::ifstream in(o.log, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "stats-hostsim: cannot read %s: %s\n", o.log.c_str(),
                     std::strerror(errno));
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    HostLog log;
    try {
        log = hostsim::ParseHostLog(text.str(), o.log);
    } catch (const hostsim::ParseError& e) {
        std::fprintf(stderr, "stats-hostsim: %s\n", e.what());
        return 1;
    }

    try {
        tools::PrepareHostFolder(o.workdir, log.cw, o.setupWindow, o.hostVersion);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "stats-hostsim: cannot prepare %s: %s\n", o.workdir.c_str(), e.what());
        return 1;
    }
    std::string workdir = fs::current_path().string();

    Plugin p;
    std::string error;
    if (!p.Load(o.plugin, error)) {
        std::fprintf(stderr, "stats-hostsim: cannot load %s: %s\n", o.plugin.c_str(),
                     error.c_str());
        return 1;
    }
    tools::Operator op(stderr, !o.quiet);  // answers dialogs and message boxes
    if (!o.quiet) std::fprintf(stderr, "plug-in: %s\n", o.plugin.c_str());

    tools::HostPlay host(p, log.ownCall);
    host.Start(o.html, o.exportLog, log.ownPrefix, log.start, log.end);

    bool progress = log.qsoCount >= 10000 && isatty(fileno(stderr)) && !o.quiet;
    int added = 0, stored = 0;
    for (const Action& a : log.actions) {
        switch (a.kind) {
            case Action::Add:
                stored += host.Add(a.qso) ? 1 : 0;
                ++added;
                if (progress && (added % 1000 == 0 || added == log.qsoCount)) {
                    std::fprintf(stderr, "\rreplaying: %d of %d QSOs", added, log.qsoCount);
                    if (added == log.qsoCount) std::fputc('\n', stderr);
                }
                break;
            case Action::Remove:
                host.Remove(a.qso);
                break;
            case Action::CheckCall: {
                const Qso& q = a.qso;
                int r = host.CheckCall(q);
                std::printf("CheckCall0 %s %s %s (line %d): %d, %s\n", q.call.c_str(),
                            q.band.c_str(), q.mode.c_str(), a.line, r, CheckCallMeaning(r));
                break;
            }
            case Action::CheckExchange: {
                int r = host.CheckExchange(a.exchange, a.qso.prefix);
                std::printf("IsValidExchg0 '%s' %s (line %d): %d, %s\n", a.exchange.c_str(),
                            a.qso.prefix.c_str(), a.line, r, r ? "valid" : "not valid");
                break;
            }
        }
    }

    const char* resultsName = o.html ? "results.html" : "results.txt";
    std::string results = host.Results(resultsName);
    std::fputs(results.c_str(), stdout);
    if (!results.empty() && results.back() != '\n') std::fputc('\n', stdout);

    op.Stop();
    p.Unload();
    std::string reportError;
    if (!o.report.empty() && !hostsim::WriteReport(log, o.report, reportError)) {
        std::fprintf(stderr, "stats-hostsim: %s\n", reportError.c_str());
        return 1;
    }

    if (!o.quiet) {
        std::fprintf(stderr, "QSOs: %d given, %d stored\n", added, stored);
        std::fprintf(stderr, "working folder: %s\n", workdir.c_str());
        std::vector<std::string> files;
        for (const auto& e : fs::directory_iterator(".")) {
            std::string n = e.path().filename().string();
            if (n.rfind("BadQSO_", 0) == 0 || e.path().extension() == ".cbr") files.push_back(n);
        }
        files.push_back(std::string("Plugins") + static_cast<char>(fs::path::preferred_separator) +
                        "SOLSTICE-RACE.ini");
        files.push_back(resultsName);
        for (const std::string& f : files)
            std::fprintf(stderr, "  %s\n", f.c_str());
    }
    return 0;
}
