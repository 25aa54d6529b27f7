#pragma once
// Score, multipliers and rates, recomputed from the log on every results call. Nothing here
// survives a call except what the instance keeps: the band order, the per-band lists and the
// claimed score.
#include <string>
#include <vector>

#include "engine/contest.h"

namespace results {

using engine::BandRow;
using engine::Rates;
using engine::ScoredQso;
using engine::Tally;

// Points of one QSO from the own and the worked entity prefix: 2 Spain-Spain, 3 from abroad
// into Spain, 1 otherwise.
int QsoPoints(const std::string& ownPrefix, const std::string& workedPrefix);

// Puts the band names into band order in place (160m first, 10m last).
void SortBands(StringList& bands);

// Lines of the bad-QSO file that are bad QSOs: every line except those with "DUPE" or
// "UBN" after the first character (the title and the duplicates). 0 when the file cannot be
// read.
int CountBadQsos(const std::string& path);
int CountBadQsos(const std::vector<std::string>& lines);

// Whole minutes between the reference time and a QSO time (both in days), rounded at the
// half second and truncated toward zero. Kept as a double: a wild date must not overflow.
double WholeMinutes(double referenceDays, double qsoDays);

// Sorts the worked bands, counts the bad QSOs, tallies every worked band, refills the
// per-band lists of the bands that have a slot and sets the claimed score. Rates are only
// accumulated when `withRates` is set; the last QSO points always are. With `perQso`, also
// says for every stored QSO what it counted for. Needs the instance's lock.
Tally ComputeTally(engine::Contest& s, bool withRates, std::vector<ScoredQso>* perQso = nullptr);

}  // namespace results
