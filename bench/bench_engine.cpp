// Admission and the call check against logs of 100 to 100 000 QSOs: the cost per call must
// not grow with the log.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/engine.h"

namespace {

namespace fs = std::filesystem;

// The benchmark's files (settings, bad-QSO file) go into a folder of its own.
class BenchFolder {
public:
    BenchFolder() {
        old_ = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "stats-bench-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
        fs::current_path(path_);
        fs::create_directory(path_ / "Plugins");
    }
    ~BenchFolder() {
        std::error_code ec;
        fs::current_path(old_, ec);
        fs::remove_all(path_, ec);
    }

private:
    fs::path old_, path_;
};

engine::QsoArgs Qso(int n) {
    engine::QsoArgs q;
    q.ownCall = "EA1XX";
    q.call = "DL" + std::to_string(n);
    q.time = COleDateTime(42861.5 + n / 1440.0);
    q.freqHz = 14025000;
    q.mode = "SSB";
    q.rstSent = "59";
    q.rstRcvd = "59";
    q.exchSent = "001";
    q.exchRcvd = std::to_string(n % 1000 + 100);
    q.prefix = n % 7 ? "DL" : "EA";
    q.prefixText = "DL1";
    q.band = contest::kBands[n % contest::kBandCount];
    return q;
}

// A pass with `size` stored QSOs, in an instance that writes the plug-in's files.
void FillLog(engine::Contest& contest, StateLock& lock, int size) {
    engine::ResetArgs reset;
    reset.ownCall = "EA1XX";
    reset.start = COleDateTime(42861.5);
    reset.end = COleDateTime(42862.5);
    reset.ownPrefix = "EA";
    engine::ResetStats(contest, reset, lock);
    for (int n = 0; n < size; ++n)
        engine::AddData(contest, Qso(n));
}

void BM_CheckCall(benchmark::State& bench) {
    BenchFolder folder;
    engine::Contest contest(engine::Files::All());
    StateLock lock(contest.mutex);
    FillLog(contest, lock, static_cast<int>(bench.range(0)));
    engine::CheckCallArgs a;
    a.mode = "SSB";
    a.prefix = "F";
    a.prefixText = "EA0";  // every scan of the call check
    int n = 0;
    for (auto _ : bench) {
        a.call = "F" + std::to_string(n & 1023);
        a.band = contest::kBands[n++ % contest::kBandCount];
        benchmark::DoNotOptimize(engine::CheckCall(contest, a));
    }
}
BENCHMARK(BM_CheckCall)->Arg(100)->Arg(10000)->Arg(100000);

// An admission that stores a QSO without a line: no file is opened.
void BM_AddDataClean(benchmark::State& bench) {
    BenchFolder folder;
    engine::Contest contest(engine::Files::All());
    StateLock lock(contest.mutex);
    int size = static_cast<int>(bench.range(0));
    FillLog(contest, lock, size);
    engine::QsoArgs q = Qso(size + 1);
    q.call = "F1NEW";
    q.prefix = "F";
    for (auto _ : bench) {
        benchmark::DoNotOptimize(engine::AddData(contest, q));
        // Back to the same size; taking the last entry out costs nothing per log size.
        bench.PauseTiming();
        contest.log.RemoveAt(contest.log.Count() - 1);
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_AddDataClean)->Arg(100)->Arg(10000)->Arg(100000);

// A dupe: the scan finds it, and its line is appended to the file.
void BM_AddDataDupe(benchmark::State& bench) {
    BenchFolder folder;
    engine::Contest contest(engine::Files::All());
    StateLock lock(contest.mutex);
    int size = static_cast<int>(bench.range(0));
    FillLog(contest, lock, size);
    engine::QsoArgs q = Qso(size / 2);
    for (auto _ : bench) {
        benchmark::DoNotOptimize(engine::AddData(contest, q));
        bench.PauseTiming();
        contest.log.RemoveAt(contest.log.Count() - 1);
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_AddDataDupe)->Arg(100)->Arg(10000)->Arg(100000);

}  // namespace
