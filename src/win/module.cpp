#include "win/module.h"

namespace win {
namespace {
HINSTANCE g_module = nullptr;
}
HINSTANCE Module() {
    return g_module ? g_module : GetModuleHandleA(nullptr);
}
void SetModule(HINSTANCE module) {
    g_module = module;
}
}  // namespace win
