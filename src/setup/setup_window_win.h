#pragma once
// The Setup window's Win32 shell and the windows it owns. Setup thread only.
#include <windows.h>

#include <string>

namespace setup {

// Runs the Setup window modally on the calling thread; returns when it has ended.
void RunSetupWindow();

// Called by the Setup window when its window exists (after initialisation) and when it is
// destroyed (null).
void PublishSetupWindow(HWND window);

// Posts the refresh message to the Setup window unless one already waits in its queue.
void PostRefreshTo(HWND window);
// Called by the Setup window as it takes a refresh message from its queue: the next change
// may post another one.
void RefreshTaken();

// The same for the removal's request to redraw the province marks.
void MarksRequestTaken();
// Called by the Setup window when it has shown and painted: the reset that started this
// thread stops waiting.
void SetupStarted();
// The unload waits for this thread to end: queued work is skipped, not done.
bool UnloadWaiting();
// A step of the close is done (a window closed, the host let go): an unload waiting for
// this thread waits on while they come.
void CloseProgress();

// Sets a window text kept in code page 1251.
void SetText1251(HWND window, const std::string& text);

}  // namespace setup
