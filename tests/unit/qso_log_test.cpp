// The log's indexes answer exactly what a walk over the entries answers, through appends,
// removals anywhere and clearing.
#include <gtest/gtest.h>

#include <random>

#include "engine/qso_log.h"

namespace {

bool Scan(const QsoLog& log, auto&& match) {
    for (const CInfo& e : log.Entries()) {
        if (match(e)) return true;
    }
    return false;
}

void ExpectSameAnswers(const QsoLog& log, const std::vector<std::string>& calls,
                       const std::vector<std::string>& bands, const std::vector<std::string>& modes,
                       const std::vector<std::string>& prefixes,
                       const std::vector<std::string>& provinces) {
    for (const auto& band : bands) {
        for (const auto& call : calls) {
            EXPECT_EQ(
                log.HasCallBand(call, band),
                Scan(log,
                     [&](const CInfo& e) { return e.m_strCall == call && e.m_strBand == band; }))
                << call << band;
            for (const auto& mode : modes) {
                EXPECT_EQ(log.HasCallBandMode(call, band, mode), Scan(log, [&](const CInfo& e) {
                              return e.m_strCall == call && e.m_strBand == band &&
                                     e.m_strMode == mode;
                          }));
            }
        }
        for (const auto& prefix : prefixes) {
            EXPECT_EQ(log.HasBandPrefix(band, prefix), Scan(log, [&](const CInfo& e) {
                          return e.m_strBand == band && e.m_strPrefix == prefix;
                      }));
        }
        for (const auto& province : provinces) {
            EXPECT_EQ(log.HasBandProvince(band, province), Scan(log, [&](const CInfo& e) {
                          return e.m_strBand == band && e.m_strProvince == province;
                      }));
        }
    }
}

TEST(QsoLogIndex, AgreesWithTheScansThroughEveryChange) {
    // Small vocabularies so that combinations repeat; texts that run into each other when
    // joined ("A" + "B1" against "AB" + "1") must stay apart.
    const std::vector<std::string> calls = {"A", "AB", "EA1A", "EA1AB", "ea1a", ""};
    const std::vector<std::string> bands = {"1", "B1", "20m", "20M", "40m"};
    const std::vector<std::string> modes = {"CW", "SSB", "cw"};
    const std::vector<std::string> prefixes = {"EA", "EA8", "K", ""};
    const std::vector<std::string> provinces = {"", "SMR", "M", "TF"};
    std::mt19937 rng(20170507);
    auto pick = [&](const std::vector<std::string>& v) { return v[rng() % v.size()]; };

    QsoLog log;
    for (int step = 0; step < 400; ++step) {
        unsigned what = rng() % 10;
        if (what < 6) {
            CInfo e;
            e.m_strCall = pick(calls);
            e.m_strBand = pick(bands);
            e.m_strMode = pick(modes);
            e.m_strPrefix = pick(prefixes);
            e.m_strProvince = pick(provinces);
            log.Append(e);
        } else if (what < 9 && !log.Empty()) {
            int index = static_cast<int>(rng() % static_cast<unsigned>(log.Count()));
            int before = log.Count();
            log.RemoveAt(index);
            ASSERT_EQ(log.Count(), before - 1);
        } else if (what == 9 && rng() % 3 == 0) {
            log.Clear();
            EXPECT_TRUE(log.Empty());
        }
        if (step % 20 == 0) ExpectSameAnswers(log, calls, bands, modes, prefixes, provinces);
    }
    ExpectSameAnswers(log, calls, bands, modes, prefixes, provinces);
    while (!log.Empty())
        log.RemoveAt(0);
    ExpectSameAnswers(log, calls, bands, modes, prefixes, provinces);
    EXPECT_FALSE(log.HasCallBand("", "1"));
}

TEST(QsoLogIndex, RemovingOutsideTheLogChangesNothing) {
    QsoLog log;
    CInfo e;
    e.m_strCall = "DL1ABC";
    e.m_strBand = "20m";
    log.Append(e);
    log.RemoveAt(1);
    log.RemoveAt(-1);
    EXPECT_EQ(log.Count(), 1);
    EXPECT_TRUE(log.HasCallBand("DL1ABC", "20m"));
}

}  // namespace
