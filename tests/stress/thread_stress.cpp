// Two threads as in the host's process: one plays the host through the exports
// (admissions, removals, call checks, results), the other runs the refresh decisions
// against a fake host link and reads the lists as the drawing does. Meanwhile two more
// threads score two different logs, each in an engine instance of its own, and must get
// what the same logs scored one after the other gave. Run under ThreadSanitizer, any
// unguarded sharing shows as a report; in any build, a deadlock shows as a hang and a
// broken log or a result that depends on a neighbour as a failed check.
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/ui.h"
#include "display/info_table.h"
#include "engine/contest.h"
#include "plugin/exports.h"
#include "plugin/state.h"
#include "setup/display_windows.h"
#include "setup/host_link.h"
#include "setup/refresh.h"

namespace {

std::atomic<int> failures{0};
void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "FAIL: %s\n", what);
        ++failures;
    }
}

class MovingHost : public setup::HostLink {
public:
    bool Connected() const override { return true; }
    double GetFrequency() override {
        ++n_;
        if (n_ % 97 == 0) throw setup::HostCallFailed();  // a passing automation error
        static const double kFreqs[] = {14025000, 7012000, 10120000, 21030000, 14025400};
        return kFreqs[n_ % 5];
    }
    std::string GetEntryText(int) override {
        static const char* const kCalls[] = {"", "EA", "EA3AB", "DL1ABC", "EA0XX", "K5ZZ"};
        return kCalls[++n_ % 6];
    }
    void SendCommand(const std::string&) override {}

private:
    unsigned n_ = 0;
};

// Windows that draw what the real ones draw: each repaint takes the table's snapshot.
class DrawingWindows : public setup::DisplayWindows {
public:
    bool EadxOpen() const override { return eadx_; }
    void OpenEadx() override { eadx_ = true; }
    void CloseEadx() override { eadx_ = false; }
    void SetEadxCaption(const std::string& c) override { caption_ = c; }
    void InvalidateEadxTable() override {
        display::InfoTableSnapshot s = display::TakeInfoTableSnapshot(State());
        display::SortEntities(s.entities);
        drawn_ += s.entities.size();
    }
    bool ProvinceOpen() const override { return province_; }
    void OpenProvince() override { province_ = true; }
    void CloseProvince() override { province_ = false; }
    void SetProvinceCaption(const std::string& c) override { caption_ = c; }
    void ClearMarks() override { marks_ = 0; }
    void MarkProvince(const std::string&) override { ++marks_; }
    void ApplyMarks() override {}
    size_t drawn_ = 0;

private:
    bool eadx_ = false, province_ = false;
    int marks_ = 0;
    std::string caption_;
};

int Add(const char* call, const char* band, const char* prefix, const char* exch, int minute,
        bool remove = false) {
    COleDateTime t = COleDateTime::FromFields(2026, 6, 20, 12 + minute / 60, minute % 60);
    auto f = remove ? RemoveData0 : AddData0;
    return f("EA4ZZZ", call, &t, nullptr, nullptr, nullptr, 0, 14025000, "CW", "599", "599", "M",
             exch, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, "EA3",
             prefix, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, band, nullptr);
}

// A log of its own for each seed: own station, mode, bands and calls differ, with dupes,
// QSOs the rules reject and removals.
struct Log {
    engine::ResetArgs reset;
    bool cw = true;
    std::vector<engine::QsoArgs> qsos;
};

Log MakeLog(int seed, int size) {
    static const char* const kBands[] = {"160m", "80m", "40m", "20m", "15m", "10m", "12m"};
    static const char* const kPrefixes[] = {"EA", "DL", "EA8", "F", "K", "EA6"};
    Log log;
    log.cw = seed % 2 == 0;
    log.reset.ownCall = seed % 2 ? "DL9ZZZ" : "EA4ZZZ";
    log.reset.ownPrefix = seed % 2 ? "DL" : "EA";
    log.reset.start = COleDateTime::FromFields(2026, 6, 20, 12, 0);
    log.reset.end = COleDateTime::FromFields(2026, 6, 21, 12, 0);
    for (int i = 0; i < size; ++i) {
        const int n = i * (seed + 3) + seed;
        engine::QsoArgs q;
        q.ownCall = log.reset.ownCall;
        q.call = "C" + std::to_string(n % (size / 2 + seed));
        q.time = COleDateTime(log.reset.start.m_dt + i / 1440.0);
        q.mode = log.cw ? "CW" : "SSB";
        q.rstSent = q.rstRcvd = "599";
        q.exchSent = "M";
        q.prefix = kPrefixes[n % 6];
        q.exchRcvd = q.prefix.rfind("EA", 0) == 0 ? (n % 5 ? "B" : "XX") : "001";
        q.prefixText = q.prefix + "1";
        q.band = kBands[n % 7];
        log.qsos.push_back(q);
    }
    return log;
}

// Everything an instance answers for the log: the host's results call, the tally's text
// and the per-QSO view.
std::string Score(const Log& log) {
    engine::Contest contest;
    contest.SetMode(log.cw);
    contest.Reset(log.reset);
    std::string out;
    for (size_t i = 0; i < log.qsos.size(); ++i) {
        out += std::to_string(contest.Add(log.qsos[i]));
        if (i % 9 == 8) contest.Remove(log.qsos[i - 4]);
    }
    std::vector<engine::ScoredQso> perQso;
    const engine::Tally tally = contest.Score(&perQso);
    out += contest.ResultsText(tally);
    for (const engine::ScoredQso& q : perQso)
        out += std::to_string(q.points) + (q.newEntity ? "e" : "") + (q.newProvince ? "p" : "");
    out += contest.Results(nullptr);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : 3000;
    std::string dir = (std::filesystem::temp_directory_path() / "stats-stress-XXXXXX").string();
    if (!mkdtemp(dir.data())) return 2;
    std::filesystem::current_path(dir);
    std::filesystem::create_directory("Plugins");
    ui::SetMessageListener([](const ui::SinkMessage&) {});

    COleDateTime start = COleDateTime::FromFields(2026, 6, 20, 12, 0);
    COleDateTime end = COleDateTime::FromFields(2026, 6, 21, 12, 0);
    {
        std::FILE* ini = std::fopen("Plugins/SOLSTICE-RACE.ini", "w");
        std::fputs("[Settings]\nCW=1\nStart=1\n", ini);
        std::fclose(ini);
    }
    ResetStats0("", 0, "EA4ZZZ", &start, &end, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                nullptr, nullptr, nullptr, "EA", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr);

    const Log logs[] = {MakeLog(0, 600), MakeLog(1, 700)};
    const std::string alone[] = {Score(logs[0]), Score(logs[1])};
    Check(alone[0] != alone[1], "the two logs score differently");
    std::vector<std::thread> scorers;
    for (int k = 0; k < 2; ++k) {
        scorers.emplace_back([&, k] {
            for (int repeat = 0; repeat < 3; ++repeat)
                Check(Score(logs[k]) == alone[k], "a log scored beside another scores as alone");
        });
    }

    std::atomic<bool> done{false};
    DrawingWindows windows;
    std::thread setupThread([&] {
        MovingHost host;
        setup::RefreshMemory memory;
        while (!done)
            setup::Refresh(State(), {true, true}, &host, windows, memory);
    });

    static const char* const kBands[] = {"160m", "80m", "40m", "20m", "15m", "10m"};
    static const char* const kProvinces[] = {"B", "M", "SMR", "TF", "001"};
    int stored = 0;
    for (int i = 0; i < rounds; ++i) {
        std::string call = "EA" + std::to_string(i % 400);
        const char* band = kBands[i % 6];
        const char* prefix = i % 3 ? "EA" : "DL";
        stored += Add(call.c_str(), band, prefix, kProvinces[i % 5], i % 1440);
        char o1[4], o2[4];
        CheckCall0(call.c_str(), 0, 0, "CW", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr, "EA0", prefix, 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                   nullptr, nullptr, band, nullptr, o1, o2);
        if (i % 7 == 0 && i > 0) {
            int before;
            {
                StateLock lock(State().mutex);
                before = State().log.Count();
            }
            std::string old = "EA" + std::to_string((i - 7) % 400);
            Add(old.c_str(), kBands[(i - 7) % 6], i % 3 ? "EA" : "DL", "B", (i - 7) % 1440, true);
            StateLock lock(State().mutex);
            stored -= before - State().log.Count();
        }
        if (i % 50 == 0) {
            int out = 0;
            Check(GetResult0(&out) != nullptr && out == -1, "results");
        }
    }
    done = true;
    setupThread.join();
    for (std::thread& t : scorers)
        t.join();
    {
        StateLock lock(State().mutex);
        Check(State().log.Count() == stored, "log count equals what the exports said");
    }
    std::printf("thread stress: %d rounds, %d QSOs stored, %zu entities drawn: %s\n", rounds,
                stored, windows.drawn_, failures ? "FAILED" : "ok");
    std::error_code ec;
    std::filesystem::current_path("/", ec);
    std::filesystem::remove_all(dir, ec);
    return failures ? 1 : 0;
}
