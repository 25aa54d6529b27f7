#pragma once
// What every tool's --version prints.
#include <string>

namespace tools {

// "<program> <version>", followed by the commit the program was built from when known:
// "stats-score 1.0.0 (git 0123456789ab)".
std::string VersionLine(const std::string& program);

}  // namespace tools
