#include "plugin/app.h"

#include <chrono>
#include <thread>

#include "setup/setup_thread.h"

bool CTestApp::InitInstance() {
    return true;
}

int CTestApp::ExitInstance(bool processEnding) {
    setup::CloseAllForUnload(processEnding);
    if (!processEnding) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return 0;
}

CTestApp& TheApp() {
    static CTestApp app;
    return app;
}
