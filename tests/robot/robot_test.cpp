// The robot's verdict on uploaded logs, and its store: what an entrant is told about each kind
// of fault, and that a call's report goes only with a receipt code of that call.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "robot.h"
#include "store.h"
#include "tool_io.h"
#include "validate.h"

namespace {

const tools::CountryFile& Countries() {
    static const tools::CountryFile file = [] {
        std::string text;
        EXPECT_TRUE(tools::ReadWholeFile(tools::DefaultCountryFile(), text));
        return tools::CountryFile::Parse(text);
    }();
    return file;
}

const char* kHeader =
    "START-OF-LOG: 3.0\nCALLSIGN: EA4ZZZ\nCATEGORY-OPERATOR: SINGLE-OP\nCATEGORY-MODE: CW\n";
const char* kQso = "QSO: 14020 CW 2026-06-20 1300 EA4ZZZ 599 M EA1ABC 599 BI\n";

struct Case {
    const char* name;
    std::string text;
    bool accepted;
    int line;          // of the problem looked for; -1: no problem at all
    const char* what;  // part of its text
};

TEST(RobotValidate, NamesEveryFaultWithItsLine) {
    const std::string h = kHeader, q = kQso;
    const std::vector<Case> cases = {
        {"good", h + q + "END-OF-LOG:\n", true, -1, ""},
        {"lower-case values", "START-OF-LOG: 3.0\nCALLSIGN: ea4zzz\nCATEGORY-MODE: cw\n" + q, true,
         -1, ""},
        {"no callsign", "START-OF-LOG: 3.0\nCATEGORY-MODE: CW\n" + q, false, 0, "no CALLSIGN"},
        {"empty callsign", "START-OF-LOG: 3.0\nCALLSIGN:\n" + q, false, 2, "no CALLSIGN"},
        {"not a call", "START-OF-LOG: 3.0\nCALLSIGN: HELLO\n" + q, false, 2, "not a known"},
        {"markup as call", "START-OF-LOG: 3.0\nCALLSIGN: <b>EA4ZZZ</b>\n" + q, false, 2,
         "not a known"},
        {"bad category value", h + "CATEGORY-POWER: ENORMOUS\n" + q, false, 5, "CATEGORY-POWER"},
        {"unknown category tag", h + "CATEGORY-COLOUR: RED\n" + q, false, 5, "no Cabrillo 3.0"},
        {"no qso line", h + "END-OF-LOG:\n", false, 0, "no QSO line"},
        {"only damaged lines", h + "QSO: 14020 CW\n", false, 5, "damaged QSO line"},
        {"damaged line among good", h + q + "QSO: 14020 CW 2026-06-20\n", true, 6, "damaged"},
        {"outside the period", h + "QSO: 14020 CW 2026-06-22 1300 EA4ZZZ 599 M EA1ABC 599 BI\n",
         true, 5, "outside the contest period"},
        {"mode of another log", h + q + "QSO: 14200 PH 2026-06-20 1301 EA4ZZZ 59 M EA1ABD 59 BI\n",
         true, 6, "mode SSB"},
        {"band outside the contest",
         h + q + "QSO: 50100 CW 2026-06-20 1302 EA4ZZZ 599 M EA1ABD 599 BI\n", true, 6,
         "not in the contest"},
        {"dupe", h + q + "QSO: 14020 CW 2026-06-20 1310 EA4ZZZ 599 M EA1ABC 599 BI\n", true, 6,
         "dupe"},
        {"no log at all", "hello, here is my log\n", false, 0, "neither"},
        {"binary", std::string("\x00\xff\x01START-OF-LOG:\x00", 17), false, -2, ""},
        {"adif",
         "<EOH>\n<CALL:6>EA1ABC<QSO_DATE:8>20260620<TIME_ON:4>1300<BAND:3>20m<MODE:2>CW"
         "<STATION_CALLSIGN:6>EA4ZZZ<SRX_STRING:2>BI<STX_STRING:1>M<EOR>\n",
         true, -1, ""},
        {"adif without own call",
         "<EOH>\n<CALL:6>EA1ABC<QSO_DATE:8>20260620<TIME_ON:4>1300"
         "<BAND:3>20m<MODE:2>CW<EOR>\n",
         false, 0, "STATION_CALLSIGN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const robot::Receipt r = robot::Validate(c.text, Countries(), {});
        EXPECT_EQ(r.accepted, c.accepted);
        // The receipt marks exactly the reasons of a refusal.
        EXPECT_EQ(std::any_of(r.problems.begin(), r.problems.end(),
                              [](const robot::Problem& p) { return p.refuses; }),
                  !c.accepted);
        if (c.line == -1) {
            EXPECT_TRUE(r.problems.empty())
                << r.problems.front().line << " " << r.problems.front().text;
            EXPECT_GT(r.claimedScore, 0);
        } else if (c.line >= 0) {
            bool found = false;
            for (const robot::Problem& p : r.problems)
                found = found || (p.line == c.line && p.text.find(c.what) != std::string::npos);
            EXPECT_TRUE(found) << "no problem '" << c.what << "' on line " << c.line;
        }
    }
}

TEST(RobotValidate, ClaimedScoreBesideTheLogs) {
    const std::string text = std::string(kHeader) + "CLAIMED-SCORE: 12345\n" + kQso +
                             "QSO: 7020 CW 2026-06-20 1400 EA4ZZZ 599 M DL1ABC 599 001\n";
    const robot::Receipt r = robot::Validate(text, Countries(), {});
    EXPECT_EQ(r.logClaimed, "12345");
    EXPECT_EQ(r.qsoLines, 2);
    EXPECT_GT(r.claimedScore, 0);
    EXPECT_NE(r.claimedScore, 12345);
}

TEST(RobotPages, EscapeEverySpecialSign) {
    EXPECT_EQ(robot::Html("<a href=\"x\" onclick='y'>&</a>"),
              "&lt;a href=&quot;x&quot; onclick=&#39;y&#39;&gt;&amp;&lt;/a&gt;");
    // Bytes of another encoding and NUL become the replacement sign; UTF-8 stays.
    EXPECT_EQ(robot::Html("Jos\xC3\xA9 \xE9t\xE9 \xFF\xC0\xAF\xED\xA0\x80 \xF0\x9F\x93\xBB"),
              "Jos\xC3\xA9 \xEF\xBF\xBDt\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"
              "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD \xF0\x9F\x93\xBB");
    EXPECT_EQ(robot::Html(std::string("a\0b", 3)),
              "a\xEF\xBF\xBD"
              "b");
    const std::string code = robot::ReceiptCode();
    ASSERT_EQ(code.size(), 14u);
    EXPECT_EQ(code[4], '-');
    EXPECT_NE(code, robot::ReceiptCode());
}

TEST(RobotStore, LatestUploadStandsAndReportsNeedTheirOwnCode) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "robot-store-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    robot::Store store((dir / "robot.sqlite").string());
    auto add = [&](const std::string& call, bool accepted, int qsos, const std::string& receipt) {
        robot::Upload u;
        u.call = call;
        u.email = "x@example.org";
        u.received = "2026-06-21 10:00:0" + std::to_string(qsos % 10);
        u.accepted = accepted;
        u.qsos = qsos;
        u.receipt = receipt;
        u.bytes = std::string("bytes\0of ", 9) + call;
        store.Add(u);
        return u.id;
    };
    add("EA4ZZZ", true, 10, "AAAA-AAAA-AAAA");
    const auto second = add("EA4ZZZ", true, 12, "BBBB-BBBB-BBBB");
    add("EA4ZZZ", false, 14, "CCCC-CCCC-CCCC");  // refused: the accepted one stands
    add("DL1ABC'); DROP TABLE uploads; --", true, 3, "DDDD-DDDD-DDDD");
    const std::vector<robot::Received> latest = store.Latest();
    ASSERT_EQ(latest.size(), 2u);
    EXPECT_EQ(latest[0].call, "DL1ABC'); DROP TABLE uploads; --");
    EXPECT_EQ(latest[1].call, "EA4ZZZ");
    EXPECT_EQ(latest[1].qsos, 12);
    EXPECT_EQ(latest[1].uploads, 3);
    EXPECT_EQ(store.History("EA4ZZZ").size(), 3u);
    EXPECT_EQ(store.Get(second)->bytes, std::string("bytes\0of EA4ZZZ", 15));
    EXPECT_EQ(store.Count(), 4);

    EXPECT_FALSE(store.Lcr("EA4ZZZ", "AAAA-AAAA-AAAA"));  // nothing published yet
    store.Publish("<html>", {{"EA4ZZZ", "report of EA4ZZZ"}, {"DL1ABC", "report of DL1ABC"}});
    EXPECT_EQ(store.Lcr("EA4ZZZ", "AAAA-AAAA-AAAA").value_or(""), "report of EA4ZZZ");
    EXPECT_EQ(store.Lcr("EA4ZZZ", "CCCC-CCCC-CCCC").value_or(""), "report of EA4ZZZ");
    EXPECT_FALSE(store.Lcr("DL1ABC", "AAAA-AAAA-AAAA"));  // another call's code
    EXPECT_FALSE(store.Lcr("EA4ZZZ", ""));
    EXPECT_FALSE(store.Lcr("EA4ZZZ", "' OR '1'='1"));
    std::filesystem::remove_all(dir);
}

}  // namespace
