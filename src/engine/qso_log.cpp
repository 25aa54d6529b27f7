#include "engine/qso_log.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {
// Texts from the host end at their first NUL, so NUL cannot occur inside a field and keeps
// ("AB", "C") apart from ("A", "BC").
std::string Key(std::initializer_list<std::string_view> parts) {
    std::string key;
    for (std::string_view part : parts) {
        key.append(part);
        key.push_back('\0');
    }
    return key;
}
}  // namespace

void QsoLog::Append(CInfo entry) {
    // A long log grows by an eighth rather than doubling: it keeps at most an eighth of its
    // storage unused, and appends stay amortised constant. A short one doubles, since each
    // growth moves every entry and thousands of short logs are scored side by side.
    constexpr size_t kDoublingBelow = 8192;
    if (m_entries.size() == m_entries.capacity()) {
        const size_t n = m_entries.size();
        m_entries.reserve(n + std::max<size_t>(4, n < kDoublingBelow ? n : n / 8));
    }
    m_entries.push_back(std::move(entry));
    Count(m_entries.back(), +1);
}

void QsoLog::RemoveAt(int index) {
    if (index < 0 || index >= Count()) return;
    Count(m_entries[static_cast<size_t>(index)], -1);
    m_entries.erase(m_entries.begin() + index);
}

void QsoLog::Clear() {
    std::vector<CInfo>().swap(m_entries);
    Counts().swap(m_callBandMode);
    Counts().swap(m_callBand);
    Counts().swap(m_bandPrefix);
    Counts().swap(m_bandProvince);
    m_checkCounts = false;
}

bool QsoLog::HasCallBandMode(std::string_view call, std::string_view band,
                             std::string_view mode) const {
    return Has(m_callBandMode, Key({call, band, mode}));
}

bool QsoLog::HasCallBand(std::string_view call, std::string_view band) const {
    BuildCheckCounts();
    return Has(m_callBand, Key({call, band}));
}

bool QsoLog::HasBandPrefix(std::string_view band, std::string_view prefix) const {
    BuildCheckCounts();
    return Has(m_bandPrefix, Key({band, prefix}));
}

bool QsoLog::HasBandProvince(std::string_view band, std::string_view province) const {
    BuildCheckCounts();
    return Has(m_bandProvince, Key({band, province}));
}

void QsoLog::Count(const CInfo& e, int delta) {
    Adjust(m_callBandMode, Key({e.m_strCall, e.m_strBand, e.m_strMode}), delta);
    if (m_checkCounts) CountForCheck(e, delta);
}

void QsoLog::CountForCheck(const CInfo& e, int delta) const {
    Adjust(m_callBand, Key({e.m_strCall, e.m_strBand}), delta);
    Adjust(m_bandPrefix, Key({e.m_strBand, e.m_strPrefix}), delta);
    Adjust(m_bandProvince, Key({e.m_strBand, e.m_strProvince}), delta);
}

void QsoLog::BuildCheckCounts() const {
    if (m_checkCounts) return;
    for (const CInfo& e : m_entries)
        CountForCheck(e, +1);
    m_checkCounts = true;
}

void QsoLog::Adjust(Counts& counts, std::string key, int delta) {
    auto it = counts.try_emplace(std::move(key), 0).first;
    it->second += delta;
    // Keys of removed entries go, so the maps never outgrow the log.
    if (it->second <= 0) counts.erase(it);
}

bool QsoLog::Has(const Counts& counts, const std::string& key) {
    return counts.find(key) != counts.end();
}
