#pragma once
#include <windows.h>

namespace win {
// The plug-in's own module, for its resources (dialogs, icon).
HINSTANCE Module();
void SetModule(HINSTANCE module);
}  // namespace win
