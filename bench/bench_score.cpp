// The scorer end to end on a generated 100 000-QSO ADIF log: read, resolve every call from
// the country file, replay through the plug-in library's exports, results; and the
// country file's load alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "bench/log_generator.h"
#include "country_file.h"
#include "host_play.h"
#include "log_readers.h"

namespace {

const char kCountryFile[] = "/usr/share/hamradio-files/cty.dat";

std::string ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Field(const char* name, const std::string& value) {
    return "<" + std::string(name) + ":" + std::to_string(value.size()) + ">" + value;
}

// The generated log as a logger would export it.
std::string AdifLog(int count) {
    loggen::Options o;
    o.count = count;
    std::string text = "Generated log\n<EOH>\n";
    for (const loggen::Qso& q : loggen::Generate(o)) {
        char freq[32];
        std::snprintf(freq, sizeof freq, "%u.%06u", q.freqHz / 1000000, q.freqHz % 1000000);
        text += Field("CALL", q.call) + Field("QSO_DATE", q.time.Format("%Y%m%d")) +
                Field("TIME_ON", q.time.Format("%H%M%S")) + Field("FREQ", freq) +
                Field("BAND", q.band) + Field("MODE", q.mode) + Field("RST_SENT", q.rstSent) +
                Field("RST_RCVD", q.rstRcvd) + Field("STX_STRING", q.exchSent) +
                Field("SRX_STRING", q.exchRcvd) + Field("STATION_CALLSIGN", "EA4ZZZ") + "<EOR>\n";
    }
    return text;
}

void BM_CountryFileLoad(benchmark::State& state) {
    for (auto _ : state) {
        tools::CountryFile file = tools::CountryFile::Parse(ReadAll(kCountryFile));
        benchmark::DoNotOptimize(file.EntityCount());
    }
}

void BM_ScoreAdif(benchmark::State& state) {
    std::string log = AdifLog(static_cast<int>(state.range(0)));
    tools::Plugin plugin;
    std::string error;
    if (!plugin.Load(STATS_LIBRARY, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "bench-score";
    std::filesystem::path back = std::filesystem::current_path();
    tools::PrepareHostFolder(dir.string(), true, false, "2.30");
    size_t stored = 0;
    for (auto _ : state) {
        tools::CountryFile countries = tools::CountryFile::Parse(ReadAll(kCountryFile));
        tools::ReadLog read = tools::ReadAdif(log, {});
        std::vector<tools::Qso> qsos;
        qsos.reserve(read.qsos.size());
        for (const tools::LoggedQso& q : read.qsos) {
            tools::Resolution r = countries.Resolve(q.call);
            qsos.push_back({q.time, q.freqHz, q.mode, q.call, q.rstSent, q.exchSent, q.rstRcvd,
                            q.exchRcvd, q.band, r.entity, r.prefixText});
        }
        std::stable_sort(qsos.begin(), qsos.end(),
                         [](const auto& a, const auto& b) { return a.time.m_dt < b.time.m_dt; });
        tools::HostPlay host(plugin, read.ownCall);
        host.Start(false, false, countries.Resolve(read.ownCall).entity, qsos.front().time,
                   qsos.back().time);
        stored = 0;
        for (const tools::Qso& q : qsos)
            stored += host.Add(q);
        benchmark::DoNotOptimize(host.Results("results.txt"));
    }
    state.counters["stored"] = static_cast<double>(stored);
    state.counters["per QSO"] = benchmark::Counter(
        static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    std::filesystem::current_path(back);
    std::filesystem::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_CountryFileLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScoreAdif)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
