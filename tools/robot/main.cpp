// The log robot: entrants upload their logs and fetch their reports; the organiser checks and
// publishes. One process, one SQLite file under the data folder.
#include <httplib.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>

#include "command_line.h"
#include "robot.h"
#include "tool_io.h"
#include "version.h"

namespace {

httplib::Server* running = nullptr;

void Stop(int) {
    if (running) running->stop();
}

// The password from the terminal, without echo.
std::string AskPassword(const char* prompt) {
    std::fprintf(stderr, "%s", prompt);
    termios old{};
    const bool tty = tcgetattr(STDIN_FILENO, &old) == 0;
    if (tty) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    std::getline(std::cin, line);
    if (tty) tcsetattr(STDIN_FILENO, TCSANOW, &old);
    std::fprintf(stderr, "\n");
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "The SOLSTICE RACE log robot: a web server where entrants upload their logs and fetch\n"
        "their log-checking reports, and the organiser checks and publishes. Exit codes: 0\n"
        "stopped, 1 the data folder or the country file cannot be used, 2 a bad option.",
        "stats-robot"};
    robot::Config config;
    std::string listen = "127.0.0.1:8080", start, end, deadline, passwordFile;
    std::string countryFile = tools::DefaultCountryFile();
    int threads = 64;
    app.set_version_flag("--version", tools::VersionLine("stats-robot"));
    app.add_option("--data", config.dataDir, "folder of the database (robot.sqlite)")->required();
    app.add_option("--listen", listen, "address and port (127.0.0.1:8080; port 0: any free one)");
    app.add_option("--contest-start", start, "contest start, YYYY-MM-DD HH:MM UTC (20 June 12:00)");
    app.add_option("--contest-end", end, "contest end (24 hours after the start)");
    app.add_option("--deadline", deadline, "uploads after this time are marked late");
    app.add_option("--password-file", passwordFile,
                   "first start: the organiser's password is this file's first line");
    app.add_option("--country-file", countryFile, "the country file (" + countryFile + ")");
    app.add_flag("--secure-cookies", config.secureCookies,
                 "behind a TLS server: cookies are sent over https only");
    app.add_option("--threads", threads, "connections served at once (64)")
        ->check(CLI::Range(2, 1024));
    if (auto code = tools::ParseCommandLine(app, argc, argv)) return *code;
    auto when = [](const std::string& text, const char* option, COleDateTime& out) {
        if (text.empty() || tools::ParseWhen(text, out)) return true;
        std::fprintf(stderr, "stats-robot: %s: not a time: '%s'\n", option, text.c_str());
        return false;
    };
    if (!when(start, "--contest-start", config.period.start) ||
        !when(end, "--contest-end", config.period.end) ||
        !when(deadline, "--deadline", config.deadline))
        return 2;
    const size_t colon = listen.rfind(':');
    int port = -1;
    try {
        if (colon != std::string::npos) port = std::stoi(listen.substr(colon + 1));
    } catch (const std::exception&) {
    }
    if (port < 0 || port > 65535) {
        std::fprintf(stderr, "stats-robot: --listen: not HOST:PORT: '%s'\n", listen.c_str());
        return 2;
    }
    const std::string host = listen.substr(0, colon);

    std::string text;
    if (!tools::ReadWholeFile(countryFile, text)) {
        std::fprintf(stderr, "stats-robot: the country file %s cannot be read\n",
                     countryFile.c_str());
        return 1;
    }
    std::unique_ptr<robot::Robot> robot;
    try {
        robot = std::make_unique<robot::Robot>(config, tools::CountryFile::Parse(text));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "stats-robot: %s\n", e.what());
        return 1;
    }
    if (!robot->HasPassword()) {
        std::string password;
        if (!passwordFile.empty()) {
            if (!tools::ReadWholeFile(passwordFile, password)) {
                std::fprintf(stderr, "stats-robot: %s cannot be read\n", passwordFile.c_str());
                return 1;
            }
            password = password.substr(0, password.find_first_of("\r\n"));
        } else if (isatty(STDIN_FILENO)) {
            password = AskPassword("The organiser's password for this robot: ");
            if (AskPassword("Once more: ") != password) {
                std::fprintf(stderr, "stats-robot: the two passwords differ\n");
                return 2;
            }
        } else {
            std::fprintf(stderr,
                         "stats-robot: the first start needs the organiser's password: give "
                         "--password-file or start it on a terminal\n");
            return 2;
        }
        if (password.size() < 8) {
            std::fprintf(stderr, "stats-robot: the password needs at least 8 signs\n");
            return 2;
        }
        if (!robot->SetPassword(password)) {
            std::fprintf(stderr, "stats-robot: the password cannot be hashed\n");
            return 1;
        }
    }

    httplib::Server server;
    server.new_task_queue = [threads] { return new httplib::ThreadPool(size_t(threads)); };
    server.set_keep_alive_max_count(1000);
    robot->Route(server);
    // The library listens with a backlog of 5; a deadline rush opens dozens of connections at
    // once, and those beyond it wait a second for the SYN to be sent again. The socket is
    // taken as the library makes it and listened on again, with room, once bound.
    int listening = -1;
    server.set_socket_options([&listening](int sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        listening = sock;
    });
    if (port == 0) {
        port = server.bind_to_any_port(host);
    } else if (!server.bind_to_port(host, port)) {
        port = -1;
    }
    if (port <= 0) {
        std::fprintf(stderr, "stats-robot: cannot listen on %s\n", listen.c_str());
        return 1;
    }
    if (listening >= 0) ::listen(listening, 1024);
    running = &server;
    std::signal(SIGINT, Stop);
    std::signal(SIGTERM, Stop);
    std::printf("stats-robot: listening on http://%s:%d/ with data in %s\n", host.c_str(), port,
                config.dataDir.c_str());
    std::fflush(stdout);
    server.listen_after_bind();
    return 0;
}
