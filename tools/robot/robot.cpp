#include "robot.h"

#include <httplib.h>
#include <sodium.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>

#include "base/text.h"
#include "outputs.h"
#include "results/report.h"
#include "tool_io.h"

namespace fs = std::filesystem;

namespace robot {

namespace {

using text::Trim;
using text::Upper;

const char* kStyle =
    "body{font-family:sans-serif;max-width:60em;margin:1em auto;padding:0 1em;color:#222}"
    "nav a{margin-right:1em}table{border-collapse:collapse}td,th{border:1px solid #ccc;"
    "padding:.2em .5em;text-align:left}th{background:#eee}.ok{color:#060}.bad{color:#a00}"
    ".code{font:bold 1.4em monospace;background:#ffd;padding:.2em .5em}"
    "textarea{width:100%;font-family:monospace}label{display:block;margin:.6em 0 .2em}";

std::string Page(const std::string& title, const std::string& body, const std::string& head = "") {
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" +
           Html(title) + " - SOLSTICE RACE log robot</title><style>" + kStyle + "</style>" + head +
           "</head><body><nav><a href=\"/\">Upload a log</a><a href=\"/received\">Logs "
           "received</a><a href=\"/results\">Results</a><a href=\"/lcr\">Your log-checking "
           "report</a><a href=\"/organiser\">Organiser</a></nav><h1>" +
           Html(title) + "</h1>\n" + body + "\n</body></html>\n";
}

void Send(httplib::Response& res, int status, const std::string& title, const std::string& body,
          const std::string& head = "") {
    res.status = status;
    res.set_header("Cache-Control", "no-store");
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("Content-Security-Policy",
                   "default-src 'none'; style-src 'unsafe-inline'; form-action 'self'; "
                   "frame-ancestors 'none'");
    res.set_content(Page(title, body, head), "text/html; charset=utf-8");
}

std::string Hex(const unsigned char* data, size_t size) {
    std::string out(size * 2 + 1, '\0');
    sodium_bin2hex(out.data(), out.size(), data, size);
    out.pop_back();
    return out;
}

std::string RandomToken() {
    unsigned char bytes[32];
    randombytes_buf(bytes, sizeof bytes);
    return Hex(bytes, sizeof bytes);
}

bool SameSecret(const std::string& a, const std::string& b) {
    return a.size() == b.size() && !a.empty() && sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

bool EmailShaped(const std::string& e) {
    const size_t at = e.find('@');
    if (e.size() > 254 || at == std::string::npos || at == 0 || at + 1 >= e.size() ||
        e.find('@', at + 1) != std::string::npos || e.find('.', at) == std::string::npos)
        return false;
    return std::none_of(e.begin(), e.end(), [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == '<' || c == '>' || c == '"';
    });
}

std::string Field(const httplib::Request& req, const char* name) {
    if (req.has_file(name)) return req.get_file_value(name).content;
    return req.has_param(name) ? req.get_param_value(name) : std::string();
}

std::string Cookie(const httplib::Request& req, const std::string& name) {
    const std::string cookies = req.get_header_value("Cookie");
    for (size_t at = 0; at < cookies.size();) {
        size_t end = cookies.find(';', at);
        if (end == std::string::npos) end = cookies.size();
        std::string pair = Trim(cookies.substr(at, end - at));
        if (pair.rfind(name + "=", 0) == 0) return pair.substr(name.size() + 1);
        at = end + 1;
    }
    return std::string();
}

std::string UrlEncode(const std::string& s) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '-' || c == '_' || c == '.') {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    return out;
}

std::string Hidden(const std::string& csrf) {
    return "<input type=\"hidden\" name=\"csrf\" value=\"" + Html(csrf) + "\">";
}

std::string UploadForm(const std::string& note) {
    return note +
           "<p>Send your SOLSTICE RACE log as a Cabrillo 3.0 or ADIF file, or paste it below. "
           "You are told at once whether it is accepted and what is wrong with it. A later "
           "upload for the same call replaces the earlier one.</p>"
           "<form method=\"post\" action=\"/upload\" enctype=\"multipart/form-data\">"
           "<label for=\"log\">Log file (at most 5 MB)</label>"
           "<input type=\"file\" id=\"log\" name=\"log\">"
           "<label for=\"text\">or the log as text</label>"
           "<textarea id=\"text\" name=\"text\" rows=\"12\"></textarea>"
           "<label for=\"email\">Your e-mail address (never shown to others)</label>"
           "<input type=\"email\" id=\"email\" name=\"email\" size=\"40\" required>"
           "<p><button type=\"submit\" id=\"send\">Upload the log</button></p></form>";
}

}  // namespace

namespace {

// The length of the well-formed UTF-8 sequence at `at`, 0 when there is none.
size_t Utf8Length(std::string_view t, size_t at) {
    const auto b = [&](size_t i) { return static_cast<unsigned char>(t[i]); };
    const unsigned char c = b(at);
    size_t n = c >= 0xC2 && c <= 0xDF   ? 2
               : c >= 0xE0 && c <= 0xEF ? 3
               : c >= 0xF0 && c <= 0xF4 ? 4
                                        : 0;
    if (n == 0 || at + n > t.size()) return 0;
    for (size_t i = 1; i < n; ++i)
        if ((b(at + i) & 0xC0) != 0x80) return 0;
    const unsigned char d = b(at + 1);
    if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d > 0x9F) || (c == 0xF0 && d < 0x90) ||
        (c == 0xF4 && d > 0x8F))
        return 0;  // overlong, a surrogate, or beyond U+10FFFF
    return n;
}

}  // namespace

std::string Html(std::string_view text) {
    // The pages are UTF-8: a byte of another encoding, or a NUL, shows as the replacement sign.
    static const char kReplacement[] = "\xEF\xBF\xBD";
    std::string valid;
    valid.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t n = static_cast<unsigned char>(text[i]) >= 0x80 ? Utf8Length(text, i) : 1;
        if (n == 0 || text[i] == '\0') {
            valid += kReplacement;
        } else {
            valid.append(text.substr(i, n));
            i += n - 1;
        }
    }
    // The results' escaping, and the apostrophe too: a page's attribute may be quoted either way.
    std::string out;
    for (char c : results::HtmlEscape(valid))
        out += c == '\'' ? std::string("&#39;") : std::string(1, c);
    return out;
}

std::string ReceiptCode() {
    static const char kSigns[] = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";  // 32, no I O 0 1
    std::string code;
    for (int i = 0; i < 12; ++i) {
        if (i && i % 4 == 0) code += '-';
        code += kSigns[randombytes_uniform(32)];
    }
    return code;
}

Robot::Robot(Config config, tools::CountryFile countries)
    : config_(std::move(config)), countries_(std::move(countries)) {
    if (sodium_init() < 0) throw std::runtime_error("libsodium cannot start");
    fs::create_directories(config_.dataDir);
    store_ = std::make_unique<Store>((fs::path(config_.dataDir) / "robot.sqlite").string());
}

Robot::~Robot() {
    if (checkThread_.joinable()) checkThread_.join();
}

bool Robot::SetPassword(const std::string& password) {
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(
            hash, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
            crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13) != 0)
        return false;
    store_->SetSetting("password", hash);
    return true;
}

bool Robot::HasPassword() {
    return !store_->Setting("password").empty();
}

std::string Robot::Now() const {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
    return text;
}

bool Robot::Late() const {
    if (config_.deadline.m_status != COleDateTime::valid) return false;
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    const COleDateTime now = COleDateTime::FromFields(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                                                      tm.tm_hour, tm.tm_min, tm.tm_sec);
    return now.m_dt > config_.deadline.m_dt;
}

void Robot::Route(httplib::Server& s) {
    // The body a little over the log's limit: the form's other fields and the multipart frame.
    s.set_payload_max_length(kMaxLogBytes + 256 * 1024);
    s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        // Called for every status from 400 on: a page of the robot's own stays.
        if (!res.body.empty()) return;
        const int status = res.status;
        if (status == 413)
            Send(res, 413, "Log refused",
                 "<p class=\"bad\">The upload is larger than 5 MB and was not stored. A contest "
                 "log is far smaller: send the log file itself, not an archive or a "
                 "document.</p><p><a href=\"/\">Back to the upload form</a></p>");
        else if (status == 404)
            Send(res, 404, "Not found", "<p>There is no such page here.</p>");
        else
            Send(res, status, "Error", "<p>The request could not be served.</p>");
    });
    s.set_exception_handler(
        [](const httplib::Request& req, httplib::Response& res, std::exception_ptr e) {
            // The organiser reads why on the robot's error output; the entrant is told that
            // an upload that met it was not stored.
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& x) {
                std::fprintf(stderr, "stats-robot: %s %s: %s\n", req.method.c_str(),
                             req.path.c_str(), x.what());
            } catch (...) {
                std::fprintf(stderr, "stats-robot: %s %s failed\n", req.method.c_str(),
                             req.path.c_str());
            }
            Send(res, 500, "Error",
                 "<p class=\"bad\">The robot could not answer this request. An upload that "
                 "met this was not stored and has no receipt: send it again in a "
                 "moment.</p>");
        });
    s.Get("/", [](const httplib::Request&, httplib::Response& res) {
        Send(res, 200, "Upload a log", UploadForm(""));
    });
    s.Post("/upload", [this](const httplib::Request& q, httplib::Response& r) { Upload(q, r); });
    s.Get("/received",
          [this](const httplib::Request& q, httplib::Response& r) { ReceivedPage(q, r); });
    s.Get("/results", [this](const httplib::Request&, httplib::Response& res) {
        const std::string page = store_->PublishedResults();
        if (page.empty()) {
            Send(res, 404, "Results", "<p>The results are not published yet.</p>");
            return;
        }
        res.set_header("Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'");
        res.set_content(page, "text/html; charset=utf-8");
    });
    s.Get("/lcr", [this](const httplib::Request& q, httplib::Response& r) { LcrFetch(q, r); });
    s.Post("/lcr", [this](const httplib::Request& q, httplib::Response& r) { LcrFetch(q, r); });
    s.Get("/organiser/login",
          [this](const httplib::Request& q, httplib::Response& r) { Login(q, r); });
    s.Post("/organiser/login",
           [this](const httplib::Request& q, httplib::Response& r) { Login(q, r); });
    s.Post("/organiser/logout", [this](const httplib::Request& req, httplib::Response& res) {
        std::string csrf;
        if (!Authorised(req, res, true, csrf)) return;
        {
            std::lock_guard<std::mutex> lock(sessionsMutex_);
            sessions_.erase(Cookie(req, "robot_session"));
        }
        res.set_header("Set-Cookie",
                       "robot_session=; Path=/; Max-Age=0; HttpOnly; SameSite=Strict");
        res.set_redirect("/organiser/login", 303);
    });
    s.Get("/organiser",
          [this](const httplib::Request& q, httplib::Response& r) { Organiser(q, r); });
    s.Get("/organiser/history",
          [this](const httplib::Request& q, httplib::Response& r) { History(q, r); });
    s.Get("/organiser/log",
          [this](const httplib::Request& q, httplib::Response& r) { Download(q, r); });
    s.Post("/organiser/check",
           [this](const httplib::Request& q, httplib::Response& r) { StartCheck(q, r); });
    s.Get("/organiser/check",
          [this](const httplib::Request& q, httplib::Response& r) { CheckPage(q, r); });
    s.Post("/organiser/publish",
           [this](const httplib::Request& q, httplib::Response& r) { Publish(q, r); });
}

void Robot::Upload(const httplib::Request& req, httplib::Response& res) {
    std::string text = Field(req, "log");
    std::string fileName = req.has_file("log") ? req.get_file_value("log").filename : "";
    if (text.empty()) {
        text = Field(req, "text");
        fileName.clear();
    }
    const std::string email = Trim(Field(req, "email"));
    if (text.size() > kMaxLogBytes) {
        Send(res, 413, "Log refused",
             "<p class=\"bad\">The log is larger than 5 MB and was not stored.</p>"
             "<p><a href=\"/\">Back to the upload form</a></p>");
        return;
    }
    if (Trim(text).empty()) {
        Send(res, 400, "Upload a log",
             UploadForm("<p class=\"bad\" id=\"error\">No log was given: choose a file or paste "
                        "the log.</p>"));
        return;
    }
    if (!EmailShaped(email)) {
        Send(res, 400, "Upload a log",
             UploadForm("<p class=\"bad\" id=\"error\">An e-mail address is needed (we write "
                        "only if something is wrong with the log); '" +
                        Html(email) + "' is none. Nothing was stored.</p>"));
        return;
    }
    const Receipt r = Validate(text, countries_, config_.period);
    robot::Upload u;
    u.call = r.call;
    u.email = email;
    u.received = Now();
    u.late = Late();
    u.accepted = r.accepted;
    u.category = r.category;
    u.qsos = r.qsoLines;
    u.claimed = r.claimedScore;
    u.logClaimed = r.logClaimed;
    for (const Problem& p : r.problems)
        u.problems += std::to_string(p.line) + "\t" + p.text + "\n";
    u.bytes = std::move(text);
    // The code is unique in the store; a clash of 60 random bits is retried, never shown.
    for (int attempt = 0;; ++attempt) {
        u.receipt = ReceiptCode();
        try {
            store_->Add(u);
            break;
        } catch (const std::runtime_error&) {
            if (attempt >= 3) throw;
        }
    }
    std::string body;
    body += r.accepted ? "<p class=\"ok\" id=\"verdict\">Accepted: your log is stored and will be "
                         "checked.</p>"
                       : "<p class=\"bad\" id=\"verdict\">Refused: the log was stored as sent, "
                         "but it cannot be checked until the problems marked in red below "
                         "are mended. Upload it again when they are.</p>";
    if (u.late)
        body +=
            "<p class=\"bad\" id=\"late\">This upload arrived after the deadline and is "
            "marked late.</p>";
    body += "<table><tr><th>Call</th><td id=\"call\">" + Html(r.call) + "</td></tr>" +
            "<tr><th>Category</th><td>" + Html(r.category) + "</td></tr>" +
            "<tr><th>Format</th><td>" + Html(r.format) + "</td></tr>" + "<tr><th>File</th><td>" +
            Html(fileName.empty() ? "(pasted text)" : fileName) +
            "</td></tr><tr><th>Size</th><td>" + std::to_string(u.bytes.size()) +
            " bytes</td></tr>" + "<tr><th>QSO lines read</th><td id=\"qsos\">" +
            std::to_string(r.qsoLines) +
            "</td></tr><tr><th>Claimed score, as the plug-in computes it</th><td id=\"score\">" +
            std::to_string(r.claimedScore) +
            "</td></tr><tr><th>CLAIMED-SCORE in your log</th><td id=\"logscore\">" +
            Html(r.logClaimed.empty() ? "(none)" : r.logClaimed) + "</td></tr>" +
            "<tr><th>Received</th><td>" + Html(u.received) + " UTC</td></tr></table>";
    if (r.problems.empty()) {
        body += "<p id=\"problems\">No problems found.</p>";
    } else {
        body += "<h2>Problems (" + std::to_string(r.problems.size()) +
                ")</h2><table id=\"problems\"><tr><th>Line</th><th>Problem</th></tr>";
        for (const Problem& p : r.problems)
            body += std::string(p.refuses ? "<tr class=\"bad\">" : "<tr>") + "<td>" +
                    (p.line ? std::to_string(p.line) : std::string("-")) + "</td><td>" +
                    Html(p.text) + (p.refuses ? " (the log is refused for this)" : "") +
                    "</td></tr>";
        body += "</table>";
    }
    body += "<h2>Your receipt code</h2><p class=\"code\" id=\"receipt\">" + Html(u.receipt) +
            "</p><p>Keep this code with your call: it proves this upload, and with it you "
            "fetch your log-checking report after the check. No e-mail is sent; print or save "
            "this page.</p>";
    Send(res, 200, r.accepted ? "Log accepted" : "Log refused", body);
}

void Robot::ReceivedPage(const httplib::Request& req, httplib::Response& res) {
    const std::vector<Received> all = store_->Latest();
    const std::string category = req.has_param("category") ? req.get_param_value("category") : "";
    const std::string sort = req.has_param("sort") ? req.get_param_value("sort") : "call";
    std::set<std::string> categories;
    std::vector<Received> rows;
    for (const Received& r : all) {
        categories.insert(r.category);
        if (category.empty() || r.category == category) rows.push_back(r);
    }
    if (sort == "time")
        std::stable_sort(rows.begin(), rows.end(), [](const Received& a, const Received& b) {
            return a.received > b.received;
        });
    else if (sort == "qsos")
        std::stable_sort(rows.begin(), rows.end(),
                         [](const Received& a, const Received& b) { return a.qsos > b.qsos; });
    std::string body =
        "<form method=\"get\" action=\"/received\"><label for=\"category\">"
        "Category</label><select id=\"category\" name=\"category\">"
        "<option value=\"\">all</option>";
    for (const std::string& c : categories)
        body += "<option value=\"" + Html(c) + "\"" + (c == category ? " selected" : "") + ">" +
                Html(c.empty() ? "(none given)" : c) + "</option>";
    body += "</select> <select name=\"sort\" aria-label=\"sort\">";
    for (const char* s : {"call", "time", "qsos"})
        body += std::string("<option") + (sort == s ? " selected" : "") + ">" + s + "</option>";
    body += "</select> <button type=\"submit\">Show</button></form><p>" +
            std::to_string(rows.size()) + " of " + std::to_string(all.size()) +
            " logs.</p><table id=\"received\"><tr><th>Call</th><th>Category</th><th>QSOs</th>"
            "<th>Latest upload (UTC)</th></tr>";
    for (const Received& r : rows)
        body += "<tr><td>" + Html(r.call) + "</td><td>" + Html(r.category) + "</td><td>" +
                std::to_string(r.qsos) + "</td><td>" + Html(r.received) +
                (r.late ? " (late)" : "") + "</td></tr>";
    body += "</table>";
    Send(res, 200, "Logs received", body);
}

void Robot::LcrFetch(const httplib::Request& req, httplib::Response& res) {
    const std::string form =
        "<form method=\"post\" action=\"/lcr\"><label for=\"call\">Your call</label>"
        "<input id=\"call\" name=\"call\" required><label for=\"receipt\">Receipt code of "
        "one of your uploads</label><input id=\"receipt\" name=\"receipt\" required>"
        "<p><button type=\"submit\" id=\"fetch\">Fetch the report</button></p></form>";
    if (req.method == "GET") {
        Send(res, 200, "Your log-checking report", form);
        return;
    }
    const std::string call = Upper(Trim(req.get_param_value("call")));
    const std::string receipt = Upper(Trim(req.get_param_value("receipt")));
    if (store_->PublishedResults().empty()) {
        Send(res, 404, "Your log-checking report",
             "<p class=\"bad\" id=\"error\">The reports are not published yet.</p>" + form);
        return;
    }
    const std::optional<std::string> report = store_->Lcr(call, receipt);
    if (!report) {
        Send(res, 403, "Your log-checking report",
             "<p class=\"bad\" id=\"error\">No report for this call and receipt code. Give your "
             "own call and the code of one of its uploads.</p>" +
                 form);
        return;
    }
    Send(res, 200, "Log-checking report of " + call, "<pre id=\"lcr\">" + Html(*report) + "</pre>");
}

void Robot::Login(const httplib::Request& req, httplib::Response& res) {
    // Before a session, the form's token is tied to a cookie of its own.
    auto form = [&](int status, const std::string& note) {
        const std::string token = RandomToken();
        res.set_header("Set-Cookie", "robot_login=" + token +
                                         "; Path=/organiser/login; HttpOnly; SameSite=Strict" +
                                         (config_.secureCookies ? "; Secure" : ""));
        Send(res, status, "Organiser login",
             note + "<form method=\"post\" action=\"/organiser/login\">" + Hidden(token) +
                 "<label for=\"password\">Password</label><input type=\"password\" "
                 "id=\"password\" name=\"password\" required autofocus>"
                 "<p><button type=\"submit\" id=\"login\">Log in</button></p></form>");
    };
    if (req.method == "GET") {
        form(200, "");
        return;
    }
    if (!SameSecret(Cookie(req, "robot_login"), req.get_param_value("csrf"))) {
        form(403,
             "<p class=\"bad\" id=\"error\">The form's token is missing or stale: log in "
             "again from this page.</p>");
        return;
    }
    {
        std::lock_guard<std::mutex> lock(sessionsMutex_);
        const auto now = std::chrono::steady_clock::now();
        if (now < nextLogin_) {
            const auto wait =
                std::chrono::duration_cast<std::chrono::seconds>(nextLogin_ - now).count() + 1;
            form(429, "<p class=\"bad\" id=\"error\">Too many wrong passwords: wait " +
                          std::to_string(wait) + " s before the next attempt.</p>");
            return;
        }
    }
    const std::string hash = store_->Setting("password");
    const std::string password = req.get_param_value("password");
    const bool right = !hash.empty() && crypto_pwhash_str_verify(hash.c_str(), password.data(),
                                                                 password.size()) == 0;
    std::lock_guard<std::mutex> lock(sessionsMutex_);
    if (!right) {
        // Each failure doubles the wait before the next attempt, up to a minute.
        ++failures_;
        const int wait = std::min(60, 1 << std::min(failures_ - 1, 6));
        nextLogin_ = std::chrono::steady_clock::now() + std::chrono::seconds(wait);
        form(403,
             "<p class=\"bad\" id=\"error\">Wrong password. The next attempt is possible "
             "in " +
                 std::to_string(wait) + " s.</p>");
        return;
    }
    failures_ = 0;
    const auto now = std::chrono::steady_clock::now();
    for (auto it = sessions_.begin(); it != sessions_.end();)
        it = it->second.expires < now ? sessions_.erase(it) : std::next(it);
    const std::string token = RandomToken();
    sessions_[token] = {RandomToken(), now + std::chrono::hours(8)};
    res.set_header("Set-Cookie", "robot_session=" + token +
                                     "; Path=/; Max-Age=28800; HttpOnly; SameSite=Strict" +
                                     (config_.secureCookies ? "; Secure" : ""));
    res.set_redirect("/organiser", 303);
}

const Robot::Session* Robot::Authorised(const httplib::Request& req, httplib::Response& res,
                                        bool needToken, std::string& csrf) {
    std::lock_guard<std::mutex> lock(sessionsMutex_);
    auto it = sessions_.find(Cookie(req, "robot_session"));
    if (it == sessions_.end() || it->second.expires < std::chrono::steady_clock::now()) {
        if (needToken)
            Send(res, 403, "Not logged in",
                 "<p class=\"bad\" id=\"error\">Log in first.</p><p><a "
                 "href=\"/organiser/login\">Organiser login</a></p>");
        else
            res.set_redirect("/organiser/login", 303);
        return nullptr;
    }
    if (needToken && !SameSecret(it->second.csrf, req.get_param_value("csrf"))) {
        Send(res, 403, "Refused",
             "<p class=\"bad\" id=\"error\">The form's token is missing or wrong; nothing was "
             "done. Use the buttons of the organiser's page.</p>");
        return nullptr;
    }
    csrf = it->second.csrf;
    return &it->second;
}

void Robot::Organiser(const httplib::Request& req, httplib::Response& res) {
    std::string csrf;
    if (!Authorised(req, res, false, csrf)) return;
    const std::vector<Received> latest = store_->Latest();
    std::string body = "<p>" + std::to_string(latest.size()) + " calls with an accepted log, " +
                       std::to_string(store_->Count()) + " uploads in all.</p>" +
                       "<form method=\"post\" action=\"/organiser/check\">" + Hidden(csrf) +
                       "<button type=\"submit\" id=\"check\">Check the latest logs</button> "
                       "<a href=\"/organiser/check\">progress and publishing</a></form>"
                       "<form method=\"post\" action=\"/organiser/logout\">" +
                       Hidden(csrf) + "<button type=\"submit\">Log out</button></form>" +
                       "<h2>Latest logs</h2><table id=\"logs\"><tr><th>Call</th><th>Category"
                       "</th><th>QSOs</th><th>Latest upload</th><th>Uploads</th></tr>";
    for (const Received& r : latest)
        body += "<tr><td><a href=\"/organiser/history?call=" + Html(UrlEncode(r.call)) + "\">" +
                Html(r.call) + "</a></td><td>" + Html(r.category) + "</td><td>" +
                std::to_string(r.qsos) + "</td><td>" + Html(r.received) +
                (r.late ? " <b>late</b>" : "") + "</td><td>" + std::to_string(r.uploads) +
                "</td></tr>";
    body += "</table><p><a href=\"/organiser/history\">Every upload, refused ones too</a></p>";
    Send(res, 200, "Organiser", body);
}

void Robot::History(const httplib::Request& req, httplib::Response& res) {
    std::string csrf;
    if (!Authorised(req, res, false, csrf)) return;
    const std::string call = req.has_param("call") ? Upper(req.get_param_value("call")) : "";
    std::string body =
        "<table id=\"history\"><tr><th>#</th><th>Call</th><th>Received (UTC)</th>"
        "<th>Verdict</th><th>QSOs</th><th>Claimed (plug-in / log)</th>"
        "<th>E-mail</th><th>Problems</th><th>Log</th></tr>";
    for (const robot::Upload& u : store_->History(call)) {
        const long problems = std::count(u.problems.begin(), u.problems.end(), '\n');
        body += "<tr><td>" + std::to_string(u.id) + "</td><td>" + Html(u.call) + "</td><td>" +
                Html(u.received) + (u.late ? " <b>late</b>" : "") + "</td><td>" +
                (u.accepted ? "accepted" : "<span class=\"bad\">refused</span>") + "</td><td>" +
                std::to_string(u.qsos) + "</td><td>" + std::to_string(u.claimed) + " / " +
                Html(u.logClaimed) + "</td><td>" + Html(u.email) + "</td><td title=\"" +
                Html(u.problems) + "\">" + std::to_string(problems) +
                "</td><td><a href=\"/organiser/log?id=" + std::to_string(u.id) +
                "\">download</a></td></tr>";
    }
    body += "</table>";
    Send(res, 200, call.empty() ? "Every upload" : "Uploads of " + call, body);
}

void Robot::Download(const httplib::Request& req, httplib::Response& res) {
    std::string csrf;
    if (!Authorised(req, res, false, csrf)) return;
    std::int64_t id = 0;
    const std::string text = req.get_param_value("id");
    if (text.empty() || text.size() > 18 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        !(id = std::stoll(text), true)) {
        Send(res, 400, "Download", "<p class=\"bad\">No such upload.</p>");
        return;
    }
    const std::optional<robot::Upload> u = store_->Get(id);
    if (!u) {
        Send(res, 404, "Download", "<p class=\"bad\">No such upload.</p>");
        return;
    }
    // The name is made of the number and the call's plain signs only.
    std::string name = "upload-" + std::to_string(u->id) + "-";
    for (char c : u->call)
        if (std::isalnum(static_cast<unsigned char>(c))) name += c;
    res.set_header("Content-Disposition", "attachment; filename=\"" + name + ".log\"");
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_content(u->bytes, "application/octet-stream");
}

void Robot::StartCheck(const httplib::Request& req, httplib::Response& res) {
    std::string csrf;
    if (!Authorised(req, res, true, csrf)) return;
    std::lock_guard<std::mutex> lock(checkMutex_);
    if (checkRunning_) {
        res.set_redirect("/organiser/check", 303);
        return;
    }
    if (checkThread_.joinable()) checkThread_.join();
    // The latest logs, each in a file named by its upload number: no name from a log
    // becomes a path.
    const fs::path folder = fs::path(config_.dataDir) / "check";
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    std::vector<std::string> files;
    for (std::int64_t id : store_->LatestIds()) {
        const std::optional<robot::Upload> u = store_->Get(id);
        if (!u) continue;
        const fs::path file = folder / (std::to_string(id) + ".log");
        if (!tools::WriteWholeFile(file, u->bytes)) {
            Send(res, 500, "Check",
                 "<p class=\"bad\">The logs cannot be written to " + Html(folder.string()) +
                     ".</p>");
            return;
        }
        files.push_back(file.string());
    }
    checkRunning_ = true;
    checkError_.clear();
    checkStep_ = "starting";
    checkLogs_ = files.size();
    checkStarted_ = std::chrono::steady_clock::now();
    checked_.reset();
    checkThread_ = std::thread([this, files] {
        check::CheckOptions o;
        o.start = config_.period.start;
        o.end = config_.period.end;
        o.progress = [this](const char* step) {
            std::lock_guard<std::mutex> lock(checkMutex_);
            checkStep_ = step;
        };
        std::shared_ptr<check::Checked> result;
        std::string error;
        try {
            result = std::make_shared<check::Checked>(
                check::CheckContest(files, countries_, o, config_.checkThreads));
        } catch (const std::exception& e) {
            error = e.what();
        }
        std::lock_guard<std::mutex> lock(checkMutex_);
        checked_ = result;
        checkError_ = error;
        checkStep_ = error.empty() ? "done" : "failed";
        checkRunning_ = false;
        checkEnded_ = std::chrono::steady_clock::now();
    });
    res.set_redirect("/organiser/check", 303);
}

void Robot::CheckPage(const httplib::Request& req, httplib::Response& res) {
    std::string csrf;
    if (!Authorised(req, res, false, csrf)) return;
    std::lock_guard<std::mutex> lock(checkMutex_);
    const auto now = std::chrono::steady_clock::now();
    auto seconds = [](auto d) {
        return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(d).count());
    };
    std::string body;
    std::string head;
    if (checkRunning_) {
        // Refreshes itself: the page works without JavaScript.
        head = "<meta http-equiv=\"refresh\" content=\"1\">";
        body = "<p id=\"status\">Checking " + std::to_string(checkLogs_) +
               " logs: " + Html(checkStep_) + " (" + seconds(now - checkStarted_) + " s)</p>";
    } else if (!checkError_.empty()) {
        body = "<p class=\"bad\" id=\"status\">The check failed: " + Html(checkError_) + "</p>";
    } else if (checked_) {
        long lines = 0;
        for (const check::Entrant& e : checked_->entrants)
            lines += static_cast<long>(e.findings.size());
        body = "<p id=\"status\">Check done: " + std::to_string(checked_->entrants.size()) +
               " logs, " + std::to_string(lines) + " QSO lines, in " +
               seconds(checkEnded_ - checkStarted_) + " s.</p>";
        if (!checked_->unreadable.empty()) {
            body += "<p>Left out:</p><ul>";
            for (const std::string& u : checked_->unreadable)
                body += "<li>" + Html(u) + "</li>";
            body += "</ul>";
        }
        body += "<form method=\"post\" action=\"/organiser/publish\">" + Hidden(csrf) +
                "<button type=\"submit\" id=\"publish\">Publish the results and the "
                "reports</button></form>";
    } else {
        body = "<p id=\"status\">No check has run since the robot started.</p>";
    }
    body += "<p><a href=\"/organiser\">Back to the logs</a></p>";
    Send(res, 200, "Check", body, head);
}

void Robot::Publish(const httplib::Request& req, httplib::Response& res) {
    std::string csrf;
    if (!Authorised(req, res, true, csrf)) return;
    std::shared_ptr<check::Checked> c;
    {
        std::lock_guard<std::mutex> lock(checkMutex_);
        if (!checkRunning_) c = checked_;
    }
    if (!c) {
        Send(res, 409, "Publish",
             "<p class=\"bad\" id=\"error\">There is no finished check to "
             "publish.</p>");
        return;
    }
    std::vector<std::pair<std::string, std::string>> lcrs;
    for (size_t i = 0; i < c->entrants.size(); ++i)
        lcrs.emplace_back(c->entrants[i].call, check::Lcr(*c, i));
    store_->Publish(check::ResultsHtml(*c), lcrs);
    Send(res, 200, "Published",
         "<p id=\"status\">Published the results page and " + std::to_string(lcrs.size()) +
             " log-checking reports.</p><p><a href=\"/results\">Results</a></p>");
}

}  // namespace robot
