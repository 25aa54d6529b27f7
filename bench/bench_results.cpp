// The results computation alone, on a log put straight into an instance: the band walk
// without the exports' file and settings work around it.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "bench/log_generator.h"
#include "contest/contest_rules.h"
#include "engine/contest.h"
#include "results/tally.h"

namespace {

// Stores the good QSOs of a synthetic log as admission would: province for Spanish stations,
// dupes marked.
void Fill(engine::Contest& s, int n) {
    loggen::Options options;
    options.count = n;
    options.seed = 7;
    s.ownPrefix = "EA";
    for (const loggen::Qso& q : loggen::Generate(options)) {
        if (q.kind == loggen::Qso::Kind::Bad) continue;
        CInfo e;
        e.m_strCall = q.call;
        e.m_strBand = q.band;
        e.m_strMode = q.mode;
        e.m_strPrefix = q.prefix;
        e.m_strExchRcvd = q.exchRcvd;
        e.m_strExchSent = q.exchSent;
        e.m_time = q.time;
        if (contest::IsSpanishEntity(q.prefix)) e.m_strProvince = q.exchRcvd;
        e.m_bDupe = e.m_bNotCounted = q.kind == loggen::Qso::Kind::Dupe;
        s.log.Append(e);
        if (std::find(s.workedBands.begin(), s.workedBands.end(), q.band) == s.workedBands.end())
            s.workedBands.push_back(q.band);
    }
}

void BM_Tally(benchmark::State& state) {
    engine::Contest contest;
    Fill(contest, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        results::Tally t = results::ComputeTally(contest, true);
        benchmark::DoNotOptimize(t.score);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_Tally)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
