#pragma once
// Synthetic contest logs that look like a real SOLSTICE RACE log: calls of many entities with
// the Spanish share of a real contest, provinces from Spanish stations and serial numbers
// from everybody else, all six bands, about 1 % dupes and 1 % bad QSOs, and times spread
// over 24 hours. The same seed always gives the same log.
#include <cstdint>
#include <string>
#include <vector>

#include "base/datetime.h"

namespace loggen {

// One QSO with the texts the host passes to AddData0.
struct Qso {
    std::string call;
    std::string band;
    std::string mode;
    COleDateTime time;
    unsigned freqHz = 0;
    std::string rstSent;
    std::string rstRcvd;
    std::string exchSent;
    std::string exchRcvd;
    std::string prefixText;  // call prefix, e.g. "EA3"
    std::string prefix;      // entity prefix, e.g. "EA"
    enum class Kind { Good, Dupe, Bad } kind = Kind::Good;
};

struct Options {
    int count = 1000;
    uint32_t seed = 1;
    bool cw = true;
    COleDateTime start = COleDateTime::FromFields(2026, 12, 5, 12, 0);
    double dupeShare = 0.01;
    double badShare = 0.01;
    double repeatShare = 0.3;  // QSOs with a station already worked on another band
};

std::vector<Qso> Generate(const Options& options);

}  // namespace loggen
