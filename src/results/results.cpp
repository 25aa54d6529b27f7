#include "results/results.h"

namespace results {

const char* GetResult(int* out, StateLock&) {
    PluginState& s = State();
    s.resultText.clear();
    if (out) *out = -1;
    return s.resultText.c_str();
}

}  // namespace results
