#pragma once
// How an engine instance reaches the setup thread. The engine knows nothing of the setup
// room: the plug-in layer wires the setup thread's routines into its instance at load, and
// tests put recorders in their place to see what the engine asked for and when. An instance
// without a link has no Setup window: nothing is started or posted.
namespace engine {

struct SetupLink {
    bool (*windowExists)();
    void (*startRoutine)();  // called without the instance's lock
    void (*postRefresh)();
    void (*postClearProvinceMarks)();
};

inline constexpr SetupLink kNoSetup{[] { return false; }, [] {}, [] {}, [] {}};

}  // namespace engine
