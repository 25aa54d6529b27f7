#pragma once
#include "engine/contest.h"

namespace results {

// Recomputes the results from the log and returns the text kept in the instance (valid
// until the next call). Called with the instance's lock held; releases it around the
// Cabrillo completion message. Stores -1 through `out` when it is not null.
const char* GetResult(engine::Contest& contest, int* out, StateLock& lock);

}  // namespace results
