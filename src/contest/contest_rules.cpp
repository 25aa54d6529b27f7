#include "contest/contest_rules.h"

#include "base/text.h"

namespace contest {

const char* const kBands[kBandCount] = {"160m", "80m", "40m", "20m", "15m", "10m"};
const char* const kModes[kModeCount] = {"CW", "SSB"};

const char* const kProvinces[] = {
    "A",  "AB", "AL", "AV", "B",  "BA", "BI", "BU", "C",  "CA", "CC", "CE", "CO",  "CR",
    "CS", "CU", "GC", "GI", "GR", "GU", "H",  "HQ", "HU", "IB", "J",  "L",  "LE",  "LO",
    "LU", "M",  "MA", "ML", "MU", "NA", "O",  "OU", "P",  "PO", "S",  "SA", "SE",  "SG",
    "SO", "SS", "T",  "TE", "TF", "TO", "V",  "VA", "VI", "Z",  "ZA", "HQ", "SMR", nullptr};

namespace {
const char* const kSpanish[] = {"EA", "EA6", "EA8", "EA9"};
const char* const kExUssr[] = {"UA", "UA2", "UA2/f", "UR", "UN", "EU"};

template <size_t N>
bool IsMember(const char* const (&group)[N], const std::string& text) {
    for (const char* member : group) {
        if (text == member) return true;
    }
    return false;
}
}  // namespace

int BandSlot(const std::string& band) {
    for (int slot = 0; slot < kBandCount; ++slot) {
        if (band == kBands[slot]) return slot;
    }
    return -1;
}

bool IsProvince(const std::string& code) {
    for (const char* const* p = kProvinces; *p; ++p) {
        if (code == *p) return true;
    }
    return false;
}

bool IsSpanishEntity(const std::string& prefix) {
    return IsMember(kSpanish, prefix);
}
bool IsExUssrEntity(const std::string& prefix) {
    return IsMember(kExUssr, prefix);
}

void RecordCallArea(CallAreaFields areas, const std::string& prefix,
                    const std::string& prefixText) {
    int32_t* field = nullptr;
    if (prefix == "K") {
        field = &areas.k;
    } else if (prefix == "VE") {
        field = &areas.ve;
    } else if (prefix == "VK") {
        field = &areas.vk;
    } else if (prefix == "JA") {
        field = &areas.ja;
    } else {
        return;
    }
    for (char c : prefixText) {
        if (c >= '0' && c <= '9') *field = c - '0';
    }
}

}  // namespace contest

CContestRules::CContestRules(const char* const* table, int count) {
    for (int i = 0; i < count; ++i)
        m_items.emplace_back(table[i]);
}

int CContestRules::Lookup(std::string text) const {
    for (const std::string& item : m_items) {
        if (text::EqualsNoCase(item, text)) return 1;
    }
    return 0;
}
