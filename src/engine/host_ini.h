#pragma once
// Finding the host's ini and its version line.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hostini {

// Searches for files matching `folderText` followed by "*.ini"; when one whose name contains
// "Ketl2.ini" is found, returns the path of "Ketl2.ini" in the searched folder (a backup
// such as "OldKetl2.ini" only tells that the host lives there). nullopt when none matches.
std::optional<std::string> Find(const std::string& folderText);

// "Ketl2.ini" in the folder of a search pattern.
std::string HostIniIn(const std::string& pattern);

// The version of the first line that contains "Ketl=": the line without its first five
// characters. nullopt when the file cannot be read or has no such line.
std::optional<std::string> ReadVersion(const std::string& path);

// The folder part of a search pattern, up to and including its last path separator
// ('\\', '/' or a drive's ':'); empty for a bare name.
std::string FolderOf(const std::string& pattern);

// The first name, in the given order, that contains "Ketl2.ini".
std::optional<std::string> PickHostIni(const std::vector<std::string>& names);

// File-name matching of the Windows search: '*' any run, '?' one character, letters
// without regard to case.
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace hostini
