#pragma once
// How the engine reaches the setup thread. The engine knows nothing of the setup room: the
// plug-in layer wires the setup thread's routines in at load, and tests put recorders in
// their place to see what the engine asked for and when. Until something is wired, no Setup
// window exists and nothing is started or posted.
namespace engine {

struct SetupLink {
    bool (*windowExists)();
    void (*startRoutine)();  // called without the state lock
    void (*postRefresh)();
    void (*postClearProvinceMarks)();
};

const SetupLink& Setup();
// Wires the setup thread's routines; called once at load, before any export runs.
void WireSetupLink(const SetupLink& link);
// Replaces the link; a default-constructed (all null) link restores the wired routines.
void SetSetupLinkForTests(const SetupLink& link);

}  // namespace engine
