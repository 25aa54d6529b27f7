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
        {"the window's edge: five minutes apart match, six do not",
         {{"EA4ZZZ", {"20 1200 DL1ABC M 007", "40 1300 DL1ABC M 008"}},
          {"DL1ABC", {"20 1205 EA4ZZZ 007 M", "40 1306 EA4ZZZ 008 M"}}},
         {{"EA4ZZZ#1", "OK"}, {"EA4ZZZ#2", "NIL"}, {"DL1ABC#2", "NIL"}}},
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
        {"a line taken by an exact partner is not stolen by a bust",
         {{"EA4ZZZ", {"20 1200 DL1ABC M 007", "20 1201 DL1ABF M 033"}},
          {"DL1ABC", {"20 1200 EA4ZZZ 007 M"}},
          {"DL1ABF", {"20 1201 EA4ZZZ 033 M"}}},
         {{"EA4ZZZ#1", "OK"}, {"EA4ZZZ#2", "OK"}, {"DL1ABC#1", "OK"}, {"DL1ABF#1", "OK"}}},
        {"one QSO logged twice: the line whose exchange mirrors the other's counts, though "
         "the other is nearer in time and first",
         {{"EA4ZZZ", {"20 1200 DL1ABC 001 005", "20 1203 DL1ABC 002 006"}},
          {"DL1ABC", {"20 1201 EA4ZZZ 006 002"}}},
         {{"EA4ZZZ#1", "DUPE"}, {"EA4ZZZ#2", "OK"}, {"DL1ABC#1", "OK"}}},
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
            "40 1301 OH2BH M 011"}},
          {"DL1ABC", {"20 1230 EA4ZZZ 007 M", "40 1301 OH2BH 012 013"}},
          {"OH2BH", {"40 19-1301 EA4ZZZ 011 M"}}},
         {{"EA4ZZZ#1", "BAD outside the contest period: dated whole days off (a date error)"},
          {"EA4ZZZ#2", "OK"},
          {"DL1ABC#1", "OK"},
          {"EA4ZZZ#3", "UNIQUE"},
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
