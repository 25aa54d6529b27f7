#include "host_play.h"

#include <filesystem>
#include <fstream>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace tools {

std::string DefaultPluginPath([[maybe_unused]] const char* argv0) {
#if defined(_WIN32)
    const char* name = "Stats.dll";
    char self[MAX_PATH] = {0};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    fs::path dir = fs::path(self).parent_path();
#else
    const char* name = "libstats.so";
    std::error_code ec;
    fs::path dir = fs::canonical("/proc/self/exe", ec).parent_path();
    if (ec) dir = fs::path(argv0).parent_path();
#endif
    std::vector<fs::path> candidates = {dir / name, dir.parent_path() / name};
#if defined(STATS_PLUGIN_FROM_BIN)
    candidates.push_back(dir / STATS_PLUGIN_FROM_BIN / name);
#endif
    for (const fs::path& candidate : candidates) {
        if (fs::exists(candidate)) return candidate.lexically_normal().string();
    }
    return (dir / name).string();
}

void PrepareHostFolder(const std::string& workdir, bool cw, bool setupWindow,
                       const std::string& hostVersion) {
    fs::create_directories(fs::path(workdir) / "Plugins");
    fs::create_directories(fs::path(workdir) / "host");
    fs::current_path(workdir);
    std::ofstream ini("Plugins/SOLSTICE-RACE.ini", std::ios::binary | std::ios::trunc);
    ini << "[Settings]\r\nCW=" << (cw ? 1 : 0) << "\r\nSSB=" << (cw ? 0 : 1) << "\r\n";
    if (!setupWindow) ini << "Start=1\r\n";
    std::ofstream host("host/Ketl2.ini", std::ios::binary | std::ios::trunc);
    host << "[Ketl]\r\nKetl=" << hostVersion << "\r\n";
}

void HostPlay::Start(bool html, bool exportLog, const std::string& ownPrefix, COleDateTime start,
                     COleDateTime end) const {
    if (html) p_.setVersion("");
    p_.GetNumberOfSets();
    p_.GetSetName(0);
    p_.GetExchgCount0("", "", "");
    std::string hostFolder =
        std::string("host") + (fs::path::preferred_separator == '\\' ? "\\" : "/");
    p_.ResetStats0(hostFolder.c_str(), exportLog ? 1 : 0, ownCall_.c_str(), &start, &end, "", "",
                   "", "", "", "", "", "", "", ownPrefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "");
}

int HostPlay::Call(bool add, const Qso& q) const {
    COleDateTime time = q.time, unused;
    auto f = add ? p_.AddData0 : p_.RemoveData0;
    return f(ownCall_.c_str(), q.call.c_str(), &time, &unused, &unused, &unused, 0, q.freqHz,
             q.mode.c_str(), q.rstSent.c_str(), q.rstRcvd.c_str(), q.exchSent.c_str(),
             q.exchRcvd.c_str(), "", "", "", "", "", "", "", "", q.prefixText.c_str(),
             q.prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "", q.band.c_str(), "");
}

int HostPlay::CheckCall(const Qso& q) const {
    char out1[256] = {0}, out2[256] = {0};
    return p_.CheckCall0(q.call.c_str(), 0, 0, q.mode.c_str(), "", "", "", "", "", "", "", "",
                         q.prefixText.c_str(), q.prefix.c_str(), 0, 0, 0, 0.0, 0.0, "", "", "", "",
                         "", q.band.c_str(), "", out1, out2);
}

int HostPlay::CheckExchange(const std::string& exchange, const std::string& prefix) const {
    return p_.IsValidExchg0(exchange.c_str(), "", prefix.c_str(), "", 0, 0, 0);
}

std::string HostPlay::Results(const char* file) const {
    int out = 0;
    const char* result = p_.GetResult0(&out);
    std::string results = result ? result : "";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << results;
    return results;
}

}  // namespace tools
