// The exports: guard the arguments, call the plug-in's engine instance, which takes its lock. No
// exception ever leaves an export; each answers its documented neutral result instead.
#include "plugin/exports.h"

#include "base/text.h"
#include "base/ui.h"
#include "plugin/state.h"

using text::Str;

namespace {

const char kSetName[] = "SOLSTICE-RACE(C)";
const char kEmpty[] = "";

template <typename F, typename R>
R Guarded(R neutral, F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return neutral;
    }
}

// Removal reads only what names the QSO and its entity: a host may pass anything in the
// arguments that only AddData0 reads.
engine::QsoArgs MakeRemoveArgs(const char* call, COleDateTime* time, const char* mode,
                               const char* prefix, const char* band) {
    engine::QsoArgs a;
    a.call = Str(call);
    a.time = COleDateTime::FromHost(time);
    a.mode = Str(mode);
    a.prefix = Str(prefix);
    a.band = Str(band);
    return a;
}

engine::QsoArgs MakeQsoArgs(const char* ownCall, const char* call, COleDateTime* time,
                            unsigned freqHz, const char* mode, const char* rstSent,
                            const char* rstRcvd, const char* exchSent, const char* exchRcvd,
                            const char* prefixText, const char* prefix, const char* extra,
                            const char* band) {
    engine::QsoArgs a;
    a.ownCall = Str(ownCall);
    a.call = Str(call);
    a.time = COleDateTime::FromHost(time);
    a.freqHz = freqHz;
    a.mode = Str(mode);
    a.rstSent = Str(rstSent);
    a.rstRcvd = Str(rstRcvd);
    a.exchSent = Str(exchSent);
    a.exchRcvd = Str(exchRcvd);
    a.prefixText = Str(prefixText);
    a.prefix = Str(prefix);
    a.extra = Str(extra);
    a.band = Str(band);
    return a;
}

}  // namespace

extern "C" {

unsigned long STATS_CALL setVersion(const char*) {
    return Guarded<>(0ul, [] {
        State().AnswerInHtml();
        return 0ul;
    });
}

int STATS_CALL GetNumberOfSets() {
    return 1;
}

int STATS_CALL GetExchgCount0(const char*, const char*, const char*) {
    return GetNumberOfSets();
}

const char* STATS_CALL GetSetName(int index) {
    return index == 0 ? kSetName : kEmpty;
}

void STATS_CALL SetupSet0() {
    Guarded<>(0, [] {
        ui::MessageBox("No additional setup for this plugin", nullptr, 0, ui::Owner::MainWindow);
        return 0;
    });
}

int STATS_CALL CheckCall0(const char* call, unsigned int, unsigned int, const char* mode,
                          const char*, const char*, const char*, const char*, const char*,
                          const char*, const char*, const char*, const char* prefixText,
                          const char* prefix, int, int, int, double, double, const char*,
                          const char* extra, const char*, const char*, const char*,
                          const char* band, const char* band2, char*, char*) {
    return Guarded<>(1, [&] {
        engine::CheckCallArgs a;
        a.call = Str(call);
        a.mode = Str(mode);
        a.prefixText = Str(prefixText);
        a.prefix = Str(prefix);
        a.extra = Str(extra);
        a.band = Str(band);
        a.band2 = Str(band2);
        return State().CheckCall(a);
    });
}

int STATS_CALL IsValidExchg0(const char* exchange, const char*, const char* prefix, const char*,
                             int, int, int) {
    return Guarded<>(0, [&] { return engine::Contest::IsValidExchg(Str(exchange), Str(prefix)); });
}

int STATS_CALL ResetStats0(const char* hostFolder, int exportFlag, const char* ownCall,
                           COleDateTime* start, COleDateTime* end, const char*, const char*,
                           const char*, const char*, const char*, const char*, const char*,
                           const char*, const char*, const char* ownPrefix, int, int, int, double,
                           double, const char*, const char* furtherText, const char*) {
    return Guarded<>(1, [&] {
        engine::ResetArgs a;
        a.hostFolder = Str(hostFolder);
        a.exportFlag = exportFlag;
        a.ownCall = Str(ownCall);
        a.start = COleDateTime::FromHost(start);
        a.end = COleDateTime::FromHost(end);
        a.ownPrefix = Str(ownPrefix);
        a.furtherText = Str(furtherText);
        return State().Reset(a);
    });
}

int STATS_CALL AddData0(const char* ownCall, const char* call, COleDateTime* time, COleDateTime*,
                        COleDateTime*, COleDateTime*, unsigned int, unsigned int freqHz,
                        const char* mode, const char* rstSent, const char* rstRcvd,
                        const char* exchSent, const char* exchRcvd, const char*, const char*,
                        const char*, const char*, const char*, const char*, const char*,
                        const char*, const char* prefixText, const char* prefix, int, int, int,
                        double, double, const char*, const char* extra, const char*,
                        const char* band, const char*) {
    return Guarded<>(0, [&] {
        engine::QsoArgs a = MakeQsoArgs(ownCall, call, time, freqHz, mode, rstSent, rstRcvd,
                                        exchSent, exchRcvd, prefixText, prefix, extra, band);
        return State().Add(a);
    });
}

int STATS_CALL RemoveData0(const char*, const char* call, COleDateTime* time, COleDateTime*,
                           COleDateTime*, COleDateTime*, unsigned int, unsigned int,
                           const char* mode, const char*, const char*, const char*, const char*,
                           const char*, const char*, const char*, const char*, const char*,
                           const char*, const char*, const char*, const char*, const char* prefix,
                           int, int, int, double, double, const char*, const char*, const char*,
                           const char* band, const char*) {
    return Guarded<>(1, [&] {
        engine::QsoArgs a = MakeRemoveArgs(call, time, mode, prefix, band);
        return State().Remove(a);
    });
}

const char* STATS_CALL GetResult0(int* out) {
    return Guarded<>(static_cast<const char*>(kEmpty), [&] { return State().Results(out); });
}

}  // extern "C"
