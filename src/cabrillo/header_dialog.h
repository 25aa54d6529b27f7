#pragma once
// The modal header dialog: on Windows dialog template 101, in the native build a stand-in
// that answers without a window.
#include <string>

namespace cabrillo {

// The texts of the dialog's fields, in and out.
struct HeaderDialogValues {
    std::string contest;              // 1009
    std::string callsign;             // 1010
    std::string claimed;              // 1008
    std::string categoryOperator;     // 1013
    std::string categoryBand;         // 1014
    std::string categoryMode;         // 1015
    std::string categoryPower;        // 1016
    std::string categoryAssisted;     // 1021
    std::string categoryTransmitter;  // 1022
    std::string name;                 // 1007
    std::string address;              // 1002
    std::string addressCity;          // 1003
    std::string addressPostalCode;    // 1011
    std::string addressCountry;       // 1012
    std::string operators;            // 1006
    std::string club;                 // 1005
    std::string soapbox;              // 1001, lines separated by CR LF
    std::string email;                // 1004
};

// Shows the dialog filled with `values` and blocks until it is closed. True on OK, with
// the fields' texts in `values`; false on cancel. Never call it holding an instance's lock.
// The native build's stand-in answers OK with the values as loaded; tests and tools that
// want another answer give their engine instance a dialog of their own.
bool ShowHeaderDialog(HeaderDialogValues& values);

}  // namespace cabrillo
