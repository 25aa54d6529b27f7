#include "engine/setup_link.h"

#include "setup/setup_thread.h"

namespace engine {

namespace {
const SetupLink kReal{&setup::SetupWindowExists, &setup::StartRoutine, &setup::PostRefresh,
                      &setup::PostClearProvinceMarks};
SetupLink g_link = kReal;
}  // namespace

const SetupLink& Setup() {
    return g_link;
}

void SetSetupLinkForTests(const SetupLink& link) {
    g_link = link.windowExists ? link : kReal;
}

}  // namespace engine
