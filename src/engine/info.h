#pragma once
// One stored QSO and the element of the Cabrillo header store's two arrays.
#include <cstdint>
#include <string>

#include "base/datetime.h"
#include "contest/contest_rules.h"

class CInfo {
public:
    std::string m_strCall;      // worked call
    std::string m_strPrefix;    // entity prefix of the worked station
    std::string m_strExtra;     // carried along, read by nobody
    std::string m_strBand;      // band name as the host passed it
    std::string m_strMode;      // mode text
    std::string m_strRstRcvd;   // RST received
    std::string m_strRstSent;   // RST sent
    std::string m_strExchRcvd;  // received exchange, untrimmed
    std::string m_strExchSent;  // sent exchange
    std::string m_strSpare;     // never set
    std::string m_strProvince;  // valid province of a Spanish QSO, else empty
    int32_t m_bRejected = 0;
    int32_t m_bDupe = 0;
    uint32_t m_nFreqKHz = 0;
    int32_t m_nSpare = 0;
    int32_t m_nAreaJA = -1;
    int32_t m_nAreaK = -1;
    int32_t m_nAreaVE = -1;
    int32_t m_nAreaVK = -1;
    int32_t m_bNotCounted = 0;
    COleDateTime m_time;
    int32_t m_nReserved = 0;

    CInfo() = default;
    CInfo(const CInfo& other) = default;
    CInfo(CInfo&& other) noexcept = default;
    virtual ~CInfo() = default;

    // Copies every field but m_nReserved, which stays the target's.
    CInfo& operator=(const CInfo& other);
    CInfo& operator=(CInfo&& other) noexcept;

    // The fields the contest's call-area rule fills.
    contest::CallAreaFields CallAreas() { return {m_nAreaK, m_nAreaVE, m_nAreaVK, m_nAreaJA}; }
};

class CLogEntry {
public:
    std::string m_strFirst;
    COleDateTime m_time;
    std::string m_strSecond;
    uint32_t m_nWords[3] = {0, 0, 0};
};
