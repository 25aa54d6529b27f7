#include "store.h"

#include <sqlite3.h>

#include <stdexcept>

namespace robot {

namespace {

// A prepared statement that binds every value and finalises itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(s_); }
    Statement& Bind(int i, const std::string& v) {
        sqlite3_bind_text(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& BindBlob(int i, const std::string& v) {
        sqlite3_bind_blob(s_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Bind(int i, std::int64_t v) {
        sqlite3_bind_int64(s_, i, v);
        return *this;
    }
    bool Step() {
        const int rc = sqlite3_step(s_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw std::runtime_error(std::string("SQLite: ") + sqlite3_errmsg(db_));
    }
    std::string Text(int i) {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(s_, i));
        return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(s_, i))) : std::string();
    }
    std::int64_t Int(int i) { return sqlite3_column_int64(s_, i); }

private:
    sqlite3* db_;
    sqlite3_stmt* s_ = nullptr;
};

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string what = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("SQLite: " + what);
    }
}

constexpr const char* kColumns =
    "id, call, email, received, late, accepted, category, qsos, claimed, log_claimed, receipt, "
    "problems";

Upload Row(Statement& s) {
    Upload u;
    u.id = s.Int(0);
    u.call = s.Text(1);
    u.email = s.Text(2);
    u.received = s.Text(3);
    u.late = s.Int(4) != 0;
    u.accepted = s.Int(5) != 0;
    u.category = s.Text(6);
    u.qsos = static_cast<int>(s.Int(7));
    u.claimed = static_cast<int>(s.Int(8));
    u.logClaimed = s.Text(9);
    u.receipt = s.Text(10);
    u.problems = s.Text(11);
    return u;
}

}  // namespace

Store::Store(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        std::string what = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw std::runtime_error("cannot open " + path + ": " + what);
    }
    sqlite3_busy_timeout(db_, 10000);
    // WAL with a full sync: a commit is on disk before the entrant hears of it.
    Exec(db_, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;");
    Exec(db_,
         "CREATE TABLE IF NOT EXISTS uploads ("
         " id INTEGER PRIMARY KEY, call TEXT NOT NULL, email TEXT NOT NULL,"
         " received TEXT NOT NULL, late INTEGER NOT NULL, accepted INTEGER NOT NULL,"
         " category TEXT NOT NULL, qsos INTEGER NOT NULL, claimed INTEGER NOT NULL,"
         " log_claimed TEXT NOT NULL, receipt TEXT NOT NULL UNIQUE, problems TEXT NOT NULL,"
         " bytes BLOB NOT NULL);"
         "CREATE INDEX IF NOT EXISTS uploads_call ON uploads(call, id);"
         "CREATE TABLE IF NOT EXISTS settings (key TEXT PRIMARY KEY, value TEXT NOT NULL);"
         "CREATE TABLE IF NOT EXISTS published (id INTEGER PRIMARY KEY CHECK (id = 1),"
         " results TEXT NOT NULL);"
         "CREATE TABLE IF NOT EXISTS lcrs (call TEXT PRIMARY KEY, report TEXT NOT NULL);");
}

Store::~Store() {
    sqlite3_close_v2(db_);
}

void Store::Add(Upload& u) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s(db_,
                "INSERT INTO uploads (call, email, received, late, accepted, category, qsos,"
                " claimed, log_claimed, receipt, problems, bytes)"
                " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)");
    s.Bind(1, u.call).Bind(2, u.email).Bind(3, u.received).Bind(4, std::int64_t(u.late));
    s.Bind(5, std::int64_t(u.accepted)).Bind(6, u.category).Bind(7, std::int64_t(u.qsos));
    s.Bind(8, std::int64_t(u.claimed)).Bind(9, u.logClaimed).Bind(10, u.receipt);
    s.Bind(11, u.problems).BindBlob(12, u.bytes);
    s.Step();
    u.id = sqlite3_last_insert_rowid(db_);
}

std::vector<Received> Store::Latest() {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s(db_,
                "SELECT u.call, u.category, u.received, u.qsos, u.late,"
                " (SELECT COUNT(*) FROM uploads a WHERE a.call = u.call)"
                " FROM uploads u WHERE u.id IN (SELECT MAX(id) FROM uploads WHERE accepted = 1"
                " GROUP BY call) ORDER BY u.call");
    std::vector<Received> out;
    while (s.Step())
        out.push_back({s.Text(0), s.Text(1), s.Text(2), static_cast<int>(s.Int(3)), s.Int(4) != 0,
                       static_cast<int>(s.Int(5))});
    return out;
}

std::vector<Upload> Store::History(const std::string& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s(
        db_,
        call.empty()
            ? (std::string("SELECT ") + kColumns + " FROM uploads ORDER BY id DESC").c_str()
            : (std::string("SELECT ") + kColumns + " FROM uploads WHERE call = ?1 ORDER BY id DESC")
                  .c_str());
    if (!call.empty()) s.Bind(1, call);
    std::vector<Upload> out;
    while (s.Step())
        out.push_back(Row(s));
    return out;
}

std::optional<Upload> Store::Get(std::int64_t id) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s(db_,
                (std::string("SELECT ") + kColumns + ", bytes FROM uploads WHERE id = ?1").c_str());
    s.Bind(1, id);
    if (!s.Step()) return std::nullopt;
    Upload u = Row(s);
    u.bytes = s.Text(12);
    return u;
}

std::vector<std::int64_t> Store::LatestIds() {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s(db_, "SELECT MAX(id) FROM uploads WHERE accepted = 1 GROUP BY call ORDER BY call");
    std::vector<std::int64_t> out;
    while (s.Step())
        out.push_back(s.Int(0));
    return out;
}

std::int64_t Store::Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s(db_, "SELECT COUNT(*) FROM uploads");
    s.Step();
    return s.Int(0);
}

std::string Store::Setting(const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s(db_, "SELECT value FROM settings WHERE key = ?1");
    s.Bind(1, key);
    return s.Step() ? s.Text(0) : std::string();
}

void Store::SetSetting(const std::string& key, const std::string& value) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s(db_, "INSERT OR REPLACE INTO settings (key, value) VALUES (?1, ?2)");
    s.Bind(1, key).Bind(2, value);
    s.Step();
}

void Store::Publish(const std::string& resultsHtml,
                    const std::vector<std::pair<std::string, std::string>>& lcrs) {
    std::lock_guard<std::mutex> lock(mutex_);
    Exec(db_, "BEGIN IMMEDIATE");
    try {
        Exec(db_, "DELETE FROM lcrs; DELETE FROM published;");
        Statement page(db_, "INSERT INTO published (id, results) VALUES (1, ?1)");
        page.Bind(1, resultsHtml);
        page.Step();
        for (const auto& [call, report] : lcrs) {
            Statement s(db_, "INSERT OR REPLACE INTO lcrs (call, report) VALUES (?1, ?2)");
            s.Bind(1, call).Bind(2, report);
            s.Step();
        }
        Exec(db_, "COMMIT");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

std::string Store::PublishedResults() {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s(db_, "SELECT results FROM published WHERE id = 1");
    return s.Step() ? s.Text(0) : std::string();
}

std::optional<std::string> Store::Lcr(const std::string& call, const std::string& receipt) {
    std::lock_guard<std::mutex> lock(mutex_);
    Statement s(db_,
                "SELECT l.report FROM lcrs l WHERE l.call = ?1 AND EXISTS (SELECT 1 FROM uploads u"
                " WHERE u.call = ?1 AND u.receipt = ?2)");
    s.Bind(1, call).Bind(2, receipt);
    if (!s.Step()) return std::nullopt;
    return s.Text(0);
}

}  // namespace robot
