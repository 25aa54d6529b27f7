#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "base/datetime.h"
#include "results/tally.h"
#include "test_util.h"

namespace {

using results::ComputeTally;
using results::Tally;

constexpr double kSecond = 1.0 / 86400.0;

double At(int hour, int minute, int second = 0) {
    return COleDateTime::FromFields(2026, 12, 6, hour, minute, second).m_dt;
}

class TallyTest : public StateTest {
protected:
    // Stores a QSO and records its band as worked, as admission does.
    void Add(const std::string& call, const std::string& band, const std::string& prefix,
             const std::string& province = "", double time = 0, bool dupe = false) {
        StoreQso(call, band, prefix, province, time, dupe);
    }
    void AddDupe(const std::string& call, const std::string& band, const std::string& prefix,
                 double time = 0) {
        Add(call, band, prefix, "", time, true);
    }
    Tally Compute(bool withRates = true) { return ComputeTally(TheContest(), withRates); }
};

TEST(QsoPoints, OwnAndWorkedStationInOrOutsideSpain) {
    EXPECT_EQ(results::QsoPoints("EA8", "EA6"), 2);
    EXPECT_EQ(results::QsoPoints("EA", "F"), 1);
    EXPECT_EQ(results::QsoPoints("DL", "EA9"), 3);
    EXPECT_EQ(results::QsoPoints("DL", "F"), 1);
    // Entity prefixes compare exactly: a lower-case own prefix is not Spain.
    EXPECT_EQ(results::QsoPoints("ea", "EA"), 3);
    EXPECT_EQ(results::QsoPoints("EA", "ea"), 1);
}

TEST(BandOrder, LongestWavelengthFirstWhateverTheArrivalOrder) {
    StringList bands = {"10m", "160m", "40m"};
    results::SortBands(bands);
    EXPECT_EQ(bands, (StringList{"160m", "40m", "10m"}));
    bands = {"15m", "20m", "10m", "80m", "40m", "160m"};
    results::SortBands(bands);
    EXPECT_EQ(bands, (StringList{"160m", "80m", "40m", "20m", "15m", "10m"}));
    StringList one = {"20m"}, none;
    results::SortBands(one);
    results::SortBands(none);
    EXPECT_EQ(one, StringList{"20m"});
    EXPECT_TRUE(none.empty());
}

TEST_F(TallyTest, SortedBandListStaysSortedInTheState) {
    Add("F1AA", "10m", "F");
    Add("F1AA", "160m", "F");
    Add("F1AA", "40m", "F");
    Tally t = Compute();
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0].band, "160m");
    EXPECT_EQ(t.rows[1].band, "40m");
    EXPECT_EQ(t.rows[2].band, "10m");
    EXPECT_EQ(TheContest().workedBands, (StringList{"160m", "40m", "10m"}));
}

TEST_F(TallyTest, EmptyLogGivesNoRowsAndZeros) {
    TheContest().entityLists[3] = {"K"};
    Tally t = Compute();
    EXPECT_TRUE(t.rows.empty());
    EXPECT_EQ(t.total.qsos, 0);
    EXPECT_EQ(t.total.mults, 0);
    EXPECT_EQ(t.score, 0);
    EXPECT_EQ(t.rates.hourQsos, 0);
    // No band was worked, so no per-band list was touched.
    EXPECT_EQ(TheContest().entityLists[3], StringList{"K"});
}

TEST_F(TallyTest, WorkedExampleScoresPointsTimesMultipliers) {
    TheContest().ownPrefix = "DL";
    Add("EA1AA", "20m", "EA", "M");
    Add("K1AA", "20m", "K");
    Add("K2AA", "20m", "K");
    Add("F1AA", "40m", "F");
    Tally t = Compute();
    ASSERT_EQ(t.rows.size(), 2u);
    const results::BandRow& b40 = t.rows[0];
    const results::BandRow& b20 = t.rows[1];
    EXPECT_EQ(b20.band, "20m");
    EXPECT_EQ((std::vector<int>{b20.qsos, b20.points, b20.entities, b20.provinces, b20.mults}),
              (std::vector<int>{3, 5, 2, 1, 3}));
    EXPECT_EQ(b40.band, "40m");
    EXPECT_EQ((std::vector<int>{b40.qsos, b40.points, b40.entities, b40.provinces, b40.mults}),
              (std::vector<int>{1, 1, 1, 0, 1}));
    EXPECT_EQ((std::vector<int>{t.total.qsos, t.total.points, t.total.entities, t.total.provinces,
                                t.total.mults}),
              (std::vector<int>{4, 6, 3, 1, 4}));
    EXPECT_EQ(t.score, 24);
    EXPECT_EQ(TheContest().claimed, 24);
}

TEST_F(TallyTest, MultipliersCountOncePerBandAndAgainOnEveryOtherBand) {
    Add("K1AA", "20m", "K");
    Add("K2AA", "20m", "K");
    Add("K1AA", "40m", "K");
    Add("EA1AA", "40m", "EA", "M");
    Add("EA1BB", "40m", "EA", "M");
    Add("EA2AA", "40m", "EA", "B");
    Tally t = Compute();
    EXPECT_EQ(t.rows[0].band, "40m");
    EXPECT_EQ(t.rows[0].entities, 2);
    EXPECT_EQ(t.rows[0].provinces, 2);
    EXPECT_EQ(t.rows[0].mults, 4);
    EXPECT_EQ(t.rows[1].entities, 1);
    EXPECT_EQ(t.total.entities, 3);
    // The lists that the multiplier windows show, in first-counted order.
    EXPECT_EQ(TheContest().entityLists[2], (StringList{"K", "EA"}));
    EXPECT_EQ(TheContest().provinceLists[2], (StringList{"M", "B"}));
    EXPECT_EQ(TheContest().entityLists[3], StringList{"K"});
    EXPECT_TRUE(TheContest().provinceLists[3].empty());
}

// The per-QSO view that the report page charts: one entry per stored QSO, in log order,
// saying what each counted for on its band.
TEST_F(TallyTest, PerQsoViewSaysWhatEachStoredQsoCountedFor) {
    TheContest().ownPrefix = "DL";
    Add("K1AA", "20m", "K", "", At(12, 0));
    Add("EA1AA", "40m", "EA", "M", At(12, 5));
    AddDupe("K1AA", "20m", "K", At(12, 9));
    Add("K2AA", "20m", "K", "", At(12, 7));
    Add("EA2AA", "40m", "EA", "M", At(12, 8));
    std::vector<results::ScoredQso> q;
    Tally t = ComputeTally(TheContest(), true, &q);
    ASSERT_EQ(q.size(), 5u);
    struct Row {
        int band, points;
        bool counted, dupe, entity, province;
    };
    // Band rows in band order: 40m is 0, 20m is 1.
    const Row want[] = {{1, 1, true, false, true, false},
                        {0, 3, true, false, true, true},
                        {1, 0, false, true, false, false},
                        {1, 1, true, false, false, false},
                        {0, 3, true, false, false, false}};
    for (size_t i = 0; i < q.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(q[i].bandIndex, want[i].band);
        EXPECT_EQ(q[i].points, want[i].points);
        EXPECT_EQ(q[i].counted, want[i].counted);
        EXPECT_EQ(q[i].dupe, want[i].dupe);
        EXPECT_EQ(q[i].newEntity, want[i].entity);
        EXPECT_EQ(q[i].newProvince, want[i].province);
    }
    EXPECT_DOUBLE_EQ(q[3].time, At(12, 7));
    EXPECT_EQ(t.total.points, 8);
    EXPECT_EQ(t.total.mults, 3);
}

TEST_F(TallyTest, FirstSpanishQsoWithProvinceIsTwoMultipliers) {
    Add("EA8AA", "15m", "EA8", "TF");
    Tally t = Compute();
    EXPECT_EQ(t.rows[0].mults, 2);
    // A QSO without an entity scores its points but no EADX100 multiplier.
    Add("X1", "15m", "");
    Add("X2", "15m", "");
    t = Compute();
    EXPECT_EQ(t.rows[0].entities, 1);
    EXPECT_EQ(t.rows[0].points, 3 + 1 + 1);  // own station outside Spain
    EXPECT_EQ(TheContest().entityLists[4], StringList{"EA8"});
}

TEST_F(TallyTest, DupesAndUncountedEntriesAddOnlyToTheDupeCount) {
    Add("K1AA", "20m", "K");
    AddDupe("K1AA", "20m", "K");
    AddDupe("EA1AA", "80m", "EA");
    Add("", "20m", "F");  // no call: not counted
    Tally t = Compute();
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0].band, "80m");
    EXPECT_EQ(
        (std::vector<int>{t.rows[0].qsos, t.rows[0].points, t.rows[0].mults, t.rows[0].dupes}),
        (std::vector<int>{0, 0, 0, 1}));
    EXPECT_EQ(t.rows[1].qsos, 1);
    EXPECT_EQ(t.rows[1].entities, 1);
    EXPECT_EQ(t.rows[1].dupes, 1);
    EXPECT_EQ(t.total.dupes, 2);
    EXPECT_EQ(t.score, 1);
}

TEST_F(TallyTest, OnlyWorkedBandsRefillTheirLists) {
    TheContest().entityLists[0] = {"OLD"};
    TheContest().provinceLists[0] = {"OLD"};
    TheContest().entityLists[3] = {"STALE"};
    Add("K1AA", "20m", "K");
    Compute();
    EXPECT_EQ(TheContest().entityLists[0], StringList{"OLD"});
    EXPECT_EQ(TheContest().provinceLists[0], StringList{"OLD"});
    EXPECT_EQ(TheContest().entityLists[3], StringList{"K"});
}

TEST_F(TallyTest, BandInAnotherLetterCaseIsReportedButFillsNoList) {
    Add("K1AA", "20M", "K");
    Add("K2AA", "20m", "VE");
    Tally t = Compute();
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.total.qsos, 2);
    EXPECT_EQ(TheContest().entityLists[3], StringList{"VE"});
    for (int slot = 0; slot < contest::kBandCount; ++slot) {
        if (slot == 3) continue;
        EXPECT_TRUE(TheContest().entityLists[slot].empty()) << slot;
    }
}

TEST_F(TallyTest, ScoreBeyondThirtyTwoBitsWrapsInsteadOfTrapping) {
    TheContest().ownPrefix = "DL";
    // Every QSO a new entity: points and multipliers grow together.
    for (int i = 0; i < 30000; ++i)
        Add("C" + std::to_string(i), "20m", "P" + std::to_string(i));
    Tally t = Compute();
    EXPECT_EQ(t.total.mults, 30000);
    EXPECT_EQ(t.total.points, 30000);
    EXPECT_EQ(t.score, 900000000);
    for (int i = 0; i < 60000; ++i)
        Add("D" + std::to_string(i), "20m", "Q" + std::to_string(i));
    t = Compute();
    const int64_t exact = int64_t{90000} * 90000;
    EXPECT_EQ(t.score, static_cast<int32_t>(exact));
}

TEST(BadQsoCount, EveryLineButTheTitleAndTheDupes) {
    ScopedTempDir dir;
    const std::string name = "BadQSO_StatsSOLSTICE-RACE_07_12_2026.txt";
    WriteFile(dir.path() / name,
              "SOLSTICE-RACE CW TEST UBN file \r\n"
              "QSO:  14025  CW  2026-12-06 1200  EA1XX  599  001  DL1AA  599  001   WRONG BAND "
              "!!!\r\n"
              "QSO:  7025  CW  2026-12-06 1201  EA1XX  599  002  DL1AB  599  002   WRONG BAND "
              "!!!\r\n"
              "QSO:  7025  CW  2026-12-06 1202  EA1XX  599  003  DL1AB  599  002   DUPE !!!\r\n");
    EXPECT_EQ(results::CountBadQsos(name), 2);
    // At the very first character the words do not exclude a line.
    WriteFile(dir.path() / name, "UBN\r\nDUPE x\r\nx DUPE\nx UBN\r\n\r\n");
    EXPECT_EQ(results::CountBadQsos(name), 3);
    EXPECT_EQ(results::CountBadQsos("missing.txt"), 0);
    EXPECT_EQ(results::CountBadQsos(""), 0);
}

TEST_F(TallyTest, BadQsoCountComesFromTheCurrentFile) {
    ScopedTempDir dir;
    TheContest().badQsoFile = "bad.txt";
    WriteFile(dir.path() / "bad.txt",
              "SOLSTICE-RACE SSB TEST UBN file \r\nQSO: 1   NO NUMBER !!!\r\n");
    EXPECT_EQ(Compute().badQsos, 1);
}

TEST(WholeMinutes, HalfSecondDecidesTheEdge) {
    const double ref = At(12, 0);
    EXPECT_EQ(results::WholeMinutes(ref, ref), 0);
    EXPECT_EQ(results::WholeMinutes(ref, ref - 3599.4 * kSecond), 59);
    EXPECT_EQ(results::WholeMinutes(ref, ref - 3599.6 * kSecond), 60);
    EXPECT_EQ(results::WholeMinutes(ref, ref - 599.4 * kSecond), 9);
    EXPECT_EQ(results::WholeMinutes(ref, ref - 599.6 * kSecond), 10);
    // A later QSO counts toward zero from the other side.
    EXPECT_EQ(results::WholeMinutes(ref, ref + 30 * kSecond), 0);
    EXPECT_EQ(results::WholeMinutes(ref, ref + 3600 * kSecond), -60);
    // Wild values from the host stay finite comparisons, never an integer overflow.
    EXPECT_GT(results::WholeMinutes(1e300, 0), 60);
}

TEST_F(TallyTest, RatesCountTheRateBandOnly) {
    TheContest().ownPrefix = "DL";
    Add("K1AA", "20m", "K", "", At(11, 1));
    Add("EA1AA", "20m", "EA", "M", At(11, 55));
    Add("F1AA", "40m", "F", "", At(11, 59));
    Add("K2AA", "20m", "K", "", At(12, 0));
    Tally t = Compute();
    EXPECT_EQ(t.rates.hourQsos, 3);
    EXPECT_EQ(t.rates.hourPoints, 5);
    EXPECT_EQ(t.rates.tenMinuteQsos, 2);
    EXPECT_EQ(t.rates.tenMinutePoints, 4);
    EXPECT_EQ(t.rates.lastQsoPoints, 1);
    // The 40m QSO still counts in its own row.
    EXPECT_EQ(t.rows[0].band, "40m");
    EXPECT_EQ(t.rows[0].qsos, 1);
}

TEST_F(TallyTest, RateWindowEdgesAtFiftyNineMinutesFiftyNineSeconds) {
    const double ref = At(12, 0);
    Add("A1", "20m", "K", "", ref - 3599.4 * kSecond);
    Add("A2", "20m", "K", "", ref - 3599.6 * kSecond);
    Add("A3", "20m", "K", "", ref - 599.4 * kSecond);
    Add("A4", "20m", "K", "", ref - 599.6 * kSecond);
    Add("A5", "20m", "K", "", ref + 3 * 3600 * kSecond);  // dated after the newest entry
    Add("A6", "20m", "K", "", ref);
    Tally t = Compute();
    EXPECT_EQ(t.rates.hourQsos, 5);       // A1, A3, A4, A5, A6
    EXPECT_EQ(t.rates.tenMinuteQsos, 3);  // A3, A5, A6
}

TEST_F(TallyTest, SingleQsoCountsInBothWindows) {
    TheContest().ownPrefix = "F";
    Add("EA8AA", "10m", "EA8", "GC", At(8, 0));
    Tally t = Compute();
    EXPECT_EQ(t.rates.hourQsos, 1);
    EXPECT_EQ(t.rates.tenMinuteQsos, 1);
    EXPECT_EQ(t.rates.hourPoints, 3);
    EXPECT_EQ(t.rates.tenMinutePoints, 3);
    EXPECT_EQ(t.rates.lastQsoPoints, 3);
}

TEST_F(TallyTest, NewestDupeSetsReferenceButNotLastPoints) {
    TheContest().ownPrefix = "DL";
    Add("EA1AA", "20m", "EA", "M", At(10, 0));
    Add("K1AA", "40m", "K", "", At(11, 0));
    AddDupe("K1AA", "20m", "K", At(10, 55));
    Tally t = Compute();
    // Rate band 20m from the dupe; the reference is 10:55, so the 10:00 QSO is in the hour.
    EXPECT_EQ(t.rates.hourQsos, 1);
    EXPECT_EQ(t.rates.tenMinuteQsos, 0);
    EXPECT_EQ(t.rates.lastQsoPoints, 3);
}

TEST_F(TallyTest, WithoutRatesOnlyTheLastQsoPointsRemain) {
    TheContest().ownPrefix = "EA";
    Add("EA1AA", "20m", "EA", "M", At(12, 0));
    Tally t = Compute(false);
    EXPECT_EQ(t.rates.hourQsos, 0);
    EXPECT_EQ(t.rates.hourPoints, 0);
    EXPECT_EQ(t.rates.tenMinuteQsos, 0);
    EXPECT_EQ(t.rates.tenMinutePoints, 0);
    EXPECT_EQ(t.rates.lastQsoPoints, 2);
}

}  // namespace
