// Many logs in one process, as a contest checker scores them: 1 000 generated logs of
// 1 000 QSOs, each in an engine instance of its own that writes no file (reset, every QSO
// added, the host's results call), on one thread and on two. `s_per_qso` is the wall time
// per QSO of the whole run; the speed-up is the one-thread figure over the two-thread one.
// `cpu_s_per_qso` is the scoring threads' CPU time per QSO: when it stays the same on two
// threads, the instances scale and a smaller speed-up is the machine's load.
#include <benchmark/benchmark.h>

#include <time.h>

#include <atomic>
#include <thread>
#include <vector>

#include "bench/log_generator.h"
#include "engine/contest.h"

namespace {

constexpr int kLogs = 1000;
constexpr int kQsos = 1000;

struct Log {
    bool cw = true;
    engine::ResetArgs reset;
    std::vector<engine::QsoArgs> qsos;
};

// Made once, before any timing: half the logs CW, half SSB, from Spanish and foreign
// stations.
const std::vector<Log>& Logs() {
    static const std::vector<Log> logs = [] {
        std::vector<Log> out(kLogs);
        for (int i = 0; i < kLogs; ++i) {
            loggen::Options options;
            options.count = kQsos;
            options.seed = static_cast<uint32_t>(i + 1);
            options.cw = i % 2 == 0;
            Log& log = out[static_cast<size_t>(i)];
            log.cw = options.cw;
            log.reset.ownCall = i % 3 ? "EA4ZZZ" : "DL9ZZZ";
            log.reset.ownPrefix = i % 3 ? "EA" : "DL";
            log.reset.start = options.start;
            log.reset.end = COleDateTime(options.start.m_dt + 1.0);
            log.qsos.reserve(kQsos);
            for (const loggen::Qso& q : loggen::Generate(options)) {
                engine::QsoArgs a;
                a.ownCall = log.reset.ownCall;
                a.call = q.call;
                a.time = q.time;
                a.freqHz = q.freqHz;
                a.mode = q.mode;
                a.rstSent = q.rstSent;
                a.rstRcvd = q.rstRcvd;
                a.exchSent = q.exchSent;
                a.exchRcvd = q.exchRcvd;
                a.prefixText = q.prefixText;
                a.prefix = q.prefix;
                a.band = q.band;
                log.qsos.push_back(std::move(a));
            }
        }
        return out;
    }();
    return logs;
}

int Score(const Log& log) {
    engine::Contest contest;
    contest.SetMode(log.cw);
    contest.Reset(log.reset);
    for (const engine::QsoArgs& q : log.qsos)
        contest.Add(q);
    int out = 0;
    benchmark::DoNotOptimize(contest.Results(&out));
    return contest.claimed;
}

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void BM_ScoreLogs(benchmark::State& state) {
    const std::vector<Log>& logs = Logs();
    const int threads = static_cast<int>(state.range(0));
    std::atomic<int64_t> cpuNanoseconds{0};
    for (auto _ : state) {
        std::atomic<size_t> next{0};
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t) {
            pool.emplace_back([&] {
                const double start = ThreadCpuSeconds();
                for (size_t i; (i = next++) < logs.size();)
                    benchmark::DoNotOptimize(Score(logs[i]));
                cpuNanoseconds += static_cast<int64_t>((ThreadCpuSeconds() - start) * 1e9);
            });
        }
        for (std::thread& t : pool)
            t.join();
    }
    state.counters["s_per_qso"] = benchmark::Counter(
        static_cast<double>(kLogs) * kQsos,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["cpu_s_per_qso"] = static_cast<double>(cpuNanoseconds) * 1e-9 /
                                      (static_cast<double>(state.iterations()) * kLogs * kQsos);
}

}  // namespace

// After a warm-up: the first pass of a process grows each new thread's heap, page by page.
BENCHMARK(BM_ScoreLogs)
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->MinWarmUpTime(1.5)
    ->MinTime(3)
    ->Unit(benchmark::kMillisecond);
