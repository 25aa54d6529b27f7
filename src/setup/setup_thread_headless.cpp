// No windows in the native build: the Setup window never runs.
#include "setup/setup_handlers.h"
#include "setup/setup_thread.h"

namespace setup {

namespace {
// What the Setup window would show; nothing reads it here but the link stays the same.
engine::Contest* g_shown = nullptr;
}  // namespace

void ShowContest(engine::Contest& contest) {
    g_shown = &contest;
}
engine::Contest& ShownContest() {
    return *g_shown;
}
void StartRoutine() {}
void CloseAll() {}
void CloseAllForUnload(bool) {}
bool SetupWindowExists() {
    return false;
}
void PostRefresh() {}
void PostClearProvinceMarks() {}

}  // namespace setup
