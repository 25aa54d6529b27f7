// The deadline rush on the log robot: a simulated contest's logs uploaded by many clients at
// once, each upload timed, every receipt counted; then the check of all of them, started and
// followed through the organiser's pages. The robot runs as its own process on 127.0.0.1.
//
//   robot_load --robot build/linux/tools/stats-robot [--entrants 1000] [--clients 50]
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <regex>
#include <thread>

#include "command_line.h"
#include "simulate.h"
#include "tool_io.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// The robot started on a fresh data folder; its port read from its first line.
struct Child {
    pid_t pid = -1;
    int port = 0;
};

Child StartRobot(const std::string& program, const std::string& data, const std::string& pw) {
    int out[2];
    if (pipe(out) != 0) return {};
    Child c;
    c.pid = fork();
    if (c.pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        execl(program.c_str(), program.c_str(), "--data", data.c_str(), "--listen", "127.0.0.1:0",
              "--password-file", pw.c_str(), "--contest-start", "2026-06-20 12:00",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string line;
    char ch;
    while (read(out[0], &ch, 1) == 1 && ch != '\n')
        line += ch;
    close(out[0]);
    std::smatch m;
    if (std::regex_search(line, m, std::regex(R"x(127\.0\.0\.1:(\d+)/)x")))
        c.port = std::stoi(m[1]);
    return c;
}

std::string Match(const std::string& text, const char* pattern) {
    std::smatch m;
    return std::regex_search(text, m, std::regex(pattern)) ? std::string(m[1]) : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"The deadline rush on the log robot.", "robot_load"};
    std::string robot, work = (fs::temp_directory_path() / "robot-load").string();
    sim::Options o;
    o.entrants = 1000;
    o.qsoRate = 850;  // a log of full activity holds about 500 QSO lines
    int clients = 50;
    app.add_option("--robot", robot, "the stats-robot program")->required();
    app.add_option("--entrants", o.entrants, "logs of the simulated contest (1000)");
    app.add_option("--clients", clients, "clients uploading at once (50)");
    app.add_option("--qso-rate", o.qsoRate, "QSOs of a station of full activity (850)");
    app.add_option("--work", work, "folder for the robot's data");
    if (auto code = tools::ParseCommandLine(app, argc, argv)) return *code;

    std::string scp;
    if (!tools::ReadWholeFile("/usr/share/hamradio-files/MASTER.SCP", scp)) {
        std::fprintf(stderr, "robot_load: MASTER.SCP (hamradio-files) is missing\n");
        return 1;
    }
    const sim::Contest contest = sim::Simulate(sim::ReadCallList(scp), o);
    size_t lines = 0, bytes = 0;
    for (const sim::LogFile& l : contest.logs)
        bytes += l.text.size(), lines += size_t(std::count(l.text.begin(), l.text.end(), '\n'));
    std::printf("contest: %zu logs, %.0f lines and %.1f kB a log on average\n", contest.logs.size(),
                double(lines) / double(contest.logs.size()),
                double(bytes) / double(contest.logs.size()) / 1024.0);

    fs::remove_all(work);
    fs::create_directories(work);
    const std::string pw = (fs::path(work) / "password").string();
    tools::WriteWholeFile(pw, "load-bench-password\n");
    const Child child = StartRobot(robot, (fs::path(work) / "data").string(), pw);
    if (child.port == 0) {
        std::fprintf(stderr, "robot_load: the robot did not start\n");
        return 1;
    }

    // The rush: each client takes the next log until none is left.
    std::atomic<size_t> next{0};
    std::mutex mutex;
    std::vector<double> latencies;
    std::vector<std::string> receipts;
    std::atomic<int> failed{0}, refused{0};
    const auto started = Clock::now();
    std::vector<std::thread> threads;
    for (int t = 0; t < clients; ++t)
        threads.emplace_back([&] {
            httplib::Client cli("127.0.0.1", child.port);
            cli.set_keep_alive(true);
            cli.set_read_timeout(30, 0);
            for (size_t i = next++; i < contest.logs.size(); i = next++) {
                const sim::LogFile& log = contest.logs[i];
                httplib::MultipartFormDataItems items = {
                    {"log", log.text, log.fileName, "application/octet-stream"},
                    {"email", "op" + std::to_string(i) + "@example.org", "", ""}};
                const auto t0 = Clock::now();
                auto res = cli.Post("/upload", items);
                const double s = std::chrono::duration<double>(Clock::now() - t0).count();
                const std::string code = res && res->status == 200
                                             ? Match(res->body, R"x(id="receipt">([A-Z0-9-]+)<)x")
                                             : "";
                if (code.empty()) {
                    if (failed++ < 3)
                        std::fprintf(stderr, "upload %zu failed: %s\n", i,
                                     res ? std::to_string(res->status).c_str()
                                         : httplib::to_string(res.error()).c_str());
                    continue;
                }
                if (res->body.find("Accepted") == std::string::npos) ++refused;
                std::lock_guard<std::mutex> lock(mutex);
                latencies.push_back(s);
                receipts.push_back(code);
            }
        });
    for (std::thread& t : threads)
        t.join();
    const double rush = std::chrono::duration<double>(Clock::now() - started).count();
    std::sort(latencies.begin(), latencies.end());
    auto pct = [&](double p) {
        return latencies.empty() ? 0.0
                                 : latencies[std::min(latencies.size() - 1,
                                                      size_t(p * double(latencies.size())))];
    };
    std::printf(
        "uploads: %zu acknowledged, %d failed, %d refused by the robot's rules, "
        "in %.2f s with %d clients\n",
        receipts.size(), failed.load(), refused.load(), rush, clients);
    std::printf(
        "throughput: %.1f uploads/s; latency p50 %.0f ms, p90 %.0f ms, p99 %.0f ms, "
        "max %.0f ms\n",
        double(receipts.size()) / rush, pct(0.5) * 1e3, pct(0.9) * 1e3, pct(0.99) * 1e3,
        latencies.empty() ? 0.0 : latencies.back() * 1e3);

    // The organiser logs in and checks them all.
    httplib::Client org("127.0.0.1", child.port);
    org.set_read_timeout(60, 0);
    auto form = org.Get("/organiser/login");
    const std::string loginCookie =
        Match(form->get_header_value("Set-Cookie"), "(robot_login=[0-9a-f]+)");
    const std::string token = Match(form->body, R"x(name="csrf" value="([0-9a-f]+)")x");
    auto login = org.Post("/organiser/login", {{"Cookie", loginCookie}},
                          httplib::Params{{"csrf", token}, {"password", "load-bench-password"}});
    const std::string session =
        Match(login->get_header_value("Set-Cookie"), "(robot_session=[0-9a-f]+)");
    httplib::Headers h = {{"Cookie", session}};
    auto page = org.Get("/organiser", h);
    const std::string csrf = Match(page->body, R"x(name="csrf" value="([0-9a-f]+)")x");
    const std::string stored = Match(page->body, R"x((\d+) uploads in all)x");
    const auto checkStart = Clock::now();
    org.Post("/organiser/check", h, httplib::Params{{"csrf", csrf}});
    std::string status;
    for (;;) {
        auto p = org.Get("/organiser/check", h);
        status = p ? Match(p->body, R"x(id="status">([^<]*)<)x") : "";
        if (status.rfind("Check done", 0) == 0 || status.find("failed") != std::string::npos) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    const double checkSeconds = std::chrono::duration<double>(Clock::now() - checkStart).count();
    std::printf("stored after the rush: %s uploads (acknowledged %zu, lost %ld)\n", stored.c_str(),
                receipts.size(), stored.empty() ? -1L : long(receipts.size()) - std::stol(stored));
    std::printf("check from the robot: %s; %.1f s from the button to the end\n", status.c_str(),
                checkSeconds);
    kill(child.pid, SIGTERM);
    waitpid(child.pid, nullptr, 0);
    const bool ok = failed == 0 && !stored.empty() && std::stol(stored) == long(receipts.size());
    return ok ? 0 : 1;
}
