#pragma once
// What the exports ask of the contest engine. The exports turn null texts into empty ones
// and null date-time pointers into null date-times before they get here, take the state
// lock and catch everything that is thrown.
#include <string>

#include "base/datetime.h"
#include "engine/state.h"

namespace engine {

// The arguments of AddData0 and RemoveData0 that are read.
struct QsoArgs {
    std::string ownCall;     // 1
    std::string call;        // 2
    COleDateTime time;       // 3
    unsigned freqHz = 0;     // 8
    std::string mode;        // 9
    std::string rstSent;     // 10
    std::string rstRcvd;     // 11
    std::string exchSent;    // 12
    std::string exchRcvd;    // 13
    std::string prefixText;  // 22, e.g. "EA0"
    std::string prefix;      // 23, entity prefix
    std::string extra;       // 30
    std::string band;        // 32
};

// The arguments of CheckCall0 that are read.
struct CheckCallArgs {
    std::string call;        // 1
    std::string mode;        // 4
    std::string prefixText;  // 13
    std::string prefix;      // 14
    std::string extra;       // 21
    std::string band;        // 25
    std::string band2;       // 26
};

// The arguments of ResetStats0 that are read.
struct ResetArgs {
    std::string hostFolder;   // 1, "*.ini" is appended
    int exportFlag = 0;       // 2
    std::string ownCall;      // 3
    COleDateTime start;       // 4
    COleDateTime end;         // 5
    std::string ownPrefix;    // 15
    std::string furtherText;  // 22
};

// Called with the state lock held.
int AddData(const QsoArgs& args);
int RemoveData(const QsoArgs& args);
int CheckCall(const CheckCallArgs& args);
int IsValidExchg(const std::string& exchange, const std::string& prefix);

// Called with the state lock held; releases it around the header dialog and the start of
// the setup thread, which block or wait for the other thread.
int ResetStats(const ResetArgs& args, StateLock& lock);

}  // namespace engine
