// The contest checker on simulated contests: its accuracy against the simulation's truth,
// and its speed end to end (read every log, match, score, write every output).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "checker.h"
#include "outputs.h"
#include "simulate.h"
#include "tool_io.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const std::string& path) {
    std::string text;
    tools::ReadWholeFile(path, text);
    return text;
}

// A simulated contest written to a folder, made in a child process so that its memory does
// not count against the checker's. A large contest is kept for the next run unless its truth
// is of another format; `fresh` makes it again (the accuracy must be of today's simulator).
std::vector<std::string> WriteContest(int entrants, double qsoRate, const fs::path& dir,
                                      bool fresh) {
    const std::string truth = Slurp((dir / "truth.csv").string());
    if (fresh || truth.rfind("log,line,verdict,right_call,note,kind\n", 0) != 0) {
        fs::remove_all(dir);
        pid_t child = fork();
        if (child == 0) {
            sim::Options o;
            o.entrants = entrants;
            o.seed = 2026;
            o.qsoRate = qsoRate;
            sim::Contest c =
                sim::Simulate(sim::ReadCallList(Slurp("/usr/share/hamradio-files/MASTER.SCP")), o);
            std::string error;
            _exit(sim::WriteContest(c, dir.string(), error) ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
    }
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(dir / "logs"))
        files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// The rows of a CSV file without its header, split at commas.
std::vector<std::vector<std::string>> CsvRows(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(Slurp(path));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::istringstream f(line);
        for (std::string cell; std::getline(f, cell, ',');)
            cells.push_back(cell);
        if (!line.empty() && line.back() == ',') cells.emplace_back();
        rows.push_back(cells);
    }
    return rows;
}

// The log a checked entrant is in the truth: its file is named after its call, '/' as '-'.
std::string TruthLog(const check::Entrant& e) {
    std::string call = fs::path(e.file).stem().string();
    std::replace(call.begin(), call.end(), '-', '/');
    return call;
}

const tools::CountryFile& Countries() {
    static const tools::CountryFile countries =
        tools::CountryFile::Parse(Slurp("/usr/share/hamradio-files/cty.dat"));
    return countries;
}

int Threads() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

struct Tally {
    long lines = 0, handled = 0;
    std::map<std::string, long> others;  // verdicts given instead
};

void PrintRow(const std::string& kind, const std::string& truth, const Tally& t) {
    std::string others;
    std::vector<std::pair<long, std::string>> byCount;
    for (const auto& [v, n] : t.others)
        byCount.emplace_back(-n, v);
    std::sort(byCount.begin(), byCount.end());
    for (const auto& [n, v] : byCount)
        others += " " + v + " " + std::to_string(-n);
    std::printf("%-22s %-16s %8ld %8ld %8.2f %s\n", kind.c_str(), truth.c_str(), t.lines, t.handled,
                100.0 * double(t.handled) / double(std::max(1L, t.lines)), others.c_str());
}

// Checks a 1 000-entrant contest with every kind of mistake and prints, per kind, the lines
// it touches and those handled (the checker's verdict is the truth's, and a busted call's
// right call is named), with a row per verdict the truth owes where a kind has several; then
// the correct lines given another verdict, and how well each log's clock was found.
void BM_Accuracy(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "stats-bench-accuracy";
    std::vector<std::string> files = WriteContest(static_cast<int>(state.range(0)), 700, dir, true);
    const auto truth = CsvRows((dir / "truth.csv").string());
    const auto clocks = CsvRows((dir / "clocks.csv").string());
    struct Given {
        std::string verdict, note;
    };
    std::map<std::pair<std::string, int>, Given> given;  // (log, line) -> the checker's finding
    std::map<std::string, check::Clock> clockOf;
    long startMinute = 0;
    size_t unreadable = 0;
    for (auto _ : state) {
        check::Checked c = check::CheckContest(files, Countries(), {}, Threads());
        given.clear();
        clockOf.clear();
        for (const check::Entrant& e : c.entrants) {
            const std::string log = TruthLog(e);
            clockOf[log] = e.clock;
            for (size_t k = 0; k < e.findings.size(); ++k)
                given[{log, e.log.lines[k].line}] = {check::VerdictName(e.findings[k].verdict),
                                                     check::RightCall(c, e.findings[k])};
        }
        startMinute = std::lround(c.start.m_dt * 1440.0);
        unreadable = c.unreadable.size();
    }

    // kind -> truth verdict -> tally; "" stands for all the kind's lines.
    std::map<std::string, std::map<std::string, Tally>> byKind;
    Tally correct;  // lines the truth credits
    for (const auto& row : truth) {
        const std::string &log = row.at(0), &verdict = row.at(2), &right = row.at(3),
                          &kind = row.at(5);
        auto found = given.find({log, std::stoi(row.at(1))});
        const std::string v = found == given.end() ? "UNREAD" : found->second.verdict;
        const bool handled =
            v == verdict && (verdict != "BUSTED_CALL" || found->second.note == right);
        for (Tally* t : {&byKind[kind][""], &byKind[kind][verdict]}) {
            ++t->lines;
            t->handled += handled;
            if (!handled) ++t->others[v == verdict ? v + "(wrong call)" : v];
        }
        if (verdict == "OK" || verdict == "UNVERIFIED" || verdict == "UNIQUE") {
            ++correct.lines;
            if (v != verdict) ++correct.others[v];
        }
    }
    std::printf("\n%zu logs (%zu unreadable to the checker), %zu QSO lines\n", files.size(),
                unreadable, truth.size());
    std::printf("%-22s %-16s %8s %8s %8s  other verdicts given\n", "kind", "truth", "lines",
                "handled", "%");
    for (const std::string& kind : sim::KindNames()) {
        auto& verdicts = byKind[kind];
        PrintRow(kind, "(all)", verdicts[""]);
        state.counters["handled_" + kind + "_%"] =
            100.0 * double(verdicts[""].handled) / double(std::max(1L, verdicts[""].lines));
        if (verdicts.size() > 2)
            for (const auto& [verdict, t] : verdicts)
                if (!verdict.empty()) PrintRow("", verdict, t);
    }
    long flagged = 0;
    std::string givenInstead;
    for (const auto& [v, n] : correct.others) {
        flagged += n;
        givenInstead += " " + v + " " + std::to_string(n);
    }
    std::printf(
        "\ncorrect lines (truth OK, UNVERIFIED, UNIQUE) given another verdict: %ld of %ld"
        " = %.3f %% (target at most 0.2 %%):%s\n",
        flagged, correct.lines, 100.0 * double(flagged) / double(correct.lines),
        givenInstead.c_str());
    state.counters["correct_flagged_%"] = 100.0 * double(flagged) / double(correct.lines);

    // Clocks: a constant clock found within a minute, a drifting one within two, at every
    // hour of the contest (as logged there).
    struct ClockTally {
        long logs = 0, found = 0, unread = 0;
        double worst = 0;  // of the logs read
    };
    std::map<std::string, ClockTally> byClock;
    for (const auto& row : clocks) {
        const std::string& log = row.at(0);
        const int offset = std::stoi(row.at(1));
        const double drift = std::stod(row.at(2));
        const std::string kind = drift != 0                   ? "drifting_clock"
                                 : offset == 0                ? "right"
                                 : std::abs(offset) % 60 == 0 ? "local_time"
                                                              : "clock_off";
        ClockTally& t = byClock[kind];
        ++t.logs;
        auto clock = clockOf.find(log);
        if (clock == clockOf.end()) {
            ++t.unread;
            continue;
        }
        double worst = 0;
        for (int hour = 0; hour <= 24; ++hour) {
            const int minute = 60 * hour;
            const int ahead = sim::ClockAt(offset, drift, minute);
            worst = std::max(worst, std::fabs(clock->second.At(startMinute + minute + ahead) -
                                              (offset + drift * hour)));
        }
        t.worst = std::max(t.worst, worst);
        t.found += worst <= (drift != 0 ? 2.0 : 1.0);
    }
    std::printf("\nclocks found (constant within 1 minute, drifting within 2, at every hour)\n");
    std::printf("%-16s %6s %6s %8s %7s %s\n", "clock", "logs", "found", "%", "unread",
                "worst error (minutes)");
    for (const auto& [kind, t] : byClock) {
        std::printf("%-16s %6ld %6ld %8.2f %7ld %.2f\n", kind.c_str(), t.logs, t.found,
                    100.0 * double(t.found) / double(std::max(1L, t.logs)), t.unread, t.worst);
        state.counters["clock_" + kind + "_%"] = 100.0 * double(t.found) / double(t.logs);
    }
}
BENCHMARK(BM_Accuracy)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);

// End to end, as the organiser runs it: read, match, score, write every output.
void BM_CheckContest(benchmark::State& state) {
    const int entrants = static_cast<int>(state.range(0));
    const fs::path dir =
        fs::temp_directory_path() / ("stats-bench-contest-" + std::to_string(entrants));
    std::vector<std::string> files = WriteContest(entrants, state.range(1), dir, false);
    long long lines = 0;
    for (auto _ : state) {
        check::Checked c = check::CheckContest(files, Countries(), {}, Threads());
        std::string error;
        if (!check::WriteOutputs(c, (dir / "out").string(), error))
            state.SkipWithError(error.c_str());
        lines = 0;
        for (const check::Entrant& e : c.entrants)
            lines += static_cast<long long>(e.findings.size());
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["logs"] = static_cast<double>(files.size());
    state.counters["qso_lines"] = static_cast<double>(lines);
    state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_CheckContest)
    ->Args({3000, 700})
    ->Args({10000, 810})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
