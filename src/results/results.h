#pragma once
#include "engine/state.h"

namespace results {

// Recomputes the results from the log and returns the text kept in the state (valid until
// the next call). Called with the state lock held; releases it around the Cabrillo
// completion message. Stores -1 through `out` when it is not null.
const char* GetResult(int* out, StateLock& lock);

}  // namespace results
