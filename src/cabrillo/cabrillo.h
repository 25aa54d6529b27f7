#pragma once
// The Cabrillo export: the header store with its dialog, and the log writer.
#include <string>
#include <vector>

#include "base/datetime.h"
#include "cabrillo/header_store.h"
#include "engine/contest.h"

namespace cabrillo {

// Prepare export, run by the reset when an export is asked for: loads the header store,
// shows the header dialog and takes the answers. 1 on OK; 0 on cancel, which clears the
// export flag. Called with the instance's lock held; releases it around the modal dialog.
int PrepareExport(engine::Contest& contest, const std::string& ownCall, const COleDateTime& start,
                  const COleDateTime& end, StateLock& lock);

// Writes the Cabrillo log of the current state and returns the completion message that the
// results call shows. Called with the instance's lock held.
std::string ExportLog(engine::Contest& contest);

// The log's file name without ".cbr": the own call made into a plain file name of the
// current folder, "ANON" when nothing is left of it.
std::string BaseName(const std::string& ownCall);

// The soapbox is kept in the settings file on one line: line breaks become "<CR>"/"<LF>".
std::string EscapeSoapbox(const std::string& typed);
std::string UnescapeSoapbox(const std::string& stored);
// The escaped soapbox as the log carries it: every further line starts with "SOAPBOX: ".
std::string SoapboxLogForm(const std::string& escaped);

// One "QSO:" line of the log, with its CR LF.
std::string QsoLine(const CInfo& entry, const std::string& ownCall);
// The whole file: header, the store's QSO lines, end marker.
std::string LogText(const HeaderStore& store, int claimedScore, const std::string& hostVersion);

}  // namespace cabrillo
