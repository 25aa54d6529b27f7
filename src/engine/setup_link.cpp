#include "engine/setup_link.h"

namespace engine {

namespace {
const SetupLink kNone{[] { return false; }, [] {}, [] {}, [] {}};
SetupLink g_wired = kNone;
SetupLink g_link = kNone;
}  // namespace

const SetupLink& Setup() {
    return g_link;
}

void WireSetupLink(const SetupLink& link) {
    g_wired = link;
    g_link = link;
}

void SetSetupLinkForTests(const SetupLink& link) {
    g_link = link.windowExists ? link : g_wired;
}

}  // namespace engine
