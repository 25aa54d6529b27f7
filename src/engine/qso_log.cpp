#include "engine/qso_log.h"

void QsoLog::Append(const CInfo& entry) {
    m_entries.push_back(entry);
}

void QsoLog::RemoveAt(int index) {
    if (index < 0 || index >= Count()) return;
    m_entries.erase(m_entries.begin() + index);
}

void QsoLog::Clear() {
    std::vector<CInfo>().swap(m_entries);
}
