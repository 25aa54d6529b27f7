#include "base/text.h"
#include "engine/engine.h"

namespace engine {

namespace {
// These host versions answer "ordinary QSO" rather than "not valid" for a band or mode
// outside the contest.
bool LenientHost(const std::string& version) {
    return version == "2.19" || version == "2.20";
}

bool AllDigits(const std::string& s) {
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}
}  // namespace

int CheckCall(Contest& s, const CheckCallArgs& a) {
    if (!a.band.empty() && !a.band2.empty() && !text::EqualsNoCase(a.band, a.band2)) return 4;

    // At most one refresh from the call check waits in the Setup window's queue; the
    // refresh handler allows the next one when it has run.
    if (s.setup.windowExists()) {
        int allowed = 1;
        if (s.refreshAllowed.compare_exchange_strong(allowed, 0)) s.setup.postRefresh();
    }

    if (!s.bandList.Lookup(a.band) || !s.modeList.Lookup(a.mode))
        return LenientHost(s.hostVersion) ? 1 : 4;
    if (a.prefix.empty()) return 1;

    if (s.log.HasCallBand(a.call, a.band)) return 0;
    int result = s.log.HasBandPrefix(a.band, a.prefix) ? 1 : 2;
    if (a.prefixText == contest::kSpecialPrefix)
        return s.log.HasBandProvince(a.band, contest::kSpecialProvince) ? 1 : 2;
    return result;
}

int IsValidExchg(const std::string& exchange, const std::string& prefix) {
    // A serial number of three or four digits is acceptable from everybody; 599 is an RST
    // typed into the wrong field.
    if (exchange.size() == 3 || exchange.size() == 4)
        return AllDigits(exchange) && exchange != "599" ? 1 : 0;
    if (!contest::IsSpanishEntity(prefix)) return 0;
    return contest::IsProvince(text::Trim(text::Upper(exchange))) ? 1 : 0;
}

}  // namespace engine
