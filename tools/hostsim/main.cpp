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

#include "host_log.h"
#include "hostsim_report.h"
#include "operator.h"
#include "plugin.h"

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
using hostsim::Plugin;
using hostsim::Qso;

namespace {

const char kUsage[] =
    "Usage: stats-hostsim [OPTIONS] LOG\n"
    "Replays a contest log through the statistics plug-in as the host does and prints the\n"
    "results. The plug-in's files (bad-QSO file, settings, Cabrillo log) stay in the\n"
    "working folder.\n"
    "\n"
    "  -p, --plugin PATH       the plug-in library (default: "
#if defined(_WIN32)
    "Stats.dll"
#else
    "libstats.so"
#endif
    " beside this program, then in ..)\n"
    "  -w, --workdir DIR       working folder (default: hostsim-work); made when missing\n"
    "      --html              call setVersion first, so that the results come as HTML\n"
    "      --export            ask for a Cabrillo log at the reset\n"
    "      --host-version V    the host version in the host's Ketl2.ini (default: 2.30)\n"
    "      --setup-window      let the reset start the Setup window (Windows)\n"
    "      --report FILE       also write the contest report page (HTML) to FILE\n"
    "  -q, --quiet             print the results only\n"
    "  -h, --help              show this help\n"
    "\n"
    "The log format is described in the README (section \"Host simulator\").\n";

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

[[noreturn]] void Usage(const std::string& error) {
    std::fprintf(stderr, "stats-hostsim: %s\nTry 'stats-hostsim --help'.\n", error.c_str());
    std::exit(2);
}

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](const char* name) -> std::string {
            std::string prefix = std::string(name) + "=";
            if (a.rfind(prefix, 0) == 0) return a.substr(prefix.size());
            if (i + 1 >= argc) Usage(std::string("option ") + name + " needs a value");
            return argv[++i];
        };
        auto is = [&](const char* shortName, const char* longName) {
            return a == shortName || a == longName || a.rfind(std::string(longName) + "=", 0) == 0;
        };
        if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (is("-p", "--plugin")) {
            o.plugin = value("--plugin");
        } else if (is("-w", "--workdir")) {
            o.workdir = value("--workdir");
        } else if (is("", "--host-version")) {
            o.hostVersion = value("--host-version");
        } else if (is("", "--report")) {
            o.report = fs::absolute(value("--report")).string();
        } else if (a == "--html") {
            o.html = true;
        } else if (a == "--export") {
            o.exportLog = true;
        } else if (a == "--setup-window") {
            o.setupWindow = true;
        } else if (a == "-q" || a == "--quiet") {
            o.quiet = true;
        } else if (!a.empty() && a[0] == '-') {
            Usage("unknown option '" + a + "'");
        } else if (o.log.empty()) {
            o.log = a;
        } else {
            Usage("more than one log given ('" + o.log + "' and '" + a + "')");
        }
    }
    if (o.log.empty()) Usage("no log given");
    return o;
}

std::string DefaultPlugin([[maybe_unused]] const char* argv0) {
#if defined(_WIN32)
    const char* name = "Stats.dll";
    char self[MAX_PATH] = {0};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    fs::path dir = fs::path(self).parent_path();
#else
    const char* name = "libstats.so";
    std::error_code ec;
    fs::path dir = fs::canonical("/proc/self/exe", ec).parent_path();
    if (ec) dir = fs::path(argv0).parent_path();
#endif
    for (const fs::path& candidate : {dir / name, dir.parent_path() / name}) {
        if (fs::exists(candidate)) return candidate.string();
    }
    return (dir / name).string();
}

// The settings the Setup window would have left: the log's mode and, unless the Setup window
// is wanted, "Start" at 1 so that the reset does not start it.
void PrepareFolder(const Options& o, const HostLog& log) {
    fs::create_directories(fs::path(o.workdir) / "Plugins");
    fs::create_directories(fs::path(o.workdir) / "host");
    fs::current_path(o.workdir);
    std::ofstream ini("Plugins/SOLSTICE-RACE.ini", std::ios::binary | std::ios::trunc);
    ini << "[Settings]\r\nCW=" << (log.cw ? 1 : 0) << "\r\nSSB=" << (log.cw ? 0 : 1) << "\r\n";
    if (!o.setupWindow) ini << "Start=1\r\n";
    std::ofstream host("host/Ketl2.ini", std::ios::binary | std::ios::trunc);
    host << "[Ketl]\r\nKetl=" << o.hostVersion << "\r\n";
}

int CallQso(const Plugin& p, bool add, const HostLog& log, const Qso& q) {
    COleDateTime time = q.time, unused;
    auto f = add ? p.AddData0 : p.RemoveData0;
    return f(log.ownCall.c_str(), q.call.c_str(), &time, &unused, &unused, &unused, 0, q.freqHz,
             q.mode.c_str(), q.rstSent.c_str(), q.rstRcvd.c_str(), q.exchSent.c_str(),
             q.exchRcvd.c_str(), "", "", "", "", "", "", "", "", q.prefixText.c_str(),
             q.prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "", q.band.c_str(), "");
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
    Options o = ParseOptions(argc, argv);
    if (o.plugin.empty()) o.plugin = DefaultPlugin(argv[0]);
    o.plugin = fs::absolute(o.plugin).string();

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
        PrepareFolder(o, log);
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
    hostsim::Operator op(stderr, !o.quiet);  // answers dialogs and message boxes
    if (!o.quiet) std::fprintf(stderr, "plug-in: %s\n", o.plugin.c_str());

    // The host lists the plug-in's one statistics set, then starts a pass.
    if (o.html) p.setVersion("");
    p.GetNumberOfSets();
    p.GetSetName(0);
    p.GetExchgCount0("", "", "");
    std::string hostFolder =
        std::string("host") + (fs::path::preferred_separator == '\\' ? "\\" : "/");
    COleDateTime start = log.start, end = log.end;
    p.ResetStats0(hostFolder.c_str(), o.exportLog ? 1 : 0, log.ownCall.c_str(), &start, &end, "",
                  "", "", "", "", "", "", "", "", log.ownPrefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "",
                  "");

    bool progress = log.qsoCount >= 10000 && isatty(fileno(stderr)) && !o.quiet;
    int added = 0, stored = 0;
    for (const Action& a : log.actions) {
        switch (a.kind) {
            case Action::Add:
                stored += CallQso(p, true, log, a.qso);
                ++added;
                if (progress && (added % 1000 == 0 || added == log.qsoCount)) {
                    std::fprintf(stderr, "\rreplaying: %d of %d QSOs", added, log.qsoCount);
                    if (added == log.qsoCount) std::fputc('\n', stderr);
                }
                break;
            case Action::Remove:
                CallQso(p, false, log, a.qso);
                break;
            case Action::CheckCall: {
                char out1[256] = {0}, out2[256] = {0};
                const Qso& q = a.qso;
                int r = p.CheckCall0(q.call.c_str(), 0, 0, q.mode.c_str(), "", "", "", "", "", "",
                                     "", "", q.prefixText.c_str(), q.prefix.c_str(), 0, 0, 0, 0.0,
                                     0.0, "", "", "", "", "", q.band.c_str(), "", out1, out2);
                std::printf("CheckCall0 %s %s %s (line %d): %d, %s\n", q.call.c_str(),
                            q.band.c_str(), q.mode.c_str(), a.line, r, CheckCallMeaning(r));
                break;
            }
            case Action::CheckExchange: {
                int r = p.IsValidExchg0(a.exchange.c_str(), "", a.qso.prefix.c_str(), "", 0, 0, 0);
                std::printf("IsValidExchg0 '%s' %s (line %d): %d, %s\n", a.exchange.c_str(),
                            a.qso.prefix.c_str(), a.line, r, r ? "valid" : "not valid");
                break;
            }
        }
    }

    int out = 0;
    const char* result = p.GetResult0(&out);
    std::string results = result ? result : "";
    const char* resultsName = o.html ? "results.html" : "results.txt";
    std::ofstream(resultsName, std::ios::binary | std::ios::trunc) << results;
    std::fputs(results.c_str(), stdout);
    if (!results.empty() && results.back() != '\n') std::fputc('\n', stdout);

    op.Stop();
    p.Unload();
    if (!o.report.empty() && !hostsim::WriteReport(log, o.report, error)) {
        std::fprintf(stderr, "stats-hostsim: %s\n", error.c_str());
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
