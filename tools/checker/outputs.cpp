#include "outputs.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#if defined(STATS_HAVE_SQLITE)
#include <sqlite3.h>
#endif

#include "results/report.h"
#include "tool_io.h"

namespace fs = std::filesystem;

namespace check {

namespace {

std::string ReasonText(const Checked& c, const Entrant& e, size_t k) {
    const Line& l = e.log.lines[k];
    const Finding& f = e.findings[k];
    auto detail = e.unreadable.find(k);
    return ReasonText(f.why, l.band, l.mode, OtherHas(c, f),
                      detail == e.unreadable.end() ? std::string() : detail->second);
}

std::string Csv(const std::string& field) {
    if (field.find_first_of(",\"\n\r") == std::string::npos) return field;
    std::string out = "\"";
    for (char c : field)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

// Texts from the logs are escaped as the plug-in's own HTML results escape them.
std::string Html(const std::string& text) {
    return results::HtmlEscape(text);
}

std::string Time(long minute) {
    COleDateTime t(static_cast<double>(minute) / 1440.0);
    return t.Format("%Y-%m-%d %H:%M");
}

std::string Header(const Entrant& e, const char* tag) {
    auto it = e.header.find(tag);
    return it == e.header.end() ? std::string() : it->second;
}

double Reduction(const Entrant& e) {
    if (e.claimed.score <= 0) return 0.0;
    return 100.0 * (e.claimed.score - e.checked.score) / e.claimed.score;
}

std::string Percent(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// The note of a line in qsos.csv and the database: the right call of a busted call, what the
// other station sent of a busted exchange, else the reason.
std::string Note(const Checked& c, const Entrant& e, size_t k) {
    const Finding& f = e.findings[k];
    if (f.verdict == Verdict::kBustedCall) return RightCall(c, f);
    if (f.verdict == Verdict::kBustedExchange) return "sent " + OtherHas(c, f);
    return ReasonText(c, e, k);
}

struct QsoRow {
    std::string log, time, band, mode, call, exchange, verdict, otherLog, note;
    int line, otherLine;
};

template <typename Each>
void ForEachQso(const Checked& c, Each each) {
    for (const Entrant& e : c.entrants)
        for (size_t k = 0; k < e.log.lines.size(); ++k) {
            const Line& l = e.log.lines[k];
            const Finding& f = e.findings[k];
            QsoRow r;
            r.log = e.call;
            r.line = l.line;
            r.time = l.band.empty() && l.call.empty() ? "" : Time(l.minute);
            r.band = l.band;
            r.mode = l.mode;
            r.call = l.call;
            r.exchange = l.exchRcvd;
            r.verdict = VerdictName(f.verdict);
            r.otherLine = 0;
            if (f.otherLog >= 0) {
                const Entrant& o = c.entrants[size_t(f.otherLog)];
                r.otherLog = o.call;
                r.otherLine = o.log.lines[size_t(f.otherLine)].line;
            }
            r.note = Note(c, e, k);
            each(r);
        }
}

// The province a Spanish entrant sends: the exchange most of its lines give.
std::string SentProvince(const Entrant& e) {
    std::map<std::string, int> count;
    for (const Line& l : e.log.lines)
        if (!l.exchSent.empty() && !std::isdigit(static_cast<unsigned char>(l.exchSent[0])))
            ++count[l.exchSent];
    std::string best;
    int most = 0;
    for (const auto& [p, n] : count)
        if (n > most) best = p, most = n;
    return best;
}

const char* const kCategoryTags[] = {"CATEGORY-OPERATOR", "CATEGORY-BAND", "CATEGORY-MODE",
                                     "CATEGORY-POWER", "CATEGORY-ASSISTED"};

}  // namespace

std::string ReasonText(Reason why, const std::string& band, const std::string& mode,
                       const std::string& otherHas, const std::string& detail) {
    switch (why) {
        case Reason::kWrongBand:
            return "band " + (band.empty() ? std::string("unknown") : band) +
                   " is not in the contest";
        case Reason::kWrongMode:
            return "mode " + mode + " is not the log's";
        case Reason::kNoExchange:
            return "no exchange";
        case Reason::kNoCall:
            return "no call";
        case Reason::kUnreadable:
            return "unreadable: " + detail;
        case Reason::kOutsidePeriod:
            return "outside the contest period";
        case Reason::kDateOff:
            return "outside the contest period: dated whole days off (a date error)";
        case Reason::kBandMismatch:
            return "in its log on " + otherHas;
        case Reason::kModeMismatch:
            return "in its log in " + otherHas;
        case Reason::kNone:
            break;
    }
    return std::string();
}

std::vector<size_t> ByScore(const Checked& c) {
    std::vector<size_t> order(c.entrants.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return c.entrants[a].checked.score > c.entrants[b].checked.score;
    });
    return order;
}

void WriteQsosCsv(const Checked& c, std::ostream& out) {
    out << "log,line,time,band,mode,call,exchange,verdict,other_log,other_line,note\n";
    ForEachQso(c, [&](const QsoRow& r) {
        out << Csv(r.log) << ',' << r.line << ',' << r.time << ',' << Csv(r.band) << ','
            << Csv(r.mode) << ',' << Csv(r.call) << ',' << Csv(r.exchange) << ',' << r.verdict
            << ',' << Csv(r.otherLog) << ',';
        if (r.otherLine) out << r.otherLine;
        out << ',' << Csv(r.note) << '\n';
    });
}

std::string QsosCsv(const Checked& c) {
    std::ostringstream out;
    WriteQsosCsv(c, out);
    return out.str();
}

std::string ResultsCsv(const Checked& c) {
    std::string out =
        "call,category_operator,category_mode,category_power,category_band,category_assisted,"
        "club,claimed_score,qsos,points,eadx100,provinces,score,reduction_percent\n";
    for (size_t i : ByScore(c)) {
        const Entrant& e = c.entrants[i];
        out += Csv(e.call) + "," + Csv(Header(e, "CATEGORY-OPERATOR")) + "," +
               Csv(Header(e, "CATEGORY-MODE")) + "," + Csv(Header(e, "CATEGORY-POWER")) + "," +
               Csv(Header(e, "CATEGORY-BAND")) + "," + Csv(Header(e, "CATEGORY-ASSISTED")) + "," +
               Csv(Header(e, "CLUB")) + "," + std::to_string(e.claimed.score) + "," +
               std::to_string(e.checked.qsos) + "," + std::to_string(e.checked.points) + "," +
               std::to_string(e.checked.entities) + "," + std::to_string(e.checked.provinces) +
               "," + std::to_string(e.checked.score) + "," + Percent(Reduction(e)) + "\n";
    }
    return out;
}

std::string Lcr(const Checked& c, size_t i) {
    const Entrant& e = c.entrants[i];
    char row[160];
    std::string out = "Log checking report for " + e.call + ", SOLSTICE RACE " +
                      c.start.Format("%Y") +
                      "\n\nLog file: " + fs::path(e.file).filename().string() + "\nCategory:";
    for (const char* tag : kCategoryTags)
        out += " " + Header(e, tag);
    out += "\n";
    if (e.clockOffset == 0) {
        out += "Clock: agrees with the other logs.\n";
    } else {
        out += "Clock: " + std::to_string(std::abs(e.clockOffset)) + " minutes " +
               (e.clockOffset > 0 ? "ahead of" : "behind") +
               " the other logs; its times were corrected by that before the matching.\n";
    }
    out += "\n               QSOs   points  EADX100  provinces      score\n";
    auto line = [&](const char* what, const Score& s) {
        std::snprintf(row, sizeof row, "%-10s %8d %8d %8d %10d %10d\n", what, s.qsos, s.points,
                      s.entities, s.provinces, s.score);
        out += row;
    };
    line("Claimed", e.claimed);
    line("Checked", e.checked);
    if (e.penaltyPoints) out += "Penalty: " + std::to_string(e.penaltyPoints) + " points\n";
    out += "Score reduction: " + Percent(Reduction(e)) + " %\n\nVerdicts:";
    std::map<std::string, int> count;
    for (const Finding& f : e.findings)
        ++count[VerdictName(f.verdict)];
    for (const auto& [v, n] : count)
        out += " " + v + " " + std::to_string(n) + ",";
    if (out.back() == ',') out.pop_back();
    out += "\n\nRemoved QSOs (the line of your log, then why):\n";
    int removed = 0;
    std::string uniques;
    for (size_t k = 0; k < e.log.lines.size(); ++k) {
        const Line& l = e.log.lines[k];
        const Finding& f = e.findings[k];
        auto raw = [&](const Entrant& who, int number) { return who.RawLine(number); };
        if (f.verdict == Verdict::kUnique)
            uniques += "  line " + std::to_string(l.line) + ": " + l.call + "\n";
        if (Credited(f.verdict, c.removeUniques) || f.verdict == Verdict::kXQso) continue;
        ++removed;
        out += "  line " + std::to_string(l.line) + ": " + raw(e, l.line) + "\n    " +
               VerdictName(f.verdict) + ": ";
        const Entrant* other = f.otherLog >= 0 ? &c.entrants[size_t(f.otherLog)] : nullptr;
        const int otherNumber = other ? other->log.lines[size_t(f.otherLine)].line : 0;
        switch (f.verdict) {
            case Verdict::kNil:
                out += "not in " + l.call + "'s log";
                if (other)
                    out += " as logged; " + ReasonText(c, e, k) + ", line " +
                           std::to_string(otherNumber) + ": " + raw(*other, otherNumber);
                out += "\n";
                break;
            case Verdict::kUnique:
                out += "no other log has " + l.call + ", and uniques are not credited\n";
                break;
            case Verdict::kBustedCall:
                out += "the station worked was " + RightCall(c, f) + "; its log, line " +
                       std::to_string(otherNumber) + ": " + raw(*other, otherNumber) + "\n";
                break;
            case Verdict::kBustedExchange:
                out += l.call + " sent " + OtherHas(c, f) + ", you logged " + l.exchRcvd +
                       "; its log, line " + std::to_string(otherNumber) + ": " +
                       raw(*other, otherNumber) + "\n";
                break;
            case Verdict::kDupe:
                out += "the same call on this band was logged before\n";
                break;
            default:
                out += ReasonText(c, e, k) + "\n";
        }
    }
    if (!removed) out += "  none\n";
    out += "\nStations that busted your call:";
    for (const std::string& call : e.bustedBy)
        out += " " + call;
    out += e.bustedBy.empty() ? " none\n" : "\n";
    out += std::string("\nYour uniques (no other log has the call; ") +
           (c.removeUniques ? "removed" : "credited") + "):\n" +
           (uniques.empty() ? "  none\n" : uniques);
    return out;
}

std::string ResultsHtml(const Checked& c) {
    const std::string year = c.start.Format("%Y");
    std::string out =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>SOLSTICE RACE " +
        year +
        " results</title>\n<style>body{font-family:sans-serif;margin:2em;color:#111}"
        "table{border-collapse:collapse;margin:0 0 1.5em}th,td{border:1px solid #999;padding:2px "
        "8px;text-align:right}th{background:#e8e8e8}td.c,th.c{text-align:left}h2{margin-top:1.5em}"
        "section{break-inside:avoid}@media "
        "print{body{margin:0}}</style></head><body>\n<h1>SOLSTICE "
        "RACE " +
        year + " results</h1>\n<p>" + std::to_string(c.entrants.size()) +
        " logs checked against each other. Scores are checked scores; the claimed score is the "
        "log's own as submitted.</p>\n";
    // By category.
    std::map<std::string, std::vector<size_t>> categories;
    for (size_t i : ByScore(c)) {
        std::string key;
        for (const char* tag : kCategoryTags)
            key += (key.empty() ? "" : " ") + Header(c.entrants[i], tag);
        categories[key].push_back(i);
    }
    out += "<h2>Results by category</h2>\n";
    for (const auto& [category, members] : categories) {
        out += "<section><h3>" + Html(category) +
               "</h3>\n<table><tr><th>#</th><th class=c>Call</th><th class=c>Club</th><th>QSOs</th>"
               "<th>Points</th><th>EADX100</th><th>Prov</th><th>Score</th><th>Claimed</th>"
               "<th>Reduction %</th></tr>\n";
        int rank = 0;
        for (size_t i : members) {
            const Entrant& e = c.entrants[i];
            out += "<tr><td>" + std::to_string(++rank) + "</td><td class=c>" + Html(e.call) +
                   "</td><td class=c>" + Html(Header(e, "CLUB")) + "</td><td>" +
                   std::to_string(e.checked.qsos) + "</td><td>" + std::to_string(e.checked.points) +
                   "</td><td>" + std::to_string(e.checked.entities) + "</td><td>" +
                   std::to_string(e.checked.provinces) + "</td><td>" +
                   std::to_string(e.checked.score) + "</td><td>" + std::to_string(e.claimed.score) +
                   "</td><td>" + Percent(Reduction(e)) + "</td></tr>\n";
        }
        out += "</table></section>\n";
    }
    // Spanish provinces: each province's entrants, best first.
    std::map<std::string, std::vector<size_t>> provinces;
    for (size_t i : ByScore(c)) {
        const Entrant& e = c.entrants[i];
        if (e.call.size() >= 2 && e.call[0] == 'E' && e.call[1] >= 'A' && e.call[1] <= 'H') {
            std::string p = SentProvince(e);
            if (!p.empty()) provinces[p].push_back(i);
        }
    }
    out +=
        "<section><h2>Spanish provinces</h2>\n<table><tr><th class=c>Province</th><th>Logs</th>"
        "<th class=c>Best</th><th>Score</th></tr>\n";
    for (const auto& [p, members] : provinces) {
        const Entrant& best = c.entrants[members.front()];
        out += "<tr><td class=c>" + Html(p) + "</td><td>" + std::to_string(members.size()) +
               "</td><td class=c>" + Html(best.call) + "</td><td>" +
               std::to_string(best.checked.score) + "</td></tr>\n";
    }
    out += "</table></section>\n";
    // Clubs.
    std::map<std::string, std::pair<long long, int>> clubs;
    for (const Entrant& e : c.entrants) {
        std::string club = Header(e, "CLUB");
        if (club.empty()) continue;
        clubs[club].first += e.checked.score;
        ++clubs[club].second;
    }
    std::vector<std::pair<std::string, std::pair<long long, int>>> clubList(clubs.begin(),
                                                                            clubs.end());
    std::stable_sort(clubList.begin(), clubList.end(),
                     [](const auto& a, const auto& b) { return a.second.first > b.second.first; });
    out +=
        "<section><h2>Clubs</h2>\n<table><tr><th "
        "class=c>Club</th><th>Logs</th><th>Score</th></tr>\n";
    for (const auto& [club, total] : clubList)
        out += "<tr><td class=c>" + Html(club) + "</td><td>" + std::to_string(total.second) +
               "</td><td>" + std::to_string(total.first) + "</td></tr>\n";
    out += "</table></section>\n";
    // Claimed against checked: one bar pair per entrant of the top twenty.
    std::vector<size_t> top = ByScore(c);
    if (top.size() > 20) top.resize(20);
    const int width = 600, rowHeight = 18;
    long long most = 1;
    for (size_t i : top)
        most =
            std::max<long long>({most, c.entrants[i].claimed.score, c.entrants[i].checked.score});
    out +=
        "<section><h2>Claimed and checked scores</h2>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "width=\"" +
        std::to_string(width + 120) + "\" height=\"" + std::to_string(rowHeight * top.size() + 24) +
        "\" font-size=\"11\">\n";
    int y = 4;
    for (size_t i : top) {
        const Entrant& e = c.entrants[i];
        const long long claimed = e.claimed.score * width / most,
                        checked = e.checked.score * width / most;
        out += "<text x=\"0\" y=\"" + std::to_string(y + 12) + "\">" + Html(e.call) + "</text>";
        out += "<rect x=\"110\" y=\"" + std::to_string(y) + "\" width=\"" +
               std::to_string(claimed) + "\" height=\"14\" fill=\"#ccc\"/>";
        out += "<rect x=\"110\" y=\"" + std::to_string(y + 3) + "\" width=\"" +
               std::to_string(checked) + "\" height=\"8\" fill=\"#226\"/>\n";
        y += rowHeight;
    }
    out += "<text x=\"110\" y=\"" + std::to_string(y + 12) +
           "\">grey: claimed, dark: checked</text></svg></section>\n";
    // Soapbox.
    out += "<section><h2>Soapbox</h2>\n";
    bool any = false;
    for (const Entrant& e : c.entrants) {
        std::string text = Header(e, "SOAPBOX");
        if (text.empty()) continue;
        any = true;
        out += "<p><b>" + Html(e.call) + "</b>: " + Html(text) + "</p>\n";
    }
    if (!any) out += "<p>No soapbox texts.</p>\n";
    out += "</section>\n</body></html>\n";
    return out;
}

bool HaveSqlite() {
#if defined(STATS_HAVE_SQLITE)
    return true;
#else
    return false;
#endif
}

namespace {

#if defined(STATS_HAVE_SQLITE)
bool WriteSqlite(const Checked& c, const std::string& path, std::string& error) {
    std::error_code ec;
    fs::remove(path, ec);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        error = path + ": " + (db ? sqlite3_errmsg(db) : "cannot be opened");
        sqlite3_close(db);
        return false;
    }
    auto exec = [&](const char* sql) {
        return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    };
    bool ok =
        exec("PRAGMA journal_mode=OFF") && exec("PRAGMA synchronous=OFF") && exec("BEGIN") &&
        exec(
            "CREATE TABLE qsos(log TEXT, line INTEGER, time TEXT, band TEXT, mode TEXT, call "
            "TEXT, exchange TEXT, verdict TEXT, other_log TEXT, other_line INTEGER, note TEXT)") &&
        exec(
            "CREATE TABLE results(call TEXT, category_operator TEXT, category_mode TEXT, "
            "category_power TEXT, category_band TEXT, category_assisted TEXT, club TEXT, "
            "claimed_score INTEGER, qsos INTEGER, points INTEGER, eadx100 INTEGER, provinces "
            "INTEGER, score INTEGER, reduction_percent REAL)");
    sqlite3_stmt* q = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "INSERT INTO qsos VALUES(?,?,?,?,?,?,?,?,?,?,?)", -1, &q,
                                  nullptr) == SQLITE_OK;
    auto text = [](sqlite3_stmt* s, int at, const std::string& v) {
        sqlite3_bind_text(s, at, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    };
    if (ok) {
        ForEachQso(c, [&](const QsoRow& r) {
            if (!ok) return;
            sqlite3_reset(q);
            text(q, 1, r.log);
            sqlite3_bind_int(q, 2, r.line);
            text(q, 3, r.time);
            text(q, 4, r.band);
            text(q, 5, r.mode);
            text(q, 6, r.call);
            text(q, 7, r.exchange);
            text(q, 8, r.verdict);
            text(q, 9, r.otherLog);
            if (r.otherLine)
                sqlite3_bind_int(q, 10, r.otherLine);
            else
                sqlite3_bind_null(q, 10);
            text(q, 11, r.note);
            ok = sqlite3_step(q) == SQLITE_DONE;
        });
    }
    sqlite3_finalize(q);
    sqlite3_stmt* res = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "INSERT INTO results VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1,
                                  &res, nullptr) == SQLITE_OK;
    for (size_t i : ByScore(c)) {
        if (!ok) break;
        const Entrant& e = c.entrants[i];
        sqlite3_reset(res);
        text(res, 1, e.call);
        int at = 2;
        for (const char* tag : {"CATEGORY-OPERATOR", "CATEGORY-MODE", "CATEGORY-POWER",
                                "CATEGORY-BAND", "CATEGORY-ASSISTED", "CLUB"})
            text(res, at++, Header(e, tag));
        for (int v : {e.claimed.score, e.checked.qsos, e.checked.points, e.checked.entities,
                      e.checked.provinces, e.checked.score})
            sqlite3_bind_int(res, at++, v);
        sqlite3_bind_double(res, at, std::stod(Percent(Reduction(e))));
        ok = sqlite3_step(res) == SQLITE_DONE;
    }
    sqlite3_finalize(res);
    ok = ok && exec("COMMIT");
    if (!ok) error = path + ": " + sqlite3_errmsg(db);
    sqlite3_close(db);
    return ok;
}
#endif

bool WriteFile(const fs::path& path, const std::string& text, std::string& error) {
    if (tools::WriteWholeFile(path, text)) return true;
    error = path.string() + ": cannot be written";
    return false;
}

}  // namespace

bool WriteOutputs(const Checked& c, const std::string& dir, std::string& error) {
    std::error_code ec;
    fs::create_directories(fs::path(dir) / "lcr", ec);
    if (ec) {
        error = dir + ": " + ec.message();
        return false;
    }
    // The database on a thread of its own: it takes as long as all the rest together.
    std::string sqliteError;
    bool sqliteOk = true;
#if defined(STATS_HAVE_SQLITE)
    std::thread sqlite([&] {
        sqliteOk = WriteSqlite(c, (fs::path(dir) / "contest.sqlite").string(), sqliteError);
    });
#endif
    bool ok = true;
    {
        std::ofstream qsos(fs::path(dir) / "qsos.csv", std::ios::binary);
        WriteQsosCsv(c, qsos);
        if (!qsos.flush()) {
            error = (fs::path(dir) / "qsos.csv").string() + ": cannot be written";
            ok = false;
        }
    }
    ok = ok && WriteFile(fs::path(dir) / "results.csv", ResultsCsv(c), error) &&
         WriteFile(fs::path(dir) / "results.html", ResultsHtml(c), error);
    for (size_t i = 0; ok && i < c.entrants.size(); ++i) {
        std::string name = c.entrants[i].call;
        std::replace(name.begin(), name.end(), '/', '-');
        ok = WriteFile(fs::path(dir) / "lcr" / (name + ".txt"), Lcr(c, i), error);
    }
#if defined(STATS_HAVE_SQLITE)
    sqlite.join();
#endif
    if (ok && !sqliteOk) error = sqliteError;
    return ok && sqliteOk;
}

}  // namespace check
