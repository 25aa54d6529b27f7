#include <windows.h>

#include "plugin/app.h"
#include "plugin/state.h"
#include "win/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            win::SetModule(instance);
            State();  // build the static state at load
            return TheApp().InitInstance() ? TRUE : FALSE;
        case DLL_PROCESS_DETACH:
            // A non-null `reserved` means the process is ending: other threads are gone.
            TheApp().ExitInstance(reserved != nullptr);
            if (!reserved) win::LeaveModuleOnThisThread();
            return TRUE;
        default:
            return TRUE;
    }
}
