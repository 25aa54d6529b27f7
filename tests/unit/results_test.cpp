#include <gtest/gtest.h>

#include <algorithm>

#include "base/datetime.h"
#include "base/ui.h"
#include "results/report.h"
#include "results/results.h"
#include "settings/settings.h"
#include "test_util.h"

namespace {

double At(int hour, int minute) {
    return COleDateTime::FromFields(2026, 12, 6, hour, minute).m_dt;
}

class ResultsTest : public StateTest {
protected:
    void SetUp() override {
        StateTest::SetUp();
        dir_.MakePlugins();
        ui::TakeMessages();
        engine::Contest& s = TheContest();
        s.cwTest = 1;
        s.ownCall = "DL1ABC";
        s.ownPrefix = "DL";
        s.startText = "05.12";
        s.endText = "06.12.2026";
    }
    void Add(const std::string& call, const std::string& band, const std::string& prefix,
             const std::string& province, double time, bool dupe = false) {
        StoreQso(call, band, prefix, province, time, dupe);
    }
    // The worked example: three QSOs on 20m, one on 40m, the newest on 20m.
    void AddExample() {
        Add("F1AA", "40m", "F", "", At(11, 0));
        Add("EA1AA", "20m", "EA", "M", At(11, 30));
        Add("K1AA", "20m", "K", "", At(11, 55));
        Add("K2AA", "20m", "K", "", At(12, 0));
    }
    std::string Result(int* out = nullptr) {
        StateLock lock(TheContest().mutex);
        return results::GetResult(TheContest(), out, lock);
    }
    std::string Claimed() { return settings::ReadKey("Claimed"); }

    ScopedTempDir dir_;
};

const std::string kCredit = results::kCredit;

TEST_F(ResultsTest, TextFormOfTheWorkedExample) {
    AddExample();
    const std::string expected =
        "    SOLSTICE RACE CONTEST CW 05.12-06.12.2026 \r\n"
        "\t\tContestant: DL1ABC\r\n"
        "\tQSOs\tPoints\tEADX100\tProv\tiMults\r\n"
        "40m\t 1\t  1\t   1\t  0\t   1\r\n"
        "20m\t 3\t  5\t   2\t  1\t   3\r\n"
        "Total\t 4\t  6\t   3\t  1\t   4\r\n"
        "\r\n"
        "Score: 6(3+1) = 24\r\n"
        "\r\n"
        "\t\t\tRate\r\n"
        "Hourly (10min) QSO rate:     3 (12) QSOs/hour\r\n"
        "Hourly (10min) pts rate:     5 (12) points/hour\r\n"
        "\r\n"
        "Last QSO: 1 points\r\n"
        "\r\n" +
        kCredit;
    EXPECT_EQ(Result(), expected);
    EXPECT_EQ(Claimed(), "24");
    EXPECT_EQ(kCredit.find_first_of("\r\n"), std::string::npos);
}

TEST_F(ResultsTest, TextFormOfAnEmptyLogInSsb) {
    TheContest().cwTest = 0;
    const std::string expected =
        "    SOLSTICE RACE CONTEST SSB 05.12-06.12.2026 \r\n"
        "\t\tContestant: DL1ABC\r\n"
        "\tQSOs\tPoints\tEADX100\tProv\tiMults\r\n"
        "Total\t 0\t  0\t   0\t  0\t   0\r\n"
        "\r\n"
        "Score: 0(0+0) = 0\r\n"
        "\r\n"
        "\t\t\tRate\r\n"
        "Hourly (10min) QSO rate:     0 (0) QSOs/hour\r\n"
        "Hourly (10min) pts rate:     0 (0) points/hour\r\n"
        "\r\n"
        "Last QSO: 0 points\r\n"
        "\r\n" +
        kCredit;
    EXPECT_EQ(Result(), expected);
    EXPECT_EQ(Claimed(), "0");
}

TEST_F(ResultsTest, HtmlFormOfTheWorkedExample) {
    TheContest().html = 1;
    AddExample();
    Add("K1AA", "20m", "K", "", At(12, 1), true);
    TheContest().badQsoFile = "bad.txt";
    WriteFile(
        dir_.path() / "bad.txt",
        "SOLSTICE-RACE CW TEST UBN file \r\nQSO: 1   WRONG MODE !!!\r\nQSO: 2   DUPE !!!\r\n");
    const std::string expected =
        "<html><head><style>table{ width:100%; }table, th, td{ border: 1px solid black; "
        "border-collapse: collapse; }th, td{ padding: 1px; text-align: middle; }th,td{ "
        "background-color: #fffac6; color: black}</style></head><body>"
        "<center><b>   SOLSTICE RACE CONTEST CW 05.12-06.12.2026</b></center>"
        "<center>Contestant:  <b>DL1ABC</center></b><table>"
        "<tr><th> Band</th><th> QSOs</th><th> Points</th><th> EADX100</th><th> Prov</th>"
        "<th> iMults</th></tr>"
        "<tr><th> <center>40m</center></th><td><center>1</center></td><td><center>1</center></td>"
        "<td><center>1</center></td><td><center>0</center></td><td><center>1</center></td></tr>"
        "<tr><th> <center>20m</center></th><td><center>3</center></td><td><center>5</center></td>"
        "<td><center>2</center></td><td><center>1</center></td><td><center>3</center></td></tr>"
        "<tr><th> <center>Total</center></th><td><center>4</center></td><td><center>6</center>"
        "</td><td><center>3</center></td><td><center>1</center></td><td><center>4</center></td>"
        "</tr>"
        "<tr><th> <center>Dupe</center></th><td><center>1</center></td><td colspan=8> </td></tr>"
        "<tr><th> <center>Bad QSO</center></th><td><center>1</center></td><td colspan=8> </td>"
        "</tr>"
        "<tr><th>Score:</th><td colspan=9><center>6 * (3 + 1) = 24</center></td></tr>"
        "<tr><th>Last QSO points:</small></th><td colspan=9><center>    1</center></td></tr>"
        "<th colspan=10><center>Rate</center></th></tr>"
        "<tr><th> Hourly (10min/1 hour) QSO rate: </th><td colspan=9><center>    3 /12</center>"
        "</td></tr>"
        "<tr><th> Hourly (10min/1 hour) pts rate: </th><td colspan=9><center>    5 /12</center>"
        "</td></tr>"
        "</table><h6 align=right>" +
        kCredit + "</h6></body></html>";
    EXPECT_EQ(Result(), expected);
}

TEST_F(ResultsTest, HtmlOfAnEmptyLogInSsb) {
    TheContest().html = 1;
    TheContest().cwTest = 0;
    std::string page = Result();
    EXPECT_NE(page.find("<center><b>   SOLSTICE RACE CONTEST SSB 05.12-06.12.2026</b>"),
              std::string::npos);
    EXPECT_NE(page.find("<th> iMults</th></tr><tr><th> <center>Total</center></th>"
                        "<td><center>0</center></td>"),
              std::string::npos);
    EXPECT_NE(page.find("<center>0 * (0 + 0) = 0</center>"), std::string::npos);
}

TEST_F(ResultsTest, HostTextsCannotInjectMarkup) {
    TheContest().html = 1;
    TheContest().ownCall = "<script>\"x\"&";
    TheContest().startText = "<b>";
    TheContest().endText = "a&b";
    Add("K1AA", "<i>", "K", "", At(12, 0));
    std::string page = Result();
    EXPECT_NE(page.find("Contestant:  <b>&lt;script&gt;&quot;x&quot;&amp;</center>"),
              std::string::npos);
    EXPECT_NE(page.find("CONTEST CW &lt;b&gt;-a&amp;b</b>"), std::string::npos);
    EXPECT_NE(page.find("<center>&lt;i&gt;</center>"), std::string::npos);
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(page.find("<i>"), std::string::npos);
    // The plain text is not HTML: it carries the texts as they are.
    TheContest().html = 0;
    EXPECT_NE(Result().find("Contestant: <script>\"x\"&\r\n"), std::string::npos);
}

TEST(HtmlEscape, OnlyTheFourMarkupCharacters) {
    EXPECT_EQ(results::HtmlEscape("EA1XX/P 20m 06.12.2026 '%s'"), "EA1XX/P 20m 06.12.2026 '%s'");
    EXPECT_EQ(results::HtmlEscape("a<b>&\"c\""), "a&lt;b&gt;&amp;&quot;c&quot;");
    EXPECT_EQ(results::HtmlEscape(""), "");
}

TEST_F(ResultsTest, RepeatedCallsGiveTheSameTextAndClaimed) {
    AddExample();
    int out = 5;
    const std::string first = Result(&out);
    EXPECT_EQ(out, -1);
    out = 5;
    EXPECT_EQ(Result(&out), first);
    EXPECT_EQ(out, -1);
    EXPECT_EQ(Claimed(), "24");
    EXPECT_TRUE(ui::TakeMessages().empty());
}

TEST_F(ResultsTest, NullOutPointerStillReturnsTheResults) {
    AddExample();
    const std::string text = Result(nullptr);
    EXPECT_NE(text.find("Score: 6(3+1) = 24"), std::string::npos);
}

TEST_F(ResultsTest, ClaimedFollowsTheLogAndUnwritableFileIsSilent) {
    AddExample();
    Result();
    EXPECT_EQ(Claimed(), "24");
    Add("EA2AA", "10m", "EA", "B", At(12, 5));
    Result();
    EXPECT_EQ(Claimed(), "54");  // 9 points x 6 multipliers
    std::filesystem::remove_all(dir_.path() / "Plugins");
    Add("EA3AA", "10m", "EA", "", At(12, 6));
    EXPECT_NE(Result().find("Score: 12(4+2) = 72"), std::string::npos);
    EXPECT_EQ(TheContest().claimed, 72);
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "Plugins"));
}

TEST_F(ResultsTest, ExportCallShowsItsMessageEveryTimeWithoutRates) {
    AddExample();
    TheContest().exportFlag = 1;
    for (int call = 0; call < 2; ++call) {
        const std::string text = Result();
        EXPECT_NE(text.find("Hourly (10min) QSO rate:     0 (0) QSOs/hour"), std::string::npos);
        EXPECT_NE(text.find("Last QSO: 1 points"), std::string::npos);
        auto shown = ui::TakeMessages();
        ASSERT_EQ(shown.size(), 1u) << call;
        EXPECT_EQ(shown[0].caption, "Output");
        EXPECT_EQ(shown[0].style, 64u);
    }
    EXPECT_EQ(TheContest().exportFlag, 1);
    EXPECT_EQ(Claimed(), "24");
}

TEST_F(ResultsTest, ResultsRefillTheMultiplierLists) {
    AddExample();
    Result();
    EXPECT_EQ(TheContest().entityLists[3], (StringList{"EA", "K"}));
    EXPECT_EQ(TheContest().provinceLists[3], StringList{"M"});
    EXPECT_EQ(TheContest().entityLists[2], StringList{"F"});
}

}  // namespace

TEST(MessageSink, KeepsOnlyTheNewestMessages) {
    ui::SetMessageListener([](const ui::SinkMessage&) {});  // quiet
    ui::TakeMessages();
    for (size_t i = 0; i < ui::kSinkCapacity + 5; ++i)
        ui::MessageBox(std::to_string(i), nullptr, 0, ui::Owner::MainWindow);
    std::vector<ui::SinkMessage> kept = ui::TakeMessages();
    ui::SetMessageListener(nullptr);
    ASSERT_EQ(kept.size(), ui::kSinkCapacity);
    EXPECT_EQ(kept.front().text, "5");
    EXPECT_EQ(kept.back().text, std::to_string(ui::kSinkCapacity + 4));
}
