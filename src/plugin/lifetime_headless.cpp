// The native library's load and unload hooks play the DLL's attach and detach.
#include "engine/state.h"
#include "plugin/app.h"

__attribute__((constructor)) static void OnLoad() {
    State();
    TheApp().InitInstance();
}

__attribute__((destructor)) static void OnUnload() {
    TheApp().ExitInstance(false);
}
