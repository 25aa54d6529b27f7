#include <algorithm>

#include "base/text.h"
#include "base/textfile.h"
#include "cabrillo/cabrillo.h"

namespace cabrillo {

namespace {
const char* CabrilloMode(const std::string& mode) {
    if (mode == "CW") return "CW";
    if (mode == "SSB") return "PH";
    return "??";
}
}  // namespace

std::string QsoLine(const CInfo& e, const std::string& ownCall) {
    // Widths are minimums: a longer value is written in full and still keeps its blank.
    return text::Format("QSO: %5u %2s %s %-13s %-3s %-6s %-13s %-3s %s\r\n", e.m_nFreqKHz,
                        CabrilloMode(e.m_strMode), e.m_time.Format("%Y-%m-%d %H%M").c_str(),
                        ownCall.c_str(), e.m_strRstSent.c_str(), e.m_strExchSent.c_str(),
                        e.m_strCall.c_str(), e.m_strRstRcvd.c_str(), e.m_strExchRcvd.c_str());
}

std::string LogText(const HeaderStore& s, int claimedScore, const std::string& hostVersion) {
    std::string out;
    auto line = [&out](const char* tag, const std::string& value) {
        out.append(tag).append(value).append("\r\n");
    };
    out.append("START-OF-LOG: 3.0\r\n");
    out.append("CONTEST: SOLSTICE-RACE \r\n");
    line("CALLSIGN: ", s.callsign);
    line("CATEGORY-OPERATOR: ", s.categoryOperator);
    line("CATEGORY-BAND: ", s.categoryBand);
    line("CATEGORY-MODE: ", s.categoryMode);
    line("CATEGORY-POWER: ", s.categoryPower);
    line("CATEGORY-ASSISTED: ", s.categoryAssisted);
    line("CATEGORY-TRANSMITTER: ", s.categoryTransmitter);
    out.append("LOCATION: DX\r\n");
    line("EMAIL: ", s.email);
    line("OPERATORS: ", s.operators);
    line("CLAIMED-SCORE: ", std::to_string(claimedScore));
    line("CREATED-BY: Ketl ", hostVersion);
    line("CLUB: ", s.club);
    line("NAME: ", s.name);
    line("ADDRESS: ", s.address);
    line("SOAPBOX: ", s.soapbox);
    for (const std::string& qso : s.qsoLines)
        out.append(qso);
    out.append("END-OF-LOG:\r\n");
    // Log checkers refuse tabs; a pasted one becomes the blank it stood for.
    std::replace(out.begin(), out.end(), '\t', ' ');
    return out;
}

std::string ExportLog(engine::Contest& state) {
    HeaderStore& store = state.header;
    // Each export holds every log entry exactly once, however often the results are asked.
    store.qsoLines.clear();
    for (const CInfo& entry : state.log.Entries())
        store.qsoLines.push_back(QsoLine(entry, store.callsign));
    std::string file = store.baseName + ".cbr";
    // Rewritten, never appended: the file always matches the current log.
    if (!textfile::Write(file, LogText(store, state.claimed, state.hostVersion)))
        return "File not produced: " + file;
    return "File produced: " + file;
}

}  // namespace cabrillo
