#pragma once
// All process-wide state of the plug-in, in one object behind one lock.
//
// Two threads touch it: the host's thread (every export) and the setup thread (Setup
// window, display windows, refresh, drawing). Whoever reads or changes it holds the lock
// from StateMutex(). Nobody holds the lock across a cross-thread call or a message loop:
// SendMessage to another thread's window, the close-all routine, a modal dialog, a message
// box or a call through the host link.
#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "contest/contest_rules.h"
#include "engine/qso_log.h"

using StringList = std::vector<std::string>;
using BandLists = std::array<StringList, contest::kBandCount>;

struct PluginState {
    QsoLog log;
    StringList workedBands;  // distinct band names of stored QSOs, in arrival order
    CContestRules bandList{contest::kBands, contest::kBandCount};
    CContestRules modeList{contest::kModes, contest::kModeCount};

    // Rows of five texts per band slot: band name, mode, time, exchange, spare.
    BandLists bandTable;
    BandLists entityLists;    // per band slot, written by the results
    BandLists provinceLists;  // per band slot, written by the results

    int cwTest = 0;       // the log is a CW log
    int startMarker = 0;  // the reset's alternation flag as read from the settings
    int onTop = 0;        // display windows are made topmost when they initialise
    std::string enteredCall;
    int currentBandSlot = -1;
    int exportFlag = 0;  // a Cabrillo log is wanted at the next results call
    int exUssr = 0;      // own station is in an ex-USSR entity; set for good
    int html = 0;        // results as HTML once the host called setVersion
    int claimed = 0;     // score of the last results computation

    std::string hostVersion;
    std::string ownCall;
    std::string ownPrefix;
    std::string startText;  // contest start, "%d.%m"
    std::string yearText;   // contest start, "%Y"
    std::string endText;    // contest end, "%d.%m.%Y"
    std::string furtherText;
    std::string badQsoFile;

    std::string resultText;  // returned by GetResult0, valid until its next call
};

PluginState& State();
std::mutex& StateMutex();
using StateLock = std::unique_lock<std::mutex>;

// No refresh message from the call check waits in the Setup window's queue. Read and
// written by both threads without the lock.
std::atomic<int>& RefreshAllowed();

// Puts everything back as it is after load (tests and tools that reuse one process).
void ResetStateForTests();
