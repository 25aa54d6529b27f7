#pragma once
// The plug-in's application object: start-up and an orderly shutdown of its windows.
class CTestApp {
public:
    bool InitInstance();
    // Closes the Setup window and the display windows, then pauses 20 ms so that the setup
    // thread can finish. `processEnding`: the process exits and other threads are gone.
    int ExitInstance(bool processEnding);
};

CTestApp& TheApp();
