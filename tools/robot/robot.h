#pragma once
// The log robot: the web pages of entrants and organiser over one store. Routes are set up
// on an httplib server given from outside, so that a test can run it on a port of its own.
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "base/datetime.h"
#include "checker.h"
#include "store.h"
#include "validate.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace robot {

// Larger logs are refused with a message; the largest real ones are well under 2 MB.
constexpr size_t kMaxLogBytes = 5u * 1024 * 1024;

struct Config {
    std::string dataDir;
    Period period;
    COleDateTime deadline{0.0, COleDateTime::null};  // null: no upload is late
    bool secureCookies = false;                      // behind a TLS server: cookies only on https
    int checkThreads = 2;
};

// Text for an HTML page: & < > " ' escaped.
std::string Html(std::string_view text);
// A random code an entrant can copy: 12 signs from an alphabet without look-alikes, in 3 groups.
std::string ReceiptCode();

class Robot {
public:
    Robot(Config config, tools::CountryFile countries);
    ~Robot();

    // Sets the password's hash (argon2id); false when libsodium fails.
    bool SetPassword(const std::string& password);
    bool HasPassword();
    void Route(httplib::Server& server);
    Store& store() { return *store_; }

private:
    struct Session {
        std::string csrf;
        std::chrono::steady_clock::time_point expires;
    };
    void Upload(const httplib::Request& req, httplib::Response& res);
    void ReceivedPage(const httplib::Request& req, httplib::Response& res);
    void LcrFetch(const httplib::Request& req, httplib::Response& res);
    void Login(const httplib::Request& req, httplib::Response& res);
    void Organiser(const httplib::Request& req, httplib::Response& res);
    void History(const httplib::Request& req, httplib::Response& res);
    void Download(const httplib::Request& req, httplib::Response& res);
    void StartCheck(const httplib::Request& req, httplib::Response& res);
    void CheckPage(const httplib::Request& req, httplib::Response& res);
    void Publish(const httplib::Request& req, httplib::Response& res);
    // The session of the request, or nullptr with a refusal (or a login redirect) in `res`.
    const Session* Authorised(const httplib::Request& req, httplib::Response& res, bool needToken,
                              std::string& csrf);
    std::string Now() const;
    bool Late() const;

    Config config_;
    tools::CountryFile countries_;
    std::unique_ptr<Store> store_;

    std::mutex sessionsMutex_;
    std::map<std::string, Session> sessions_;
    int failures_ = 0;
    std::chrono::steady_clock::time_point nextLogin_{};

    // The background check: one at a time.
    std::mutex checkMutex_;
    std::thread checkThread_;
    bool checkRunning_ = false;
    std::string checkStep_;
    std::string checkError_;
    size_t checkLogs_ = 0;
    std::chrono::steady_clock::time_point checkStarted_{}, checkEnded_{};
    std::shared_ptr<check::Checked> checked_;
};

}  // namespace robot
