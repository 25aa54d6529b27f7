#pragma once
// The robot's storage: one SQLite file under the data folder. Every upload is kept as its
// bytes arrived, with its arrival time; a call's latest accepted upload is the one checked.
// A write returns only once it is committed, so an acknowledged log survives a kill.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace robot {

struct Upload {
    std::int64_t id = 0;
    std::string call;  // upper case; empty when the log named none
    std::string email;
    std::string received;  // "YYYY-MM-DD HH:MM:SS" UTC
    bool late = false;
    bool accepted = false;
    std::string category;
    int qsos = 0;
    int claimed = 0;
    std::string logClaimed;
    std::string receipt;
    std::string problems;  // one a line: "LINE\tTEXT"
    std::string bytes;     // only when asked for
};

// A row of the public list: a call's latest accepted upload.
struct Received {
    std::string call, category, received;
    int qsos = 0;
    bool late = false;
    int uploads = 0;  // of this call, accepted or not
};

class Store {
public:
    // Opens or creates `path`; throws std::runtime_error naming what failed.
    explicit Store(const std::string& path);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Adds an upload (its id is set); returns once committed. Throws on a failed write.
    void Add(Upload& u);
    std::vector<Received> Latest();
    // Every upload of `call` (all of them for an empty call), newest first, without bytes.
    std::vector<Upload> History(const std::string& call);
    std::optional<Upload> Get(std::int64_t id);
    // The ids of each call's latest accepted upload, by call.
    std::vector<std::int64_t> LatestIds();
    std::int64_t Count();

    std::string Setting(const std::string& key);
    void SetSetting(const std::string& key, const std::string& value);

    // Published results: the page and each call's report, replaced as a whole.
    void Publish(const std::string& resultsHtml,
                 const std::vector<std::pair<std::string, std::string>>& lcrs);
    std::string PublishedResults();
    // The report of `call`, only with a receipt code of one of its uploads; nullopt otherwise.
    std::optional<std::string> Lcr(const std::string& call, const std::string& receipt);

private:
    sqlite3* db_ = nullptr;
    std::mutex mutex_;
};

}  // namespace robot
