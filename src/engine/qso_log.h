#pragma once
// The plug-in's copy of the contest log: stored QSOs in arrival order.
#include <vector>

#include "engine/info.h"

class QsoLog {
public:
    void Append(const CInfo& entry);
    // Removes the entry at `index`, shifting later entries down by one.
    void RemoveAt(int index);
    // Size 0, storage released.
    void Clear();

    int Count() const { return static_cast<int>(m_entries.size()); }
    bool Empty() const { return m_entries.empty(); }
    const CInfo& operator[](int index) const { return m_entries[static_cast<size_t>(index)]; }
    const std::vector<CInfo>& Entries() const { return m_entries; }

private:
    std::vector<CInfo> m_entries;
};
