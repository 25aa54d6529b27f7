#pragma once
// What the Cabrillo export remembers between the reset that asks for it and the results
// calls that write it.
#include <string>
#include <vector>

#include "base/datetime.h"

namespace cabrillo {

// The header answers of the coming export, the file's base name and its QSO lines. Each engine
// instance holds one, guarded by its lock.
struct HeaderStore {
    std::string callsign;
    std::string baseName;
    std::string claimed;  // shown in the dialog only; the log takes the computed score
    std::string contest;
    std::string categoryOperator;
    std::string categoryBand;
    std::string categoryMode;
    std::string categoryPower;
    std::string categoryAssisted;
    std::string categoryTransmitter;
    std::string name;
    std::string address;
    std::string addressCity;
    std::string addressPostalCode;
    std::string addressCountry;
    std::string operators;
    std::string club;
    std::string email;
    std::string soapbox;  // as typed before OK; in its log form after OK
    COleDateTime start;
    COleDateTime end;
    std::vector<std::string> qsoLines;
};

}  // namespace cabrillo
