#include "bench/log_generator.h"

#include <algorithm>
#include <cctype>
#include <random>
#include <unordered_set>

#include "contest/contest_rules.h"

namespace loggen {

namespace {

// Entity prefix, call stem and weight. Spain takes a little over half of the QSOs, as in
// the logs of the home stations of a national contest.
struct Entity {
    const char* prefix;
    const char* stem;
    int weight;
};
const Entity kEntities[] = {
    {"EA", "EA", 440}, {"EA8", "EA8", 40}, {"EA6", "EA6", 25}, {"EA9", "EA9", 5},
    {"I", "I", 40},    {"F", "F", 40},     {"DL", "DL", 40},   {"CT", "CT", 35},
    {"G", "G", 25},    {"ON", "ON", 15},   {"PA", "PA", 15},   {"OK", "OK", 15},
    {"SP", "SP", 20},  {"UA", "UA", 30},   {"UA9", "UA9", 10}, {"UR", "UR", 15},
    {"K", "K", 35},    {"VE", "VE", 8},    {"JA", "JA", 8},    {"VK", "VK", 3},
    {"YU", "YU", 8},   {"S5", "S5", 8},    {"9A", "9A", 8},    {"HA", "HA", 10},
    {"YO", "YO", 8},   {"LZ", "LZ", 8},    {"SV", "SV", 6},    {"OH", "OH", 6},
    {"SM", "SM", 6},   {"LA", "LA", 5},    {"OZ", "OZ", 5},    {"HB", "HB9", 6},
    {"OE", "OE", 6},   {"EI", "EI", 4},    {"GM", "GM", 4},    {"PY", "PY", 6},
    {"LU", "LU", 4},   {"CX", "CX", 2},    {"CN", "CN", 3},    {"4X", "4X", 2},
    {"ZS", "ZS", 2},   {"3V", "3V", 1},    {"CU", "CU", 2},    {"CT3", "CT3", 2},
};

// Bands with the share of a 24-hour contest: the low bands at night, the high ones by day.
const int kBandWeights[contest::kBandCount] = {8, 17, 30, 25, 12, 8};
const unsigned kBandBaseKHz[contest::kBandCount] = {1830, 3510, 7010, 14010, 21010, 28010};

std::string Letters(std::mt19937& rng, int n) {
    std::string s;
    std::uniform_int_distribution<int> letter('A', 'Z');
    for (int i = 0; i < n; ++i)
        s += static_cast<char>(letter(rng));
    return s;
}

std::string Serial(int n) {
    std::string s = std::to_string(n);
    return s.size() < 3 ? std::string(3 - s.size(), '0') + s : s;
}

// Province sent by a Spanish station of the given entity.
std::string ProvinceOf(const std::string& prefix, std::mt19937& rng) {
    auto pick = [&](std::initializer_list<const char*> codes) {
        std::uniform_int_distribution<size_t> d(0, codes.size() - 1);
        return std::string(*(codes.begin() + static_cast<std::ptrdiff_t>(d(rng))));
    };
    if (prefix == "EA6") return "IB";
    if (prefix == "EA8") return pick({"GC", "TF"});
    if (prefix == "EA9") return pick({"CE", "ML"});
    std::vector<std::string> mainland;
    for (const char* const* p = contest::kProvinces; *p; ++p) {
        std::string code = *p;
        if (code != "IB" && code != "GC" && code != "TF" && code != "CE" && code != "ML" &&
            code != "SMR")
            mainland.push_back(code);
    }
    std::uniform_int_distribution<size_t> d(0, mainland.size() - 1);
    return mainland[d(rng)];
}

}  // namespace

std::vector<Qso> Generate(const Options& o) {
    std::mt19937 rng(o.seed);
    std::vector<int> entityWeights, bandWeights(std::begin(kBandWeights), std::end(kBandWeights));
    for (const Entity& e : kEntities)
        entityWeights.push_back(e.weight);
    std::discrete_distribution<size_t> pickEntity(entityWeights.begin(), entityWeights.end());
    std::discrete_distribution<int> pickBand(bandWeights.begin(), bandWeights.end());
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> suffixLength(2, 3);
    std::uniform_int_distribution<unsigned> offsetKHz(0, 40);

    const std::string mode = o.cw ? "CW" : "SSB";
    const std::string rst = o.cw ? "599" : "59";
    const double daySpan = 1.0;  // 24 hours
    std::vector<Qso> log;
    std::vector<size_t> good;               // indexes of the good QSOs, the ones a dupe may repeat
    std::unordered_set<std::string> calls;  // every call in the log
    std::unordered_set<std::string> callBands;  // call and band of every QSO
    log.reserve(static_cast<size_t>(std::max(o.count, 0)));
    for (int i = 0; i < o.count; ++i) {
        Qso q;
        const double r = unit(rng);
        if (!good.empty() && r < o.dupeShare) {
            // Same station, band and mode as an earlier good QSO.
            std::uniform_int_distribution<size_t> earlier(0, good.size() - 1);
            q = log[good[earlier(rng)]];
            q.kind = Qso::Kind::Dupe;
        } else {
            const int slot = pickBand(rng);
            q.band = contest::kBands[slot];
            std::string area = std::to_string(digit(rng));
            // About a third of the QSOs are stations already worked on another band.
            bool known = false;
            std::string knownExchange;
            if (!good.empty() && unit(rng) < o.repeatShare) {
                std::uniform_int_distribution<size_t> earlier(0, good.size() - 1);
                const Qso& station = log[good[earlier(rng)]];
                if (!callBands.count(station.call + '/' + q.band)) {
                    q.call = station.call;
                    q.prefix = station.prefix;
                    q.prefixText = station.prefixText;
                    knownExchange = station.exchRcvd;
                    known = true;
                }
            }
            if (!known) {
                const Entity& e = kEntities[pickEntity(rng)];
                q.prefix = e.prefix;
                // A stem that ends in a digit (EA8, UA9) is the whole call prefix already.
                const std::string stem = e.stem;
                q.prefixText =
                    std::isdigit(static_cast<unsigned char>(stem.back())) ? stem : stem + area;
                // A new station has a call nobody in the log has; longer suffixes when the
                // short ones of a small entity run out.
                for (int attempt = 0;; ++attempt) {
                    q.call = q.prefixText + Letters(rng, attempt < 20 ? suffixLength(rng) : 4);
                    if (calls.insert(q.call).second) break;
                }
            }
            callBands.insert(q.call + '/' + q.band);
            q.freqHz = (kBandBaseKHz[slot] + offsetKHz(rng)) * 1000u + 100u * digit(rng);
            q.mode = mode;
            q.rstSent = rst;
            q.rstRcvd = rst;
            // A Spanish station sends its province on every band.
            const bool spanish = contest::IsSpanishEntity(q.prefix);
            if (spanish && known)
                q.exchRcvd = knownExchange;
            else if (spanish)
                q.exchRcvd = ProvinceOf(q.prefix, rng);
            else
                q.exchRcvd = Serial(1 + static_cast<int>(unit(rng) * 800));
            if (r < o.dupeShare + o.badShare) {
                // The faults admission reports: a band, mode or exchange that does not belong.
                q.kind = Qso::Kind::Bad;
                switch (i % 4) {
                    case 0:
                        q.band = "6m";
                        break;
                    case 1:
                        q.mode = o.cw ? "SSB" : "CW";
                        break;
                    case 2:
                        q.exchRcvd.clear();
                        break;
                    default:
                        q.prefix = "EA";
                        q.prefixText = "EA" + area;
                        q.exchRcvd = "XX";
                }
            }
        }
        if (q.kind == Qso::Kind::Good) good.push_back(log.size());
        q.exchSent = Serial(i + 1);
        q.time = COleDateTime(o.start.m_dt + daySpan * (i + unit(rng)) / std::max(o.count, 1));
        log.push_back(std::move(q));
    }
    return log;
}

}  // namespace loggen
