// The report page built from small logs: what it says for the cases a real log rarely shows.
// The example contests are checked in a browser (tests/report/check_report.py).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "report/report.h"

namespace {

COleDateTime At(int day, int hour, int minute) {
    return COleDateTime::FromFields(2026, 6, day, hour, minute);
}

report::LoggedQso Qso(const std::string& call, COleDateTime time, const std::string& band = "20m",
                      const std::string& prefix = "DL", const std::string& exch = "001") {
    report::LoggedQso q;
    q.time = time;
    q.freqHz = 14025000;
    q.mode = "CW";
    q.call = call;
    q.rstSent = q.rstRcvd = "599";
    q.exchSent = "M";
    q.exchRcvd = exch;
    q.band = band;
    q.prefix = prefix;
    q.prefixText = prefix + "1";
    return q;
}

int Count(const std::string& page, const std::string& what) {
    int n = 0;
    for (size_t at = page.find(what); at != std::string::npos; at = page.find(what, at + 1))
        ++n;
    return n;
}

struct Case {
    const char* name;
    std::vector<report::LoggedQso> qsos;
    int period;  // minutes of the contest from 20.06. 12:00; 0: none
    const char* badLines;
    std::vector<std::string> has;
    std::vector<std::string> hasNot;
    int hourGroups;
};

TEST(ReportPage, SaysWhatTheLogHolds) {
    const std::string bad = "report_test_badqso.txt";
    const Case cases[] = {
        {"empty log",
         {},
         70,
         "",
         {"This log holds no QSOs", "None: the bad-QSO file lists"},
         {},
         2},
        {"no period and no QSO: no chart", {}, 0, "", {"<p>No QSOs.</p>"}, {"class=\"hour\""}, 0},
        {"texts from the log are escaped",
         {Qso("EA1<b>&\"", At(20, 12, 0), "20m", "")},
         70,
         "QSO:  14025  CW  2026-06-20 1200  EA4ZZZ  599  M  <i>  599  <x>   DUPE !!!\r\n",
         {"EA1&lt;b&gt;&amp;&quot;", "&lt;i&gt;", "1 calls were scored with an empty entity",
          ">DUPE !!!<"},
         {"EA1<b>", "<i>", "<x>"},
         2},
        // The hour window ends before 13:00, so the QSO at 13:00 is not in it.
        {"breaks of 30 minutes or more, best rates",
         {Qso("DL1A", At(20, 12, 0)), Qso("DL1B", At(20, 12, 4)), Qso("DL1C", At(20, 12, 9)),
          Qso("DL1D", At(20, 13, 0))},
         70,
         "",
         {"Time on: <b>0 h 19 min</b> of 1 h 10 min", "1 breaks", "0 h 51 min",
          "3 QSOs (18 per hour)", "3 QSOs (3 per hour)"},
         {},
         2},
        {"a QSO outside the contest period is counted but not charted",
         {Qso("DL1A", At(20, 12, 0)), Qso("DL1B", At(22, 9, 0))},
         70,
         "",
         {"1 counted QSOs lie outside the hours shown", "<td class=\"s\">2</td>"},
         {},
         2},
        {"a wild date without a period gives a bounded chart",
         {Qso("DL1A", At(20, 12, 0)), Qso("DL1B", COleDateTime::FromFields(9999, 1, 1, 0, 0)),
          Qso("DL1C", COleDateTime(1e300))},
         0,
         "",
         {"2 counted QSOs lie outside"},
         {},
         14 * 24},
        // A gap of exactly 30 minutes is a break, one of 29 none; so is the closing 10.
        {"a break of exactly 30 minutes",
         {Qso("DL1A", At(20, 12, 0)), Qso("DL1B", At(20, 12, 30)), Qso("DL1C", At(20, 12, 59)),
          Qso("DL1D", At(20, 13, 0))},
         70,
         "",
         {"1 breaks", "<td>20.06. 12:00</td><td>20.06. 12:30</td><td class=\"n\">0 h 30 min"},
         {},
         2},
        {"the period ends more than 30 minutes after the last QSO",
         {Qso("DL1A", At(20, 12, 0)), Qso("DL1B", At(20, 12, 20))},
         70,
         "",
         {"1 breaks", "<td>20.06. 12:20</td><td>20.06. 13:10</td><td class=\"n\">0 h 50 min"},
         {},
         2},
        {"a contest of 24 whole hours has 24 hour bars",
         {Qso("DL1A", At(20, 12, 0)), Qso("DL1B", At(21, 11, 59))},
         24 * 60,
         "",
         {},
         {},
         24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(bad, std::ios::binary | std::ios::trunc)
            << "SOLSTICE-RACE CW TEST UBN file \r\n"
            << c.badLines;
        report::Contest contest;
        contest.ownCall = "EA4ZZZ";
        contest.ownPrefix = "EA";
        if (c.period) {
            contest.start = At(20, 12, 0);
            contest.end = COleDateTime(contest.start.m_dt + c.period / 1440.0);
        }
        contest.qsos = c.qsos;
        const std::string page = report::BuildPage(contest, bad);
        for (const std::string& s : c.has)
            EXPECT_NE(page.find(s), std::string::npos) << s;
        for (const std::string& s : c.hasNot)
            EXPECT_EQ(page.find(s), std::string::npos) << s;
        EXPECT_EQ(Count(page, "<g class=\"hour\""), c.hourGroups);
        EXPECT_EQ(Count(page, "<h2>"), 9);
    }
    std::remove(bad.c_str());
}

// The y of the end of a chart line: its path's last vertical step.
double LineEnd(const std::string& page, const std::string& cls) {
    const size_t end = page.find("\" class=\"" + cls + "\"/>");
    const size_t v = page.rfind(" V", end);
    return end == std::string::npos || v == std::string::npos ? -1 : std::stod(page.substr(v + 2));
}

// The y of the figure written at a chart line's end.
double LabelAt(const std::string& page, int value) {
    const size_t text = page.rfind("class=\"vr\">" + std::to_string(value) + "</text>");
    const size_t y = page.rfind("y=\"", text);
    return text == std::string::npos || y == std::string::npos ? -1 : std::stod(page.substr(y + 3));
}

TEST(ReportPage, MultiplierLinesEndAtTheirOwnTotals) {
    report::Contest contest;
    contest.ownCall = "EA4ZZZ";
    contest.ownPrefix = "EA";
    contest.qsos = {Qso("DL1A", At(20, 12, 0)), Qso("F1A", At(20, 12, 5), "20m", "F"),
                    Qso("EA1A", At(20, 12, 9), "20m", "EA", "M"),
                    Qso("EA2A", At(20, 12, 9), "20m", "EA", "SS")};
    const std::string page = report::BuildPage(contest, "no/such/badqso.txt");
    // Three entities, two provinces: each line ends where its figure stands.
    EXPECT_GT(LineEnd(page, "mE"), 0);
    EXPECT_LT(LineEnd(page, "mE"), LineEnd(page, "mP"));
    EXPECT_DOUBLE_EQ(LineEnd(page, "mE") + 4, LabelAt(page, 3));
    EXPECT_NEAR(LineEnd(page, "mP"), LabelAt(page, 2), 16);
}

TEST(ReportPage, MissingBadQsoFileIsSaidNotGuessed) {
    report::Contest contest;
    contest.qsos = {Qso("DL1A", At(20, 12, 0))};
    const std::string page = report::BuildPage(contest, "no/such/folder/badqso.txt");
    EXPECT_NE(page.find("No bad-QSO file was found"), std::string::npos);
    std::string error;
    EXPECT_FALSE(report::WritePage(contest, "", "no/such/folder/report.html", error));
    EXPECT_EQ(error, "cannot write no/such/folder/report.html");
}

}  // namespace
