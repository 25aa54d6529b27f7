#pragma once
// The tools' command-line conventions on top of CLI11: --help and --version print to
// standard output and end with 0; any other mistake names itself on standard error and ends
// with 2, the tools' code for a bad option.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <optional>

namespace tools {

// Parses the command line; returns the exit code when the program should end at once.
inline std::optional<int> ParseCommandLine(CLI::App& app, int argc, char** argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0) return app.exit(e);  // --help, --version
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", app.get_name().c_str(), e.what(),
                     app.get_name().c_str());
        return 2;
    }
    return std::nullopt;
}

}  // namespace tools
