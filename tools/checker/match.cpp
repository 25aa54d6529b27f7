#include "match.h"

#include <algorithm>
#include <cstdlib>
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

class Matcher {
public:
    Matcher(const std::vector<Log>& logs, const Options& o) : m_logs(logs), m_o(o) {
        for (size_t i = 0; i < logs.size(); ++i)
            m_entrant[logs[i].call] = static_cast<int>(i);
        m_offsets.assign(logs.size(), 0);
        m_out.findings.resize(logs.size());
        m_out.bustedBy.resize(logs.size());
        for (size_t i = 0; i < logs.size(); ++i) {
            m_out.findings[i].resize(logs[i].lines.size());
            for (size_t k = 0; k < logs[i].lines.size(); ++k) {
                const Line& l = logs[i].lines[k];
                Ref r{static_cast<int>(i), static_cast<int>(k)};
                m_callCount[l.call].push_back(r.log);
                if (!Partner(l)) continue;
                m_heard[Key(l.call, l.band)].push_back(r);
                m_byLog[Key(std::to_string(i) + "|" + l.call, l.band)].push_back(r);
            }
        }
        for (auto& [call, logsWith] : m_callCount) {
            std::sort(logsWith.begin(), logsWith.end());
            logsWith.erase(std::unique(logsWith.begin(), logsWith.end()), logsWith.end());
        }
    }

    Outcome Run() {
        EstimateClocks();
        m_out.clockOffsets = m_offsets;
        MatchExact();
        MatchBusts(false);
        MatchBusts(true);
        Decide();
        return std::move(m_out);
    }

private:
    static std::string Key(const std::string& call, const std::string& band) {
        return call + "|" + band;
    }
    static bool Partner(const Line& l) { return l.ruled == Verdict::kNone; }
    const Line& At(Ref r) const { return m_logs[size_t(r.log)].lines[size_t(r.line)]; }
    Finding& FindingOf(Ref r) { return m_out.findings[size_t(r.log)][size_t(r.line)]; }
    long Time(Ref r) const { return At(r).minute - m_offsets[size_t(r.log)]; }
    bool Matched(Ref r) const {
        return m_out.findings[size_t(r.log)][size_t(r.line)].otherLog >= 0;
    }
    const std::vector<Ref>* Lines(std::unordered_map<std::string, std::vector<Ref>>& index,
                                  const std::string& key) {
        auto it = index.find(key);
        return it == index.end() ? nullptr : &it->second;
    }

    // The unmatched line nearest in time among `candidates` within `window`, passing `fits`.
    template <typename Fits>
    int Nearest(const std::vector<Ref>* candidates, Ref q, long window, Fits fits) {
        if (!candidates) return -1;
        int best = -1;
        long bestGap = window + 1;
        for (size_t k = 0; k < candidates->size(); ++k) {
            Ref p = (*candidates)[k];
            if (p.log == q.log || Matched(p) || At(p).mode != At(q).mode || !fits(p)) continue;
            long gap = std::labs(Time(p) - Time(q));
            if (gap < bestGap) bestGap = gap, best = static_cast<int>(k);
        }
        return best;
    }

    void Pair(Ref q, Ref p) {
        FindingOf(q).otherLog = p.log;
        FindingOf(q).otherLine = p.line;
        FindingOf(p).otherLog = q.log;
        FindingOf(p).otherLine = q.line;
    }

    // Each log's clock against the others: the median gap to the lines that confirm its
    // QSOs, taken again with the others' clocks put right, then measured from the majority.
    void EstimateClocks() {
        for (int round = 0; round < 3; ++round) {
            std::vector<int> next(m_logs.size(), 0);
            for (size_t i = 0; i < m_logs.size(); ++i) {
                std::vector<long> gaps;
                for (size_t k = 0; k < m_logs[i].lines.size(); ++k) {
                    const Line& l = m_logs[i].lines[k];
                    auto other = m_entrant.find(l.call);
                    if (!Partner(l) || other == m_entrant.end()) continue;
                    const std::vector<Ref>* c = Lines(
                        m_byLog, Key(std::to_string(other->second) + "|" + m_logs[i].call, l.band));
                    if (!c) continue;
                    long best = m_o.clockSearchMinutes + 1;
                    for (Ref p : *c) {
                        long gap = (l.minute - m_offsets[i]) - Time(p);
                        if (std::labs(gap) < std::labs(best)) best = gap;
                    }
                    if (std::labs(best) <= m_o.clockSearchMinutes) gaps.push_back(best);
                }
                if (gaps.size() < 3) continue;  // too little to tell
                std::nth_element(gaps.begin(), gaps.begin() + long(gaps.size() / 2), gaps.end());
                next[i] = m_offsets[i] + static_cast<int>(gaps[gaps.size() / 2]);
            }
            std::vector<int> sorted = next;
            std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2),
                             sorted.end());
            const int majority = sorted.empty() ? 0 : sorted[sorted.size() / 2];
            for (int& off : next)
                off -= majority;
            m_offsets = next;
        }
    }

    // Lines whose calls are each other's, on one band and mode, within the window.
    void MatchExact() {
        for (size_t i = 0; i < m_logs.size(); ++i)
            for (size_t k = 0; k < m_logs[i].lines.size(); ++k) {
                Ref q{static_cast<int>(i), static_cast<int>(k)};
                const Line& l = At(q);
                auto other = m_entrant.find(l.call);
                if (!Partner(l) || Matched(q) || other == m_entrant.end()) continue;
                const std::vector<Ref>* c = Lines(
                    m_byLog, Key(std::to_string(other->second) + "|" + m_logs[i].call, l.band));
                int p = Nearest(c, q, m_o.windowMinutes, [](Ref) { return true; });
                if (p >= 0) Pair(q, (*c)[size_t(p)]);
            }
    }

    // Lines left whose call is one edit from a log whose station logged us then: a busted
    // call. First the calls that sent no log, then those that did (else not in the log).
    void MatchBusts(bool entrants) {
        for (size_t i = 0; i < m_logs.size(); ++i)
            for (size_t k = 0; k < m_logs[i].lines.size(); ++k) {
                Ref q{static_cast<int>(i), static_cast<int>(k)};
                const Line& l = At(q);
                if (!Partner(l) || Matched(q) || l.xQso) continue;
                if (m_entrant.count(l.call) != entrants) continue;
                const std::vector<Ref>* c = Lines(m_heard, Key(m_logs[i].call, l.band));
                int p = Nearest(c, q, m_o.windowMinutes, [&](Ref r) {
                    return OneEditApart(m_logs[size_t(r.log)].call, l.call);
                });
                if (p < 0) continue;
                Ref right = (*c)[size_t(p)];
                Pair(q, right);
                Finding& f = FindingOf(q);
                f.verdict = Verdict::kBustedCall;
                f.note = m_logs[size_t(right.log)].call;
                m_out.bustedBy[size_t(right.log)].push_back(m_logs[i].call);
            }
    }

    void Decide() {
        for (size_t i = 0; i < m_logs.size(); ++i)
            for (size_t k = 0; k < m_logs[i].lines.size(); ++k) {
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
                } else if (m_entrant.count(l.call)) {
                    f.verdict = Verdict::kNil;
                } else {
                    f.verdict =
                        m_callCount[l.call].size() > 1 ? Verdict::kUnverified : Verdict::kUnique;
                }
            }
        for (auto& calls : m_out.bustedBy) {
            std::sort(calls.begin(), calls.end());
            calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
        }
    }

    const std::vector<Log>& m_logs;
    const Options& m_o;
    std::unordered_map<std::string, int> m_entrant;
    std::unordered_map<std::string, std::vector<int>> m_callCount;  // call -> logs having it
    std::unordered_map<std::string, std::vector<Ref>> m_heard;      // call|band -> lines
    std::unordered_map<std::string, std::vector<Ref>> m_byLog;      // log|call|band -> lines
    std::vector<int> m_offsets;
    Outcome m_out;
};

}  // namespace

Outcome Match(const std::vector<Log>& logs, const Options& options) {
    return Matcher(logs, options).Run();
}

}  // namespace check
