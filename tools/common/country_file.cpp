#include "country_file.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace tools {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IsCallText(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
    });
}

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Suffixes of more than one character that tell how a station operates, not where.
bool IsOperatingSuffix(std::string_view s) {
    return s == "QRP" || s == "QRPP" || s == "LH" || (AllDigits(s) && s.size() > 1);
}

}  // namespace

std::string PrefixWithDigit(std::string_view call) {
    size_t last = call.find_last_of("0123456789");
    if (last == std::string_view::npos) return std::string(call.substr(0, 2)) + "0";
    return std::string(call.substr(0, last + 1));
}

CountryFile CountryFile::Parse(std::string_view text) {
    CountryFile file;
    size_t i = 0;
    int line = 1;
    auto skipBlanks = [&] {
        for (; i < text.size() && IsBlank(text[i]); ++i)
            if (text[i] == '\n') ++line;
    };
    for (skipBlanks(); i < text.size(); skipBlanks()) {
        // Eight fields, each closed by a colon, on one line: name, zones, continent,
        // position, time offset, primary prefix ('*' before it: a WAE-only entry).
        std::string_view primary;
        for (int field = 0; field < 8; ++field) {
            size_t colon = text.find_first_of(":\n", i);
            if (colon == std::string_view::npos || text[colon] != ':')
                throw CountryFileError(line, "an entity line needs eight fields closed by ':'");
            primary = Trim(text.substr(i, colon - i));
            i = colon + 1;
        }
        bool waeOnly = !primary.empty() && primary[0] == '*';
        if (waeOnly) primary.remove_prefix(1);
        // Primary prefixes of entities without one of their own carry a lower-case mark
        // ("3D2/c").
        std::string upper(primary);
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (!IsCallText(upper)) throw CountryFileError(line, "no primary prefix");
        size_t end = text.find(';', i);
        if (end == std::string_view::npos)
            throw CountryFileError(
                line, "the prefix list of " + std::string(primary) + " has no ';' at its end");
        int entity = static_cast<int>(file.entities_.size());
        if (!waeOnly) file.entities_.emplace_back(primary);
        std::string_view list = text.substr(i, end - i);
        size_t counted = 0;  // the newlines of `list` before it are in `line`
        for (size_t start = 0; start <= list.size();) {
            size_t comma = std::min(list.find(',', start), list.size());
            size_t first = std::min(list.find_first_not_of(" \t\r\n", start), comma);
            line +=
                static_cast<int>(std::count(list.begin() + counted, list.begin() + first, '\n'));
            counted = first;
            std::string_view alias = Trim(list.substr(start, comma - start));
            start = comma + 1;
            // Zones, position and continent that differ from the entity's come in brackets
            // after the prefix; the entity is all we need.
            alias = alias.substr(0, alias.find_first_of("([<{~"));
            bool exact = !alias.empty() && alias[0] == '=';
            if (exact) alias.remove_prefix(1);
            if (!IsCallText(alias)) throw CountryFileError(line, "not a prefix or call");
            if (waeOnly) continue;
            (exact ? file.exactCalls_ : file.prefixes_).emplace(alias, entity);
            file.longest_ = std::max(file.longest_, alias.size());
        }
        line += static_cast<int>(std::count(list.begin() + counted, list.end(), '\n'));
        i = end + 1;
    }
    if (file.entities_.empty()) throw CountryFileError(line, "no entity in the file");
    return file;
}

int CountryFile::LongestPrefix(std::string_view call) const {
    std::string key(call.substr(0, std::min(call.size(), longest_)));
    for (; !key.empty(); key.pop_back()) {
        auto it = prefixes_.find(key);
        if (it != prefixes_.end()) return it->second;
    }
    return -1;
}

// How a worked call is resolved, the way contest loggers do it:
//  1. An exact-call entry for the call as logged wins ("=EA1AK/8", "=R7AB/M").
//  2. The home call is the longer of the first two parts; of two parts of the same length
//     the second (EA8/W1A is W1A in EA8). A part before it is a location, whatever it
//     looks like: M/NP4Z is in England, AM/DL1ABC in Spain; one the file does not know
//     leaves the call without entity.
//  3. After the home call, operating indicators are dropped: one letter (/P, /M, /R, /B),
//     /QRP, /QRPP, /LH and numbers of more than one digit (DL1ABC/P is DL1ABC).
//  4. /MM and /AM after the home call (maritime and aeronautical mobile) are in no entity;
//     the prefix text comes from the home call.
//  5. A one-digit part after the home call moves the call area: the digit replaces the
//     call's own (K1ABC/4 has the prefix K4) and the entity is the moved call's (UA1ABC/9
//     is in UA9).
//  6. Any other part after the home call is a location when the file knows a prefix of it
//     (DL1ABC/EA8), and is ignored otherwise (IZ5ILU/90MW is IZ5ILU).
//  7. A location gives the entity and the prefix text; one without a digit takes 0
//     (F/DL1ABC: F0). A location before the call wins over one after it.
//  8. Otherwise an exact-call entry for the home call, else the longest prefix in the file.
//  9. WAE-only entries ('*') are no entities: their calls fall to the DXCC entity of their
//     longest other prefix (IT9ABC is in I).
// A call that matches nothing gets an empty entity.
namespace {

std::string UpperTrimmed(std::string_view logged) {
    std::string call(Trim(logged));
    std::transform(call.begin(), call.end(), call.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return call;
}

}  // namespace

Resolution CountryFile::Resolve(std::string_view logged) const {
    std::string call = UpperTrimmed(logged);
    Resolution r = ResolveParts(Split(call));
    // An exact entry knows the station better than any rule.
    if (auto it = exactCalls_.find(call); it != exactCalls_.end()) r.entity = entities_[it->second];
    return r;
}

CallParts CountryFile::Split(std::string_view call) const {
    CallParts p;
    std::vector<std::string_view> parts;
    for (std::string_view rest(call); !rest.empty();) {
        size_t slash = std::min(rest.find('/'), rest.size());
        if (slash > 0) parts.push_back(rest.substr(0, slash));
        rest = slash < rest.size() ? rest.substr(slash + 1) : std::string_view();
    }
    if (parts.empty()) return p;
    size_t homeAt = parts.size() > 1 && parts[0].size() <= parts[1].size() ? 1 : 0;
    p.home = parts[homeAt];
    if (homeAt == 1) p.location = parts[0];
    for (size_t i = homeAt + 1; i < parts.size(); ++i) {
        std::string_view part = parts[i];
        if (part == "MM" || part == "AM") {
            p.mobile = part;
        } else if (part.size() == 1 && part[0] >= '0' && part[0] <= '9') {
            p.area = part[0];
        } else if (part.size() == 1 || IsOperatingSuffix(part)) {
            continue;
        } else if (p.location.empty() && LongestPrefix(part) >= 0) {
            p.location = part;
        }
    }
    return p;
}

Resolution CountryFile::ResolveParts(const CallParts& p) const {
    Resolution r;
    auto entityOf = [&](int index) { return index < 0 ? std::string() : entities_[index]; };
    if (p.home.empty()) return r;
    const std::string& home = p.home;
    const std::string& location = p.location;
    bool noEntity = !p.mobile.empty();
    if (!location.empty()) {
        r.prefixText = location.find_first_of("0123456789") == std::string::npos
                           ? location + "0"
                           : PrefixWithDigit(location);
        if (!noEntity) r.entity = entityOf(LongestPrefix(location));
        return r;
    }
    r.prefixText = PrefixWithDigit(home);
    if (noEntity) return r;
    if (p.area && r.prefixText.back() >= '0' && r.prefixText.back() <= '9') {
        std::string moved = r.prefixText;
        moved.back() = p.area;
        // A call without a digit ("EA/2") gets one in its prefix text, longer than the call.
        std::string tail = home.substr(std::min(r.prefixText.size(), home.size()));
        r.entity = entityOf(LongestPrefix(moved + tail));
        r.prefixText = moved;
        return r;
    }
    if (auto it = exactCalls_.find(home); it != exactCalls_.end()) {
        r.entity = entities_[it->second];
    } else {
        r.entity = entityOf(LongestPrefix(home));
    }
    return r;
}

std::string StationCall(const CountryFile& countries, std::string_view logged) {
    std::string call = UpperTrimmed(logged);
    if (call.find('/') == std::string::npos) return call;  // most calls: nothing to drop
    CallParts p = countries.Split(call);
    if (p.home.empty()) return call;
    if (p.mobile.empty() && countries.Resolve(call).entity == countries.Resolve(p.home).entity)
        return p.home;
    std::string key = p.location.empty() ? p.home : p.location + "/" + p.home;
    if (p.location.empty() && p.area) key += std::string("/") + p.area;
    if (!p.mobile.empty()) key += "/" + p.mobile;
    // Nothing but an exact entry of the whole call places it elsewhere: as logged.
    return key == p.home ? call : key;
}

}  // namespace tools
