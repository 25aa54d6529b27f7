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

// Sets a window text kept in code page 1251.
void SetText1251(HWND window, const std::string& text);

}  // namespace setup
