#pragma once
// One contest's scoring: an engine instance. It owns everything the scoring of one log
// needs (the log and its indexes, the worked-band and per-band lists, the own station, the
// dates and mode, the host version, the Cabrillo header) and says itself which files it
// reads and writes. Instances share nothing: any number may score side by side, each on a
// thread of its own.
//
// The plug-in holds one, made at load (plugin/state.h); its exports and the setup thread
// reach it under its lock. A tool makes as many as it needs; by default they read and write
// no file, start no window and show nothing.
//
// Tools keep to the operations below. The data members are the plug-in's own rooms'
// (results, Cabrillo, refresh, displays): they read and write them holding `mutex`, and
// never across a cross-thread call, a modal dialog or a message box.
#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/datetime.h"
#include "cabrillo/header_dialog.h"
#include "cabrillo/header_store.h"
#include "contest/contest_rules.h"
#include "engine/qso_log.h"
#include "engine/score.h"
#include "engine/setup_link.h"

using StringList = std::vector<std::string>;
using BandLists = std::array<StringList, contest::kBandCount>;
using StateLock = std::unique_lock<std::mutex>;

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

// What an instance reads and writes besides its memory. Without the bad-QSO file its lines
// stay in memory under the same rules, so the results count them all the same.
struct Files {
    bool badQsoFile = false;  // BadQSO_StatsSOLSTICE-RACE_<date>.txt in the current folder
    bool settings = false;    // Plugins/SOLSTICE-RACE.ini: the mode, the Setup window's
                              // alternation, the claimed score, the Cabrillo header texts
    bool hostIni = false;     // the host's ini, for its version ("Ketl" without it)
    bool cabrillo = false;    // an export reset's header dialog, log file and message box

    // Everything, as the plug-in has always done.
    static Files All() { return {true, true, true, true}; }
};

// What a reset of a new instance starts from; Clear puts it back.
struct ContestData {
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
    std::string badQsoFile;  // its name, also when the lines stay in memory
    std::string badQsoText;  // the lines, CR LF each, of an instance without the file

    cabrillo::HeaderStore header;

    std::string resultText;  // returned by Results, valid until its next call
};

// Why the contest's rules refuse a QSO outright (it is not stored).
enum class Refusal { kNone, kWrongBand, kWrongMode, kNoExchange };

// The name an instance gives its bad-QSO file for a contest that ends at `contestEnd` (in
// the current folder when it writes one): where a tool finds the loaded plug-in's file.
std::string BadQsoFileName(const COleDateTime& contestEnd);

class Contest : public ContestData {
public:
    explicit Contest(const Files& files = {}) : files(files) {}
    Contest(const Contest&) = delete;
    Contest& operator=(const Contest&) = delete;

    // The operations. Each takes the lock itself; Reset and Results let go of it around the
    // header dialog, the start of the setup thread and the completion message.
    int Reset(const ResetArgs& args);
    // `why`, when given, says why a QSO was not stored.
    int Add(const QsoArgs& args, Refusal* why = nullptr);
    int Remove(const QsoArgs& args);
    int CheckCall(const CheckCallArgs& args);
    static int IsValidExchg(const std::string& exchange, const std::string& prefix);
    // Results as HTML from now on (the host called setVersion).
    void AnswerInHtml();
    // The log's mode where no settings file chooses it (an instance without settings).
    void SetMode(bool cw);

    // The results call of the host: the text or HTML page, kept until the next call; writes
    // the claimed score and an export's Cabrillo log where the instance writes those files.
    // Stores -1 through `out` when it is not null.
    const char* Results(int* out);
    // The tally as a results call computes it (with rates), and what every stored QSO
    // counted for when `perQso` is given. Refills the per-band lists.
    Tally Score(std::vector<ScoredQso>* perQso = nullptr);
    // The results of a tally in either form, headed with this contest's own station and dates.
    std::string ResultsText(const Tally& tally);
    std::string ResultsHtml(const Tally& tally);

    // Read-only views for tools; hold no reference across another operation.
    const QsoLog& Log() const { return log; }
    // The provinces and entities of a band slot as the last results left them.
    const StringList& Provinces(int slot) const {
        return provinceLists.at(static_cast<size_t>(slot));
    }
    const StringList& Entities(int slot) const { return entityLists.at(static_cast<size_t>(slot)); }

    // Puts everything back as a new instance has it, keeping the files and the setup link.
    void Clear();

    // The lines of the bad-QSO file, title first, wherever the instance keeps them; nullopt
    // when the file cannot be read.
    std::optional<std::vector<std::string>> BadQsoLines() const;

    // --- The state (see above). ---
    std::mutex mutex;
    const Files files;
    SetupLink setup = kNoSetup;
    // The header dialog of an export; a tool may answer it itself.
    std::function<bool(cabrillo::HeaderDialogValues&)> headerDialog = cabrillo::ShowHeaderDialog;
    // Tells the operator that an export's log was written, or why not; nobody by default.
    // Called without the lock (the plug-in's shows a modal message box).
    std::function<void(const std::string&)> completionMessage;
    // No refresh message from the call check waits in the Setup window's queue. Read and
    // written by both threads without the lock.
    std::atomic<int> refreshAllowed{1};
};

}  // namespace engine
