// The report page of a synthetic contest: the in-process replay, the per-QSO tally and the
// page, as `--report` builds it after the plug-in has scored the log. The bad-QSO file is
// written once beforehand, as the plug-in would have left it.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "base/textfile.h"
#include "bench/log_generator.h"
#include "engine/contest.h"
#include "report/report.h"

namespace {

report::Contest MakeContest(int n) {
    loggen::Options options;
    options.count = n;
    options.seed = 11;
    report::Contest c;
    c.ownCall = "EA4ZZZ";
    c.ownPrefix = "EA";
    c.start = options.start;
    c.end = COleDateTime(options.start.m_dt + 1.0);
    for (const loggen::Qso& q : loggen::Generate(options))
        c.qsos.push_back({{q.time, q.freqHz, q.mode, q.call, q.rstSent, q.exchSent, q.rstRcvd,
                           q.exchRcvd, q.band, q.prefix, q.prefixText},
                          false});
    return c;
}

// The bad-QSO file of the log, as the engine keeps it.
void WriteBadQsoFile(const report::Contest& c, const std::string& path) {
    engine::Contest contest;
    contest.SetMode(c.cw);
    engine::ResetArgs reset;
    reset.ownCall = c.ownCall;
    reset.ownPrefix = c.ownPrefix;
    reset.end = c.end;
    contest.Reset(reset);
    for (const report::LoggedQso& q : c.qsos)
        contest.Add(report::ArgsOf(c.ownCall, q));
    std::string text;
    for (const std::string& line : contest.BadQsoLines().value_or(std::vector<std::string>{}))
        text += line + "\r\n";
    textfile::Write(path, text);
}

void BM_ReportPage(benchmark::State& state) {
    const report::Contest c = MakeContest(static_cast<int>(state.range(0)));
    const std::string bad = "bench_report_badqso.txt";
    WriteBadQsoFile(c, bad);
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string page = report::BuildPage(c, bad);
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    std::remove(bad.c_str());
    state.counters["page_bytes"] = static_cast<double>(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_ReportPage)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
