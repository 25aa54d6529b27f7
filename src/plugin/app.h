#pragma once
// The plug-in's application object: start-up and an orderly shutdown of its windows.
class CTestApp {
public:
    bool InitInstance();
    // Closes the Setup window and the display windows; when it returns the setup thread has
    // parked or ended (nothing to wait for). `processEnding`: the process exits and other
    // threads are gone.
    int ExitInstance(bool processEnding);
};

CTestApp& TheApp();
