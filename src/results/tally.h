#pragma once
// Score, multipliers and rates, recomputed from the log on every results call. Nothing here
// survives a call except what the state keeps: the band order, the per-band lists and the
// claimed score.
#include <string>
#include <vector>

#include "engine/state.h"

namespace results {

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

// Points of one QSO from the own and the worked entity prefix: 2 Spain-Spain, 3 from abroad
// into Spain, 1 otherwise.
int QsoPoints(const std::string& ownPrefix, const std::string& workedPrefix);

// Puts the band names into band order in place (160m first, 10m last).
void SortBands(StringList& bands);

// Lines of the bad-QSO file that are bad QSOs: every line except those with "DUPE" or
// "UBN" after the first character (the title and the duplicates). 0 when the file cannot be
// read.
int CountBadQsos(const std::string& path);

// Whole minutes between the reference time and a QSO time (both in days), rounded at the
// half second and truncated toward zero. Kept as a double: a wild date must not overflow.
double WholeMinutes(double referenceDays, double qsoDays);

// Sorts the worked bands, counts the bad QSOs, tallies every worked band, refills the
// per-band lists of the bands that have a slot and sets the claimed score. Rates are only
// accumulated when `withRates` is set; the last QSO points always are. With `perQso`, also
// says for every stored QSO what it counted for. Needs the state lock.
Tally ComputeTally(PluginState& s, bool withRates, std::vector<ScoredQso>* perQso = nullptr);

}  // namespace results
