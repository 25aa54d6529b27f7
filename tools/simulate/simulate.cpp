#include "simulate.h"

#include "tool_io.h"

#include <algorithm>
#include <cmath>
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
    double drift = 0;       // minutes an hour
    std::string kind;       // the log's own mistake
    std::string ownSuffix;  // "/P" on its own log's call
    std::string heardAs;    // "/P" on its call in the others' logs
    int dayEarlyFrom = -1;  // its QSOs from this minute on were made the day before too
    int dayEarlyLeft = 0;
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
    int other = -1;    // the station worked
    std::string mode;  // empty: the contest's
    std::string kind;  // the mistake of this QSO, empty for none
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
    const char* cab = (l.mode.empty() ? mode : l.mode) == "CW" ? "CW" : "PH";
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

// Two signs of a call heard as their look-alikes, at places that do not make it a swap of
// two neighbours (a bust of one sign); empty when the call has no two such signs.
std::string TwoSigns(const std::string& call, std::mt19937& rng) {
    std::vector<std::pair<size_t, char>> choices;
    for (size_t i = 0; i < call.size(); ++i)
        for (const auto& [from, to] : kLookAlikes)
            if (call[i] == from) choices.emplace_back(i, to);
    for (int tries = 0; tries < 20 && choices.size() >= 2; ++tries) {
        std::shuffle(choices.begin(), choices.end(), rng);
        auto [i, a] = choices[0];
        auto [j, b] = choices[1];
        if (i == j) continue;
        if (i > j) std::swap(i, j), std::swap(a, b);
        if (j == i + 1 && a == call[j] && b == call[i]) continue;
        std::string busted = call;
        busted[i] = a;
        busted[j] = b;
        return busted;
    }
    return "";
}

// Where the call's suffix starts (after its last digit), npos when it has none or a '/'.
size_t SuffixAt(const std::string& call) {
    if (call.find('/') != std::string::npos) return std::string::npos;
    size_t digit = call.find_last_of("0123456789");
    return digit == std::string::npos || digit + 1 >= call.size() ? std::string::npos : digit + 1;
}

// The call with the last two signs of its suffix never copied (one letter of it stays).
std::string Partial(const std::string& call) {
    size_t at = SuffixAt(call);
    if (at == std::string::npos || call.size() - at < 3) return "";
    return call.substr(0, call.size() - 2);
}

// The call's area digit changed and two different neighbouring letters of its suffix swapped.
std::string DigitAndSwap(const std::string& call, std::mt19937& rng) {
    size_t at = SuffixAt(call);
    if (at == std::string::npos || call.size() - at < 2) return "";
    std::vector<size_t> swaps;
    for (size_t i = at; i + 1 < call.size(); ++i)
        if (call[i] != call[i + 1]) swaps.push_back(i);
    if (swaps.empty()) return "";
    std::string busted = call;
    busted[at - 1] = static_cast<char>('0' + (busted[at - 1] - '0' + 1 + rng() % 9) % 10);
    const size_t i = swaps[rng() % swaps.size()];
    std::swap(busted[i], busted[i + 1]);
    return busted;
}

std::string Utf16(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text) {
        out += c;
        out += '\0';
    }
    return out;
}

}  // namespace

const std::vector<std::string>& KindNames() {
    static const std::vector<std::string> kinds = {"ok",
                                                   "busted_call_one_sign",
                                                   "busted_call_two_signs",
                                                   "partial_call",
                                                   "digit_and_swap",
                                                   "busted_exchange",
                                                   "not_in_log",
                                                   "dupe",
                                                   "dupe_confirming",
                                                   "first_nil_then_dupe",
                                                   "x_qso",
                                                   "outside_rules",
                                                   "day_early",
                                                   "band_mismatch",
                                                   "mode_mismatch",
                                                   "own_indicator",
                                                   "worked_indicator",
                                                   "clock_off",
                                                   "local_time",
                                                   "drifting_clock",
                                                   "utf16"};
    return kinds;
}

double* ShareOf(Options& o, const std::string& kind) {
    const std::pair<const char*, double*> shares[] = {
        {"busted_call_one_sign", &o.bustedCalls},
        {"busted_call_two_signs", &o.bustedCallsTwoSigns},
        {"partial_call", &o.partialCalls},
        {"digit_and_swap", &o.digitAndSwap},
        {"busted_exchange", &o.bustedExchanges},
        {"not_in_log", &o.notInLog},
        {"dupe", &o.dupes},
        {"first_nil_then_dupe", &o.firstNilThenDupe},
        {"x_qso", &o.xQsos},
        {"outside_rules", &o.outsideRules},
        {"day_early", &o.dayEarlyLogs},
        {"band_mismatch", &o.bandMismatches},
        {"mode_mismatch", &o.modeMismatches},
        {"own_indicator", &o.ownIndicatorLogs},
        {"worked_indicator", &o.workedIndicatorLogs},
        {"clock_off", &o.clockOffLogs},
        {"local_time", &o.localTimeLogs},
        {"drifting_clock", &o.driftingClockLogs},
        {"utf16", &o.utf16Logs}};
    for (const auto& [name, share] : shares)
        if (kind == name) return share;
    return nullptr;
}

int ClockAt(int offsetMinutes, double driftMinutesPerHour, int minute) {
    return offsetMinutes + static_cast<int>(std::lround(driftMinutesPerHour * minute / 60.0));
}

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
    // Within the home call, the longest part: a misheard /P or area digit leaves the station
    // the same.
    size_t from = 0, to = call.size();
    for (size_t start = 0, best = 0; start <= call.size();) {
        size_t end = call.find('/', start);
        if (end == std::string::npos) end = call.size();
        if (end - start > best) best = end - start, from = start, to = end;
        start = end + 1;
    }
    std::vector<std::pair<size_t, char>> choices;
    for (size_t i = from; i < to; ++i)
        for (const auto& [was, heard] : kLookAlikes)
            if (call[i] == was) choices.emplace_back(i, heard);
    // A lost sign as often as a misheard one.
    if (to - from > 3 && (choices.empty() || rng() % 3 == 0)) {
        size_t at = std::uniform_int_distribution<size_t>(from + 1, to - 1)(rng);
        return call.substr(0, at) + call.substr(at + 1);
    }
    if (choices.empty()) return call + "E";  // a stray dit
    auto [at, heard] = choices[std::uniform_int_distribution<size_t>(0, choices.size() - 1)(rng)];
    std::string busted = call;
    busted[at] = heard;
    return busted;
}

Contest Simulate(const std::vector<std::string>& calls, const Options& o) {
    // Whole-log mistakes and the mistakes in QSOs draw from streams of their own, so that
    // the share of one kind changes neither the QSOs nor which logs have the other kinds.
    std::mt19937 rng(o.seed), logRng(o.seed ^ 0x9E3779B9u), mistakeRng(o.seed ^ 0x85EBCA6Bu);
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
        const int sign = logRng() % 2 ? 1 : -1;
        const double u = Uniform(logRng);
        double edge = 0;
        const bool plainCall = s.call.find('/') == std::string::npos;
        if (u < (edge += o.clockOffLogs)) {
            s.kind = "clock_off";
            s.clockOffset = sign * (5 + static_cast<int>(logRng() % 26));
        } else if (u < (edge += o.localTimeLogs)) {
            s.kind = "local_time";
            s.clockOffset = sign * (logRng() % 2 ? 60 : 120);
        } else if (u < (edge += o.driftingClockLogs)) {
            s.kind = "drifting_clock";
            s.drift = sign * (2 + 6 * Uniform(logRng)) / 24.0;
        } else if (u < (edge += o.dayEarlyLogs)) {
            s.kind = "day_early";
            s.dayEarlyFrom = static_cast<int>(logRng() % (23 * 60));
            s.dayEarlyLeft = 40;
        } else if (u < (edge += o.ownIndicatorLogs)) {
            const char* const indicators[] = {"/P", "/M", "/QRP", "/A"};
            if (plainCall) s.kind = "own_indicator", s.ownSuffix = Pick(indicators, logRng);
        } else if (u < (edge += o.workedIndicatorLogs)) {
            if (plainCall) s.kind = "worked_indicator", s.heardAs = logRng() % 2 ? "/P" : "/M";
        } else if (u < (edge += o.utf16Logs)) {
            s.kind = "utf16";
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
    enum Mistake {
        kNone,
        kNotInLog,
        kBust1,
        kBust2,
        kPartial,
        kDigitSwap,
        kBustedExchange,
        kXQso,
        kDupe,
        kFirstNil,
        kOutside,
        kBandMismatch,
        kModeMismatch
    };
    const std::pair<Mistake, double> shares[] = {{kNotInLog, o.notInLog},
                                                 {kBust1, o.bustedCalls},
                                                 {kBust2, o.bustedCallsTwoSigns},
                                                 {kPartial, o.partialCalls},
                                                 {kDigitSwap, o.digitAndSwap},
                                                 {kBustedExchange, o.bustedExchanges},
                                                 {kXQso, o.xQsos},
                                                 {kDupe, o.dupes},
                                                 {kFirstNil, o.firstNilThenDupe},
                                                 {kOutside, o.outsideRules},
                                                 {kBandMismatch, o.bandMismatches},
                                                 {kModeMismatch, o.modeMismatches}};
    const std::string otherMode = o.mode == "CW" ? "SSB" : "CW";
    for (const TrueQso& q : qsos) {
        Station &sa = stations[static_cast<size_t>(q.a)], &sb = stations[static_cast<size_t>(q.b)];
        const std::string fromA = exchangeOf(sa), fromB = exchangeOf(sb);
        const int second = tick++;
        // Each side writes the minute it logs the QSO in: now and then the next one.
        auto logged = [&] { return std::min(24 * 60 - 1, q.minute + (rng() % 8 == 0 ? 1 : 0)); };
        const std::string none;
        Line la{
            logged(), second, q.kHz, sb.call + sb.heardAs, fromA, fromB, false, none, none, none,
            q.b,      none,   none};
        Line lb{
            logged(), second, q.kHz, sa.call + sa.heardAs, fromB, fromA, false, none, none, none,
            q.a,      none,   none};
        const bool both = sa.sendsLog && sb.sendsLog;
        // Calls with an indicator are never busted: their right call would be ambiguous.
        const bool plain = sa.heardAs.empty() && sb.heardAs.empty() && sa.ownSuffix.empty() &&
                           sb.ownSuffix.empty();
        bool aLogs = sa.sendsLog, bLogs = sb.sendsLog;
        if (!sb.sendsLog && Uniform(rng) < 0.05 && nextPasserBy < passersBy.size())
            la.otherCall = passersBy[nextPasserBy++];
        std::vector<Line> moreA;  // further lines of A's
        Mistake mistake = kNone;
        double u = Uniform(mistakeRng), edge = 0;
        for (const auto& [m, share] : shares)
            if (u < (edge += share)) {
                mistake = m;
                break;
            }
        // Mistakes on A's side; B's line stands (a bust by the other side costs you nothing).
        auto bust = [&](const char* kind, const std::string& busted) {
            if (!both || !plain || busted.empty() || allCalls.count(busted)) return;
            la.otherCall = busted;
            la.verdict = "BUSTED_CALL";
            la.rightCall = sb.call;
            la.kind = lb.kind = kind;
        };
        switch (mistake) {
            case kNone:
                break;
            case kNotInLog:
                if (!both) break;
                bLogs = false;
                la.verdict = "NIL";
                la.kind = "not_in_log";
                break;
            case kBust1:
                bust("busted_call_one_sign", CwLookAlike(sb.call, mistakeRng));
                break;
            case kBust2:
                bust("busted_call_two_signs", TwoSigns(sb.call, mistakeRng));
                break;
            case kPartial:
                bust("partial_call", Partial(sb.call));
                break;
            case kDigitSwap:
                bust("digit_and_swap", DigitAndSwap(sb.call, mistakeRng));
                break;
            case kBustedExchange:
                if (!both) break;
                la.exchRcvd = BustExchange(fromB, sb.spanish, mistakeRng);
                la.verdict = "BUSTED_EXCHANGE";
                la.kind = lb.kind = "busted_exchange";
                break;
            case kXQso:
                if (!aLogs) break;
                la.xQso = true;
                la.verdict = "X_QSO";
                la.kind = lb.kind = "x_qso";
                break;
            case kDupe: {
                // The same QSO logged again a minute or two later (farther apart it would be a
                // second try); the other log has it once, at the first time or at the second.
                if (!aLogs) break;
                Line again = la;
                again.minute =
                    std::min(24 * 60 - 1, la.minute + 1 + static_cast<int>(mistakeRng() % 2));
                again.second = tick++;
                again.verdict = "DUPE";
                la.kind = again.kind = "dupe";
                lb.kind = "dupe_confirming";
                if (mistakeRng() % 2) lb.minute = again.minute;
                moreA.push_back(again);
                break;
            }
            case kFirstNil: {
                // A first try the other side never logged, then the QSO a few minutes later:
                // the later line is the one confirmed, though the contest counts it a dupe.
                const int later = la.minute + 3 + static_cast<int>(mistakeRng() % 13);
                if (!both || later > 24 * 60 - 1) break;
                Line first = la;
                first.verdict = "NIL";
                first.kind = la.kind = lb.kind = "first_nil_then_dupe";
                first.second = tick++;
                la.minute = lb.minute = later;
                la.second = lb.second = tick++;
                moreA.push_back(first);
                break;
            }
            case kOutside: {
                // A QSO on a band outside the contest.
                if (!aLogs) break;
                Line warc = la;
                warc.second = tick++;
                warc.kHz = o.mode == "CW" ? 10115 : 18130;  // 30m has no phone
                warc.verdict = "BAD";
                warc.note = "band";
                warc.kind = "outside_rules";
                moreA.push_back(warc);
                break;
            }
            case kBandMismatch: {
                // A logs another contest band, one on which the two never worked, so that the
                // line is no dupe; both lines lose the QSO, each told what the other log has.
                if (!both) break;
                int other = -1;
                for (int tries = 0; tries < 10 && other < 0; ++tries) {
                    int band = static_cast<int>(mistakeRng() % kBandCount);
                    if (worked.insert({std::min(q.a, q.b), std::max(q.a, q.b), band}).second)
                        other = band;
                }
                if (other < 0) break;
                const BandPlan& p = kBands[other];
                la.kHz = (o.mode == "CW" ? p.cwLow : p.ssbLow) + q.kHz % 20;
                lb.minute = la.minute;
                la.verdict = lb.verdict = "NIL";
                la.note = std::string("in its log on ") + kBands[q.band].band;
                lb.note = std::string("in its log on ") + p.band;
                la.kind = lb.kind = "band_mismatch";
                break;
            }
            case kModeMismatch:
                // A logs the other mode: the contest refuses A's line for it, and B's finds
                // no confirmation.
                if (!both) break;
                la.mode = otherMode;
                lb.minute = la.minute;
                la.verdict = "BAD";
                la.note = "mode";
                lb.verdict = "NIL";
                lb.note = "in its log as " + otherMode;
                la.kind = lb.kind = "mode_mismatch";
                break;
        }
        // A run of the QSOs of a day-early log made the day before as well, with the same
        // stations on the same bands: outside the period, and no reason to call the QSOs of
        // the contest dupes.
        if (mistake == kNone && aLogs && bLogs && sa.dayEarlyLeft > 0 &&
            q.minute >= sa.dayEarlyFrom) {
            --sa.dayEarlyLeft;
            Line early = la;
            early.minute -= 24 * 60;
            early.second = tick++;
            early.verdict = "BAD";
            early.note = "period";
            early.kind = la.kind = lb.kind = "day_early";
            moreA.push_back(early);
        }
        if (aLogs) {
            lines[static_cast<size_t>(q.a)].push_back(la);
            for (Line& l : moreA)
                lines[static_cast<size_t>(q.a)].push_back(l);
        }
        if (bLogs) lines[static_cast<size_t>(q.b)].push_back(lb);
    }

    // Calls of stations without a log: UNVERIFIED when another log has them too.
    std::map<std::string, std::set<size_t>> logsWith;
    for (size_t i = 0; i < stations.size(); ++i)
        for (const Line& l : lines[i])
            logsWith[l.otherCall].insert(i);

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
        const std::string own = s.call + s.ownSuffix;
        header("CALLSIGN", own);
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
            const int minute = l.minute + ClockAt(s.clockOffset, s.drift, l.minute);
            text += QsoLine(s.dialect, l.xQso, l.kHz, o.mode, Stamp(o.year, minute), own, rst,
                            l.exchSent, l);
            ++lineNo;
            const Station& other = stations[static_cast<size_t>(l.other)];
            TruthRow t{own, lineNo, l.verdict, l.rightCall, l.note, l.kind};
            if (t.verdict.empty()) {
                if (other.sendsLog && l.otherCall == other.call + other.heardAs)
                    t.verdict = "OK";
                else
                    t.verdict = logsWith[l.otherCall].size() > 1 ? "UNVERIFIED" : "UNIQUE";
            }
            // A day-early log's mistake touches only its run, tagged above.
            auto whole = [](const Station& x) { return x.kind == "day_early" ? "" : x.kind; };
            if (t.kind.empty()) t.kind = !whole(s).empty() ? whole(s) : whole(other);
            if (t.kind.empty()) t.kind = "ok";
            contest.truth.push_back(t);
            ++contest.qsoLines;
        }
        text += std::string("END-OF-LOG:") + eol;
        LogFile file{own, FileNameOf(own), text, s.clockOffset, s.drift, s.kind, s.kind == "utf16"};
        if (file.utf16) file.text = Utf16(file.text);
        contest.logs.push_back(std::move(file));
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
    std::string truth = "log,line,verdict,right_call,note,kind\n";
    for (const TruthRow& t : contest.truth)
        truth += t.log + "," + std::to_string(t.line) + "," + t.verdict + "," + t.rightCall + "," +
                 t.note + "," + t.kind + "\n";
    std::string clocks = "log,offset_minutes,drift_minutes_per_hour\n";
    for (const LogFile& log : contest.logs) {
        char drift[32];
        std::snprintf(drift, sizeof drift, "%.4f", log.driftMinutesPerHour);
        clocks += log.call + "," + std::to_string(log.clockOffsetMinutes) + "," + drift + "\n";
    }
    return write(fs::path(dir) / "truth.csv", truth) && write(fs::path(dir) / "clocks.csv", clocks);
}

}  // namespace sim
