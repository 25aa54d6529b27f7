// A small contest log replayed through the 64-bit DLL as the host replays it, and the
// results it gives back.
#include <gtest/gtest.h>

#include <string>

#include "host_exports.h"
#include "results/report.h"

namespace {

COleDateTime At(int hour, int minute) {
    return COleDateTime::FromFields(2026, 12, 5, hour, minute);
}

// A CW log with the settings the operator left: CW test, and no Setup window at this reset.
class ResultsReplay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dll.Loaded()) << "LoadLibrary failed: " << GetLastError();
        CreateDirectoryA("Plugins", nullptr);
        WritePrivateProfileStringA("Settings", "CW", "1", ".\\Plugins\\SOLSTICE-RACE.ini");
        WritePrivateProfileStringA("Settings", "Start", "1", ".\\Plugins\\SOLSTICE-RACE.ini");
        ASSERT_EQ(dll.ResetStats("", 0, "EA4ZZ", At(12, 0),
                                 COleDateTime::FromFields(2026, 12, 6, 11, 59), "EA"),
                  1);
    }
    static HostExports::QsoFields Fields(const std::string& call, const std::string& band,
                                         const std::string& prefix, const std::string& exchange,
                                         COleDateTime time) {
        HostExports::QsoFields q;
        q.ownCall = "EA4ZZ";
        q.call = call;
        q.band = band;
        q.prefix = prefix;
        q.prefixText = call.substr(0, 3);
        q.exchRcvd = exchange;
        q.time = time;
        return q;
    }
    void Log(const std::string& call, const std::string& band, const std::string& prefix,
             const std::string& exchange, COleDateTime time) {
        dll.AddData(Fields(call, band, prefix, exchange, time));
    }
    void LogContest() {
        Log("EA1AA", "20m", "EA", "M", At(12, 0));
        Log("EA8BB", "20m", "EA8", " tf ", At(12, 5));
        Log("F5CC", "20m", "F", "015", At(12, 10));
        Log("EA1AA", "20m", "EA", "M", At(12, 20));  // dupe
        Log("K1DD", "40m", "K", "020", At(12, 30));
        Log("DL1EE", "12m", "DL", "031", At(12, 35));  // not a contest band
        Log("EA3FF", "20m", "EA", "123", At(12, 40));  // no province
    }
    static std::string Claimed() {
        char buffer[100] = {0};
        GetPrivateProfileStringA("Settings", "Claimed", "", buffer, sizeof buffer,
                                 ".\\Plugins\\SOLSTICE-RACE.ini");
        return buffer;
    }

    TempCurrentFolder folder;
    HostExports dll;
};

TEST_F(ResultsReplay, TextResultsAndClaimedScore) {
    LogContest();
    int out = 5;
    std::string expected =
        "    SOLSTICE RACE CONTEST CW 05.12-06.12.2026 \r\n"
        "\t\tContestant: EA4ZZ\r\n"
        "\tQSOs\tPoints\tEADX100\tProv\tiMults\r\n"
        "40m\t 1\t  1\t   1\t  0\t   1\r\n"
        "20m\t 4\t  7\t   3\t  2\t   5\r\n"
        "Total\t 5\t  8\t   4\t  2\t   6\r\n"
        "\r\n"
        "Score: 8(4+2) = 48\r\n"
        "\r\n"
        "\t\t\tRate\r\n"
        "Hourly (10min) QSO rate:     4 (6) QSOs/hour\r\n"
        "Hourly (10min) pts rate:     7 (12) points/hour\r\n"
        "\r\n"
        "Last QSO: 2 points\r\n"
        "\r\n";
    expected += results::kCredit;
    EXPECT_EQ(dll.GetResult(&out), expected);
    EXPECT_EQ(out, -1);
    EXPECT_EQ(Claimed(), "48");

    // Deleting the 40m QSO leaves its band listed with a row of zeros.
    dll.RemoveData(Fields("K1DD", "40m", "K", "020", At(12, 30)));
    const std::string after = dll.GetResult();
    EXPECT_NE(after.find("40m\t 0\t  0\t   0\t  0\t   0\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("Score: 7(3+2) = 35\r\n"), std::string::npos) << after;
    EXPECT_EQ(Claimed(), "35");
}

TEST_F(ResultsReplay, HtmlAfterSetVersionCountsDupesAndBadQsos) {
    dll.Get<HostExports::SetVersion>("setVersion")("5.0");
    LogContest();
    const std::string page = dll.GetResult();
    EXPECT_EQ(page.rfind("<html><head><style>", 0), 0u) << page;
    EXPECT_NE(page.find("<center><b>   SOLSTICE RACE CONTEST CW 05.12-06.12.2026</b></center>"
                        "<center>Contestant:  <b>EA4ZZ</center></b><table>"),
              std::string::npos);
    EXPECT_NE(page.find("<tr><th> <center>Dupe</center></th><td><center>1</center></td>"),
              std::string::npos);
    // The rejected 12m QSO and the Spanish QSO without a province.
    EXPECT_NE(page.find("<tr><th> <center>Bad QSO</center></th><td><center>2</center></td>"),
              std::string::npos);
    EXPECT_NE(page.find("<center>8 * (4 + 2) = 48</center>"), std::string::npos);
    EXPECT_NE(page.find("<center>    4 /6</center>"), std::string::npos);
    const std::string foot = "</h6></body></html>";
    EXPECT_EQ(page.substr(page.size() - foot.size()), foot);
    EXPECT_EQ(Claimed(), "48");
}

TEST_F(ResultsReplay, NullOutPointerIsAnsweredWithTheResults) {
    LogContest();
    const char* text = dll.Get<HostExports::Result>("GetResult0")(nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_NE(std::string(text).find("Score: 8(4+2) = 48"), std::string::npos);
}

}  // namespace
