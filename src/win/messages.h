#pragma once
// Private window messages of the plug-in, all in one place.
#include <windows.h>

namespace win {

// The dialog hands an owner-draw request back to the control it is for; lParam is the
// DRAWITEMSTRUCT*. Answer TRUE when drawn.
constexpr UINT kReflectDrawItem = WM_APP + 0x100;

// Posted to the Setup window by the removal of a QSO: clear the province grid's marks on the
// setup thread. (The refresh message, 1524, is named in setup/setup_thread.h, where the
// portable engine sees it.)
constexpr UINT kClearProvinceMarks = WM_APP + 0x101;

// Posted by the Setup window to itself as it first shows: taken after the showing, it paints
// the window and tells the waiting reset that the setup thread is up.
constexpr UINT kSetupStarted = WM_APP + 0x102;

}  // namespace win
