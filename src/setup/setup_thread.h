#pragma once
// The host's thread reaches the setup thread only through these. The native build has no
// windows: there the start routine does nothing and no Setup window ever exists.

namespace setup {

// Window message the host's thread posts to the Setup window to refresh the displays.
constexpr unsigned kRefreshMessage = 1524;

// Starts the setup thread (closing a running Setup window first) and waits, with a bound,
// until its window is up.
void StartRoutine();
// Closes the display windows and the Setup window and waits, with a bound, for the setup
// thread to end. Must be called without the state lock.
void CloseAll();
// The same at unload, from the module's detach: when it returns the setup thread has parked
// for good or ended, and nothing it was given is left open. Only a thread stuck far past
// any healthy close is ended by force. When the process is ending the setup thread is
// already gone and nothing is waited for.
void CloseAllForUnload(bool processEnding);
// Whether a Setup window is running.
bool SetupWindowExists();
// Posts the refresh message to the Setup window when one exists; never waits.
void PostRefresh();
// Asks the setup thread to clear the province grid's marks (the removal of a Spanish QSO).
void PostClearProvinceMarks();

}  // namespace setup
