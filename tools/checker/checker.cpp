#include "checker.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <fstream>
#include <sstream>
#include <thread>
#include <tuple>
#include <unordered_map>

#include "base/text.h"
#include "contest/contest_rules.h"
#include "engine/contest.h"
#include "log_readers.h"
#include "tool_io.h"

namespace check {

namespace {

using text::Trim;
using text::Upper;

constexpr double kMinutesPerDay = 1440.0;

long MinuteOf(const COleDateTime& t) {
    return static_cast<long>(std::floor(t.m_dt * kMinutesPerDay + 0.5));
}

// What the scoring needs of a line besides what the matching reads.
struct Extra {
    double time = 0;
    unsigned freqHz = 0;
    bool damaged = false;
};

struct Loaded {
    Entrant entrant;
    std::vector<Extra> extras;  // parallel to entrant.log.lines
};

// Reads one log; false with `why` when it is no log of this contest's kind.
bool Load(const std::string& path, Loaded& out, std::string& why) {
    Entrant& e = out.entrant;
    std::string bytes;
    if (!tools::ReadWholeFile(path, bytes)) {
        why = "cannot be read";
        return false;
    }
    e.file = path;
    // The lines as the evidence shows them, in UTF-8 whatever the file's encoding. X-QSO
    // lines are read too: they are not the entrant's, but they confirm the other's.
    tools::DecodedText decoded = tools::DecodeLogText(bytes);
    tools::ReadLog read = tools::ReadDecoded(decoded, {}, true);
    e.text = std::move(decoded.text);
    const std::string& text = e.text;
    for (size_t at = 0; at < text.size();) {
        e.lineStarts.push_back(static_cast<unsigned>(at));
        size_t next = text.find('\n', at);
        at = next == std::string::npos ? text.size() : next + 1;
    }
    e.header = read.header;
    if (!read.recognised) {
        why = "neither a Cabrillo nor an ADIF log";
        return false;
    }
    e.call = Upper(Trim(read.ownCall));
    if (e.call.empty()) {
        why = "names no own call (CALLSIGN:)";
        return false;
    }
    for (tools::LoggedQso& q : read.qsos) {
        Line l;
        l.line = q.line;
        l.minute = MinuteOf(q.time);
        l.band = q.band;
        l.mode = q.mode;
        l.call = Upper(q.call);
        l.exchSent = q.exchSent;
        l.exchRcvd = q.exchRcvd;
        l.xQso = q.xQso;
        e.log.lines.push_back(l);
        out.extras.push_back({q.time.m_dt, q.freqHz, false});
    }
    // A line that cannot be read is still a line of the log: it is judged, not lost.
    std::vector<std::string> details;
    for (const tools::DamagedRecord& d : read.damaged) {
        Line l;
        l.line = d.line;
        l.xQso = d.xQso;
        l.ruled = Verdict::kBad;
        l.why = Reason::kUnreadable;
        e.log.lines.push_back(l);
        details.resize(e.log.lines.size());
        details.back() = (d.field.empty() ? "" : d.field + ": ") + d.reason;
        Extra x;
        x.damaged = true;
        out.extras.push_back(x);
    }
    std::vector<size_t> order(e.log.lines.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return e.log.lines[a].line < e.log.lines[b].line; });
    Log sorted;
    std::vector<Extra> extras;
    for (size_t i : order) {
        sorted.lines.push_back(e.log.lines[i]);
        extras.push_back(std::move(out.extras[i]));
    }
    e.log.lines = std::move(sorted.lines);
    e.log.call = e.call;
    out.extras = std::move(extras);
    e.findings.resize(e.log.lines.size());
    details.resize(e.log.lines.size());
    for (size_t k = 0; k < order.size(); ++k)
        if (!details[order[k]].empty()) e.unreadable[k] = std::move(details[order[k]]);
    e.points.assign(e.log.lines.size(), 0);
    return true;
}

// Replays the lines `order` (in time order) through an engine instance of its own.
Replayed Replay(const Entrant& e, const std::vector<Extra>& extras,
                const std::vector<size_t>& order, const tools::Resolution& own,
                const std::vector<const tools::Resolution*>& worked, const COleDateTime& start,
                const COleDateTime& end) {
    return ReplayQsos(e.call, own, e.cw, start, end, order, [&](size_t i) {
        const Line& l = e.log.lines[i];
        return QsoFor(e.call, l.call, extras[i].time, extras[i].freqHz, l.band, l.mode, l.exchSent,
                      l.exchRcvd, *worked[i]);
    });
}

// Scores the log as submitted, and marks what the contest's rules refuse.
void ScoreClaimed(Entrant& e, const std::vector<Extra>& extras, const tools::Resolution& own,
                  const std::vector<const tools::Resolution*>& worked, const COleDateTime& start,
                  const COleDateTime& end) {
    int cw = 0, ssb = 0;
    for (const Line& l : e.log.lines)
        cw += l.mode == "CW", ssb += l.mode == "SSB";
    e.cw = IsCwLog(e.header.count("CATEGORY-MODE") ? e.header["CATEGORY-MODE"] : "", cw, ssb);
    std::vector<size_t> order;
    for (size_t i = 0; i < e.log.lines.size(); ++i)
        if (!e.log.lines[i].xQso && !extras[i].damaged) order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return extras[a].time < extras[b].time; });
    Replayed s = Replay(e, extras, order, own, worked, start, end);
    e.claimed = s.score;
    for (const auto& [i, why] : s.refused) {
        e.log.lines[size_t(i)].ruled = Verdict::kBad;
        e.log.lines[size_t(i)].why = ReasonOf(why);
    }
    for (size_t k = 0; k < s.stored.size() && k < s.perQso.size(); ++k) {
        const size_t i = size_t(s.stored[k]);
        e.points[i] = s.perQso[k].points;
        if (s.perQso[k].dupe) {
            e.log.lines[i].ruled = Verdict::kDupe;
        } else if (!s.perQso[k].counted) {
            e.log.lines[i].ruled = Verdict::kBad;
            e.log.lines[i].why = Reason::kNoCall;
        }
    }
}

// Scores what is credited. A line the rules count as a dupe is removed as a dupe unless it is
// confirmed, and then it may count where its twin does not; a line not in the other log whose
// twin a minute or two away is confirmed was one QSO logged twice: a dupe too. The engine,
// replaying only what is credited, says which lines are dupes still.
void ScoreChecked(Entrant& e, const std::vector<Extra>& extras, const tools::Resolution& own,
                  const std::vector<const tools::Resolution*>& worked, const COleDateTime& start,
                  const COleDateTime& end, const CheckOptions& o) {
    const std::vector<Line>& lines = e.log.lines;
    std::vector<size_t> byTwin(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        byTwin[i] = i;
    auto twinKey = [&](size_t i) {
        const Line& l = lines[i];
        return std::tie(l.call, l.band, l.mode, l.minute);
    };
    std::sort(byTwin.begin(), byTwin.end(),
              [&](size_t a, size_t b) { return twinKey(a) < twinKey(b); });
    auto twins = [&](size_t a, size_t b) {
        const Line &x = lines[byTwin[a]], &y = lines[byTwin[b]];
        return x.call == y.call && x.band == y.band && x.mode == y.mode;
    };
    std::vector<Verdict> matched(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        matched[i] = e.findings[i].verdict;
    for (size_t from = 0, to = 0; from < byTwin.size(); from = to) {
        while (to < byTwin.size() && twins(from, to))
            ++to;
        for (size_t a = from; a < to; ++a) {
            const Line& l = lines[byTwin[a]];
            Finding& f = e.findings[byTwin[a]];
            bool confirmedTwin = false, earlierTwin = false;
            for (size_t b = from; b < to; ++b) {
                const Line& t = lines[byTwin[b]];
                confirmedTwin = confirmedTwin || (b != a && matched[byTwin[b]] == Verdict::kOk &&
                                                  std::labs(t.minute - l.minute) <= kOneQsoMinutes);
                // A twin outside the period or not the entrant's makes no dupe.
                earlierTwin = earlierTwin || (b < a && matched[byTwin[b]] != Verdict::kBad &&
                                              matched[byTwin[b]] != Verdict::kXQso);
            }
            const Verdict v = f.verdict;
            const bool ruledDupe =
                l.ruled == Verdict::kDupe && earlierTwin &&
                (v == Verdict::kNil || v == Verdict::kBustedCall || v == Verdict::kBustedExchange ||
                 v == Verdict::kUnverified || v == Verdict::kUnique);
            if (ruledDupe || (v == Verdict::kNil && confirmedTwin)) {
                f.verdict = Verdict::kDupe;
                f.why = Reason::kNone;
            }
        }
    }
    std::vector<size_t> order;
    for (size_t i = 0; i < lines.size(); ++i)
        if (Credited(e.findings[i].verdict, o.removeUniques)) order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return extras[a].time < extras[b].time; });
    Replayed s = Replay(e, extras, order, own, worked, start, end);
    for (size_t k = 0; k < s.stored.size() && k < s.perQso.size(); ++k)
        if (s.perQso[k].dupe) e.findings[size_t(s.stored[k])].verdict = Verdict::kDupe;
    for (size_t i = 0; i < e.log.lines.size(); ++i) {
        const Verdict v = e.findings[i].verdict;
        if (v == Verdict::kNil) e.penaltyPoints += o.nilPenalty * e.points[i];
        if (v == Verdict::kBustedCall || v == Verdict::kBustedExchange)
            e.penaltyPoints += o.bustPenalty * e.points[i];
    }
    e.checked = s.score;
    if (e.penaltyPoints > 0) {
        // The multipliers stay as the credited QSOs earned them.
        const long long mults = s.score.points ? s.score.score / s.score.points : 0;
        e.checked.points = std::max(0, s.score.points - e.penaltyPoints);
        e.checked.score = static_cast<int>(e.checked.points * mults);
    }
}

}  // namespace

Reason ReasonOf(engine::Refusal refusal) {
    switch (refusal) {
        case engine::Refusal::kWrongBand:
            return Reason::kWrongBand;
        case engine::Refusal::kWrongMode:
            return Reason::kWrongMode;
        case engine::Refusal::kNoExchange:
            return Reason::kNoExchange;
        case engine::Refusal::kNone:
            break;
    }
    return Reason::kNoCall;
}

std::string RightCall(const Checked& c, const Finding& f) {
    if (f.verdict != Verdict::kBustedCall || f.otherLog < 0) return std::string();
    return c.entrants[size_t(f.otherLog)].call;
}

std::string OtherHas(const Checked& c, const Finding& f) {
    if (f.otherLog < 0) return std::string();
    const Line& o = c.entrants[size_t(f.otherLog)].log.lines[size_t(f.otherLine)];
    if (f.why == Reason::kBandMismatch) return o.band;
    if (f.why == Reason::kModeMismatch) return o.mode;
    return f.verdict == Verdict::kBustedExchange ? o.exchSent : std::string();
}

bool IsCwLog(const std::string& categoryMode, int cwLines, int ssbLines) {
    const std::string mode = Upper(Trim(categoryMode));
    return mode == "CW" ? true : (mode == "SSB" || mode == "PH") ? false : cwLines >= ssbLines;
}

engine::QsoArgs QsoFor(const std::string& ownCall, const std::string& call, double time,
                       unsigned freqHz, const std::string& band, const std::string& mode,
                       const std::string& exchSent, const std::string& exchRcvd,
                       const tools::Resolution& worked) {
    engine::QsoArgs a;
    a.ownCall = ownCall;
    a.call = call;
    a.time = COleDateTime(time);
    a.freqHz = freqHz ? freqHz : tools::BandStartHz(band);
    a.mode = mode;
    a.rstSent = a.rstRcvd = mode == "CW" ? "599" : "59";
    a.exchSent = exchSent;
    a.exchRcvd = exchRcvd;
    a.prefixText = worked.prefixText;
    a.prefix = worked.entity;
    a.band = band;
    return a;
}

Replayed ReplayQsos(const std::string& ownCall, const tools::Resolution& own, bool cw,
                    const COleDateTime& start, const COleDateTime& end,
                    const std::vector<size_t>& order,
                    const std::function<engine::QsoArgs(size_t i)>& qso) {
    engine::Contest contest;
    contest.SetMode(cw);
    engine::ResetArgs reset;
    reset.ownCall = ownCall;
    reset.start = start;
    reset.end = end;
    reset.ownPrefix = own.entity;
    contest.Reset(reset);
    Replayed r;
    for (size_t i : order) {
        engine::Refusal why = engine::Refusal::kNone;
        if (contest.Add(qso(i), &why))
            r.stored.push_back(i);
        else
            r.refused.emplace_back(i, why);
    }
    engine::Tally tally = contest.Score(&r.perQso);
    r.score = {tally.total.qsos, tally.total.points, tally.total.entities, tally.total.provinces,
               tally.score};
    return r;
}

bool Credited(Verdict v, bool removeUniques) {
    return v == Verdict::kOk || v == Verdict::kUnverified ||
           (v == Verdict::kUnique && !removeUniques);
}

std::string Entrant::RawLine(int number) const {
    if (number < 1 || size_t(number) > lineStarts.size()) return std::string();
    const size_t from = lineStarts[size_t(number - 1)];
    size_t to = size_t(number) < lineStarts.size() ? lineStarts[size_t(number)] : text.size();
    while (to > from && (text[to - 1] == '\n' || text[to - 1] == '\r'))
        --to;
    return text.substr(from, to - from);
}

Checked CheckContest(const std::vector<std::string>& files, const tools::CountryFile& countries,
                     const CheckOptions& o, int threads) {
    Checked out;
    std::vector<Loaded> loaded(files.size());
    std::vector<std::string> why(files.size());
    std::vector<char> ok(files.size(), 0);
    o.progress("reading the logs");
    ForEach(files.size(), threads, [&](size_t i) { ok[i] = Load(files[i], loaded[i], why[i]); });
    // One log a station (whatever its operating indicators): the later file stands.
    std::unordered_map<std::string, size_t> byCall;
    std::vector<char> keep(files.size(), 0);
    for (size_t i = 0; i < files.size(); ++i) {
        if (!ok[i]) {
            out.unreadable.push_back(files[i] + ": " + why[i]);
            continue;
        }
        auto [it, fresh] = byCall.emplace(tools::StationCall(countries, loaded[i].entrant.call), i);
        if (!fresh) {
            keep[it->second] = 0;
            out.dropped.push_back(files[it->second] + ": " + loaded[i].entrant.call + " again in " +
                                  files[i] + ", which stands");
            it->second = i;
        }
        keep[i] = 1;
    }
    std::vector<Loaded> entrants;
    for (size_t i = 0; i < files.size(); ++i)
        if (keep[i]) entrants.push_back(std::move(loaded[i]));
    std::sort(entrants.begin(), entrants.end(),
              [](const Loaded& a, const Loaded& b) { return a.entrant.call < b.entrant.call; });

    // The contest period: 20 June 12:00 UTC of the year most QSOs were made in, for a day.
    out.start = o.start;
    out.end = o.end;
    if (out.start.m_status != COleDateTime::valid) {
        std::vector<int> years;
        for (const Loaded& l : entrants)
            for (const Extra& x : l.extras)
                if (COleDateTime::Fields f; !x.damaged && COleDateTime(x.time).GetFields(f))
                    years.push_back(f.year);
        int year = 2026;
        if (!years.empty()) {
            std::nth_element(years.begin(), years.begin() + long(years.size() / 2), years.end());
            year = years[years.size() / 2];
        }
        out.start = COleDateTime::FromFields(year, 6, 20, 12, 0, 0);
    }
    if (out.end.m_status != COleDateTime::valid) out.end = COleDateTime(out.start.m_dt + 1.0);

    // Each call resolved once: most are worked by many entrants.
    std::unordered_map<std::string, size_t> callIndex;
    std::vector<std::string> calls;
    for (const Loaded& l : entrants) {
        if (callIndex.emplace(l.entrant.call, calls.size()).second) calls.push_back(l.entrant.call);
        for (const Line& line : l.entrant.log.lines)
            if (callIndex.emplace(line.call, calls.size()).second) calls.push_back(line.call);
    }
    std::vector<tools::Resolution> resolved(calls.size());
    std::vector<std::string> stations(calls.size());
    ForEach(calls.size(), threads, [&](size_t i) {
        resolved[i] = countries.Resolve(calls[i]);
        stations[i] = tools::StationCall(countries, calls[i]);
    });
    std::vector<const tools::Resolution*> own(entrants.size());
    std::vector<std::vector<const tools::Resolution*>> worked(entrants.size());
    for (size_t i = 0; i < entrants.size(); ++i) {
        Entrant& e = entrants[i].entrant;
        own[i] = &resolved[callIndex[e.call]];
        e.log.station = stations[callIndex[e.call]];
        for (Line& line : e.log.lines) {
            const size_t at = callIndex[line.call];
            worked[i].push_back(&resolved[at]);
            line.station = stations[at];
        }
    }
    o.progress("scoring the logs as submitted");
    ForEach(entrants.size(), threads, [&](size_t i) {
        ScoreClaimed(entrants[i].entrant, entrants[i].extras, *own[i], worked[i], out.start,
                     out.end);
    });

    std::vector<const Log*> logs;
    for (const Loaded& l : entrants)
        logs.push_back(&l.entrant.log);
    o.progress("matching the logs against each other");
    Options match = o.match;
    match.periodFirst = MinuteOf(out.start);
    match.periodEnd = MinuteOf(out.end);
    match.threads = threads;
    Outcome m = Match(logs, match);
    for (size_t i = 0; i < entrants.size(); ++i) {
        Entrant& e = entrants[i].entrant;
        e.clock = m.clocks[i];
        e.bustedBy = m.bustedBy[i];
        e.findings = std::move(m.findings[i]);
        // The clock as the reports tell it: at the middle of the log.
        long first = LONG_MAX, last = LONG_MIN;
        for (size_t k = 0; k < e.log.lines.size(); ++k)
            if (!entrants[i].extras[k].damaged)
                first = std::min(first, e.log.lines[k].minute),
                last = std::max(last, e.log.lines[k].minute);
        e.clockOffset =
            first <= last ? static_cast<int>(std::lround(e.clock.At((first + last) / 2))) : 0;
    }
    o.progress("scoring what is credited");
    ForEach(entrants.size(), threads, [&](size_t i) {
        ScoreChecked(entrants[i].entrant, entrants[i].extras, *own[i], worked[i], out.start,
                     out.end, o);
    });
    out.removeUniques = o.removeUniques;
    for (Loaded& l : entrants)
        out.entrants.push_back(std::move(l.entrant));
    return out;
}

}  // namespace check
