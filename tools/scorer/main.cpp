// Scorer: reads an ADIF or Cabrillo log of any logger, resolves entities and prefixes from
// the country file and replays the QSOs in time order through the plug-in's exports, so
// that its score is the plug-in's score. Prints the results, then a summary.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "command_line.h"
#include "country_file.h"
#include "engine/contest.h"
#include "operator.h"
#include "plugin.h"
#include "report/report.h"
#include "score_run.h"
#include "tool_io.h"
#include "version.h"

namespace fs = std::filesystem;

namespace {

struct Options {
    std::string log;
    std::string call;
    std::string mode;
    std::string start;
    std::string end;
    std::string out;
    std::string countryFile;
    std::string plugin;
    tools::ExchangeFields fields;
    bool html = false;
    bool cabrillo = false;
    bool quiet = false;
    std::string report;  // absolute: the scorer changes into the output folder
};

void DefineOptions(CLI::App& app, Options& o) {
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.description(
        "Scores a SOLSTICE RACE log (ADIF or Cabrillo) with the statistics plug-in: replays\n"
        "its QSOs in time order through the plug-in, prints the results, then a summary on\n"
        "standard error. Exit codes: 0 done, 1 a file cannot be read, 2 a bad option, 3 done\n"
        "with damaged records left out.");
    app.set_version_flag("--version", tools::VersionLine("stats-score"));
    app.add_option("--call", o.call, "own call (default: from the log)");
    app.add_option("--mode", o.mode, "the contest's mode (default: that of most QSOs)")
        ->check(CLI::IsMember({"CW", "SSB"}, CLI::ignore_case))
        ->transform([](std::string s) {
            for (char& c : s)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return s;
        });
    app.add_option("--start", o.start, "contest start, YYYY-MM-DD HH:MM (default: first QSO)");
    app.add_option("--end", o.end, "contest end, YYYY-MM-DD HH:MM (default: last QSO)");
    app.add_option("--out", o.out,
                   "folder for the plug-in's files (default: named after the call)");
    app.add_flag("--html", o.html, "results as HTML");
    app.add_option("--report", o.report, "also write the contest report page (HTML) to FILE");
    app.add_flag("--cabrillo", o.cabrillo, "write the plug-in's Cabrillo log too");
    app.add_option("--country-file", o.countryFile, "the country file")
        ->default_str(tools::DefaultCountryFile());
    app.add_option("--exchange-field", o.fields.received,
                   "ADIF field of the received exchange (default: SRX_STRING, SRX, STATE)");
    app.add_option("--sent-exchange-field", o.fields.sent,
                   "ADIF field of the sent exchange (default: STX_STRING, STX, MY_STATE)");
    app.add_option("--plugin", o.plugin,
                   "the plug-in library (default: beside this program, then in .., then where "
                   "it is installed)");
    app.add_flag("-q,--quiet", o.quiet, "print the results and errors only");
    app.add_option("LOG", o.log, "the log: ADIF (.adi) or Cabrillo")->required();
}

[[noreturn]] void Fail(int code, const std::string& what) {
    std::fprintf(stderr, "stats-score: %s\n", what.c_str());
    std::exit(code);
}

// A call as stations write it; the own call also names the output folder, so nothing but
// letters, digits and inner slashes passes.
bool IsCall(const std::string& call) {
    bool letter = false;
    for (char c : call) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '/') return false;
        letter = letter || std::isalpha(static_cast<unsigned char>(c));
    }
    return letter && call.size() <= 20 && call.front() != '/' && call.back() != '/' &&
           call.find("//") == std::string::npos;
}

// The report of a QSO that the log gives none: the one a contest exchange carries.
std::string UsualReport(const std::string& mode) {
    return mode == "CW" ? "599" : mode == "SSB" ? "59" : "";
}

// Everything before the replay: the log, the country file, the own station, the mode and
// the contest's dates.
scorer::ScoreRun Prepare(const Options& o) {
    // A bad option is told before any file is read.
    COleDateTime start, end;
    if (!o.start.empty() && !tools::ParseWhen(o.start, start))
        Fail(2, "--start: not a date and time: '" + o.start + "' (want YYYY-MM-DD HH:MM)");
    if (!o.end.empty() && !tools::ParseWhen(o.end, end))
        Fail(2, "--end: not a date and time: '" + o.end + "' (want YYYY-MM-DD HH:MM)");
    scorer::ScoreRun run;
    run.logPath = o.log;
    std::string text;
    if (!tools::ReadWholeFile(o.log, text))
        Fail(1, "cannot read " + o.log + ": " + std::strerror(errno));
    run.log = tools::ReadAnyLog(text, o.fields);
    if (!run.log.recognised)
        Fail(1, o.log + " is neither an ADIF log (no <EOH>, no <EOR>) nor a Cabrillo log");
    for (const tools::DamagedRecord& d : run.log.damaged) {
        std::fprintf(stderr, "%s:%d: %s%s%s; record left out\n", o.log.c_str(), d.line,
                     d.field.c_str(), d.field.empty() ? "" : ": ", d.reason.c_str());
    }
    for (const tools::DamagedRecord& d : run.log.notes) {
        std::fprintf(stderr, "%s:%d: %s: %s\n", o.log.c_str(), d.line, d.field.c_str(),
                     d.reason.c_str());
    }
    if (run.log.qsos.empty() && !run.log.damaged.empty())
        Fail(3, "no record of " + o.log + " could be read (" +
                    std::to_string(run.log.damaged.size()) + " damaged, named above)");

    std::string cty;
    if (!tools::ReadWholeFile(o.countryFile, cty))
        Fail(1, "cannot read the country file " + o.countryFile + ": " + std::strerror(errno));
    tools::CountryFile countries;
    try {
        countries = tools::CountryFile::Parse(cty);
    } catch (const tools::CountryFileError& e) {
        Fail(1, "the country file " + o.countryFile + " is damaged: " + e.what());
    }

    run.ownCall = o.call.empty() ? run.log.ownCall : o.call;
    for (char& c : run.ownCall)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (run.ownCall.empty()) Fail(2, "the log names no own call; give it with --call");
    if (!IsCall(run.ownCall)) {
        Fail(2, (o.call.empty() ? run.log.ownCallField : "--call") + ": not a call: '" +
                    run.ownCall + "'" + (o.call.empty() ? "; give the own call with --call" : ""));
    }
    run.own = countries.Resolve(run.ownCall);

    int cw = 0, ssb = 0;
    for (tools::LoggedQso& q : run.log.qsos) {
        cw += q.mode == "CW";
        ssb += q.mode == "SSB";
        scorer::ReplayedQso r;
        tools::Resolution res = countries.Resolve(q.call);
        // What the plug-in writes must read back: its Cabrillo lines need both reports and
        // a frequency.
        if (q.rstSent.empty() || q.rstRcvd.empty()) {
            std::string usual = UsualReport(q.mode);
            run.reportsSupplied += !usual.empty();
            if (q.rstSent.empty()) q.rstSent = usual;
            if (q.rstRcvd.empty()) q.rstRcvd = usual;
        }
        if (q.freqHz == 0) {
            q.freqHz = tools::BandStartHz(q.band);
            run.freqsSupplied += q.freqHz != 0;
        }
        r.given = {q.time,    q.freqHz,   q.mode, q.call,     q.rstSent,     q.exchSent,
                   q.rstRcvd, q.exchRcvd, q.band, res.entity, res.prefixText};
        r.logged = std::move(q);
        run.replayed.push_back(std::move(r));
    }
    run.log.qsos.clear();
    // The host hands QSOs over in time order; loggers may export in another.
    std::stable_sort(run.replayed.begin(), run.replayed.end(), [](const auto& a, const auto& b) {
        return a.given.time.m_dt < b.given.time.m_dt;
    });

    std::string category = run.log.categoryMode == "PH" ? "SSB" : run.log.categoryMode;
    if (!o.mode.empty()) {
        run.cw = o.mode == "CW";
        run.modeNote = "given";
    } else if (category == "CW" || category == "SSB") {
        run.cw = category == "CW";
        run.modeNote = "from the log's CATEGORY-MODE";
    } else if (cw == 0 && ssb == 0 && !run.replayed.empty()) {
        Fail(2, "the log has no CW or SSB QSO (" + std::to_string(run.replayed.size()) +
                    " in other modes); give the contest's mode with --mode");
    } else {
        run.cw = cw >= ssb;  // a tie is CW
        run.modeNote = "that of most QSOs: " + std::to_string(run.cw ? cw : ssb) + " of " +
                       std::to_string(run.replayed.size());
    }

    if (!run.replayed.empty()) {
        run.start = run.replayed.front().given.time;
        run.end = run.replayed.back().given.time;
    }
    if (!o.start.empty()) run.start = start;
    if (!o.end.empty()) run.end = end;

    std::string folder = run.ownCall;
    std::replace(folder.begin(), folder.end(), '/', '-');
    run.outDir = fs::absolute(o.out.empty() ? folder : o.out).lexically_normal().string();
    run.resultsFile = o.html ? "results.html" : "results.txt";
    return run;
}

// What follows a replay: the summary; further reports of a scoring belong here too.
void AfterReplay(const scorer::ScoreRun& run, const Options& o) {
    if (!o.quiet) scorer::PrintSummary(run, stderr);
    if (o.report.empty()) return;
    report::Contest c;
    c.ownCall = run.ownCall;
    c.ownPrefix = run.own.entity;
    c.start = run.start;
    c.end = run.end;
    c.cw = run.cw;
    for (const scorer::ReplayedQso& r : run.replayed)
        c.qsos.push_back({r.given, false});
    std::string error;
    if (!report::WritePage(c, (fs::path(run.outDir) / engine::BadQsoFileName(run.end)).string(),
                           o.report, error))
        Fail(1, error);
    if (!o.quiet) std::fprintf(stderr, "report page: %s\n", o.report.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    CLI::App app("", "stats-score");
    DefineOptions(app, o);
    if (auto code = tools::ParseCommandLine(app, argc, argv)) return *code;
    if (o.countryFile.empty()) o.countryFile = tools::DefaultCountryFile();
    o.plugin =
        fs::absolute(o.plugin.empty() ? tools::DefaultPluginPath(argv[0]) : o.plugin).string();
    if (!o.report.empty()) o.report = fs::absolute(o.report).string();

    scorer::ScoreRun run = Prepare(o);
    try {
        tools::PrepareHostFolder(run.outDir, run.cw, false, "2.30");
    } catch (const std::exception& e) {
        Fail(1, "cannot prepare " + run.outDir + ": " + e.what());
    }

    tools::Plugin p;
    std::string error;
    if (!p.Load(o.plugin, error)) Fail(1, "cannot load " + o.plugin + ": " + error);
    {
        tools::Operator op(stderr, false);  // answers the plug-in's dialogs on Windows
        tools::HostPlay host(p, run.ownCall);
        host.Start(o.html, o.cabrillo, run.own.entity, run.start, run.end);
        for (scorer::ReplayedQso& q : run.replayed)
            q.stored = host.Add(q.given);
        run.results = host.Results(run.resultsFile.c_str());
        op.Stop();
    }
    p.Unload();
    std::fputs(run.results.c_str(), stdout);
    if (!run.results.empty() && run.results.back() != '\n') std::fputc('\n', stdout);
    std::fflush(stdout);

    AfterReplay(run, o);
    return run.log.damaged.empty() ? 0 : 3;
}
