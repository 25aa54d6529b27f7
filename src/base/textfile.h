#pragma once
// Text files of the plug-in: opened and closed within one call, lines end in CR LF, bytes
// as they are. Failures are reported by the result only; callers stay silent about them.
#include <optional>
#include <string>
#include <vector>

namespace textfile {

// Creates or truncates the file and writes `content` as raw bytes. False when the file
// could not be created or not written completely.
bool Write(const std::string& path, const std::string& content);
// Appends raw bytes, creating the file when missing.
bool Append(const std::string& path, const std::string& content);
// Whether a file (or anything else) of that name exists.
bool Exists(const std::string& path);
// Reads the file as lines without their line ends (CR LF or LF). nullopt when it cannot be
// opened.
std::optional<std::vector<std::string>> ReadLines(const std::string& path);
// The same split of a text held in memory.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace textfile
