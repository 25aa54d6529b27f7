#include "results/tally.h"

#include <cmath>
#include <cstdint>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "base/textfile.h"
#include "contest/contest_rules.h"

namespace results {

namespace {

// Band names compare by their text padded on the left with zeros to 20 characters, so that
// longer wavelengths sort as larger numbers.
std::string BandKey(const std::string& band) {
    constexpr size_t kWidth = 20;
    if (band.size() >= kWidth) return band;
    return std::string(kWidth - band.size(), '0') + band;
}

// Everything one band accumulates during the walk.
struct BandWork {
    BandRow row;
    StringList* entityList = nullptr;  // null for a band name without a slot
    StringList* provinceList = nullptr;
    std::unordered_set<std::string_view> seenEntities;
    std::unordered_set<std::string_view> seenProvinces;
};

// Index of `band` among the sorted worked bands, or -1. The list is a handful of names, and
// consecutive QSOs are mostly on one band, so the last hit is tried first.
int BandIndex(const StringList& bands, const std::string& band, int& lastHit) {
    if (lastHit >= 0 && bands[static_cast<size_t>(lastHit)] == band) return lastHit;
    for (size_t i = 0; i < bands.size(); ++i) {
        if (bands[i] == band) {
            lastHit = static_cast<int>(i);
            return lastHit;
        }
    }
    return -1;
}

int PointsFrom(bool ownSpain, const std::string& workedPrefix) {
    if (contest::IsSpanishEntity(workedPrefix)) return ownSpain ? 2 : 3;
    return 1;
}

// Rate windows in whole minutes.
constexpr double kHourMinutes = 60;
constexpr double kTenMinutes = 10;

}  // namespace

int QsoPoints(const std::string& ownPrefix, const std::string& workedPrefix) {
    return PointsFrom(contest::IsSpanishEntity(ownPrefix), workedPrefix);
}

void SortBands(StringList& bands) {
    std::vector<std::string> keys;
    keys.reserve(bands.size());
    for (const std::string& b : bands)
        keys.push_back(BandKey(b));
    // Exchange sort into descending key order; the list is a handful of names.
    for (size_t i = 0; i + 1 < bands.size(); ++i) {
        for (size_t j = i + 1; j < bands.size(); ++j) {
            if (keys[i] < keys[j]) {
                std::swap(keys[i], keys[j]);
                std::swap(bands[i], bands[j]);
            }
        }
    }
}

int CountBadQsos(const std::string& path) {
    auto lines = textfile::ReadLines(path);
    return lines ? CountBadQsos(*lines) : 0;
}

int CountBadQsos(const std::vector<std::string>& lines) {
    int count = 0;
    for (const std::string& line : lines) {
        // The title carries "UBN" and duplicate lines carry "DUPE"; neither is a bad QSO.
        const bool excluded =
            line.find("DUPE", 1) != std::string::npos || line.find("UBN", 1) != std::string::npos;
        if (!excluded) ++count;
    }
    return count;
}

double WholeMinutes(double referenceDays, double qsoDays) {
    constexpr double kHalfSecond = 0.5 / 86400.0;
    const double span = referenceDays - qsoDays;
    const double minutes =
        span >= 0 ? (span + kHalfSecond) * 1440.0 : (span - kHalfSecond) * 1440.0;
    return std::trunc(minutes);
}

Tally ComputeTally(engine::Contest& s, bool withRates, std::vector<ScoredQso>* perQso) {
    Tally t;
    SortBands(s.workedBands);
    if (auto lines = s.BadQsoLines()) t.badQsos = CountBadQsos(*lines);

    const StringList& bands = s.workedBands;
    std::vector<BandWork> work(bands.size());
    for (size_t i = 0; i < bands.size(); ++i) {
        work[i].row.band = bands[i];
        // Only the six slot lists are ever touched; a band written in another letter case
        // has no slot and fills none.
        const int slot = contest::BandSlot(bands[i]);
        if (slot >= 0) {
            work[i].entityList = &s.entityLists[static_cast<size_t>(slot)];
            work[i].provinceList = &s.provinceLists[static_cast<size_t>(slot)];
            work[i].entityList->clear();
            work[i].provinceList->clear();
        }
    }

    // The newest entry, counted or not, gives the reference time and the rate band.
    const std::vector<CInfo>& entries = s.log.Entries();
    int lastHit = -1;
    int rateBand = -1;
    double referenceDays = 0;
    if (!entries.empty()) {
        rateBand = BandIndex(bands, entries.back().m_strBand, lastHit);
        referenceDays = entries.back().m_time.m_dt;
    }

    // One pass over the log; each entry goes to the row of its band, in log order.
    const bool ownSpain = contest::IsSpanishEntity(s.ownPrefix);
    if (perQso) {
        perQso->clear();
        perQso->reserve(entries.size());
    }
    ScoredQso unused;
    for (const CInfo& e : entries) {
        const int index = BandIndex(bands, e.m_strBand, lastHit);
        ScoredQso& q = perQso ? perQso->emplace_back() : unused;
        q.time = e.m_time.m_dt;
        q.bandIndex = index;
        q.dupe = e.m_bDupe != 0;
        if (index < 0) continue;
        BandWork& w = work[static_cast<size_t>(index)];
        if (e.m_bDupe) ++w.row.dupes;
        if (e.m_strCall.empty() || e.m_bNotCounted) continue;

        const int points = PointsFrom(ownSpain, e.m_strPrefix);
        q.counted = true;
        q.points = points;
        ++w.row.qsos;
        w.row.points += points;
        if (index == rateBand) {
            t.rates.lastQsoPoints = points;
            if (withRates) {
                const double minutes = WholeMinutes(referenceDays, e.m_time.m_dt);
                if (minutes < kHourMinutes) {
                    ++t.rates.hourQsos;
                    t.rates.hourPoints += points;
                }
                if (minutes < kTenMinutes) {
                    ++t.rates.tenMinuteQsos;
                    t.rates.tenMinutePoints += points;
                }
            }
        }
        // A QSO without an entity (a maritime mobile, a call no country file knows) scores
        // its points but is no EADX100 multiplier, as the call check answers while typing.
        if (!e.m_strPrefix.empty() && w.seenEntities.insert(e.m_strPrefix).second) {
            if (w.entityList) w.entityList->push_back(e.m_strPrefix);
            ++w.row.entities;
            ++w.row.mults;
            q.newEntity = true;
        }
        if (!e.m_strProvince.empty() && w.seenProvinces.insert(e.m_strProvince).second) {
            if (w.provinceList) w.provinceList->push_back(e.m_strProvince);
            ++w.row.provinces;
            ++w.row.mults;
            q.newProvince = true;
        }
    }

    t.total.band = "Total";
    t.rows.reserve(work.size());
    for (BandWork& w : work) {
        t.total.qsos += w.row.qsos;
        t.total.points += w.row.points;
        t.total.entities += w.row.entities;
        t.total.provinces += w.row.provinces;
        t.total.mults += w.row.mults;
        t.total.dupes += w.row.dupes;
        t.rows.push_back(std::move(w.row));
    }
    // The score is a 32-bit figure in the settings file and the Cabrillo header; a product
    // beyond its range wraps as it does there instead of being undefined.
    t.score = static_cast<int32_t>(static_cast<int64_t>(t.total.points) * t.total.mults);
    s.claimed = t.score;
    return t;
}

}  // namespace results
