// Contest checker: every entrant's log checked against the others, scored by the plug-in's
// own rules, with a verdict and its evidence for every QSO line.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "checker.h"
#include "command_line.h"
#include "outputs.h"
#include "tool_io.h"
#include "version.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    CLI::App app{
        "Checks every entrant's SOLSTICE RACE log against the others and scores what is\n"
        "credited with the statistics plug-in's rules. Exit codes: 0 done, 1 a file cannot be\n"
        "read or written, 2 a bad option, 3 done, but logs that cannot be read were left out.",
        "stats-check"};
    std::vector<std::string> inputs;
    std::string out, start, end, countryFile = tools::DefaultCountryFile();
    check::CheckOptions o;
    bool quiet = false;
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    app.set_version_flag("--version", tools::VersionLine("stats-check"));
    app.add_option("logs", inputs, "Cabrillo or ADIF logs, or folders of them")->required();
    app.add_option("--out", out, "folder for the outputs")->required();
    app.add_option("--window", o.match.windowMinutes,
                   "minutes two lines of one QSO may lie apart once clocks are corrected (5)")
        ->check(CLI::Range(0, 120));
    app.add_flag("--remove-uniques", o.removeUniques, "take uniques off the score too");
    app.add_option("--nil-penalty", o.nilPenalty,
                   "further points taken off per not-in-log QSO, in that QSO's points (0)")
        ->check(CLI::Range(0, 10));
    app.add_option("--bust-penalty", o.bustPenalty, "the same per busted call or exchange (0)")
        ->check(CLI::Range(0, 10));
    app.add_option("--start", start, "contest start, YYYY-MM-DD HH:MM UTC (20 June 12:00)");
    app.add_option("--end", end, "contest end (24 hours after the start)");
    app.add_option("--country-file", countryFile, "the country file (" + countryFile + ")");
    app.add_option("--threads", threads, "threads to score with (the machine's cores)")
        ->check(CLI::Range(1, 256));
    app.add_flag("--quiet", quiet, "no summary");
    if (auto code = tools::ParseCommandLine(app, argc, argv)) return *code;
    if (!start.empty() && !tools::ParseWhen(start, o.start)) {
        std::fprintf(stderr, "stats-check: --start: not a time: '%s'\n", start.c_str());
        return 2;
    }
    if (!end.empty() && !tools::ParseWhen(end, o.end)) {
        std::fprintf(stderr, "stats-check: --end: not a time: '%s'\n", end.c_str());
        return 2;
    }

    std::vector<std::string> files;
    for (const std::string& in : inputs) {
        std::error_code ec;
        if (fs::is_directory(in, ec)) {
            std::vector<std::string> inFolder;
            for (const auto& entry : fs::directory_iterator(in, ec))
                if (entry.is_regular_file()) inFolder.push_back(entry.path().string());
            std::sort(inFolder.begin(), inFolder.end());
            files.insert(files.end(), inFolder.begin(), inFolder.end());
        } else {
            files.push_back(in);
        }
    }
    std::string text;
    if (!tools::ReadWholeFile(countryFile, text)) {
        std::fprintf(stderr, "stats-check: the country file %s cannot be read\n",
                     countryFile.c_str());
        return 1;
    }
    tools::CountryFile countries;
    try {
        countries = tools::CountryFile::Parse(text);
    } catch (const tools::CountryFileError& e) {
        std::fprintf(stderr, "stats-check: the country file %s is damaged: %s\n",
                     countryFile.c_str(), e.what());
        return 1;
    }

    // A progress line on a terminal; a run of thousands of logs takes a minute.
    const bool terminal = isatty(fileno(stderr)) != 0;
    if (terminal && !quiet)
        o.progress = [](const char* step) {
            std::fprintf(stderr, "\r\033[Kstats-check: %s ...", step);
        };
    const auto started = std::chrono::steady_clock::now();
    check::Checked c = check::CheckContest(files, countries, o, threads);
    const auto checked = std::chrono::steady_clock::now();
    o.progress("writing the outputs");
    std::string error;
    const bool written = check::WriteOutputs(c, out, error);
    if (terminal && !quiet) std::fprintf(stderr, "\r\033[K");
    if (!written) {
        std::fprintf(stderr, "stats-check: %s\n", error.c_str());
        return 1;
    }
    for (const std::string& u : c.unreadable)
        std::fprintf(stderr, "left out, unreadable: %s\n", u.c_str());
    for (const std::string& d : c.dropped)
        std::fprintf(stderr, "dropped: %s\n", d.c_str());
    if (!quiet) {
        std::map<std::string, long> verdicts;
        long lines = 0;
        int clocks = 0;
        for (const check::Entrant& e : c.entrants) {
            for (const check::Finding& f : e.findings)
                ++verdicts[check::VerdictName(f.verdict)];
            lines += static_cast<long>(e.findings.size());
            clocks += e.clockOffset != 0;
        }
        std::fprintf(stderr, "checked %zu logs, %ld QSO lines; contest %s to %s UTC\n",
                     c.entrants.size(), lines, c.start.Format("%Y-%m-%d %H:%M").c_str(),
                     c.end.Format("%Y-%m-%d %H:%M").c_str());
        for (const auto& [v, n] : verdicts)
            std::fprintf(stderr, "  %-16s %ld\n", v.c_str(), n);
        std::fprintf(stderr, "  clocks corrected: %d\n", clocks);
        auto seconds = [](auto a, auto b) { return std::chrono::duration<double>(b - a).count(); };
        std::fprintf(stderr, "read, checked and scored in %.1f s, written in %.1f s\n",
                     seconds(started, checked), seconds(checked, std::chrono::steady_clock::now()));
        std::fprintf(stderr, "outputs in %s: qsos.csv, results.csv, results.html, lcr/%s\n",
                     out.c_str(), check::HaveSqlite() ? ", contest.sqlite" : "");
    }
    return c.unreadable.empty() ? 0 : 3;
}
