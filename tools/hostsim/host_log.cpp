#include "host_log.h"

#include <cstdlib>
#include <sstream>

namespace hostsim {

namespace {

const char kMagic[] = "SOLSTICE-RACE-LOG";

std::vector<std::string> Split(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string word; in >> word;)
        out.push_back(word);
    return out;
}

class LineParser {
public:
    LineParser(const std::string& file, int line, std::vector<std::string> words)
        : file_(file), line_(line), words_(std::move(words)) {}

    [[noreturn]] void Fail(const std::string& what) const { throw ParseError(file_, line_, what); }

    void ExpectCount(size_t count, const char* layout) const {
        if (words_.size() != count) {
            Fail(std::string(words_[0]) + " takes " + std::to_string(count - 1) + " fields (" +
                 layout + "), found " + std::to_string(words_.size() - 1));
        }
    }

    // "-" stands for an empty text.
    std::string Text(size_t i) const { return words_[i] == "-" ? std::string() : words_[i]; }

    unsigned Frequency(size_t i, const char* field) const {
        const std::string& w = words_[i];
        char* end = nullptr;
        unsigned long long v = std::strtoull(w.c_str(), &end, 10);
        if (w.empty() || *end != '\0' || w[0] == '-' || v > 0xffffffffull) {
            Fail(std::string("field ") + field + ": not a frequency in hertz: '" + w + "'");
        }
        return static_cast<unsigned>(v);
    }

    // YYYY-MM-DD and HH:MM or HH:MM:SS in two words.
    COleDateTime DateTime(size_t i, const char* field) const {
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
        char tail = 0;
        const std::string& date = words_[i];
        const std::string& time = words_[i + 1];
        bool okDate = std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &y, &mo, &d, &tail) == 3;
        int n = std::sscanf(time.c_str(), "%2d:%2d:%2d%c", &h, &mi, &s, &tail);
        bool okTime = (n == 2 || n == 3) && time.size() == static_cast<size_t>(n == 2 ? 5 : 8);
        COleDateTime t = COleDateTime::FromFields(y, mo, d, h, mi, s);
        if (!okDate || !okTime || t.m_status != COleDateTime::valid) {
            Fail(std::string("field ") + field + ": not a date and time: '" + date + " " + time +
                 "' (want YYYY-MM-DD HH:MM[:SS])");
        }
        return t;
    }

    const std::vector<std::string>& Words() const { return words_; }

private:
    std::string file_;
    int line_;
    std::vector<std::string> words_;
};

// QSO|DEL DATE TIME FREQ MODE CALL RST-S EXCH-S RST-R EXCH-R BAND ENTITY PREFIX
Qso ParseQso(const LineParser& p) {
    p.ExpectCount(13, "DATE TIME FREQ MODE CALL RST-S EXCH-S RST-R EXCH-R BAND ENTITY PREFIX");
    Qso q;
    q.time = p.DateTime(1, "DATE TIME");
    q.freqHz = p.Frequency(3, "FREQ");
    q.mode = p.Text(4);
    q.call = p.Text(5);
    q.rstSent = p.Text(6);
    q.exchSent = p.Text(7);
    q.rstRcvd = p.Text(8);
    q.exchRcvd = p.Text(9);
    q.band = p.Text(10);
    q.prefix = p.Text(11);
    q.prefixText = p.Text(12);
    return q;
}

}  // namespace

HostLog ParseHostLog(const std::string& text, const std::string& file) {
    HostLog log;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    bool header = false, station = false, contest = false;
    while (std::getline(in, raw)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::vector<std::string> words = Split(raw);
        if (words.empty() || words[0][0] == '#') continue;
        LineParser p(file, number, words);
        const std::string& kind = words[0];
        if (!header) {
            if (kind != kMagic || words.size() != 2 || words[1] != "1") {
                p.Fail(std::string("first line must be the header '") + kMagic + " 1'");
            }
            header = true;
        } else if (kind == "STATION") {
            p.ExpectCount(3, "OWN-CALL OWN-ENTITY");
            log.ownCall = p.Text(1);
            log.ownPrefix = p.Text(2);
            station = true;
        } else if (kind == "CONTEST") {
            p.ExpectCount(5, "START-DATE START-TIME END-DATE END-TIME");
            log.start = p.DateTime(1, "START");
            log.end = p.DateTime(3, "END");
            contest = true;
        } else if (kind == "MODE") {
            p.ExpectCount(2, "CW|SSB");
            if (words[1] != "CW" && words[1] != "SSB") p.Fail("field MODE: want CW or SSB");
            log.cw = words[1] == "CW";
        } else if (kind == "QSO" || kind == "DEL") {
            Action a;
            a.kind = kind == "QSO" ? Action::Add : Action::Remove;
            a.line = number;
            a.qso = ParseQso(p);
            if (a.kind == Action::Add) ++log.qsoCount;
            log.actions.push_back(std::move(a));
        } else if (kind == "CHECK") {
            p.ExpectCount(6, "CALL MODE BAND ENTITY PREFIX");
            Action a;
            a.kind = Action::CheckCall;
            a.line = number;
            a.qso.call = p.Text(1);
            a.qso.mode = p.Text(2);
            a.qso.band = p.Text(3);
            a.qso.prefix = p.Text(4);
            a.qso.prefixText = p.Text(5);
            log.actions.push_back(std::move(a));
        } else if (kind == "EXCH") {
            p.ExpectCount(3, "EXCHANGE ENTITY");
            Action a;
            a.kind = Action::CheckExchange;
            a.line = number;
            a.exchange = p.Text(1);
            a.qso.prefix = p.Text(2);
            log.actions.push_back(std::move(a));
        } else {
            p.Fail("unknown line kind '" + kind +
                   "' (want STATION, CONTEST, MODE, QSO, DEL, CHECK or EXCH)");
        }
    }
    if (!header) throw ParseError(file, number, "empty log: no header line");
    if (!station) throw ParseError(file, number, "no STATION line");
    if (!contest) throw ParseError(file, number, "no CONTEST line");
    return log;
}

}  // namespace hostsim
