// The contest checker on simulated contests: its accuracy against the simulation's truth,
// and its speed end to end (read every log, match, score, write every output).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
// not count against the checker's.
std::vector<std::string> WriteContest(int entrants, double qsoRate, const fs::path& dir) {
    if (!fs::exists(dir / "truth.csv")) {
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

const tools::CountryFile& Countries() {
    static const tools::CountryFile countries =
        tools::CountryFile::Parse(Slurp("/usr/share/hamradio-files/cty.dat"));
    return countries;
}

int Threads() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// Checks a 1 000-entrant contest and prints, per verdict of the truth, what the checker
// said: found (the same verdict) and flagged (a correct QSO given another verdict).
void BM_Accuracy(benchmark::State& state) {
    const fs::path dir = fs::temp_directory_path() / "stats-bench-accuracy";
    std::vector<std::string> files = WriteContest(static_cast<int>(state.range(0)), 700, dir);
    std::map<std::pair<std::string, int>, std::string> truth;
    {
        std::istringstream lines(Slurp((dir / "truth.csv").string()));
        std::string line;
        std::getline(lines, line);
        while (std::getline(lines, line)) {
            std::istringstream f(line);
            std::string log, number, verdict;
            std::getline(f, log, ',');
            std::getline(f, number, ',');
            std::getline(f, verdict, ',');
            truth[{log, std::stoi(number)}] = verdict;
        }
    }
    std::map<std::string, std::map<std::string, long>> confusion;
    for (auto _ : state) {
        check::Checked c = check::CheckContest(files, Countries(), {}, Threads());
        confusion.clear();
        for (const check::Entrant& e : c.entrants)
            for (size_t k = 0; k < e.findings.size(); ++k)
                ++confusion[truth[{e.call, e.log.lines[k].line}]]
                           [check::VerdictName(e.findings[k].verdict)];
    }
    std::printf("\n%-16s %9s %9s %8s  other verdicts given\n", "truth", "lines", "found", "%");
    for (auto& [verdict, found] : confusion) {
        long all = 0;
        std::string others;
        for (auto& [v, n] : found) {
            all += n;
            if (v != verdict) others += " " + v + " " + std::to_string(n);
        }
        std::printf("%-16s %9ld %9ld %8.3f %s\n", verdict.c_str(), all, found[verdict],
                    100.0 * found[verdict] / all, others.c_str());
        state.counters["found_" + verdict + "_%"] = 100.0 * found[verdict] / all;
    }
}
BENCHMARK(BM_Accuracy)->Arg(1000)->Iterations(1)->Unit(benchmark::kSecond);

// End to end, as the organiser runs it: read, match, score, write every output.
void BM_CheckContest(benchmark::State& state) {
    const int entrants = static_cast<int>(state.range(0));
    const fs::path dir =
        fs::temp_directory_path() / ("stats-bench-contest-" + std::to_string(entrants));
    std::vector<std::string> files = WriteContest(entrants, state.range(1), dir);
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
