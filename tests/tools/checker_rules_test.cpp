// The checker's rules, one row each, on small hand-written contests: the verdict and the note
// of chosen lines as qsos.csv gives them, and the clocks found.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "checker.h"
#include "outputs.h"
#include "tool_io.h"

namespace fs = std::filesystem;

namespace {

const tools::CountryFile& Countries() {
    static const tools::CountryFile countries = [] {
        std::string text;
        tools::ReadWholeFile("/usr/share/hamradio-files/cty.dat", text);
        return tools::CountryFile::Parse(text);
    }();
    return countries;
}

unsigned KHz(const std::string& band) {
    static const std::map<std::string, unsigned> edges = {
        {"160", 1825}, {"80", 3525},  {"40", 7025}, {"30", 10125},
        {"20", 14025}, {"15", 21025}, {"10", 28025}};
    return edges.at(band);
}

// A log from its call and its QSOs, each "BAND[/MODE] [DAY-]HHMM CALL SENT RCVD", an X
// before the band for an X-QSO line. The contest is CW, on 20 June unless a day is given.
std::string CabrilloLog(const std::string& call, const std::vector<std::string>& qsos,
                        const std::string& extraHeader = "") {
    std::string text =
        "START-OF-LOG: 3.0\r\nCALLSIGN: " + call + "\r\nCATEGORY-MODE: CW\r\n" + extraHeader;
    for (const std::string& q : qsos) {
        std::istringstream in(q);
        std::string band, when, worked, sent, rcvd, mode = "CW", day = "20";
        in >> band >> when >> worked >> sent >> rcvd;
        const bool x = band[0] == 'X';
        if (x) band.erase(0, 1);
        if (size_t slash = band.find('/'); slash != std::string::npos)
            mode = band.substr(slash + 1), band.erase(slash);
        if (size_t dash = when.find('-'); dash != std::string::npos)
            day = when.substr(0, dash), when.erase(0, dash + 1);
        text += std::string(x ? "X-QSO: " : "QSO: ") + std::to_string(KHz(band)) + " " + mode +
                " 2026-06-" + day + " " + when + " " + call + " 599 " + sent + " " + worked +
                " 599 " + rcvd + "\r\n";
    }
    return text + "END-OF-LOG:\r\n";
}

struct Contest {
    fs::path dir;
    std::vector<std::string> files;
};

Contest Write(const std::string& name, const std::vector<std::string>& texts) {
    Contest c;
    c.dir = fs::temp_directory_path() / ("stats-rules-" + name);
    fs::remove_all(c.dir);
    fs::create_directories(c.dir);
    for (size_t i = 0; i < texts.size(); ++i) {
        c.files.push_back((c.dir / ("log" + std::to_string(i) + ".log")).string());
        std::ofstream(c.files.back(), std::ios::binary) << texts[i];
    }
    return c;
}

// qsos.csv by log and QSO (from 1, in file order): "VERDICT note".
std::map<std::string, std::string> Verdicts(const check::Checked& c) {
    std::map<std::string, std::string> out;
    std::istringstream csv(check::QsosCsv(c));
    std::string row;
    std::getline(csv, row);
    std::map<std::string, int> seen;
    while (std::getline(csv, row)) {
        std::vector<std::string> f;
        std::string field;
        std::istringstream cells(row);
        while (std::getline(cells, field, ','))
            f.push_back(field);
        f.resize(11);
        out[f[0] + "#" + std::to_string(++seen[f[0]])] = f[7] + (f[10].empty() ? "" : " " + f[10]);
    }
    return out;
}

struct Row {
    const char* rule;
    std::vector<std::pair<const char*, std::vector<std::string>>> logs;
    std::vector<std::pair<const char*, const char*>> expect;  // "CALL#n" -> "VERDICT note"
    check::CheckOptions options = {};
};

TEST(CheckerRules, OneRowARule) {
    check::CheckOptions removeUniques;
    removeUniques.removeUniques = true;
    const std::vector<Row> rows = {
        {"confirmed both ways; an exchange copied wrong",
         {{"EA4ZZZ", {"20 1200 DL1ABC M 007", "40 1300 DL1ABC M 010"}},
          {"DL1ABC", {"20 1201 EA4ZZZ 007 M", "40 1300 EA4ZZZ 009 M"}}},
         {{"EA4ZZZ#1", "OK"},
          {"DL1ABC#1", "OK"},
          {"EA4ZZZ#2", "BUSTED_EXCHANGE sent 009"},
          {"DL1ABC#2", "OK"}}},
        {"the window's edge: five minutes apart match either way, six do not",
         {{"EA4ZZZ", {"20 1200 DL1ABC M 007", "40 1300 DL1ABC M 008", "15 1405 DL1ABC M 009"}},
          {"DL1ABC", {"20 1205 EA4ZZZ 007 M", "40 1306 EA4ZZZ 008 M", "15 1400 EA4ZZZ 009 M"}}},
         {{"EA4ZZZ#1", "OK"}, {"EA4ZZZ#2", "NIL"}, {"DL1ABC#2", "NIL"}, {"EA4ZZZ#3", "OK"}}},
        {"a bust of one sign; the busted station keeps its QSO",
         {{"EA4ZZZ", {"20 1200 DL1ABD M 007"}}, {"DL1ABC", {"20 1201 EA4ZZZ 007 M"}}},
         {{"EA4ZZZ#1", "BUSTED_CALL DL1ABC"}, {"DL1ABC#1", "OK"}}},
        {"busts of two signs, of a digit and a swap, and a partial call",
         {{"EA4ZZZ", {"20 1200 DL1AHS M 007", "40 1300 DL2BAC M 008", "15 1400 1AB M 009"}},
          {"DL1ABC", {"20 1201 EA4ZZZ 007 M", "40 1300 EA4ZZZ 008 M", "15 1400 EA4ZZZ 009 M"}}},
         {{"EA4ZZZ#1", "BUSTED_CALL DL1ABC"},
          {"EA4ZZZ#2", "BUSTED_CALL DL1ABC"},
          {"EA4ZZZ#3", "BUSTED_CALL DL1ABC"},
          {"DL1ABC#1", "OK"},
          {"DL1ABC#2", "OK"},
          {"DL1ABC#3", "OK"}}},
        {"a call unlike any entrant's is no bust",
         {{"EA4ZZZ", {"20 1200 OH2XYZ M 007"}}, {"DL1ABC", {"20 1200 EA4ZZZ 007 M"}}},
         {{"EA4ZZZ#1", "UNIQUE"}, {"DL1ABC#1", "NIL"}}},
        {"of two bust candidates the one whose exchange fits, not the nearest",
         {{"EA4ZZZ", {"20 1200 DL1ABD M 007"}},
          {"DL1ABC", {"20 1202 EA4ZZZ 007 M"}},
          {"DL1ABF", {"20 1200 EA4ZZZ 033 M"}}},
         {{"EA4ZZZ#1", "BUSTED_CALL DL1ABC"}, {"DL1ABC#1", "OK"}, {"DL1ABF#1", "NIL"}}},
        {"a bust into the call of a station that sent a log, its exchange fitting",
         {{"EA4ZZZ", {"20 1200 DL1ABF M 007"}},
          {"DL1ABC", {"20 1201 EA4ZZZ 007 M"}},
          {"DL1ABF", {"40 1300 OH2BH 001 002"}}},
         {{"EA4ZZZ#1", "BUSTED_CALL DL1ABC"}, {"DL1ABC#1", "OK"}}},
        {"a line taken by an exact partner is not stolen by a bust",
         {{"EA4ZZZ", {"20 1200 DL1ABC M 007", "20 1201 DL1ABF M 033"}},
          {"DL1ABC", {"20 1200 EA4ZZZ 007 M"}},
          {"DL1ABF", {"20 1201 EA4ZZZ 033 M"}}},
         {{"EA4ZZZ#1", "OK"}, {"EA4ZZZ#2", "OK"}, {"DL1ABC#1", "OK"}, {"DL1ABF#1", "OK"}}},
        {"one QSO logged twice: the line whose exchange mirrors the other's counts, though "
         "the other is nearer in time and first",
         {{"EA4ZZZ", {"20 1200 DL1ABC 001 005", "20 1202 DL1ABC 002 006"}},
          {"DL1ABC", {"20 1201 EA4ZZZ 006 002"}}},
         {{"EA4ZZZ#1", "DUPE"}, {"EA4ZZZ#2", "OK"}, {"DL1ABC#1", "OK"}}},
        {"a second try three minutes later, confirmed: the first stays not in the log",
         {{"EA4ZZZ", {"20 1200 DL1ABC 001 005", "20 1203 DL1ABC 002 006"}},
          {"DL1ABC", {"20 1203 EA4ZZZ 006 002"}}},
         {{"EA4ZZZ#1", "NIL"}, {"EA4ZZZ#2", "OK"}, {"DL1ABC#1", "OK"}}},
        {"of a QSO logged twice alike, the first line is the partner",
         {{"EA4ZZZ", {"20 1200 DL1ABC 001 005", "20 1201 DL1ABC 001 005"}},
          {"DL1ABC", {"20 1201 EA4ZZZ 005 001"}}},
         {{"EA4ZZZ#1", "OK"}, {"EA4ZZZ#2", "DUPE"}, {"DL1ABC#1", "OK"}}},
        {"a dupe unconfirmed is a dupe, not a NIL",
         {{"EA4ZZZ", {"20 1200 DL1ABC 001 005", "20 1300 DL1ABC 002 006"}},
          {"DL1ABC", {"20 1200 EA4ZZZ 005 001"}}},
         {{"EA4ZZZ#1", "OK"}, {"EA4ZZZ#2", "DUPE"}, {"DL1ABC#1", "OK"}}},
        {"the first QSO not in the other log, its dupe there: the dupe confirms and counts",
         {{"EA4ZZZ", {"20 1200 DL1ABC 001 005", "20 1300 DL1ABC 002 006"}},
          {"DL1ABC", {"20 1300 EA4ZZZ 006 002"}}},
         {{"EA4ZZZ#1", "NIL"}, {"EA4ZZZ#2", "OK"}, {"DL1ABC#1", "OK"}}},
        {"each side logged both QSOs: each second line a dupe",
         {{"EA4ZZZ", {"20 1200 DL1ABC 001 005", "20 1300 DL1ABC 002 006"}},
          {"DL1ABC", {"20 1200 EA4ZZZ 005 001", "20 1300 EA4ZZZ 006 002"}}},
         {{"EA4ZZZ#1", "OK"}, {"EA4ZZZ#2", "DUPE"}, {"DL1ABC#1", "OK"}, {"DL1ABC#2", "DUPE"}}},
        {"a line dated a day early is a date error and makes no later QSO a dupe",
         {{"EA4ZZZ",
           {"20 19-1230 DL1ABC M 007", "20 1230 DL1ABC M 007", "40 1300 K1AR M 010",
            "40 1301 OH2BH M 011", "40 19-1300 K1AR M 009"}},
          {"DL1ABC", {"20 1230 EA4ZZZ 007 M", "40 1301 OH2BH 012 013"}},
          {"OH2BH", {"40 19-1301 EA4ZZZ 011 M"}}},
         {{"EA4ZZZ#1", "BAD outside the contest period: dated whole days off (a date error)"},
          {"EA4ZZZ#2", "OK"},
          {"DL1ABC#1", "OK"},
          {"EA4ZZZ#3", "UNIQUE"},
          {"EA4ZZZ#5", "BAD outside the contest period: dated whole days off (a date error)"},
          {"EA4ZZZ#4", "OK"},
          {"OH2BH#1", "BAD outside the contest period: dated whole days off (a date error)"}}},
        {"a band mismatch: both removed, each told what the other log has",
         {{"EA4ZZZ", {"20 1200 DL1ABC M 007"}}, {"DL1ABC", {"40 1200 EA4ZZZ 007 M"}}},
         {{"EA4ZZZ#1", "NIL in its log on 40m"}, {"DL1ABC#1", "NIL in its log on 20m"}}},
        {"a mode or band the rules refuse on the other side is named too",
         {{"EA4ZZZ", {"20 1200 DL1ABC M 007", "40 1300 DL1ABC M 008"}},
          {"DL1ABC", {"20/PH 1200 EA4ZZZ 007 M", "30 1300 EA4ZZZ 008 M"}}},
         {{"EA4ZZZ#1", "NIL in its log in SSB"},
          {"EA4ZZZ#2", "NIL in its log on 30m"},
          {"DL1ABC#1", "BAD mode SSB is not the log's"},
          {"DL1ABC#2", "BAD band 30m is not in the contest"}}},
        {"an X-QSO line confirms the other's QSO and is not the entrant's",
         {{"EA4ZZZ", {"X20 1200 DL1ABC M 007"}}, {"DL1ABC", {"20 1200 EA4ZZZ 007 M"}}},
         {{"EA4ZZZ#1", "X_QSO"}, {"DL1ABC#1", "OK"}}},
        {"a call no log sent: unverified in two logs, unique in one",
         {{"EA4ZZZ", {"20 1200 OH2BH M 007", "40 1300 K1AR M 008"}},
          {"DL1ABC", {"20 1210 OH2BH 001 009"}}},
         {{"EA4ZZZ#1", "UNVERIFIED"}, {"EA4ZZZ#2", "UNIQUE"}, {"DL1ABC#1", "UNVERIFIED"}}},
        {"the period's edges: its first minute in, its end out",
         {{"EA4ZZZ", {"20 1200 DL1ABC M 007", "40 21-1200 DL1ABC M 008", "15 1159 DL1ABC M 009"}},
          {"DL1ABC", {"20 1200 EA4ZZZ 007 M", "40 21-1200 EA4ZZZ 008 M"}}},
         {{"EA4ZZZ#1", "OK"},
          {"EA4ZZZ#2", "BAD outside the contest period"},
          {"EA4ZZZ#3", "BAD outside the contest period"},
          {"DL1ABC#2", "BAD outside the contest period"}}},
        {"a line just outside the period confirms the other's line inside it",
         {{"EA4ZZZ", {"20 21-1159 DL1ABC M 007"}}, {"DL1ABC", {"20 21-1200 EA4ZZZ 007 M"}}},
         {{"EA4ZZZ#1", "OK"}, {"DL1ABC#1", "BAD outside the contest period"}}},
        {"a bust needs the exchange the right station sent, but one sign off and no log",
         {{"EA4ZZZ", {"20 1200 DL1ABD M 007", "40 1300 DL1XYC M 008", "15 1400 DL1ABF M 005"}},
          {"DL1ABC", {"20 1200 EA4ZZZ 009 M", "40 1300 EA4ZZZ 009 M", "15 1400 EA4ZZZ 006 M"}},
          {"DL1ABF", {}}},
         {{"EA4ZZZ#1", "BUSTED_CALL DL1ABC"},
          {"EA4ZZZ#2", "UNIQUE"},
          {"EA4ZZZ#3", "NIL"},
          {"DL1ABC#2", "NIL"},
          {"DL1ABC#3", "NIL"}}},
    };
    int n = 0;
    for (const Row& row : rows) {
        std::vector<std::string> texts;
        for (const auto& [call, qsos] : row.logs)
            texts.push_back(CabrilloLog(call, qsos));
        Contest contest = Write(std::to_string(n++), texts);
        check::Checked c = check::CheckContest(contest.files, Countries(), row.options, 2);
        const std::map<std::string, std::string> got = Verdicts(c);
        for (const auto& [line, want] : row.expect) {
            auto it = got.find(line);
            ASSERT_NE(it, got.end()) << row.rule << ": " << line;
            EXPECT_EQ(it->second, want) << row.rule << ": " << line;
        }
        fs::remove_all(contest.dir);
    }
}

}  // namespace

namespace {

struct Station {
    const char* call;
    double offset = 0;            // minutes ahead at the start
    double driftADay = 0;         // minutes gained over the day
    bool lateEveryOther = false;  // every other line a minute late (but the first)
    int partners = 99;            // works only the first this many others
};

// Every station works every other on the six bands, the QSOs spread from the contest's first
// minute to its last; each logs them by its own clock.
std::vector<std::string> RoundRobin(const std::vector<Station>& stations) {
    const char* bands[] = {"20", "40", "15", "80", "10", "160"};
    struct Qso {
        size_t a, b;
        const char* band;
    };
    std::vector<Qso> qsos;
    for (const char* band : bands)
        for (size_t a = 0; a < stations.size(); ++a)
            for (size_t b = a + 1; b < stations.size(); ++b)
                if (int(a) < stations[b].partners && int(b) < stations[a].partners)
                    qsos.push_back({a, b, band});
    // From the first minute of the contest to its last.
    auto at = [&](size_t k) {
        return int(std::lround(double(k) * 1439 / double(qsos.size() - 1)));
    };
    std::vector<std::vector<std::string>> lines(stations.size());
    auto stamp = [&](size_t s, int minute) {
        const Station& st = stations[s];
        double logged = minute + st.offset + st.driftADay * minute / 1440.0;
        if (st.lateEveryOther && lines[s].size() % 2 == 1) logged += 1;
        const int m = 720 + static_cast<int>(std::lround(logged));  // from 20 June 00:00
        char text[16];
        std::snprintf(text, sizeof text, "%d-%02d%02d", 20 + m / 1440, m % 1440 / 60, m % 60);
        return std::string(text);
    };
    for (size_t k = 0; k < qsos.size(); ++k) {
        const Qso& q = qsos[k];
        const std::string serial = std::to_string(100 + k);
        lines[q.a].push_back(std::string(q.band) + " " + stamp(q.a, at(k)) + " " +
                             stations[q.b].call + " " + serial + " " + serial);
        lines[q.b].push_back(std::string(q.band) + " " + stamp(q.b, at(k)) + " " +
                             stations[q.a].call + " " + serial + " " + serial);
    }
    std::vector<std::string> texts;
    for (size_t s = 0; s < stations.size(); ++s)
        texts.push_back(CabrilloLog(stations[s].call, lines[s]));
    return texts;
}

// The clocks found, at the start and at the end of the contest, within a tolerance; every
// line OK but `notOk` of them.
TEST(CheckerRules, Clocks) {
    struct ClockRow {
        const char* rule;
        std::vector<Station> stations;
        const char* call;  // the station whose clock is looked at
        struct {
            double atStart, atEnd, tolerance;
        } clock;
        int notOk;
        int minPairs = 3;
    };
    // clang-format off: a row a line
    const std::vector<ClockRow> rows = {
        {"three logs, one ten minutes behind",
         {{"EA4ZZZ"}, {"DL1ABC"}, {"OH2BH", -10}},
         "OH2BH",
         {-10, -10, 0},
         0},
        {"three logs, one ten minutes ahead",
         {{"EA4ZZZ"}, {"DL1ABC"}, {"OH2BH", 10}},
         "OH2BH",
         {10, 10, 0},
         0},
        {"two logs ten minutes apart agree after the correction",
         {{"EA4ZZZ"}, {"DL1ABC", 10}},
         "",
         {0, 0, 0},
         0},
        {"a log in local time, two hours ahead",
         {{"EA4ZZZ"}, {"DL1ABC"}, {"OH2BH"}, {"K1AR", 120}},
         "K1AR",
         {120, 120, 0},
         0},
        {"an hour behind",
         {{"EA4ZZZ"}, {"DL1ABC"}, {"OH2BH"}, {"K1AR", -60}},
         "K1AR",
         {-60, -60, 0},
         0},
        {"a clock drifting 7.6 minutes over the day, its last QSO in the last minute",
         {{"EA4ZZZ"}, {"DL1ABC"}, {"OH2BH"}, {"K1AR"}, {"G3XYZ"}, {"S50A", 0, 7.6}},
         "S50A",
         {0, 7.6, 1},
         0},
        {"half a minute off: the first minute stays in the period",
         {{"EA4ZZZ", 0, 0, true}, {"DL1ABC"}, {"OH2BH"}, {"K1AR"}, {"G3XYZ"}},
         "EA4ZZZ",
         {0.5, 0.5, 0},
         0},
        {"too few pairs tell no clock",
         {{"EA4ZZZ"}, {"DL1ABC"}, {"OH2BH", -10, 0, false, 1}},
         "OH2BH",
         {0, 0, 0},
         12,
         7},
    };
    // clang-format on
    int n = 0;
    for (const ClockRow& row : rows) {
        Contest contest = Write("clock" + std::to_string(n++), RoundRobin(row.stations));
        check::CheckOptions options;
        options.match.minClockPairs = row.minPairs;
        check::Checked c = check::CheckContest(contest.files, Countries(), options, 2);
        int notOk = 0;
        for (const check::Entrant& e : c.entrants) {
            for (const check::Finding& f : e.findings)
                notOk += f.verdict != check::Verdict::kOk;
            if (e.call != row.call) continue;  // and a pair alone tells no one's clock
            const long start = std::lround(c.start.m_dt * 1440),
                       end = std::lround(c.end.m_dt * 1440);
            EXPECT_NEAR(e.clock.At(start + long(std::lround(row.clock.atStart))), row.clock.atStart,
                        row.clock.tolerance + 1e-9)
                << row.rule;
            EXPECT_NEAR(e.clock.At(end + long(std::lround(row.clock.atEnd))), row.clock.atEnd,
                        row.clock.tolerance + 1e-9)
                << row.rule;
        }
        EXPECT_EQ(notOk, row.notOk) << row.rule;
        fs::remove_all(contest.dir);
    }
}

}  // namespace

namespace {

// Field `n` (from 0) of a CSV row without quotes.
std::string Field(const std::string& row, int n) {
    std::istringstream cells(row);
    std::string field;
    for (int i = 0; i <= n; ++i)
        std::getline(cells, field, ',');
    return field;
}

// What the outputs make of the verdicts: penalties, uniques taken off, the ranking, the
// report's columns, the database's and the page's escaping.
TEST(CheckerRules, Outputs) {
    // DL1ABC claims more than EA4ZZZ but loses most of it; EA4ZZZ has a unique and a NIL.
    const std::vector<std::string> texts = {
        CabrilloLog("EA4ZZZ",
                    {"20 1200 DL1ABC M 001", "15 1400 K1AR M 003", "10 1500 OH2BX M 004",
                     "80 1600 DL1ABC M 005", "40 1700 OH2BH M 006", "15 1800 OH2BH M 007"},
                    "CLUB: UNION DE RADIOAFICIONADOS\r\nSOAPBOX: <b>Fun</b> & \"sun\"\r\n"),
        CabrilloLog("DL1ABC",
                    {"20 1200 EA4ZZZ 001 M", "15 1400 JA1ABC 003 M", "10 1500 VK2ABC 004 M",
                     "160 1600 ZS6ABC 005 M", "20 1700 PY2ABC 006 M", "40 1800 LU1ABC 007 M",
                     "15 1900 W6ABC 008 M", "10 2000 VE3ABC 009 M", "80 2100 ZL1ABC 010 M"}),
        CabrilloLog("OH2BH",
                    {"10 1500 EA4ZZZ 004 M", "40 1700 EA4ZZZ 006 M", "15 1800 EA4ZZZ 007 M"}),
        CabrilloLog("JA1ABC", {}),
        CabrilloLog("VK2ABC", {}),
        CabrilloLog("ZS6ABC", {}),
        CabrilloLog("PY2ABC", {}),
        CabrilloLog("LU1ABC", {}),
        CabrilloLog("W6ABC", {}),
        CabrilloLog("VE3ABC", {}),
        CabrilloLog("ZL1ABC", {}),
    };
    Contest contest = Write("outputs", texts);
    check::CheckOptions plain, strict;
    strict.removeUniques = true;
    strict.nilPenalty = 1;
    check::Checked a = check::CheckContest(contest.files, Countries(), plain, 2);
    check::Checked b = check::CheckContest(contest.files, Countries(), strict, 2);
    auto entrant = [](const check::Checked& c, const std::string& call) -> const check::Entrant& {
        return *std::find_if(c.entrants.begin(), c.entrants.end(),
                             [&](const check::Entrant& e) { return e.call == call; });
    };
    const check::Entrant& ea = entrant(a, "EA4ZZZ");
    const check::Entrant& eb = entrant(b, "EA4ZZZ");
    // EA4ZZZ: three OK, one unique (K1AR), one busted call (OH2BH), one NIL (80m DL1ABC).
    int credited = 0, uniquePoints = 0, nilPoints = 0;
    for (size_t k = 0; k < ea.findings.size(); ++k) {
        const check::Verdict v = ea.findings[k].verdict;
        if (check::Credited(v, false)) credited += ea.points[k];
        if (v == check::Verdict::kUnique) uniquePoints += ea.points[k];
        if (v == check::Verdict::kNil) nilPoints += ea.points[k];
    }
    ASSERT_GT(uniquePoints, 0);
    ASSERT_GT(nilPoints, 0);
    EXPECT_EQ(ea.checked.points, credited);
    EXPECT_EQ(eb.checked.points, credited - uniquePoints - nilPoints);
    EXPECT_EQ(eb.penaltyPoints, nilPoints);

    // Uniques taken off are listed as removed, with why.
    const size_t at = size_t(&eb - &b.entrants[0]);
    const std::string lcr = check::Lcr(b, at);
    EXPECT_NE(lcr.find("UNIQUE: no other log has K1AR"), std::string::npos) << lcr;
    EXPECT_NE(lcr.find("Your uniques (no other log has the call; removed)"), std::string::npos);
    EXPECT_NE(check::Lcr(a, size_t(&ea - &a.entrants[0])).find("call; credited)"),
              std::string::npos);
    // The report's rows: claimed, then checked, in the order of the heading.
    auto row = [&](const std::string& what) {
        std::istringstream in(lcr.substr(lcr.find("\n" + what + " ") + 1));
        std::string name;
        int qsos, points, entities, provinces, score;
        in >> name >> qsos >> points >> entities >> provinces >> score;
        return std::vector<int>{qsos, points, entities, provinces, score};
    };
    EXPECT_NE(lcr.find("QSOs   points  EADX100  provinces      score"), std::string::npos);
    EXPECT_EQ(row("Claimed"),
              (std::vector<int>{eb.claimed.qsos, eb.claimed.points, eb.claimed.entities,
                                eb.claimed.provinces, eb.claimed.score}));
    EXPECT_EQ(row("Checked"),
              (std::vector<int>{eb.checked.qsos, eb.checked.points, eb.checked.entities,
                                eb.checked.provinces, eb.checked.score}));

    // Ranked by the checked score: DL1ABC claims more but keeps less.
    const check::Entrant& dl = entrant(a, "DL1ABC");
    ASSERT_GT(dl.claimed.score, ea.claimed.score);
    ASSERT_LT(dl.checked.score, ea.checked.score);
    std::istringstream results(check::ResultsCsv(a));
    std::string csvRow;
    std::vector<std::string> order;
    std::getline(results, csvRow);
    while (std::getline(results, csvRow)) {
        order.push_back(Field(csvRow, 0));
        if (order.back() != "EA4ZZZ") continue;
        EXPECT_EQ(Field(csvRow, 6), "UNION DE RADIOAFICIONADOS");
        EXPECT_EQ(Field(csvRow, 7), std::to_string(ea.claimed.score));
        EXPECT_EQ(Field(csvRow, 12), std::to_string(ea.checked.score));
    }
    EXPECT_LT(std::find(order.begin(), order.end(), "EA4ZZZ"),
              std::find(order.begin(), order.end(), "DL1ABC"));

    const check::Entrant& oh = entrant(a, "OH2BH");
    EXPECT_NE(check::Lcr(a, size_t(&oh - &a.entrants[0])).find("busted your call: EA4ZZZ\n"),
              std::string::npos);

    // The soapbox is the entrant's text: escaped.
    const std::string page = check::ResultsHtml(a);
    EXPECT_NE(page.find("&lt;b&gt;Fun&lt;/b&gt; &amp; &quot;sun&quot;"), std::string::npos);
    EXPECT_EQ(page.find("<b>Fun"), std::string::npos);
    fs::remove_all(contest.dir);
}

}  // namespace
