#include <utility>

#include "base/text.h"
#include "engine/bad_qso.h"
#include "engine/engine.h"

namespace engine {

namespace {

// The lines of one admission, written together at its end so that the file is opened only
// when there is something to write.
class BadLines {
public:
    explicit BadLines(const QsoArgs& qso) : m_qso(qso) {}

    void Add(const char* message) {
        // Formatted for the first line only: most QSOs have none.
        if (m_time.empty()) m_time = m_qso.time.Format("%Y-%m-%d %H%M");
        m_text += badqso::Line(m_qso, m_time, message);
        m_text += badqso::kLineEnd;
    }
    const std::string& Text() const { return m_text; }

private:
    const QsoArgs& m_qso;
    std::string m_time;
    std::string m_text;
};

int Admit(Contest& s, const QsoArgs& q, BadLines& bad, Refusal& why);

}  // namespace

int AddData(Contest& s, const QsoArgs& q, Refusal* why) {
    BadLines bad(q);
    Refusal refusal = Refusal::kNone;
    int stored = Admit(s, q, bad, refusal);
    if (why) *why = refusal;
    if (!bad.Text().empty()) badqso::Append(s, bad.Text());
    return stored;
}

namespace {

int Admit(Contest& s, const QsoArgs& q, BadLines& bad, Refusal& why) {
    CInfo entry;
    entry.m_bRejected = 0;
    entry.m_bDupe = 0;
    entry.m_bNotCounted = 0;
    entry.m_time = q.time;

    if (!s.bandList.Lookup(q.band)) {
        bad.Add(badqso::kWrongBand);
        why = Refusal::kWrongBand;
        return 0;
    }
    if (!s.modeList.Lookup(q.mode)) {
        bad.Add(badqso::kWrongMode);
        why = Refusal::kWrongMode;
        return 0;
    }
    // The log is one mode: its mode exactly, so "ssb" passes the list but not this.
    if (q.mode != (s.cwTest ? "CW" : "SSB")) {
        bad.Add(badqso::kWrongMode);
        why = Refusal::kWrongMode;
        return 0;
    }
    if (q.exchRcvd.empty() || q.exchSent.empty()) {
        bad.Add(badqso::kNoNumber);
        why = Refusal::kNoExchange;
        return 0;
    }

    // Before the province and dupe findings: every band of a stored QSO is listed.
    bool bandListed = false;
    for (const std::string& band : s.workedBands) {
        if (band == q.band) {
            bandListed = true;
            break;
        }
    }
    if (!bandListed) s.workedBands.push_back(q.band);

    entry.m_strCall = q.call;
    entry.m_strBand = q.band;
    entry.m_strMode = q.mode;
    entry.m_strExtra = q.extra;
    entry.m_strRstRcvd = q.rstRcvd;
    entry.m_strRstSent = q.rstSent;
    entry.m_strExchRcvd = q.exchRcvd;
    entry.m_strExchSent = q.exchSent;
    entry.m_strPrefix = q.prefix;
    entry.m_nFreqKHz = q.freqHz / 1000;
    entry.m_bNotCounted = 0;

    if (contest::IsSpanishEntity(q.prefix)) {
        std::string province = text::Trim(text::Upper(q.exchRcvd));
        if (contest::IsProvince(province)) {
            entry.m_strProvince = province;
        } else {
            bad.Add(badqso::kNoProvince);
        }
    } else {
        contest::RecordCallArea(entry.CallAreas(), q.prefix, q.prefixText);
    }

    if (s.log.HasCallBandMode(q.call, q.band, q.mode)) {
        entry.m_bNotCounted = 1;
        entry.m_bDupe = 1;
        bad.Add(badqso::kDupe);
    }

    s.log.Append(std::move(entry));
    return 1;
}

}  // namespace

}  // namespace engine
