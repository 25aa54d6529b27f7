#pragma once
// The host simulator's input: a plain-text contest log as the host would hand it to the
// plug-in, one action a line.
#include <stdexcept>
#include <string>
#include <vector>

#include "base/datetime.h"
#include "host_play.h"

namespace hostsim {

using tools::Qso;

struct Action {
    enum Kind { Add, Remove, CheckCall, CheckExchange } kind = Add;
    int line = 0;
    Qso qso;               // Add, Remove; CheckCall uses call, mode, band, prefix, prefixText
    std::string exchange;  // CheckExchange (with qso.prefix)
};

struct HostLog {
    std::string ownCall;
    std::string ownPrefix;
    COleDateTime start{0.0, COleDateTime::null};
    COleDateTime end{0.0, COleDateTime::null};
    bool cw = true;
    std::vector<Action> actions;
    int qsoCount = 0;  // Add actions
};

// A malformed input, with the place and the field named.
class ParseError : public std::runtime_error {
public:
    ParseError(const std::string& file, int line, const std::string& what)
        : std::runtime_error(file + ":" + std::to_string(line) + ": " + what) {}
};

// Parses the whole text; `file` names it in errors.
HostLog ParseHostLog(const std::string& text, const std::string& file);

}  // namespace hostsim
