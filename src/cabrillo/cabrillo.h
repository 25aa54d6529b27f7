#pragma once
// The Cabrillo export: the header store with its dialog, and the log writer.
#include <string>

#include "base/datetime.h"
#include "engine/state.h"

namespace cabrillo {

// Prepare export, run by the reset when an export is asked for: loads the header store,
// shows the header dialog and takes the answers. 1 on OK; 0 on cancel, which clears the
// export flag. Called with the state lock held; releases it around the modal dialog.
int PrepareExport(const std::string& ownCall, const COleDateTime& start, const COleDateTime& end,
                  StateLock& lock);

// Writes the Cabrillo log of the current state and returns the completion message that the
// results call shows. Called with the state lock held.
std::string ExportLog();

}  // namespace cabrillo
