#pragma once
// What the robot tells an entrant at once about an uploaded log: whether it is taken, every
// problem with its line, and the score the plug-in's engine gives it as submitted.
#include <string>
#include <string_view>
#include <vector>

#include "base/datetime.h"
#include "country_file.h"

namespace robot {

struct Problem {
    int line = 0;  // from 1; 0 for the log as a whole
    std::string text;
    bool refuses = false;  // the log is refused for it
};

struct Receipt {
    bool accepted = false;
    std::string call;               // upper case; empty when the log names none
    std::string category;           // the CATEGORY-* values joined, "" for ADIF
    std::string format;             // "Cabrillo" or "ADIF"
    int qsoLines = 0;               // QSO lines read (damaged ones not counted)
    int claimedScore = 0;           // the engine's score of the log as submitted
    std::string logClaimed;         // the log's own CLAIMED-SCORE, as written
    std::vector<Problem> problems;  // by line
};

struct Period {
    COleDateTime start{0.0, COleDateTime::null};  // null: 20 June 12:00 UTC of the log's year
    COleDateTime end{0.0, COleDateTime::null};    // null: a day after the start
};

// Reads and scores one log. Never throws on any input.
Receipt Validate(std::string_view text, const tools::CountryFile& countries, const Period& period);

// Whether `call` has the shape of an amateur call (letters, digits and slashes, a digit).
bool CallShaped(std::string_view call);

}  // namespace robot
