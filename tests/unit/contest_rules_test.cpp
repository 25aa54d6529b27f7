#include <gtest/gtest.h>

#include "contest/contest_rules.h"
#include "engine/contest.h"
#include "engine/info.h"

namespace {

TEST(ContestRules, BandAndModeListsIgnoreCaseButNotBlanks) {
    engine::Contest s;
    EXPECT_EQ(s.bandList.GetSize(), 6);
    EXPECT_EQ(s.modeList.GetSize(), 2);
    EXPECT_EQ(s.modeList.Lookup("ssb"), 1);
    EXPECT_EQ(s.modeList.Lookup("Cw"), 1);
    EXPECT_EQ(s.modeList.Lookup("RTTY"), 0);
    EXPECT_EQ(s.bandList.Lookup("160M"), 1);
    EXPECT_EQ(s.bandList.Lookup("20m "), 0);
    EXPECT_EQ(s.bandList.Lookup("12m"), 0);
    EXPECT_EQ(s.bandList.Lookup(""), 0);
    EXPECT_EQ(s.bandList[0], "160m");
    EXPECT_EQ(s.bandList[5], "10m");
}

TEST(ContestRules, BandSlotsAreExact) {
    EXPECT_EQ(contest::BandSlot("160m"), 0);
    EXPECT_EQ(contest::BandSlot("20m"), 3);
    EXPECT_EQ(contest::BandSlot("10m"), 5);
    EXPECT_EQ(contest::BandSlot("20M"), -1);
    EXPECT_EQ(contest::BandSlot(""), -1);
}

TEST(ContestRules, ProvinceTableIsCaseSensitive) {
    int count = 0;
    for (const char* const* p = contest::kProvinces; *p; ++p)
        ++count;
    EXPECT_EQ(count, 55);
    EXPECT_TRUE(contest::IsProvince("SMR"));
    EXPECT_TRUE(contest::IsProvince("HQ"));
    EXPECT_TRUE(contest::IsProvince("TF"));
    EXPECT_FALSE(contest::IsProvince("hq"));
    EXPECT_FALSE(contest::IsProvince("EA0"));
    EXPECT_FALSE(contest::IsProvince(""));
    EXPECT_FALSE(contest::IsProvince("M "));
}

TEST(ContestRules, EntityGroupsAreExact) {
    for (const char* p : {"EA", "EA6", "EA8", "EA9"})
        EXPECT_TRUE(contest::IsSpanishEntity(p));
    EXPECT_FALSE(contest::IsSpanishEntity("ea"));
    EXPECT_FALSE(contest::IsSpanishEntity("EA "));
    EXPECT_FALSE(contest::IsSpanishEntity("EA0"));
    EXPECT_FALSE(contest::IsSpanishEntity(""));
    for (const char* p : {"UA", "UA2", "UA2/f", "UR", "UN", "EU"}) {
        EXPECT_TRUE(contest::IsExUssrEntity(p));
    }
    EXPECT_FALSE(contest::IsExUssrEntity("UA2/F"));
    EXPECT_FALSE(contest::IsExUssrEntity("UA9"));
}

TEST(ContestRules, CallAreaKeepsTheLastDigit) {
    CInfo e;
    contest::RecordCallArea(e.CallAreas(), "K", "K");
    EXPECT_EQ(e.m_nAreaK, -1);
    contest::RecordCallArea(e.CallAreas(), "JA", "7J1");
    EXPECT_EQ(e.m_nAreaJA, 1);
    contest::RecordCallArea(e.CallAreas(), "K", "W5");
    EXPECT_EQ(e.m_nAreaK, 5);
    contest::RecordCallArea(e.CallAreas(), "VE", "VE3");
    contest::RecordCallArea(e.CallAreas(), "VK", "VK0");
    EXPECT_EQ(e.m_nAreaVE, 3);
    EXPECT_EQ(e.m_nAreaVK, 0);
    CInfo spanish;
    contest::RecordCallArea(spanish.CallAreas(), "EA", "EA5");
    contest::RecordCallArea(spanish.CallAreas(), "k", "W5");
    EXPECT_EQ(spanish.m_nAreaK, -1);
    EXPECT_EQ(spanish.m_nAreaJA, -1);
}

TEST(LogRecord, ConstructionAndAssignment) {
    CInfo e;
    EXPECT_EQ(e.m_nAreaJA, -1);
    EXPECT_EQ(e.m_nAreaK, -1);
    EXPECT_EQ(e.m_nAreaVE, -1);
    EXPECT_EQ(e.m_nAreaVK, -1);
    EXPECT_EQ(e.m_time.m_dt, 0.0);
    EXPECT_EQ(e.m_time.m_status, COleDateTime::valid);
    EXPECT_TRUE(e.m_strCall.empty() && e.m_strProvince.empty());

    CInfo src;
    src.m_strCall = "EA8AA";
    src.m_nFreqKHz = 7012;
    src.m_bDupe = 1;
    src.m_nReserved = 7;
    CInfo dst;
    dst.m_nReserved = 3;
    dst = src;
    EXPECT_EQ(dst.m_strCall, "EA8AA");
    EXPECT_EQ(dst.m_nFreqKHz, 7012u);
    EXPECT_EQ(dst.m_bDupe, 1);
    EXPECT_EQ(dst.m_nReserved, 3);
}

TEST(LogRecord, LogRemovesAndShifts) {
    QsoLog log;
    for (const char* call : {"A1", "B2", "C3"}) {
        CInfo e;
        e.m_strCall = call;
        log.Append(e);
    }
    log.RemoveAt(1);
    ASSERT_EQ(log.Count(), 2);
    EXPECT_EQ(log[1].m_strCall, "C3");
    log.RemoveAt(5);  // out of range: nothing
    EXPECT_EQ(log.Count(), 2);
    log.RemoveAt(0);
    log.RemoveAt(0);
    EXPECT_TRUE(log.Empty());
}

}  // namespace
