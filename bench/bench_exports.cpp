// Cost of the exports through the native library, at several log sizes. Each benchmark
// fills the plug-in with a synthetic log through ResetStats0 and AddData0, as the host does.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/log_generator.h"
#include "plugin/exports.h"

namespace {

const char kOwnCall[] = "EA4ZZ";
const char kOwnPrefix[] = "EA";

// The plug-in writes its files into the current folder: run in a folder of our own.
struct WorkFolder {
    WorkFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "stats-bench-XXXXXX").string();
        path = mkdtemp(pattern.data());
        std::filesystem::create_directory(path / "Plugins");
        // A CW test, as the generated logs are.
        std::ofstream(path / "Plugins" / "SOLSTICE-RACE.ini") << "[Settings]\nCW=1\n";
        std::filesystem::current_path(path);
    }
    ~WorkFolder() {
        std::error_code ec;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
        std::filesystem::remove_all(path, ec);
    }
    std::filesystem::path path;
};
WorkFolder& Folder() {
    static WorkFolder folder;
    return folder;
}

const std::vector<loggen::Qso>& Log(int n) {
    static std::vector<std::vector<loggen::Qso>> logs(8);
    static std::vector<int> sizes(8, -1);
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i] == n) return logs[i];
        if (sizes[i] < 0) {
            loggen::Options options;
            options.count = n;
            options.seed = 7;
            logs[i] = loggen::Generate(options);
            sizes[i] = n;
            return logs[i];
        }
    }
    std::abort();
}

int Reset() {
    COleDateTime start = COleDateTime::FromFields(2026, 12, 5, 12, 0);
    COleDateTime end = COleDateTime::FromFields(2026, 12, 6, 11, 59);
    return ResetStats0("", 0, kOwnCall, &start, &end, "", "", "", "", "", "", "", "", "",
                       kOwnPrefix, 0, 0, 0, 0.0, 0.0, "", "", "");
}

using QsoExport = decltype(&AddData0);
int Call(QsoExport f, const loggen::Qso& q) {
    COleDateTime time = q.time, unused;
    return f(kOwnCall, q.call.c_str(), &time, &unused, &unused, &unused, 0, q.freqHz,
             q.mode.c_str(), q.rstSent.c_str(), q.rstRcvd.c_str(), q.exchSent.c_str(),
             q.exchRcvd.c_str(), "", "", "", "", "", "", "", "", q.prefixText.c_str(),
             q.prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "", q.band.c_str(), "");
}

// Returns how many QSOs were stored.
int Replay(const std::vector<loggen::Qso>& log) {
    Reset();
    int stored = 0;
    for (const loggen::Qso& q : log)
        stored += Call(AddData0, q);
    return stored;
}

// The allocator's own count, the same in 32 and 64 bits: bytes in use in every arena
// (chunk headers included) plus the blocks it maps apart, such as the log's array at 100 000
// QSOs (tens of megabytes, above any mmap threshold).
size_t HeapInUse() {
    struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

// A full statistics pass: the reset and every QSO of the log.
void BM_Replay(benchmark::State& state) {
    Folder();
    const auto& log = Log(static_cast<int>(state.range(0)));
    for (auto _ : state)
        Replay(log);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(log.size()));
    state.counters["per_qso_ns"] =
        benchmark::Counter(static_cast<double>(state.iterations() * log.size()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    // Heap held by the stored log, per stored QSO: measured after a reset and after a replay.
    // A call check first, as the host makes while the operator types: the log then keeps
    // the call check's counts too.
    Reset();
    char out1[64], out2[64];
    CheckCall0("EA1A", 0, 0, "CW", "", "", "", "", "", "", "", "", "EA1", "EA", 0, 0, 0, 0.0, 0.0,
               "", "", "", "", "", "20m", "", out1, out2);
    const size_t before = HeapInUse();
    int stored = 0;
    for (const loggen::Qso& q : log)
        stored += Call(AddData0, q);
    const size_t after = HeapInUse();
    state.counters["stored"] = stored;
    state.counters["heap_bytes_per_qso"] =
        static_cast<double>(after - before) / static_cast<double>(std::max(stored, 1));
}

// What the operator types, sampled across the whole log and kept in a small array of its
// own: the benchmark's own reads stay in the cache, the plug-in's lookups do not.
std::vector<loggen::Qso> Sample(const std::vector<loggen::Qso>& log) {
    constexpr size_t kSampleSize = 4096;
    std::vector<loggen::Qso> sample;
    sample.reserve(kSampleSize);
    for (size_t k = 0; k < kSampleSize; ++k)
        sample.push_back(log[(k * 7919) % log.size()]);
    return sample;
}

void BM_CheckCall(benchmark::State& state) {
    Folder();
    const auto& log = Log(static_cast<int>(state.range(0)));
    Replay(log);
    const std::vector<loggen::Qso> sample = Sample(log);
    char out1[64], out2[64];
    size_t i = 0;
    for (auto _ : state) {
        const loggen::Qso& q = sample[i];
        i = (i + 1) % sample.size();
        benchmark::DoNotOptimize(CheckCall0(q.call.c_str(), 0, 0, q.mode.c_str(), "", "", "", "",
                                            "", "", "", "", q.prefixText.c_str(), q.prefix.c_str(),
                                            0, 0, 0, 0.0, 0.0, "", "", "", "", "", q.band.c_str(),
                                            "", out1, out2));
    }
}

void BM_IsValidExchg(benchmark::State& state) {
    Folder();
    const auto& log = Log(static_cast<int>(state.range(0)));
    Replay(log);
    const std::vector<loggen::Qso> sample = Sample(log);
    size_t i = 0;
    for (auto _ : state) {
        const loggen::Qso& q = sample[i];
        i = (i + 1) % sample.size();
        benchmark::DoNotOptimize(
            IsValidExchg0(q.exchRcvd.c_str(), "", q.prefix.c_str(), "", 0, 0, 0));
    }
}

void BM_GetResult(benchmark::State& state) {
    Folder();
    const auto& log = Log(static_cast<int>(state.range(0)));
    Replay(log);
    int out = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(GetResult0(&out));
}

// Removal of a QSO from the middle of the log; the QSO is logged again, untimed, so that the
// log keeps its size.
void BM_RemoveData(benchmark::State& state) {
    Folder();
    const auto& log = Log(static_cast<int>(state.range(0)));
    Replay(log);
    size_t i = log.size() / 2;
    for (auto _ : state) {
        // Only stored QSOs can be removed: skip the ones admission turned away.
        while (log[i].kind != loggen::Qso::Kind::Good)
            i = (i + 1) % log.size();
        const loggen::Qso& q = log[i];
        i = (i + 7919) % log.size();
        benchmark::DoNotOptimize(Call(RemoveData0, q));
        state.PauseTiming();
        Call(AddData0, q);
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_Replay)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckCall)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_IsValidExchg)->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_GetResult)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RemoveData)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
