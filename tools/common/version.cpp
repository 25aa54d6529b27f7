#include "version.h"

// Written at every build from the project's version and the git commit (cmake/version.cmake);
// only this file includes it, so a new commit recompiles nothing else.
#include "stats_version.h"

namespace tools {

std::string VersionLine(const std::string& program) {
    return program + " " + STATS_VERSION_LONG;
}

}  // namespace tools
