#pragma once
// How the engine reaches the setup thread. The routines of setup_thread.h by default;
// tests put recorders in their place to see what the engine asked for and when.
namespace engine {

struct SetupLink {
    bool (*windowExists)();
    void (*startRoutine)();  // called without the state lock
    void (*postRefresh)();
    void (*postClearProvinceMarks)();
};

const SetupLink& Setup();
// Replaces the link; a default-constructed (all null) link restores the real routines.
void SetSetupLinkForTests(const SetupLink& link);

}  // namespace engine
