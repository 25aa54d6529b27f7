#include "engine/state.h"

PluginState& State() {
    static PluginState state;
    return state;
}

std::mutex& StateMutex() {
    static std::mutex mutex;
    return mutex;
}

std::atomic<int>& RefreshAllowed() {
    static std::atomic<int> flag{1};
    return flag;
}

void ResetStateForTests() {
    StateLock lock(StateMutex());
    State() = PluginState();
    RefreshAllowed() = 1;
}
