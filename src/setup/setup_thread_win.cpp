// Until the Setup window exists, the start routine starts nothing.
#include "setup/setup_thread.h"

namespace setup {

void StartRoutine() {}
void CloseAll(bool) {}
bool SetupWindowExists() {
    return false;
}
void PostRefresh() {}
void PostClearProvinceMarks() {}

}  // namespace setup
