#include "match.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>
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

bool OneEditApart(const std::string& a, const std::string& b) {
    if (a == b) return false;
    const size_t n = a.size(), m = b.size();
    if (n == m) {
        std::vector<size_t> diff;
        for (size_t i = 0; i < n && diff.size() < 3; ++i)
            if (a[i] != b[i]) diff.push_back(i);
        if (diff.size() == 1) return true;
        return diff.size() == 2 && diff[1] == diff[0] + 1 && a[diff[0]] == b[diff[1]] &&
               a[diff[1]] == b[diff[0]];
    }
    const std::string& longer = n > m ? a : b;
    const std::string& shorter = n > m ? b : a;
    if (longer.size() != shorter.size() + 1) return false;
    size_t i = 0;
    while (i < shorter.size() && shorter[i] == longer[i])
        ++i;
    return shorter.compare(i, std::string::npos, longer, i + 1, std::string::npos) == 0;
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
    int log;
    int line;
};

// A line that may confirm another, in an index sorted by what is looked up.
struct Heard {
    int call;  // the worked call, interned
    int band;
    long minute;  // corrected
    Ref ref;
    bool operator<(const Heard& o) const {
        if (call != o.call) return call < o.call;
        if (band != o.band) return band < o.band;
        return minute < o.minute;
    }
};

class Matcher {
public:
    Matcher(const std::vector<const Log*>& logs, const Options& o) : m_logs(logs), m_o(o) {
        m_offsets.assign(logs.size(), 0);
        m_out.findings.resize(logs.size());
        m_out.bustedBy.resize(logs.size());
        m_calls.resize(logs.size());
        m_bands.resize(logs.size());
        for (size_t i = 0; i < logs.size(); ++i)
            m_own.push_back(Intern(logs[i]->call));
        m_entrant.assign(m_names.size(), -1);
        for (size_t i = 0; i < logs.size(); ++i)
            m_entrant[size_t(m_own[i])] = static_cast<int>(i);
        std::vector<std::pair<int, int>> callInLog;
        for (size_t i = 0; i < logs.size(); ++i) {
            const std::vector<Line>& lines = logs[i]->lines;
            m_out.findings[i].resize(lines.size());
            for (const Line& l : lines) {
                m_calls[i].push_back(Intern(l.call));
                m_bands[i].push_back(BandId(l.band));
                callInLog.emplace_back(m_calls[i].back(), static_cast<int>(i));
            }
        }
        m_entrant.resize(m_names.size(), -1);
        std::sort(callInLog.begin(), callInLog.end());
        callInLog.erase(std::unique(callInLog.begin(), callInLog.end()), callInLog.end());
        m_logsWith.assign(m_names.size(), 0);
        for (const auto& [call, log] : callInLog)
            ++m_logsWith[size_t(call)];
    }

    Outcome Run() {
        BuildIndexes();
        EstimateClocks();
        m_out.clockOffsets = m_offsets;
        for (int off : m_offsets)
            m_out.clocks.push_back({double(off), 0, 0});
        BuildHeard();
        MatchExact();
        MatchBusts(false);
        MatchBusts(true);
        Decide();
        return std::move(m_out);
    }

private:
    int Intern(const std::string& call) {
        auto [it, fresh] = m_ids.emplace(call, static_cast<int>(m_names.size()));
        if (fresh) m_names.push_back(call);
        return it->second;
    }
    int BandId(const std::string& band) {
        auto [it, fresh] = m_bandIds.emplace(band, static_cast<int>(m_bandIds.size()));
        return it->second;
    }
    static bool Partner(const Line& l) { return l.ruled == Verdict::kNone; }
    const Line& At(Ref r) const { return m_logs[size_t(r.log)]->lines[size_t(r.line)]; }
    Finding& FindingOf(Ref r) { return m_out.findings[size_t(r.log)][size_t(r.line)]; }
    long Time(Ref r) const { return At(r).minute - m_offsets[size_t(r.log)]; }
    bool Matched(Ref r) const {
        return m_out.findings[size_t(r.log)][size_t(r.line)].otherLog >= 0;
    }
    int EntrantOf(int call) const { return m_entrant[size_t(call)]; }

    // Per log, the lines that may confirm another, by call, band and time.
    void BuildIndexes() {
        m_byLog.assign(m_logs.size(), {});
        for (size_t i = 0; i < m_logs.size(); ++i) {
            for (size_t k = 0; k < m_logs[i]->lines.size(); ++k) {
                const Line& l = m_logs[i]->lines[k];
                if (!Partner(l)) continue;
                m_byLog[i].push_back({m_calls[i][k],
                                      m_bands[i][k],
                                      l.minute - m_offsets[i],
                                      {static_cast<int>(i), static_cast<int>(k)}});
            }
            std::sort(m_byLog[i].begin(), m_byLog[i].end());
        }
    }
    // The same over all logs, once the clocks are known.
    void BuildHeard() {
        m_heard.clear();
        for (const std::vector<Heard>& lines : m_byLog)
            m_heard.insert(m_heard.end(), lines.begin(), lines.end());
        std::sort(m_heard.begin(), m_heard.end());
    }

    // The lines of `index` for one call and band, from `minute - window` on.
    static std::pair<std::vector<Heard>::const_iterator, std::vector<Heard>::const_iterator> Range(
        const std::vector<Heard>& index, int call, int band, long from, long to) {
        Heard low{call, band, from, {0, 0}}, high{call, band, to + 1, {0, 0}};
        return {std::lower_bound(index.begin(), index.end(), low),
                std::lower_bound(index.begin(), index.end(), high)};
    }

    // The unmatched line nearest in time in `index` (call, band) within `window`, passing
    // `fits`; null when there is none.
    template <typename Fits>
    const Heard* Nearest(const std::vector<Heard>& index, int call, Ref q, long window, Fits fits) {
        const long t = Time(q);
        auto [from, to] =
            Range(index, call, m_bands[size_t(q.log)][size_t(q.line)], t - window, t + window);
        const Heard* best = nullptr;
        long bestGap = window + 1;
        for (auto it = from; it != to; ++it) {
            Ref p = it->ref;
            if (p.log == q.log || Matched(p) || At(p).mode != At(q).mode || !fits(p)) continue;
            long gap = std::labs(it->minute - t);
            if (gap < bestGap) bestGap = gap, best = &*it;
        }
        return best;
    }

    void Pair(Ref q, Ref p) {
        FindingOf(q).otherLog = p.log;
        FindingOf(q).otherLine = p.line;
        FindingOf(p).otherLog = q.log;
        FindingOf(p).otherLine = q.line;
    }

    // Log i's clock as its lines and the lines that confirm them tell it.
    int ClockOf(size_t i) const {
        std::vector<long> gaps;
        for (size_t k = 0; k < m_logs[i]->lines.size(); ++k) {
            const Line& l = m_logs[i]->lines[k];
            const int other = EntrantOf(m_calls[i][k]);
            if (!Partner(l) || other < 0 || other == static_cast<int>(i)) continue;
            const long t = l.minute - m_offsets[i];
            auto [from, to] = Range(m_byLog[size_t(other)], m_own[i], m_bands[i][k],
                                    t - m_o.clockSearchMinutes, t + m_o.clockSearchMinutes);
            long best = m_o.clockSearchMinutes + 1;
            for (auto it = from; it != to; ++it)
                if (std::labs(t - it->minute) < std::labs(best)) best = t - it->minute;
            if (std::labs(best) <= m_o.clockSearchMinutes) gaps.push_back(best);
        }
        if (gaps.size() < 3) return m_offsets[i];  // too little to tell
        std::nth_element(gaps.begin(), gaps.begin() + long(gaps.size() / 2), gaps.end());
        return m_offsets[i] + static_cast<int>(gaps[gaps.size() / 2]);
    }

    // Each log's clock against the others: the median gap to the lines that confirm its
    // QSOs, taken again with the others' clocks put right, then measured from the majority.
    void EstimateClocks() {
        for (int round = 0; round < 3; ++round) {
            std::vector<int> next(m_logs.size(), 0);
            // Each log against the others' clocks of the round before: any order, any thread.
            std::atomic<size_t> at{0};
            auto work = [&] {
                for (size_t i = at++; i < m_logs.size(); i = at++)
                    next[i] = ClockOf(i);
            };
            std::vector<std::thread> helpers;
            for (unsigned t = 1; t < std::max(1u, std::thread::hardware_concurrency()); ++t)
                helpers.emplace_back(work);
            work();
            for (std::thread& t : helpers)
                t.join();
            std::vector<int> sorted = next;
            std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2),
                             sorted.end());
            const int majority = sorted.empty() ? 0 : sorted[sorted.size() / 2];
            for (size_t i = 0; i < next.size(); ++i) {
                next[i] -= majority;
                // A log's lines all move by its change: their order stays.
                for (Heard& h : m_byLog[i])
                    h.minute -= next[i] - m_offsets[i];
            }
            m_offsets = next;
        }
    }

    // Lines whose calls are each other's, on one band and mode, within the window.
    void MatchExact() {
        for (size_t i = 0; i < m_logs.size(); ++i)
            for (size_t k = 0; k < m_logs[i]->lines.size(); ++k) {
                Ref q{static_cast<int>(i), static_cast<int>(k)};
                const int other = EntrantOf(m_calls[i][k]);
                if (!Partner(At(q)) || Matched(q) || other < 0) continue;
                const Heard* p = Nearest(m_byLog[size_t(other)], m_own[i], q, m_o.windowMinutes,
                                         [](Ref) { return true; });
                if (p) Pair(q, p->ref);
            }
    }

    // Lines left whose call is one edit from a log whose station logged us then: a busted
    // call. First the calls that sent no log, then those that did (else not in the log).
    void MatchBusts(bool entrants) {
        for (size_t i = 0; i < m_logs.size(); ++i)
            for (size_t k = 0; k < m_logs[i]->lines.size(); ++k) {
                Ref q{static_cast<int>(i), static_cast<int>(k)};
                const Line& l = At(q);
                if (!Partner(l) || Matched(q) || l.xQso) continue;
                if ((EntrantOf(m_calls[i][k]) >= 0) != entrants) continue;
                const Heard* p = Nearest(m_heard, m_own[i], q, m_o.windowMinutes, [&](Ref r) {
                    return OneEditApart(m_logs[size_t(r.log)]->call, l.call);
                });
                if (!p) continue;
                Ref right = p->ref;
                Pair(q, right);
                Finding& f = FindingOf(q);
                f.verdict = Verdict::kBustedCall;
                f.note = m_logs[size_t(right.log)]->call;
                m_out.bustedBy[size_t(right.log)].push_back(m_logs[i]->call);
            }
    }

    void Decide() {
        for (size_t i = 0; i < m_logs.size(); ++i)
            for (size_t k = 0; k < m_logs[i]->lines.size(); ++k) {
                Ref q{static_cast<int>(i), static_cast<int>(k)};
                const Line& l = At(q);
                Finding& f = FindingOf(q);
                if (l.xQso) {
                    f.verdict = Verdict::kXQso;
                } else if (l.ruled != Verdict::kNone) {
                    f.verdict = l.ruled;
                } else if (f.verdict == Verdict::kBustedCall) {
                    // decided where it was found
                } else if (f.otherLog >= 0) {
                    const Line& p = At({f.otherLog, f.otherLine});
                    f.verdict = SameExchange(l.exchRcvd, p.exchSent) ? Verdict::kOk
                                                                     : Verdict::kBustedExchange;
                    if (f.verdict == Verdict::kBustedExchange) f.note = "sent " + p.exchSent;
                } else if (EntrantOf(m_calls[i][k]) >= 0) {
                    f.verdict = Verdict::kNil;
                } else {
                    f.verdict = m_logsWith[size_t(m_calls[i][k])] > 1 ? Verdict::kUnverified
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
    std::unordered_map<std::string, int> m_ids;  // call -> interned id
    std::vector<std::string> m_names;
    std::unordered_map<std::string, int> m_bandIds;
    std::vector<int> m_own;                 // per log: its call's id
    std::vector<std::vector<int>> m_calls;  // per log, per line: the worked call's id
    std::vector<std::vector<int>> m_bands;  // per log, per line
    std::vector<int> m_entrant;             // per call id: its log, or -1
    std::vector<int> m_logsWith;            // per call id: how many logs have it
    std::vector<std::vector<Heard>> m_byLog;
    std::vector<Heard> m_heard;
    std::vector<int> m_offsets;
    Outcome m_out;
};

}  // namespace

Outcome Match(const std::vector<const Log*>& logs, const Options& options) {
    return Matcher(logs, options).Run();
}

}  // namespace check
