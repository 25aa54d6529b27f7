// The native library's load and unload hooks play the DLL's attach and detach.
#include "plugin/app.h"
#include "plugin/state.h"

__attribute__((constructor)) static void OnLoad() {
    State();
    TheApp().InitInstance();
}

__attribute__((destructor)) static void OnUnload() {
    TheApp().ExitInstance(false);
}
