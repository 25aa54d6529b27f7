#pragma once
// The plug-in's copy of the contest log: stored QSOs in arrival order.
//
// Beside the entries the log keeps counts of the field combinations that admission and the
// call check ask about, so that those questions cost the same at any log size. Entries are
// only reachable read-only, so Append, RemoveAt and Clear are the only places that change
// what the counts describe. The call check's counts are built at its first question and kept
// from then on: a log that is only scored never pays for them. Hence the questions change
// the log's memory and, like every change, need the owner's lock.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/info.h"

class QsoLog {
public:
    void Append(CInfo entry);
    // Removes the entry at `index`, shifting later entries down by one.
    void RemoveAt(int index);
    // Size 0, storage released.
    void Clear();

    int Count() const { return static_cast<int>(m_entries.size()); }
    bool Empty() const { return m_entries.empty(); }
    const CInfo& operator[](int index) const { return m_entries[static_cast<size_t>(index)]; }
    const std::vector<CInfo>& Entries() const { return m_entries; }

    // Whether some entry has exactly these texts (case-sensitive, as the rules compare).
    bool HasCallBandMode(std::string_view call, std::string_view band, std::string_view mode) const;
    bool HasCallBand(std::string_view call, std::string_view band) const;
    bool HasBandPrefix(std::string_view band, std::string_view prefix) const;
    bool HasBandProvince(std::string_view band, std::string_view province) const;

private:
    using Counts = std::unordered_map<std::string, int>;
    void Count(const CInfo& entry, int delta);
    void CountForCheck(const CInfo& entry, int delta) const;
    void BuildCheckCounts() const;
    static void Adjust(Counts& counts, std::string key, int delta);
    static bool Has(const Counts& counts, const std::string& key);

    std::vector<CInfo> m_entries;
    Counts m_callBandMode;
    // The call check's.
    mutable bool m_checkCounts = false;
    mutable Counts m_callBand;
    mutable Counts m_bandPrefix;
    mutable Counts m_bandProvince;
};
