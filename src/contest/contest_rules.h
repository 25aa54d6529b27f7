#pragma once
// The contest's fixed vocabulary: bands, modes, province codes and the entity groups the
// rules treat specially. Every other module asks these questions here.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace contest {

constexpr int kBandCount = 6;
// Band slot 0-5 indexes every per-band structure.
extern const char* const kBands[kBandCount];  // "160m" ... "10m"
constexpr int kModeCount = 2;
extern const char* const kModes[kModeCount];  // "CW", "SSB"

// The province table in its fixed order, null-terminated (55 codes, "HQ" twice, "SMR" last).
extern const char* const kProvinces[];

// The call check's special prefix and the province it stands for.
constexpr const char* kSpecialPrefix = "EA0";
constexpr const char* kSpecialProvince = "SMR";

// Band slot of a band name compared exactly, or -1.
int BandSlot(const std::string& band);

// Exact, case-sensitive membership tests.
bool IsProvince(const std::string& code);
bool IsSpanishEntity(const std::string& prefix);
bool IsExUssrEntity(const std::string& prefix);

// The call-area fields of one QSO, one for each entity whose call areas are told apart.
struct CallAreaFields {
    int32_t& k;
    int32_t& ve;
    int32_t& vk;
    int32_t& ja;
};

// Stores the last digit of `prefixText` into the call-area field that `prefix` selects
// ("K", "VE", "VK", "JA"); other entities and texts without digits change nothing.
void RecordCallArea(CallAreaFields areas, const std::string& prefix, const std::string& prefixText);

}  // namespace contest

// A list of texts built from one of the tables; lookups ignore letter case.
class CContestRules {
public:
    CContestRules(const char* const* table, int count);
    ~CContestRules() { m_items.clear(); }

    // 1 when `text` equals an entry without regard to case, else 0.
    int Lookup(std::string text) const;
    int GetSize() const { return static_cast<int>(m_items.size()); }
    const std::string& operator[](int i) const { return m_items[static_cast<size_t>(i)]; }

private:
    std::vector<std::string> m_items;
};
