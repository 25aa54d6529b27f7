#pragma once
// Plays the operator at the keyboard: on Windows a thread confirms the Cabrillo header
// dialog and closes the plug-in's message boxes, reporting their texts; the native build
// shows no windows and needs nobody.
#include <atomic>
#include <cstdio>
#include <thread>

namespace tools {

class Operator {
public:
    // Message boxes are always reported on `report`; `verbose` also reports dialogs.
    Operator(std::FILE* report, bool verbose);
    ~Operator() { Stop(); }
    Operator(const Operator&) = delete;
    Operator& operator=(const Operator&) = delete;
    void Stop();

private:
    void Run();
    std::FILE* report_;
    bool verbose_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace tools
