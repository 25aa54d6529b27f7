#pragma once
// What a log checker insists on in a Cabrillo 3.0 file, as a list of problems (empty: the
// file passes). Shared by the native and the Windows tests.
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace cabrillo_check {

// QSO: frequency, mode, date, time, own call, RST, exchange, call, RST, exchange.
constexpr size_t kQsoFields = 10;

inline std::vector<std::string> Problems(const std::string& file) {
    static const std::set<std::string> kTags = {"START-OF-LOG",
                                                "END-OF-LOG",
                                                "CALLSIGN",
                                                "CONTEST",
                                                "CATEGORY-OPERATOR",
                                                "CATEGORY-ASSISTED",
                                                "CATEGORY-BAND",
                                                "CATEGORY-MODE",
                                                "CATEGORY-POWER",
                                                "CATEGORY-STATION",
                                                "CATEGORY-TIME",
                                                "CATEGORY-TRANSMITTER",
                                                "CATEGORY-OVERLAY",
                                                "CERTIFICATE",
                                                "CLAIMED-SCORE",
                                                "CLUB",
                                                "CREATED-BY",
                                                "EMAIL",
                                                "GRID-LOCATOR",
                                                "LOCATION",
                                                "NAME",
                                                "ADDRESS",
                                                "ADDRESS-CITY",
                                                "ADDRESS-STATE-PROVINCE",
                                                "ADDRESS-POSTALCODE",
                                                "ADDRESS-COUNTRY",
                                                "OPERATORS",
                                                "OFFTIME",
                                                "SOAPBOX",
                                                "QSO",
                                                "X-QSO"};
    std::vector<std::string> problems;
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < file.size()) {
        size_t lf = file.find('\n', pos);
        if (lf == std::string::npos) {
            problems.push_back("last line has no line end");
            lines.push_back(file.substr(pos));
            break;
        }
        if (lf == pos || file[lf - 1] != '\r') {
            problems.push_back("line " + std::to_string(lines.size() + 1) + " ends without CR");
            lines.push_back(file.substr(pos, lf - pos));
        } else {
            lines.push_back(file.substr(pos, lf - 1 - pos));
        }
        pos = lf + 1;
    }
    if (lines.empty() || lines.front() != "START-OF-LOG: 3.0")
        problems.push_back("does not start with START-OF-LOG: 3.0");
    if (lines.empty() || lines.back() != "END-OF-LOG:")
        problems.push_back("does not end with END-OF-LOG:");
    bool inQsos = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        std::string where = "line " + std::to_string(i + 1) + ": ";
        if (line.find('\t') != std::string::npos) problems.push_back(where + "tab");
        if (line.find('\r') != std::string::npos) problems.push_back(where + "bare CR");
        size_t colon = line.find(':');
        if (colon == std::string::npos) {
            problems.push_back(where + "no tag");
            continue;
        }
        std::string tag = line.substr(0, colon);
        if (!kTags.count(tag) && tag.rfind("X-", 0) != 0)
            problems.push_back(where + "unknown tag " + tag);
        if (tag != "QSO" && tag != "END-OF-LOG" && inQsos)
            problems.push_back(where + "header line after the QSO lines");
        if (tag != "QSO") continue;
        inQsos = true;
        if (line.size() <= colon + 1 || line[colon + 1] != ' ')
            problems.push_back(where + "QSO: not followed by a blank");
        std::istringstream fields(line.substr(colon + 1));
        std::vector<std::string> parts;
        for (std::string f; fields >> f;)
            parts.push_back(f);
        if (parts.size() != kQsoFields)
            problems.push_back(where + std::to_string(parts.size()) + " QSO fields, not 10");
    }
    return problems;
}

}  // namespace cabrillo_check
