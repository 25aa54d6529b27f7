#include "simulate.h"

#include "tool_io.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace fs = std::filesystem;

namespace sim {

namespace {

struct BandPlan {
    const char* band;
    unsigned cwLow, cwHigh, ssbLow, ssbHigh;  // kHz
    double dayWeight, nightWeight;
};
// The contest's six bands: where each mode sits, and how busy each is by day and by night.
const BandPlan kBands[] = {
    {"160m", 1810, 1838, 1840, 1990, 0.0, 0.8},    {"80m", 3500, 3560, 3600, 3790, 0.3, 2.0},
    {"40m", 7000, 7040, 7050, 7200, 1.5, 2.5},     {"20m", 14000, 14070, 14100, 14350, 3.0, 0.8},
    {"15m", 21000, 21070, 21150, 21450, 2.0, 0.1}, {"10m", 28000, 28070, 28300, 28700, 1.0, 0.0},
};
constexpr int kBandCount = 6;

// The provinces by Spanish call area; the areas of the mainland share the rest.
const char* const kIslands6[] = {"IB"};
const char* const kIslands8[] = {"GC", "TF"};
const char* const kAfrica9[] = {"CE", "ML"};
const char* const kMainland[] = {
    "A",  "AB", "AL", "AV", "B",  "BA", "BI", "BU", "C",  "CA", "CC", "CO", "CR", "CS", "CU", "GI",
    "GR", "GU", "H",  "HU", "J",  "L",  "LE", "LO", "LU", "M",  "MA", "MU", "NA", "O",  "OU", "P",
    "PO", "S",  "SA", "SE", "SG", "SO", "SS", "T",  "TE", "TO", "V",  "VA", "VI", "Z",  "ZA"};

// Signs a CW operator hears as one another (one element more, less or turned).
const std::pair<char, char> kLookAlikes[] = {
    {'S', 'H'}, {'H', 'S'}, {'H', '5'}, {'5', 'H'}, {'U', 'V'}, {'V', 'U'}, {'B', '6'},
    {'6', 'B'}, {'D', 'B'}, {'B', 'D'}, {'K', 'R'}, {'R', 'K'}, {'A', 'N'}, {'N', 'A'},
    {'I', 'S'}, {'S', 'I'}, {'G', 'Z'}, {'Z', 'G'}, {'W', 'J'}, {'J', 'W'}, {'4', 'V'},
    {'V', '4'}, {'1', 'J'}, {'9', '0'}, {'0', '9'}, {'F', 'L'}, {'L', 'F'}, {'P', 'J'},
    {'Y', 'Q'}, {'Q', 'Y'}, {'C', 'K'}, {'2', '3'}, {'3', '2'}, {'7', '8'}, {'8', '7'}};

bool IsSpanish(const std::string& call) {
    return call.size() >= 3 && call[0] == 'E' && call[1] >= 'A' && call[1] <= 'H' &&
           call[2] >= '0' && call[2] <= '9';
}

struct Station {
    std::string call;
    bool spanish = false;
    std::string province;
    bool sendsLog = false;
    double activity = 1;
    int serial = 0;
    int clockOffset = 0;
    int dialect = 0;
};

// One QSO as it happened.
struct TrueQso {
    int minute;  // from the start
    int a, b;
    int band;
    unsigned kHz;
};

// One line as an entrant writes it.
struct Line {
    int minute;  // as the true QSO, before the log's own clock
    int second;  // orders lines of one minute
    unsigned kHz;
    std::string otherCall;
    std::string exchSent, exchRcvd;
    bool xQso = false;
    std::string verdict, rightCall, note;
};

template <typename T, size_t N>
const T& Pick(const T (&items)[N], std::mt19937& rng) {
    return items[std::uniform_int_distribution<size_t>(0, N - 1)(rng)];
}

double Uniform(std::mt19937& rng) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng);
}

std::string Serial(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

std::string BustExchange(const std::string& exchange, bool province, std::mt19937& rng) {
    if (province) {
        std::string other = exchange;
        while (other == exchange)
            other = Pick(kMainland, rng);
        return other;
    }
    std::string busted = exchange;
    size_t at = std::uniform_int_distribution<size_t>(0, busted.size() - 1)(rng);
    char digit = busted[at];
    while (busted[at] == digit)
        busted[at] = static_cast<char>('0' + rng() % 10);
    return busted;
}

std::string FileNameOf(std::string call) {
    std::replace(call.begin(), call.end(), '/', '-');
    return call + ".log";
}

// The three ways loggers write this contest's QSO lines: the columns of the plug-in's own
// log with CR LF, single blanks with LF and a transmitter number, and wide columns with CR LF.
std::string QsoLine(int dialect, bool xQso, unsigned kHz, const std::string& mode,
                    const std::string& stamp, const std::string& own, const std::string& rst,
                    const std::string& sent, const Line& l) {
    const char* tag = xQso ? "X-QSO:" : "QSO:";
    const char* cab = mode == "CW" ? "CW" : "PH";
    char text[256];
    switch (dialect) {
        case 1:
            std::snprintf(text, sizeof text, "%s %u %s %s %s %s %s %s %s %s 0\n", tag, kHz, cab,
                          stamp.c_str(), own.c_str(), rst.c_str(), sent.c_str(),
                          l.otherCall.c_str(), rst.c_str(), l.exchRcvd.c_str());
            break;
        case 2:
            std::snprintf(text, sizeof text, "%-6s %6u %-2s %s %-15s %-4s %-7s %-15s %-4s %-7s\r\n",
                          tag, kHz, cab, stamp.c_str(), own.c_str(), rst.c_str(), sent.c_str(),
                          l.otherCall.c_str(), rst.c_str(), l.exchRcvd.c_str());
            break;
        default:
            std::snprintf(text, sizeof text, "%s %5u %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n", tag,
                          kHz, cab, stamp.c_str(), own.c_str(), rst.c_str(), sent.c_str(),
                          l.otherCall.c_str(), rst.c_str(), l.exchRcvd.c_str());
    }
    return text;
}

// "YYYY-MM-DD HHMM" of a minute counted from 20 June 12:00 (a clock that runs off may write
// a time before the start or after the end).
std::string Stamp(int year, int minute) {
    const int total = 12 * 60 + minute;
    const int day = 20 + (total >= 0 ? total / 1440 : -((-total + 1439) / 1440));
    const int inDay = total - (day - 20) * 1440;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-06-%02d %02d%02d", year, day, inDay / 60, inDay % 60);
    return text;
}

}  // namespace

std::vector<std::string> ReadCallList(std::string_view text) {
    std::vector<std::string> calls;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#') continue;
        calls.emplace_back(line);
    }
    return calls;
}

std::string CwLookAlike(const std::string& call, std::mt19937& rng) {
    std::vector<std::pair<size_t, char>> choices;
    for (size_t i = 0; i < call.size(); ++i)
        for (const auto& [from, to] : kLookAlikes)
            if (call[i] == from) choices.emplace_back(i, to);
    // A lost sign as often as a misheard one; never the separator of a portable call.
    if (call.size() > 3 && (choices.empty() || rng() % 3 == 0)) {
        size_t at = std::uniform_int_distribution<size_t>(1, call.size() - 1)(rng);
        if (call[at] != '/') return call.substr(0, at) + call.substr(at + 1);
    }
    if (choices.empty()) return call + "E";  // a stray dit
    auto [at, to] = choices[std::uniform_int_distribution<size_t>(0, choices.size() - 1)(rng)];
    std::string busted = call;
    busted[at] = to;
    return busted;
}

Contest Simulate(const std::vector<std::string>& calls, const Options& o) {
    std::mt19937 rng(o.seed);
    std::vector<std::string> spanish, others;
    for (const std::string& c : calls)
        (IsSpanish(c) ? spanish : others).push_back(c);
    std::shuffle(spanish.begin(), spanish.end(), rng);
    std::shuffle(others.begin(), others.end(), rng);

    // A fifth of the stations are Spanish, as in a contest whose multipliers are provinces.
    const int total = std::max(2, static_cast<int>(o.entrants / (1.0 - o.silentShare) + 0.5));
    const int wantSpanish = std::min<int>(static_cast<int>(spanish.size()), std::max(1, total / 5));
    std::vector<Station> stations;
    for (int i = 0; i < total; ++i) {
        const bool es = i < wantSpanish;
        const std::vector<std::string>& pool = es ? spanish : others;
        size_t index = static_cast<size_t>(es ? i : i - wantSpanish);
        if (index >= pool.size()) break;
        Station s;
        s.call = pool[index];
        s.spanish = es;
        if (es) {
            char area = s.call[2];
            s.province = area == '6'   ? Pick(kIslands6, rng)
                         : area == '8' ? Pick(kIslands8, rng)
                         : area == '9' ? Pick(kAfrica9, rng)
                                       : Pick(kMainland, rng);
        }
        // Few stations make most of the QSOs.
        double u = Uniform(rng);
        s.activity = 0.05 + u * u * u * u;
        stations.push_back(s);
    }
    // Who sends a log: the busier a station, the likelier.
    std::vector<int> order(stations.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::shuffle(order.begin(), order.end(), rng);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        return stations[static_cast<size_t>(x)].activity * (0.5 + 0.5 * ((x * 7919) % 13) / 13.0) >
               stations[static_cast<size_t>(y)].activity * (0.5 + 0.5 * ((y * 7919) % 13) / 13.0);
    });
    for (int i = 0; i < std::min<int>(o.entrants, static_cast<int>(order.size())); ++i) {
        Station& s = stations[static_cast<size_t>(order[static_cast<size_t>(i)])];
        s.sendsLog = true;
        s.dialect = static_cast<int>(rng() % 3);
        if (Uniform(rng) < o.clockOffLogs) {
            int off = 5 + static_cast<int>(rng() % 26);
            s.clockOffset = rng() % 2 ? off : -off;
        }
    }

    // The QSOs: pairs drawn by activity, at an hour and on a band that fit each other.
    std::discrete_distribution<int> byActivity(stations.size(), 0, 1, [&](double x) {
        size_t i = std::min(stations.size() - 1, static_cast<size_t>(x * stations.size()));
        return stations[i].activity;
    });
    double activitySum = 0;
    for (const Station& s : stations)
        activitySum += s.activity;
    const long long wanted = static_cast<long long>(activitySum * o.qsoRate);
    std::set<std::tuple<int, int, int>> worked;  // (lower, higher, band)
    std::vector<TrueQso> qsos;
    for (long long k = 0; k < wanted * 2 && static_cast<long long>(qsos.size()) < wanted; ++k) {
        int a = byActivity(rng), b = byActivity(rng);
        if (a == b) continue;
        const Station &sa = stations[static_cast<size_t>(a)],
                      &sb = stations[static_cast<size_t>(b)];
        if (!sa.sendsLog && !sb.sendsLog) continue;  // nobody would know of it
        int minute = static_cast<int>(rng() % (24 * 60));
        int hour = (12 + minute / 60) % 24;
        bool night = hour < 6 || hour >= 20;
        double weights[kBandCount];
        for (int i = 0; i < kBandCount; ++i)
            weights[i] = night ? kBands[i].nightWeight : kBands[i].dayWeight;
        int band = std::discrete_distribution<int>(weights, weights + kBandCount)(rng);
        if (!worked.insert({std::min(a, b), std::max(a, b), band}).second) continue;
        const BandPlan& p = kBands[band];
        unsigned low = o.mode == "CW" ? p.cwLow : p.ssbLow,
                 high = o.mode == "CW" ? p.cwHigh : p.ssbHigh;
        qsos.push_back({minute, a, b, band, low + static_cast<unsigned>(rng() % (high - low))});
    }
    std::stable_sort(qsos.begin(), qsos.end(),
                     [](const TrueQso& x, const TrueQso& y) { return x.minute < y.minute; });

    // Stations heard once, by one entrant, that send no log: their QSOs are uniques.
    std::vector<std::string> passersBy(others.begin() + std::min(others.size(), stations.size()),
                                       others.end());
    size_t nextPasserBy = 0;
    std::unordered_set<std::string> allCalls(calls.begin(), calls.end());
    std::vector<std::vector<Line>> lines(stations.size());
    int tick = 0;
    auto exchangeOf = [&](Station& s) { return s.spanish ? s.province : Serial(++s.serial); };
    for (const TrueQso& q : qsos) {
        Station &sa = stations[static_cast<size_t>(q.a)], &sb = stations[static_cast<size_t>(q.b)];
        const std::string fromA = exchangeOf(sa), fromB = exchangeOf(sb);
        const int second = tick++;
        // Each side writes the minute it logs the QSO in: now and then the next one.
        auto logged = [&] { return std::min(24 * 60 - 1, q.minute + (rng() % 8 == 0 ? 1 : 0)); };
        Line la{logged(), second, q.kHz, sb.call, fromA, fromB, false, "", "", ""};
        Line lb{logged(), second, q.kHz, sa.call, fromB, fromA, false, "", "", ""};
        const bool both = sa.sendsLog && sb.sendsLog;
        bool aLogs = sa.sendsLog, bLogs = sb.sendsLog;
        // Mistakes on A's side; B's line stands (a bust by the other side costs you nothing).
        double u = Uniform(rng);
        double edge = 0;
        if (both && u < (edge += o.notInLog)) {
            bLogs = false;
            la.verdict = "NIL";
        } else if (both && u < (edge += o.bustedCalls)) {
            std::string busted = CwLookAlike(sb.call, rng);
            if (!allCalls.count(busted)) {
                la.otherCall = busted;
                la.verdict = "BUSTED_CALL";
                la.rightCall = sb.call;
            }
        } else if (both && u < (edge += o.bustedExchanges)) {
            la.exchRcvd = BustExchange(fromB, sb.spanish, rng);
            la.verdict = "BUSTED_EXCHANGE";
        } else if (aLogs && u < (edge += o.xQsos)) {
            la.xQso = true;
            la.verdict = "X_QSO";
        }
        if (!sb.sendsLog && Uniform(rng) < 0.05 && nextPasserBy < passersBy.size())
            la.otherCall = passersBy[nextPasserBy++];
        if (aLogs) lines[static_cast<size_t>(q.a)].push_back(la);
        if (bLogs) lines[static_cast<size_t>(q.b)].push_back(lb);
        // The same QSO logged again a little later.
        if (aLogs && !la.xQso && Uniform(rng) < o.dupes) {
            Line again = la;
            again.minute = std::min(24 * 60 - 1, la.minute + 1 + static_cast<int>(rng() % 5));
            again.second = tick++;
            again.verdict = "DUPE";
            again.rightCall.clear();
            lines[static_cast<size_t>(q.a)].push_back(again);
        }
        // A QSO on a band outside the contest.
        if (aLogs && Uniform(rng) < o.outsideRules) {
            Line warc = la;
            warc.second = tick++;
            warc.kHz = o.mode == "CW" ? 10115 : 14000;  // 30m has no phone
            if (o.mode != "CW") warc.kHz = 18130;
            warc.xQso = false;
            warc.verdict = "BAD";
            warc.rightCall.clear();
            warc.note = "band";
            lines[static_cast<size_t>(q.a)].push_back(warc);
        }
    }

    // Calls of stations without a log: UNVERIFIED when another log has them too.
    std::map<std::string, std::set<size_t>> logsWith;
    for (size_t i = 0; i < stations.size(); ++i)
        for (const Line& l : lines[i])
            logsWith[l.otherCall].insert(i);

    std::unordered_set<std::string> loggers;
    for (const Station& s : stations)
        if (s.sendsLog) loggers.insert(s.call);
    Contest contest;
    const std::string rst = o.mode == "CW" ? "599" : "59";
    const char* const powers[] = {"HIGH", "LOW", "QRP"};
    const char* const clubs[] = {"", "", "Radio Club Norte", "Contest Group Sur", "DX Team Europa"};
    for (size_t i = 0; i < stations.size(); ++i) {
        Station& s = stations[i];
        if (!s.sendsLog) continue;
        std::vector<Line>& mine = lines[i];
        std::stable_sort(mine.begin(), mine.end(), [](const Line& x, const Line& y) {
            return x.minute != y.minute ? x.minute < y.minute : x.second < y.second;
        });
        const char* eol = s.dialect == 1 ? "\n" : "\r\n";
        std::string text;
        int lineNo = 0;
        auto header = [&](const std::string& tag, const std::string& value) {
            text += tag + ": " + value + eol;
            ++lineNo;
        };
        header("START-OF-LOG", "3.0");
        header("CONTEST", "SOLSTICE-RACE");
        header("CALLSIGN", s.call);
        header("CATEGORY-OPERATOR", rng() % 4 ? "SINGLE-OP" : "MULTI-OP");
        header("CATEGORY-BAND", "ALL");
        header("CATEGORY-MODE", o.mode);
        header("CATEGORY-POWER", Pick(powers, rng));
        header("CATEGORY-ASSISTED", rng() % 3 ? "NON-ASSISTED" : "ASSISTED");
        std::string club = Pick(clubs, rng);
        if (!club.empty()) header("CLUB", club);
        header("CREATED-BY", std::string("Logger ") + char('A' + s.dialect) + " 1.0");
        if (rng() % 5 == 0) header("SOAPBOX", "Good conditions on 40m, thanks for the QSOs");
        for (const Line& l : mine) {
            text += QsoLine(s.dialect, l.xQso, l.kHz, o.mode,
                            Stamp(o.year, l.minute + s.clockOffset), s.call, rst, l.exchSent, l);
            ++lineNo;
            TruthRow t{s.call, lineNo, l.verdict, l.rightCall, l.note};
            if (t.verdict.empty()) {
                if (loggers.count(l.otherCall))
                    t.verdict = "OK";
                else
                    t.verdict = logsWith[l.otherCall].size() > 1 ? "UNVERIFIED" : "UNIQUE";
            }
            contest.truth.push_back(t);
            ++contest.qsoLines;
        }
        text += std::string("END-OF-LOG:") + eol;
        contest.logs.push_back({s.call, FileNameOf(s.call), text, s.clockOffset});
    }
    return contest;
}

bool WriteContest(const Contest& contest, const std::string& dir, std::string& error) {
    std::error_code ec;
    fs::create_directories(fs::path(dir) / "logs", ec);
    if (ec) {
        error = dir + ": " + ec.message();
        return false;
    }
    auto write = [&](const fs::path& path, const std::string& text) {
        if (tools::WriteWholeFile(path, text)) return true;
        error = path.string() + ": cannot be written";
        return false;
    };
    for (const LogFile& log : contest.logs)
        if (!write(fs::path(dir) / "logs" / log.fileName, log.text)) return false;
    std::string truth = "log,line,verdict,right_call,note\n";
    for (const TruthRow& t : contest.truth)
        truth += t.log + "," + std::to_string(t.line) + "," + t.verdict + "," + t.rightCall + "," +
                 t.note + "\n";
    std::string clocks = "call,offset_minutes\n";
    for (const LogFile& log : contest.logs)
        clocks += log.call + "," + std::to_string(log.clockOffsetMinutes) + "\n";
    return write(fs::path(dir) / "truth.csv", truth) && write(fs::path(dir) / "clocks.csv", clocks);
}

}  // namespace sim
