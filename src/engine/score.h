#pragma once
// The values a results call computes from a log: per-band rows, rates and, when asked, what
// every stored QSO counted for. Computed by the results room; an engine instance hands them
// to its callers.
#include <string>
#include <vector>

namespace engine {

struct BandRow {
    std::string band;
    int qsos = 0;
    int points = 0;
    int entities = 0;   // EADX100
    int provinces = 0;  // Prov
    int mults = 0;      // iMults
    int dupes = 0;
};

struct Rates {
    int hourQsos = 0;
    int hourPoints = 0;
    int tenMinuteQsos = 0;
    int tenMinutePoints = 0;
    int lastQsoPoints = 0;
};

// One stored QSO as the tally saw it, in log order: what a report needs to show the contest
// hour by hour without knowing a rule.
struct ScoredQso {
    double time = 0;     // days, as the date-time value holds them
    int bandIndex = -1;  // index into Tally::rows, -1 for a band the tally does not walk
    bool counted = false;
    bool dupe = false;
    int points = 0;            // 0 unless counted
    bool newEntity = false;    // raised an EADX100 multiplier on its band
    bool newProvince = false;  // raised a province multiplier on its band
};

struct Tally {
    std::vector<BandRow> rows;  // in band order
    BandRow total;              // band "Total"
    int badQsos = 0;
    int score = 0;
    Rates rates;
};

}  // namespace engine
