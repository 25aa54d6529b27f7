#pragma once
#include <string>

#include "base/datetime.h"

namespace tools {

// One QSO with the fields the host passes to AddData0 and RemoveData0.
struct Qso {
    COleDateTime time;
    unsigned freqHz = 0;
    std::string mode;
    std::string call;
    std::string rstSent;
    std::string exchSent;
    std::string rstRcvd;
    std::string exchRcvd;
    std::string band;
    std::string prefix;      // entity prefix, e.g. "EA8"
    std::string prefixText;  // prefix of the call with its digit, e.g. "EA0"
};

}  // namespace tools
