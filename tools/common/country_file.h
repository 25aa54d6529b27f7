#pragma once
// The country file (the big cty.dat of the loggers): DXCC entities with their prefixes and
// exact calls, and the resolution of a worked call into what the host passes with a QSO.
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tools {

class CountryFileError : public std::runtime_error {
public:
    CountryFileError(int line, const std::string& what)
        : std::runtime_error("line " + std::to_string(line) + ": " + what) {}
};

// A logged call taken apart by the rules of Resolve.
struct CallParts {
    std::string home;      // the home call ("DL1ABC" of "EA8/DL1ABC/P")
    std::string location;  // the part that places the station ("EA8"); empty: none
    char area = 0;         // a one-digit call-area move after the home call ('9' of "UA1ABC/9")
    std::string mobile;    // "MM" or "AM" after the home call: in no entity
};

// What the host passes with a worked call.
struct Resolution {
    std::string entity;      // the entity's primary prefix ("EA8", "K", "UA9"); empty: none
    std::string prefixText;  // the call's prefix with its digit ("EA4", "K5", "F0")
};

class CountryFile {
public:
    // Parses the whole text; throws CountryFileError naming the line of a damaged entry.
    static CountryFile Parse(std::string_view text);

    Resolution Resolve(std::string_view call) const;
    // The parts of an upper-case call; operating indicators are dropped.
    CallParts Split(std::string_view call) const;
    size_t EntityCount() const { return entities_.size(); }

private:
    // The entity of a bare call or prefix by the longest matching prefix; -1 for none.
    int LongestPrefix(std::string_view call) const;
    Resolution ResolveParts(const CallParts& parts) const;
    std::vector<std::string> entities_;  // primary prefixes
    std::unordered_map<std::string, int> prefixes_;
    std::unordered_map<std::string, int> exactCalls_;
    size_t longest_ = 0;  // the longest prefix, where the search starts
};

// The prefix of a call with its digit, as the rules of prefix counting take it.
std::string PrefixWithDigit(std::string_view call);

// The key under which two logged forms of one station compare equal: upper case, operating
// indicators dropped (OK4RM/P, OK4RM/QRP and OK4RM are "OK4RM"), and so is a location or an
// area move that leaves the entity as it is (K1ABC/4 is "K1ABC"). What places the station in
// another entity stays, written the one way: location first ("EA8/W1AW" for W1AW/EA8 too),
// an area move after the call ("UA1ABC/9"), /MM and /AM last ("G4ABC/MM").
std::string StationCall(const CountryFile& countries, std::string_view call);

}  // namespace tools
