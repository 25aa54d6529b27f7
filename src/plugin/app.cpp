#include "plugin/app.h"

#include "plugin/state.h"
#include "setup/setup_handlers.h"
#include "setup/setup_thread.h"

bool CTestApp::InitInstance() {
    // The engine starts and reaches the Setup window only through this link; the Setup
    // window and its displays show the plug-in's instance.
    State().setup = {&setup::SetupWindowExists, &setup::StartRoutine, &setup::PostRefresh,
                     &setup::PostClearProvinceMarks};
    setup::ShowContest(State());
    return true;
}

int CTestApp::ExitInstance(bool processEnding) {
    setup::CloseAllForUnload(processEnding);
    return 0;
}

CTestApp& TheApp() {
    static CTestApp app;
    return app;
}
