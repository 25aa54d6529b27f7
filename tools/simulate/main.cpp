// Simulator: writes a whole simulated SOLSTICE RACE (every entrant's Cabrillo log) and its
// truth, the verdict a log checker owes each QSO line, for testing and measuring a checker.
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "command_line.h"
#include "simulate.h"
#include "tool_io.h"
#include "version.h"

int main(int argc, char** argv) {
    CLI::App app{"Writes a simulated SOLSTICE RACE: every entrant's log and the truth about it.",
                 "stats-simulate"};
    sim::Options o;
    std::string out;
    std::string callList = "/usr/share/hamradio-files/MASTER.SCP";
    app.set_version_flag("--version", tools::VersionLine("stats-simulate"));
    app.add_option("--entrants", o.entrants, "logs sent in (default 200)")
        ->check(CLI::Range(1, 100000));
    app.add_option("--seed", o.seed, "the draw; the same seed writes the same files (default 1)");
    app.add_option("--mode", o.mode, "CW or SSB (default CW)")->check(CLI::IsMember({"CW", "SSB"}));
    app.add_option("--year", o.year, "the contest's year (default 2026)")
        ->check(CLI::Range(1990, 2100));
    app.add_option("--calls", callList, "list of calls to draw from, one a line (MASTER.SCP)");
    std::vector<std::string> shares;
    app.add_option("--share", shares,
                   "KIND=SHARE: how often a kind of mistake is made (a share of the QSOs, or of "
                   "the logs for a whole log's mistake); repeatable")
        ->check([&o](const std::string& text) -> std::string {
            const size_t eq = text.find('=');
            double* share = eq == std::string::npos ? nullptr : sim::ShareOf(o, text.substr(0, eq));
            if (!share) return "not KIND=SHARE with a kind of mistake: " + text;
            try {
                size_t used = 0;
                const double value = std::stod(text.substr(eq + 1), &used);
                if (used != text.size() - eq - 1 || value < 0 || value > 1)
                    return "a share is a number from 0 to 1: " + text;
                *share = value;
            } catch (const std::exception&) {
                return "a share is a number from 0 to 1: " + text;
            }
            return "";
        });
    app.add_option("--out", out, "folder for logs/, truth.csv and clocks.csv")->required();
    if (auto code = tools::ParseCommandLine(app, argc, argv)) return *code;

    std::string text;
    const bool read = tools::ReadWholeFile(callList, text);
    std::vector<std::string> calls = sim::ReadCallList(text);
    if (!read || calls.size() < 10) {
        std::fprintf(stderr, "stats-simulate: %s: not a list of calls\n", callList.c_str());
        return 1;
    }
    sim::Contest contest = sim::Simulate(calls, o);
    std::string error;
    if (!sim::WriteContest(contest, out, error)) {
        std::fprintf(stderr, "stats-simulate: %s\n", error.c_str());
        return 1;
    }
    std::map<std::string, long long> byVerdict, byKind;
    for (const sim::TruthRow& t : contest.truth)
        ++byVerdict[t.verdict], ++byKind[t.kind];
    std::fprintf(stderr, "%zu logs, %lld QSO lines in %s/logs; truth in %s/truth.csv\n",
                 contest.logs.size(), contest.qsoLines, out.c_str(), out.c_str());
    for (const auto& [verdict, count] : byVerdict)
        std::fprintf(stderr, "  %-16s %lld\n", verdict.c_str(), count);
    std::fprintf(stderr, "by kind of mistake:\n");
    for (const auto& [kind, count] : byKind)
        std::fprintf(stderr, "  %-22s %lld\n", kind.c_str(), count);
    return 0;
}
