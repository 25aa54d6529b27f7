#include "validate.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "base/text.h"
#include "checker.h"
#include "log_readers.h"
#include "outputs.h"

namespace robot {

namespace {

using text::Trim;
using text::Upper;

// The values Cabrillo 3.0 allows for each CATEGORY- tag.
const std::map<std::string, std::vector<std::string>>& CategoryValues() {
    static const std::map<std::string, std::vector<std::string>> values = {
        {"CATEGORY-ASSISTED", {"ASSISTED", "NON-ASSISTED"}},
        {"CATEGORY-BAND",
         {"ALL", "160M", "80M", "40M",  "20M",  "15M",  "10M",   "6M",         "4M",
          "2M",  "222",  "432", "902",  "1.2G", "2.3G", "3.4G",  "5.7G",       "10G",
          "24G", "47G",  "75G", "122G", "134G", "241G", "LIGHT", "VHF-3-BAND", "VHF-FM-ONLY"}},
        {"CATEGORY-MODE", {"CW", "DIGI", "FM", "RTTY", "SSB", "MIXED"}},
        {"CATEGORY-OPERATOR", {"SINGLE-OP", "MULTI-OP", "CHECKLOG"}},
        {"CATEGORY-POWER", {"HIGH", "LOW", "QRP"}},
        {"CATEGORY-STATION",
         {"DISTRIBUTED", "FIXED", "MOBILE", "PORTABLE", "ROVER", "ROVER-LIMITED", "ROVER-UNLIMITED",
          "EXPEDITION", "HQ", "SCHOOL", "EXPLORER"}},
        {"CATEGORY-TIME", {"6-HOURS", "8-HOURS", "12-HOURS", "24-HOURS"}},
        {"CATEGORY-TRANSMITTER", {"ONE", "TWO", "LIMITED", "UNLIMITED", "SWL"}},
        {"CATEGORY-OVERLAY", {"CLASSIC", "ROOKIE", "TB-WIRES", "YOUTH", "NOVICE-TECH", "OVER-50"}},
    };
    return values;
}

// A header line of a Cabrillo log.
struct Tag {
    int line = 0;
    std::string value;
};

}  // namespace

bool CallShaped(std::string_view call) {
    if (call.size() < 3 || call.size() > 20) return false;
    bool digit = false, letter = false;
    for (char c : call) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isdigit(u))
            digit = true;
        else if (std::isupper(u))
            letter = true;
        else if (c != '/')
            return false;
    }
    return digit && letter && call.front() != '/' && call.back() != '/';
}

Receipt Validate(std::string_view text, const tools::CountryFile& countries, const Period& period) {
    Receipt r;
    auto problem = [&](int line, std::string what) {
        r.problems.push_back({line, std::move(what)});
    };
    // A problem for which the log is refused.
    bool refuse = false;
    auto refusal = [&](int line, std::string what) {
        r.problems.push_back({line, std::move(what), true});
        refuse = true;
    };

    // The Cabrillo header as written: each tag with its line.
    std::map<std::string, Tag> tags;
    std::vector<std::pair<int, std::string>> categoryLines;
    {
        int number = 0;
        for (size_t at = 0; at < text.size();) {
            size_t next = text.find('\n', at);
            std::string_view line = text.substr(
                at, next == std::string_view::npos ? std::string_view::npos : next - at);
            at = next == std::string_view::npos ? text.size() : next + 1;
            ++number;
            const size_t colon = line.find(':');
            if (colon == std::string_view::npos || colon > 24) continue;
            const std::string tag = Upper(Trim(line.substr(0, colon)));
            if (tag == "QSO" || tag == "X-QSO") continue;
            const std::string value = Trim(line.substr(colon + 1));
            if (tag.rfind("CATEGORY-", 0) == 0) categoryLines.emplace_back(number, tag);
            if (!tags.count(tag)) tags[tag] = {number, value};
        }
    }

    tools::ReadLog read = tools::ReadAnyLog(text, {});
    if (!read.recognised) {
        refusal(0, "neither a Cabrillo log (START-OF-LOG:) nor an ADIF log");
        return r;
    }
    r.format = read.cabrillo ? "Cabrillo" : "ADIF";
    // A Cabrillo log names its call in its header; the reader would take it from the QSO
    // lines, which is no answer to an entrant who left it out.
    r.call = Upper(read.cabrillo ? (tags.count("CALLSIGN") ? tags["CALLSIGN"].value : "")
                                 : Trim(read.ownCall));
    const int callLine = tags.count("CALLSIGN") ? tags["CALLSIGN"].line : 0;
    if (r.call.empty()) {
        refusal(callLine, read.cabrillo
                              ? "no CALLSIGN: the log must name its own call"
                              : "no STATION_CALLSIGN or OPERATOR field names the own call");
    } else if (!CallShaped(r.call) || countries.Resolve(r.call).entity.empty()) {
        refusal(callLine, "CALLSIGN " + r.call + " is not a known amateur call");
    }
    if (read.cabrillo) {
        for (const auto& [line, tag] : categoryLines) {
            auto allowed = CategoryValues().find(tag);
            const std::string value = Upper(tags[tag].line == line ? tags[tag].value : "");
            if (allowed == CategoryValues().end()) {
                refusal(line, tag + " is no Cabrillo 3.0 category");
            } else if (tags[tag].line == line &&
                       std::find(allowed->second.begin(), allowed->second.end(), value) ==
                           allowed->second.end()) {
                refusal(line, tag + ": '" + tags[tag].value + "' is not one of its values");
            }
        }
        for (const char* t : {"CATEGORY-OPERATOR", "CATEGORY-MODE", "CATEGORY-POWER",
                              "CATEGORY-BAND", "CATEGORY-ASSISTED", "CATEGORY-TRANSMITTER"}) {
            auto it = tags.find(t);
            if (it == tags.end() || it->second.value.empty()) continue;
            r.category += (r.category.empty() ? "" : " ") + Upper(it->second.value);
        }
        if (tags.count("CLAIMED-SCORE")) r.logClaimed = tags["CLAIMED-SCORE"].value;
    }
    r.qsoLines = static_cast<int>(read.qsos.size());
    if (read.qsos.empty()) {
        refusal(0, read.damaged.empty() ? "no QSO line" : "no QSO line that can be read");
    }
    for (const tools::DamagedRecord& d : read.damaged)
        problem(d.line, "damaged QSO line: " + (d.field.empty() ? "" : d.field + ": ") + d.reason);
    for (const tools::DamagedRecord& d : read.notes)
        problem(d.line, "read, but " + (d.field.empty() ? "" : d.field + ": ") + d.reason);

    if (!read.qsos.empty()) {
        // The contest period: the one given, else 20 June 12:00 UTC of the first QSO's year.
        COleDateTime start = period.start, end = period.end;
        if (start.m_status != COleDateTime::valid) {
            COleDateTime::Fields f;
            int year = read.qsos.front().time.GetFields(f) ? f.year : 2026;
            start = COleDateTime::FromFields(year, 6, 20, 12, 0, 0);
        }
        if (end.m_status != COleDateTime::valid) end = COleDateTime(start.m_dt + 1.0);
        // As the checker scores a log as submitted: its mode, its lines in time order.
        int cwLines = 0, ssbLines = 0;
        for (const tools::LoggedQso& q : read.qsos)
            cwLines += q.mode == "CW", ssbLines += q.mode == "SSB";
        std::string mode = tags.count("CATEGORY-MODE") ? tags["CATEGORY-MODE"].value : "";
        if (mode.empty()) mode = read.categoryMode;
        const bool cw = check::IsCwLog(mode, cwLines, ssbLines);
        std::vector<size_t> order(read.qsos.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return read.qsos[a].time.m_dt < read.qsos[b].time.m_dt;
        });
        std::vector<char> outside(read.qsos.size(), 0);
        for (size_t i = 0; i < read.qsos.size(); ++i) {
            const double t = read.qsos[i].time.m_dt;
            if (read.qsos[i].time.m_status != COleDateTime::valid || t < start.m_dt ||
                t >= end.m_dt) {
                outside[i] = 1;
                problem(read.qsos[i].line, "outside the contest period (" +
                                               start.Format("%Y-%m-%d %H:%M") + " to " +
                                               end.Format("%Y-%m-%d %H:%M") + " UTC)");
            }
        }
        const tools::Resolution own =
            r.call.empty() ? tools::Resolution{} : countries.Resolve(r.call);
        std::vector<tools::Resolution> worked(read.qsos.size());
        for (size_t i = 0; i < read.qsos.size(); ++i)
            worked[i] = countries.Resolve(Upper(read.qsos[i].call));
        const check::Replayed replayed =
            check::ReplayQsos(r.call, own, cw, start, end, order, [&](size_t i) {
                const tools::LoggedQso& q = read.qsos[i];
                return check::QsoFor(r.call, Upper(q.call), q.time.m_dt, q.freqHz, q.band, q.mode,
                                     q.exchSent, q.exchRcvd, worked[i]);
            });
        r.claimedScore = replayed.score.score;
        for (const auto& [i, why] : replayed.refused)
            if (!outside[i])
                problem(read.qsos[i].line, check::ReasonText(check::ReasonOf(why),
                                                             read.qsos[i].band, read.qsos[i].mode));
        for (size_t k = 0; k < replayed.stored.size() && k < replayed.perQso.size(); ++k) {
            const size_t i = replayed.stored[k];
            const tools::LoggedQso& q = read.qsos[i];
            if (replayed.perQso[k].dupe)
                problem(q.line, "dupe of an earlier QSO: no points");
            else if (!replayed.perQso[k].counted && !outside[i])
                problem(q.line, check::ReasonText(check::Reason::kNoCall, q.band, q.mode));
        }
    }
    std::stable_sort(r.problems.begin(), r.problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    r.accepted = !refuse;
    return r;
}

}  // namespace robot
