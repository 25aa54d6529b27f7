#pragma once
// Private window messages of the plug-in, all in one place.
#include <windows.h>

namespace win {

// The dialog hands an owner-draw request back to the control it is for; lParam is the
// DRAWITEMSTRUCT*. Answer TRUE when drawn.
constexpr UINT kReflectDrawItem = WM_APP + 0x100;

}  // namespace win
