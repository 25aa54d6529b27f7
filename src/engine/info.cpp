#include "engine/info.h"

#include <utility>

CInfo& CInfo::operator=(const CInfo& other) {
    if (this != &other) {
        int32_t reserved = m_nReserved;
        CInfo copy(other);
        *this = std::move(copy);
        m_nReserved = reserved;
    }
    return *this;
}

CInfo& CInfo::operator=(CInfo&& other) noexcept {
    if (this != &other) {
        m_strCall = std::move(other.m_strCall);
        m_strPrefix = std::move(other.m_strPrefix);
        m_strExtra = std::move(other.m_strExtra);
        m_strBand = std::move(other.m_strBand);
        m_strMode = std::move(other.m_strMode);
        m_strRstRcvd = std::move(other.m_strRstRcvd);
        m_strRstSent = std::move(other.m_strRstSent);
        m_strExchRcvd = std::move(other.m_strExchRcvd);
        m_strExchSent = std::move(other.m_strExchSent);
        m_strSpare = std::move(other.m_strSpare);
        m_strProvince = std::move(other.m_strProvince);
        m_bRejected = other.m_bRejected;
        m_bDupe = other.m_bDupe;
        m_nFreqKHz = other.m_nFreqKHz;
        m_nSpare = other.m_nSpare;
        m_nAreaJA = other.m_nAreaJA;
        m_nAreaK = other.m_nAreaK;
        m_nAreaVE = other.m_nAreaVE;
        m_nAreaVK = other.m_nAreaVK;
        m_bNotCounted = other.m_bNotCounted;
        m_time = other.m_time;
    }
    return *this;
}
