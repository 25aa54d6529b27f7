#pragma once
#include <windows.h>

namespace win {
// The plug-in's own module, for its resources (dialogs, icon).
HINSTANCE Module();
void SetModule(HINSTANCE module);

// Resources of the module, each found once and then kept. The setup thread must not need
// the loader once it runs (an unload holds the loader lock while it waits for that thread),
// and finding a resource or loading a shared icon can ask the loader; so the host's thread
// takes them before it starts that thread (LoadThreadResources) and the unload frees them
// after the thread is done (FreeThreadResources).
void LoadThreadResources();
void FreeThreadResources();

// At unload, on the thread that unloads (the host's): runs this module's thread-detach
// callbacks for it. The loader tells no thread's detach to a module it unloads, so what the
// C++ runtime keeps per thread would stay behind with every reload: the first thread-safe
// static or call_once on the host's thread (the attach makes one) gives it the runtime's
// thread record, a handle to the thread and an event.
void LeaveModuleOnThisThread();
// The dialog template of `templateId`; null when the module has none.
const DLGTEMPLATE* DialogTemplate(int templateId);
// The plug-in's icon at the large-icon size, owned here; null when it cannot be loaded.
HICON PluginIcon();
}  // namespace win
