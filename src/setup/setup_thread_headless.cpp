// No windows in the native build: the Setup window never runs.
#include "setup/setup_thread.h"

namespace setup {

void StartRoutine() {}
void CloseAll() {}
void CloseAllForUnload(bool) {}
bool SetupWindowExists() {
    return false;
}
void PostRefresh() {}
void PostClearProvinceMarks() {}

}  // namespace setup
