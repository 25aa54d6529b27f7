#include "match.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <tuple>
#include <unordered_map>

namespace check {

const char* VerdictName(Verdict v) {
    switch (v) {
        case Verdict::kOk:
            return "OK";
        case Verdict::kUnverified:
            return "UNVERIFIED";
        case Verdict::kUnique:
            return "UNIQUE";
        case Verdict::kNil:
            return "NIL";
        case Verdict::kBustedCall:
            return "BUSTED_CALL";
        case Verdict::kBustedExchange:
            return "BUSTED_EXCHANGE";
        case Verdict::kDupe:
            return "DUPE";
        case Verdict::kBad:
            return "BAD";
        case Verdict::kXQso:
            return "X_QSO";
        case Verdict::kNone:
            break;
    }
    return "";
}

int CallDistance(const std::string& a, const std::string& b) {
    // Optimal string alignment: edits, each sign once, a swap of neighbours as one.
    const size_t n = a.size(), m = b.size();
    std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
    for (size_t i = 0; i <= n; ++i)
        d[i][0] = static_cast<int>(i);
    for (size_t j = 0; j <= m; ++j)
        d[0][j] = static_cast<int>(j);
    for (size_t i = 1; i <= n; ++i)
        for (size_t j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[n][m];
}

bool MayBeBustOf(const std::string& logged, const std::string& right) {
    if (logged.empty() || logged == right) return false;
    if (CallDistance(logged, right) <= 2) return true;
    return logged.size() >= 3 && right.find(logged) != std::string::npos;
}

namespace {

std::string Norm(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '\t')
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool AllDigits(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool SameExchange(const std::string& logged, const std::string& sent) {
    const std::string a = Norm(logged), b = Norm(sent);
    if (AllDigits(a) && AllDigits(b)) {
        size_t i = a.find_first_not_of('0'), j = b.find_first_not_of('0');
        return a.substr(i == std::string::npos ? a.size() : i) ==
               b.substr(j == std::string::npos ? b.size() : j);
    }
    return a == b;
}

namespace {

struct Ref {
    int log = -1;
    int line = -1;
    bool operator<(const Ref& o) const { return std::tie(log, line) < std::tie(o.log, o.line); }
};

// A line that may confirm another, in an index sorted by what is looked up. A log's lines
// keep their order when its clock is corrected (no clock loses an hour in an hour).
struct Heard {
    int station;  // the worked station, interned
    int band;
    double minute;  // as logged while the clocks are sought, corrected afterwards
    Ref ref;
    bool operator<(const Heard& o) const {
        return std::tie(station, band, minute, ref) < std::tie(o.station, o.band, o.minute, o.ref);
    }
};

// A gap between a line and a line that may confirm it, for the clocks.
struct Gap {
    long mine;    // this log's minute as logged
    int other;    // the other log
    long theirs;  // its minute as logged
};

// A pair that may be linked, ranked by `first`, `second`, `third`, then the gap in time.
struct Candidate {
    int first;
    int second;
    int third;
    double gap;
    Ref q, p;
    bool operator<(const Candidate& o) const {
        return std::tie(first, second, third, gap, q, p) <
               std::tie(o.first, o.second, o.third, o.gap, o.q, o.p);
    }
};

enum class Link { kNone, kExact, kBust, kMismatch };

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A log's clock from the gaps to its partners: `ys[k]` is how far ahead of the others it
// ran at its minute `ts[k]`.
Clock FitClock(const std::vector<long>& ts, const std::vector<double>& ys, const Options& o) {
    // The densest cluster of gaps: stray pairs (a dupe hours away) stand apart from it. Of
    // two clusters as dense, the one nearer agreement.
    std::vector<double> sorted = ys;
    std::sort(sorted.begin(), sorted.end());
    // Clocks that agree put their gaps within a minute or two of each other.
    const double radius = 2;
    size_t bestFrom = 0, bestCount = 0;
    double bestCentre = 0;
    for (size_t a = 0, b = 0; a < sorted.size(); ++a) {
        while (b < sorted.size() && sorted[b] - sorted[a] <= 2 * radius)
            ++b;
        const size_t count = b - a;
        const double centre = sorted[a + (count - 1) / 2];
        if (count > bestCount ||
            (count == bestCount && std::fabs(centre) < std::fabs(bestCentre))) {
            bestFrom = a, bestCount = count, bestCentre = centre;
        }
    }
    if (bestCount < size_t(std::max(1, o.minClockPairs))) return {};
    const double centre = Median(std::vector<double>(sorted.begin() + long(bestFrom),
                                                     sorted.begin() + long(bestFrom + bestCount)));
    std::vector<size_t> in;
    for (size_t k = 0; k < ys.size(); ++k)
        if (std::fabs(ys[k] - centre) <= radius + 1) in.push_back(k);

    // A line through the cluster; then again through every gap near the line before, so
    // that a drift larger than the cluster is followed to its ends.
    double a = centre, b = 0, tMean = 0, sigma = 0, sxx = 0;
    for (int pass = 0; pass < 3 && in.size() >= 2; ++pass) {
        tMean = 0;
        double yMean = 0;
        for (size_t k : in)
            tMean += double(ts[k]), yMean += ys[k];
        tMean /= double(in.size()), yMean /= double(in.size());
        double sxy = 0;
        sxx = 0;
        for (size_t k : in) {
            sxx += (double(ts[k]) - tMean) * (double(ts[k]) - tMean);
            sxy += (double(ts[k]) - tMean) * (ys[k] - yMean);
        }
        b = sxx > 0 ? sxy / sxx : 0;
        a = yMean;
        double sq = 0;
        for (size_t k : in) {
            const double r = ys[k] - (a + b * (double(ts[k]) - tMean));
            sq += r * r;
        }
        sigma = std::sqrt(sq / double(std::max<size_t>(1, in.size() - 1)));
        std::vector<size_t> near;
        for (size_t k = 0; k < ys.size(); ++k)
            if (std::fabs(ys[k] - (a + b * (double(ts[k]) - tMean))) <= 3) near.push_back(k);
        if (near.size() >= 2) in = near;
    }
    long first = ts[in.front()], last = ts[in.front()];
    for (size_t k : in)
        first = std::min(first, ts[k]), last = std::max(last, ts[k]);
    const double span = double(last - first);
    const double error = sxx > 0 ? sigma / std::sqrt(sxx) : 1e9;
    // A drift counts when it moves the clock by two minutes or more over the log and the
    // gaps tell it clearly; a constant clock otherwise.
    if (in.size() >= 12 && span >= 120 && std::fabs(b) * span >= 2 && std::fabs(b) > 4 * error)
        return {a, b * 60.0, std::lround(tMean)};
    std::vector<double> near;
    for (size_t k : in)
        near.push_back(ys[k]);
    return {Median(near), 0, 0};
}

class Matcher {
public:
    Matcher(const std::vector<const Log*>& logs, const Options& o) : m_logs(logs), m_o(o) {
        const size_t n = logs.size();
        m_out.findings.resize(n);
        m_out.bustedBy.resize(n);
        m_out.clocks.assign(n, Clock{});
        m_stations.resize(n);
        m_bands.resize(n);
        m_time.resize(n);
        m_link.resize(n);
        m_how.resize(n);
        m_eligible.resize(n);
        m_outside.resize(n);
        for (size_t i = 0; i < n; ++i)
            m_own.push_back(Intern(logs[i]->station));
        m_entrant.assign(m_names.size(), -1);
        for (size_t i = 0; i < n; ++i)
            m_entrant[size_t(m_own[i])] = static_cast<int>(i);
        std::vector<std::pair<int, int>> stationInLog;
        for (size_t i = 0; i < n; ++i) {
            const std::vector<Line>& lines = logs[i]->lines;
            m_out.findings[i].resize(lines.size());
            m_link[i].assign(lines.size(), Ref{});
            m_how[i].assign(lines.size(), Link::kNone);
            m_eligible[i].assign(lines.size(), 0);
            m_outside[i].assign(lines.size(), 0);
            for (const Line& l : lines) {
                m_stations[i].push_back(Intern(l.station));
                m_bands[i].push_back(BandId(l.band));
                m_time[i].push_back(double(l.minute));
                stationInLog.emplace_back(m_stations[i].back(), static_cast<int>(i));
            }
        }
        m_entrant.resize(m_names.size(), -1);
        MarkLoggedAgain();
        std::sort(stationInLog.begin(), stationInLog.end());
        stationInLog.erase(std::unique(stationInLog.begin(), stationInLog.end()),
                           stationInLog.end());
        m_logsWith.assign(m_names.size(), 0);
        for (const auto& [station, log] : stationInLog)
            ++m_logsWith[size_t(station)];
    }

    // Lines that repeat the line before of the same station, band and mode a minute or two
    // later: one QSO logged twice, not a second try.
    void MarkLoggedAgain() {
        m_again.resize(m_logs.size());
        for (size_t i = 0; i < m_logs.size(); ++i) {
            const std::vector<Line>& lines = m_logs[i]->lines;
            m_again[i].assign(lines.size(), 0);
            std::vector<size_t> order(lines.size());
            for (size_t k = 0; k < order.size(); ++k)
                order[k] = k;
            auto key = [&](size_t k) {
                return std::tie(m_stations[i][k], m_bands[i][k], lines[k].mode, lines[k].minute);
            };
            std::sort(order.begin(), order.end(),
                      [&](size_t a, size_t b) { return key(a) < key(b); });
            for (size_t n = 1; n < order.size(); ++n) {
                const size_t a = order[n - 1], b = order[n];
                if (m_stations[i][a] == m_stations[i][b] && m_bands[i][a] == m_bands[i][b] &&
                    lines[a].mode == lines[b].mode &&
                    lines[b].minute - lines[a].minute <= kOneQsoMinutes)
                    m_again[i][b] = 1;
            }
        }
    }

    Outcome Run() {
        BuildIndexes();
        EstimateClocks();
        ApplyClocks();
        BuildHeard();
        LinkExact();
        LinkBusts(false);
        LinkMismatches();
        LinkBusts(true);
        Decide();
        return std::move(m_out);
    }

private:
    int Intern(const std::string& station) {
        auto [it, fresh] = m_ids.emplace(station, static_cast<int>(m_names.size()));
        if (fresh) m_names.push_back(station);
        return it->second;
    }
    int BandId(const std::string& band) {
        auto [it, fresh] = m_bandIds.emplace(band, static_cast<int>(m_bandIds.size()));
        return it->second;
    }
    const Line& At(Ref r) const { return m_logs[size_t(r.log)]->lines[size_t(r.line)]; }
    Finding& FindingOf(Ref r) { return m_out.findings[size_t(r.log)][size_t(r.line)]; }
    double Time(Ref r) const { return m_time[size_t(r.log)][size_t(r.line)]; }
    bool Linked(Ref r) const { return m_link[size_t(r.log)][size_t(r.line)].log >= 0; }
    bool Eligible(Ref r) const { return m_eligible[size_t(r.log)][size_t(r.line)] != 0; }
    bool Outside(Ref r) const { return m_outside[size_t(r.log)][size_t(r.line)] != 0; }
    int EntrantOf(int station) const { return m_entrant[size_t(station)]; }
    int StationOf(Ref r) const { return m_stations[size_t(r.log)][size_t(r.line)]; }
    int BandOf(Ref r) const { return m_bands[size_t(r.log)][size_t(r.line)]; }

    // The lines of `index` for one station and band, from `from` to `to` minutes.
    static std::pair<std::vector<Heard>::const_iterator, std::vector<Heard>::const_iterator> Range(
        const std::vector<Heard>& index, int station, int band, double from, double to) {
        Heard low{station, band, from, {-1, -1}};
        Heard high{station, band, to, {INT_MAX, INT_MAX}};
        return {std::lower_bound(index.begin(), index.end(), low),
                std::upper_bound(index.begin(), index.end(), high)};
    }

    // A line the rules refuse for its band or mode: it confirms nothing, but the other
    // station is told what it has.
    bool OtherBandOrMode(Ref r) const {
        const Line& l = At(r);
        return l.ruled == Verdict::kBad &&
               (l.why == Reason::kWrongBand || l.why == Reason::kWrongMode);
    }

    // Per log, the lines the rules do not refuse (or refuse for their band or mode), by
    // worked station, band and time.
    void BuildIndexes() {
        m_byLog.assign(m_logs.size(), {});
        for (size_t i = 0; i < m_logs.size(); ++i) {
            for (size_t k = 0; k < m_logs[i]->lines.size(); ++k) {
                const Ref r{static_cast<int>(i), static_cast<int>(k)};
                if (m_logs[i]->lines[k].ruled == Verdict::kBad && !OtherBandOrMode(r)) continue;
                m_byLog[i].push_back({m_stations[i][k],
                                      m_bands[i][k],
                                      m_time[i][k],
                                      {static_cast<int>(i), static_cast<int>(k)}});
            }
            std::sort(m_byLog[i].begin(), m_byLog[i].end());
        }
    }

    // Every log's clock: the gaps to the lines that may confirm its own are found once, by
    // the times as logged; each round fits every log's clock to them with the others' clocks
    // of the round before, then puts the majority's clock at nought.
    void EstimateClocks() {
        const size_t n = m_logs.size();
        std::vector<std::vector<Gap>> gaps(n);
        ForEach(n, m_o.threads, [&](size_t i) {
            const double search = m_o.clockSearchMinutes;
            for (const Heard& h : m_byLog[i]) {
                const int other = EntrantOf(h.station);
                if (other < 0 || other == static_cast<int>(i) || At(h.ref).ruled == Verdict::kBad)
                    continue;
                auto [from, to] = Range(m_byLog[size_t(other)], m_own[i], h.band, h.minute - search,
                                        h.minute + search);
                for (auto it = from; it != to; ++it)
                    if (At(it->ref).ruled != Verdict::kBad)
                        gaps[i].push_back({At(h.ref).minute, other, At(it->ref).minute});
            }
        });
        std::vector<Clock>& clocks = m_out.clocks;
        // Each log in turn against the others' clocks as known so far: a log's new clock
        // counts at once, so that two logs off from each other settle instead of swapping.
        for (int round = 0; round < 4; ++round)
            for (size_t i = 0; i < n; ++i) {
                std::vector<long> ts;
                std::vector<double> ys;
                for (const Gap& g : gaps[i]) {
                    const double theirs = double(g.theirs) - clocks[size_t(g.other)].At(g.theirs);
                    const double y = double(g.mine) - theirs;
                    // Two gaps of one line cannot both be its clock; the fit picks.
                    if (std::fabs(y) <= m_o.clockSearchMinutes) {
                        ts.push_back(g.mine);
                        ys.push_back(y);
                    }
                }
                clocks[i] = FitClock(ts, ys, m_o);
            }
    }

    bool InPeriod(long minute) const { return minute >= m_o.periodFirst && minute < m_o.periodEnd; }

    // Corrected times; lines outside the contest period by the corrected clock are judged
    // for it, but still confirm the other side's line. A line far outside that whole days
    // would put inside carries a wrong date: it confirms at the time it meant.
    void ApplyClocks() {
        for (size_t i = 0; i < m_logs.size(); ++i) {
            const Clock& clock = m_out.clocks[i];
            for (size_t k = 0; k < m_logs[i]->lines.size(); ++k) {
                const Line& l = m_logs[i]->lines[k];
                m_time[i][k] = double(l.minute) - clock.At(l.minute);
                if (l.ruled == Verdict::kBad) continue;
                m_eligible[i][k] = 1;
                // A correction below a minute moves no line across the period's edge.
                const double off = clock.At(l.minute);
                const long t = l.minute - (std::fabs(off) < 1 ? 0 : std::lround(off));
                if (InPeriod(t)) continue;
                m_outside[i][k] = 1;
                Finding& f = m_out.findings[i][k];
                f.verdict = Verdict::kBad;
                f.why = Reason::kOutsidePeriod;
                const long away = t < m_o.periodFirst ? m_o.periodFirst - t : t - m_o.periodEnd;
                for (long days = -3; days <= 3 && away > 60 && f.why != Reason::kDateOff; ++days)
                    if (days != 0 && InPeriod(t + days * 1440)) {
                        f.why = Reason::kDateOff;
                        m_time[i][k] += double(days * 1440);
                    }
            }
            for (Heard& h : m_byLog[i])
                h.minute = m_time[i][size_t(h.ref.line)];
            std::sort(m_byLog[i].begin(), m_byLog[i].end());
        }
    }

    void BuildHeard() {
        m_heard.clear();
        for (const std::vector<Heard>& lines : m_byLog)
            for (const Heard& h : lines)
                if (Eligible(h.ref)) m_heard.push_back(h);
        std::sort(m_heard.begin(), m_heard.end());
    }

    // Links the candidates best first; a line linked once stays with its partner.
    void LinkBest(std::vector<std::vector<Candidate>>& perLog, Link how) {
        std::vector<Candidate> all;
        size_t count = 0;
        for (const std::vector<Candidate>& c : perLog)
            count += c.size();
        all.reserve(count);
        for (std::vector<Candidate>& c : perLog) {
            all.insert(all.end(), c.begin(), c.end());
            std::vector<Candidate>().swap(c);
        }
        std::sort(all.begin(), all.end());
        for (const Candidate& c : all) {
            if (Linked(c.q) || Linked(c.p)) continue;
            m_link[size_t(c.q.log)][size_t(c.q.line)] = c.p;
            m_link[size_t(c.p.log)][size_t(c.p.line)] = c.q;
            m_how[size_t(c.q.log)][size_t(c.q.line)] = how;
            m_how[size_t(c.p.log)][size_t(c.p.line)] = how;
            if (how == Link::kBust) {
                FindingOf(c.q).verdict = Verdict::kBustedCall;

                m_out.bustedBy[size_t(c.p.log)].push_back(m_logs[size_t(c.q.log)]->call);
            }
        }
    }

    // For every line of every log not linked yet, the candidates `each` adds; lines outside
    // the period only where `outsideToo` (they may confirm, but are judged already).
    template <typename Each>
    std::vector<std::vector<Candidate>> Gather(bool outsideToo, Each each) {
        std::vector<std::vector<Candidate>> perLog(m_logs.size());
        ForEach(m_logs.size(), m_o.threads, [&](size_t i) {
            for (size_t k = 0; k < m_logs[i]->lines.size(); ++k) {
                Ref q{static_cast<int>(i), static_cast<int>(k)};
                if (Eligible(q) && !Linked(q) && (outsideToo || !Outside(q))) each(q, perLog[i]);
            }
        });
        return perLog;
    }

    int ExchangeMisses(Ref q, Ref p) const {
        return !SameExchange(At(q).exchRcvd, At(p).exchSent) +
               !SameExchange(At(p).exchRcvd, At(q).exchSent);
    }

    int OutsideCount(Ref q, Ref p) const { return Outside(q) + Outside(p); }
    // Of a QSO logged twice, the first line is the better partner, whichever is nearer.
    int AgainCount(Ref q, Ref p) const {
        return m_again[size_t(q.log)][size_t(q.line)] + m_again[size_t(p.log)][size_t(p.line)];
    }

    // Lines whose calls are each other's stations, on one band and mode, within the window.
    void LinkExact() {
        const double w = m_o.windowMinutes;
        auto perLog = Gather(true, [&](Ref q, std::vector<Candidate>& out) {
            const int other = EntrantOf(StationOf(q));
            // Each pair once, from the log that comes first.
            if (other <= q.log) return;
            auto [from, to] = Range(m_byLog[size_t(other)], m_own[size_t(q.log)], BandOf(q),
                                    Time(q) - w, Time(q) + w);
            for (auto it = from; it != to; ++it)
                if (Eligible(it->ref) && At(it->ref).mode == At(q).mode)
                    out.push_back({ExchangeMisses(q, it->ref), OutsideCount(q, it->ref),
                                   AgainCount(q, it->ref), std::fabs(it->minute - Time(q)), q,
                                   it->ref});
        });
        LinkBest(perLog, Link::kExact);
    }

    // Lines left whose call is like that of a log whose station logged this one then, on the
    // band and mode, and sent what this line received: busted calls. First for logged
    // stations that sent no log, then (after the mismatches) for those that did.
    void LinkBusts(bool entrants) {
        const double w = m_o.windowMinutes;
        auto perLog = Gather(false, [&](Ref q, std::vector<Candidate>& out) {
            const Line& l = At(q);
            if (l.xQso || (EntrantOf(StationOf(q)) >= 0) != entrants) return;
            auto [from, to] =
                Range(m_heard, m_own[size_t(q.log)], BandOf(q), Time(q) - w, Time(q) + w);
            for (auto it = from; it != to; ++it) {
                const Ref p = it->ref;
                if (p.log == q.log || Linked(p) || At(p).mode != l.mode) continue;
                const Log& right = *m_logs[size_t(p.log)];
                // Alike as logged or as stations: a bust may move a sign across a '/'.
                if (right.station == l.station ||
                    (!MayBeBustOf(l.station, right.station) && !MayBeBustOf(l.call, right.call)))
                    continue;
                // The exchange must fit, but for a call one sign off that sent no log.
                const int distance = std::min(CallDistance(l.station, right.station),
                                              CallDistance(l.call, right.call));
                const bool fits = SameExchange(l.exchRcvd, At(p).exchSent);
                if (!fits && (entrants || distance > 1)) continue;
                out.push_back({!fits, distance, 0, std::fabs(it->minute - Time(q)), q, p});
            }
        });
        LinkBest(perLog, Link::kBust);
    }

    // Lines left whose calls are each other's within the window, on another band or mode
    // (one the rules refuse among them).
    void LinkMismatches() {
        const double w = m_o.windowMinutes;
        auto perLog = Gather(false, [&](Ref q, std::vector<Candidate>& out) {
            const int other = EntrantOf(StationOf(q));
            if (other < 0 || other == q.log) return;
            for (int band = 0; band < static_cast<int>(m_bandIds.size()); ++band) {
                auto [from, to] = Range(m_byLog[size_t(other)], m_own[size_t(q.log)], band,
                                        Time(q) - w, Time(q) + w);
                for (auto it = from; it != to; ++it)
                    if ((Eligible(it->ref) || OtherBandOrMode(it->ref)) && !Linked(it->ref) &&
                        (band != BandOf(q) || At(it->ref).mode != At(q).mode))
                        out.push_back({0, 0, 0, std::fabs(it->minute - Time(q)), q, it->ref});
            }
        });
        LinkBest(perLog, Link::kMismatch);
    }

    void Decide() {
        for (size_t i = 0; i < m_logs.size(); ++i)
            for (size_t k = 0; k < m_logs[i]->lines.size(); ++k) {
                Ref q{static_cast<int>(i), static_cast<int>(k)};
                const Line& l = At(q);
                Finding& f = FindingOf(q);
                const Ref p = m_link[i][k];
                if (p.log >= 0) f.otherLog = p.log, f.otherLine = p.line;
                if (l.xQso) {
                    f.verdict = Verdict::kXQso;
                    f.why = Reason::kNone;
                } else if (l.ruled == Verdict::kBad) {
                    f.verdict = Verdict::kBad;
                    f.why = l.why;
                } else if (f.verdict == Verdict::kBad || f.verdict == Verdict::kBustedCall) {
                    // decided where it was found: outside the period, a busted call
                } else if (m_how[i][k] == Link::kMismatch) {
                    const Line& o = At(p);
                    f.verdict = Verdict::kNil;
                    const bool band = o.band != l.band;
                    f.why = band ? Reason::kBandMismatch : Reason::kModeMismatch;

                } else if (p.log >= 0) {
                    // Whoever logged this side's call busted it: this side loses nothing.
                    const Line& o = At(p);
                    const bool same = SameExchange(l.exchRcvd, o.exchSent);
                    f.verdict = same ? Verdict::kOk : Verdict::kBustedExchange;

                } else if (EntrantOf(m_stations[i][k]) >= 0 &&
                           EntrantOf(m_stations[i][k]) != static_cast<int>(i)) {
                    f.verdict = Verdict::kNil;
                } else {
                    f.verdict = m_logsWith[size_t(m_stations[i][k])] > 1 ? Verdict::kUnverified
                                                                         : Verdict::kUnique;
                }
            }
        for (auto& calls : m_out.bustedBy) {
            std::sort(calls.begin(), calls.end());
            calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
        }
    }

    const std::vector<const Log*>& m_logs;
    const Options& m_o;
    std::unordered_map<std::string, int> m_ids;  // station -> interned id
    std::vector<std::string> m_names;
    std::unordered_map<std::string, int> m_bandIds;
    std::vector<int> m_own;                     // per log: its station's id
    std::vector<std::vector<int>> m_stations;   // per log, per line: the worked station's id
    std::vector<std::vector<int>> m_bands;      // per log, per line
    std::vector<std::vector<double>> m_time;    // per log, per line: corrected minute
    std::vector<std::vector<Ref>> m_link;       // per log, per line: its partner
    std::vector<std::vector<Link>> m_how;       // per log, per line: how it was linked
    std::vector<std::vector<char>> m_eligible;  // per log, per line: may confirm another
    std::vector<std::vector<char>> m_outside;   // per log, per line: outside the period
    std::vector<std::vector<char>> m_again;     // per log, per line: a QSO logged again
    std::vector<int> m_entrant;                 // per station id: its log, or -1
    std::vector<int> m_logsWith;                // per station id: how many logs have it
    std::vector<std::vector<Heard>> m_byLog;
    std::vector<Heard> m_heard;
    Outcome m_out;
};

}  // namespace

Outcome Match(const std::vector<const Log*>& logs, const Options& options) {
    return Matcher(logs, options).Run();
}

}  // namespace check
