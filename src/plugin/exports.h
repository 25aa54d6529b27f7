#pragma once
// The eleven functions the host calls. C linkage and the C calling convention; the Windows
// DLL also exports each under the host compiler's decorated name (Stats.def).
#include "base/datetime.h"

#if defined(_WIN32)
#define STATS_CALL __cdecl
#define STATS_EXPORT
#else
#define STATS_CALL
#define STATS_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

STATS_EXPORT unsigned long STATS_CALL setVersion(const char* text);
STATS_EXPORT int STATS_CALL GetNumberOfSets();
STATS_EXPORT int STATS_CALL GetExchgCount0(const char*, const char*, const char*);
STATS_EXPORT const char* STATS_CALL GetSetName(int index);
STATS_EXPORT void STATS_CALL SetupSet0();

STATS_EXPORT int STATS_CALL CheckCall0(const char* call, unsigned int, unsigned int,
                                       const char* mode, const char*, const char*, const char*,
                                       const char*, const char*, const char*, const char*,
                                       const char*, const char* prefixText, const char* prefix, int,
                                       int, int, double, double, const char*, const char* extra,
                                       const char*, const char*, const char*, const char* band,
                                       const char* band2, char* out1, char* out2);

STATS_EXPORT int STATS_CALL IsValidExchg0(const char* exchange, const char*, const char* prefix,
                                          const char*, int, int, int);

STATS_EXPORT int STATS_CALL ResetStats0(const char* hostFolder, int exportFlag, const char* ownCall,
                                        COleDateTime* start, COleDateTime* end, const char*,
                                        const char*, const char*, const char*, const char*,
                                        const char*, const char*, const char*, const char*,
                                        const char* ownPrefix, int, int, int, double, double,
                                        const char*, const char* furtherText, const char*);

// AddData0 and RemoveData0 take the same 33 arguments.
STATS_EXPORT int STATS_CALL AddData0(const char* ownCall, const char* call, COleDateTime* time,
                                     COleDateTime*, COleDateTime*, COleDateTime*, unsigned int,
                                     unsigned int freqHz, const char* mode, const char* rstSent,
                                     const char* rstRcvd, const char* exchSent,
                                     const char* exchRcvd, const char*, const char*, const char*,
                                     const char*, const char*, const char*, const char*,
                                     const char*, const char* prefixText, const char* prefix, int,
                                     int, int, double, double, const char*, const char* extra,
                                     const char*, const char* band, const char*);
STATS_EXPORT int STATS_CALL
RemoveData0(const char* ownCall, const char* call, COleDateTime* time, COleDateTime*, COleDateTime*,
            COleDateTime*, unsigned int, unsigned int freqHz, const char* mode, const char* rstSent,
            const char* rstRcvd, const char* exchSent, const char* exchRcvd, const char*,
            const char*, const char*, const char*, const char*, const char*, const char*,
            const char*, const char* prefixText, const char* prefix, int, int, int, double, double,
            const char*, const char* extra, const char*, const char* band, const char*);

STATS_EXPORT const char* STATS_CALL GetResult0(int* out);

}  // extern "C"
