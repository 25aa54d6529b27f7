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
    // Swapped rather than assigned: an assignment would keep the old texts' heap blocks for
    // the new empty ones, and a fuzzer's leak check counts those as still taken.
    PluginState fresh;
    {
        StateLock lock(StateMutex());
        std::swap(State(), fresh);
        RefreshAllowed() = 1;
    }
}
