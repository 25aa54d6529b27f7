#include "log_readers.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

namespace tools {

namespace {

std::string Upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A decimal number scaled to an integer (MHz to Hz: scale 1 000 000); digits beyond the
// scale are dropped. False for anything else.
bool ParseScaled(std::string_view s, unsigned scale, unsigned long long& out) {
    size_t dot = s.find('.');
    std::string_view whole = s.substr(0, dot);
    std::string_view frac = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
    if ((whole.empty() && frac.empty()) || (!whole.empty() && !AllDigits(whole)) ||
        (!frac.empty() && !AllDigits(frac)) || whole.size() > 10)
        return false;
    unsigned long long v = 0;
    for (char c : whole)
        v = v * 10 + static_cast<unsigned>(c - '0');
    v *= scale;
    unsigned long long unit = scale;
    for (char c : frac) {
        if ((unit /= 10) == 0) break;
        v += unit * static_cast<unsigned>(c - '0');
    }
    out = v;
    return true;
}

// What the host takes: a frequency in Hz of 32 bits; 0 (none) for one beyond, which no
// contest band reaches.
unsigned HostHz(unsigned long long hz) {
    return hz > 0xffffffffull ? 0 : static_cast<unsigned>(hz);
}

// Fixed-width digits of a date or time, read into `out` in order.
bool Digits(std::string_view s, std::initializer_list<int> widths, int* out) {
    size_t at = 0;
    for (int w : widths) {
        if (at + w > s.size() || !AllDigits(s.substr(at, w))) return false;
        *out++ = std::stoi(std::string(s.substr(at, w)));
        at += w;
    }
    return at == s.size();
}

bool MakeTime(int y, int mo, int d, int h, int mi, int sec, COleDateTime& out) {
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || sec > 59) return false;
    out = COleDateTime::FromFields(y, mo, d, h, mi, sec);
    return out.m_status == COleDateTime::valid;
}

// USB and LSB are the sidebands of SSB; Cabrillo writes SSB as PH.
std::string ContestMode(std::string_view mode, std::string_view submode) {
    std::string m = Upper(Trim(mode)), sub = Upper(Trim(submode));
    if (m == "SSB" || m == "USB" || m == "LSB" || m == "PH") return "SSB";
    if (m.empty() && (sub == "USB" || sub == "LSB")) return "SSB";
    return m;
}

// The serial numbers of this contest have three digits at least.
std::string Serial(unsigned n) {
    char text[16];
    std::snprintf(text, sizeof text, "%03u", n);
    return text;
}

using Fields = std::map<std::string, std::string>;

std::string Field(const Fields& f, const std::string& name) {
    auto it = f.find(name);
    return it == f.end() ? std::string() : std::string(Trim(it->second));
}

// An exchange from the named field, else from the usual ones in their order: a text
// field, a number field (written as a serial), a state field. False names the field of a
// number that is none.
bool Exchange(const Fields& f, const std::string& chosen, const char* text, const char* number,
              const char* state, std::string& out, std::string& bad) {
    if (!chosen.empty()) {
        out = Field(f, Upper(chosen));
        return true;
    }
    out = Field(f, text);
    if (!out.empty()) return true;
    std::string n = Field(f, number);
    if (!n.empty()) {
        if (!AllDigits(n) || n.size() > 9) {
            bad = number;
            return false;
        }
        out = Serial(static_cast<unsigned>(std::stoul(n)));
        return true;
    }
    out = Field(f, state);
    return true;
}

void AdifRecord(const Fields& f, int line, const ExchangeFields& chosen, ReadLog& log) {
    auto damaged = [&](const char* field, const std::string& reason) {
        log.damaged.push_back({line, field, reason});
    };
    // The own station is named by damaged records too.
    if (log.ownCall.empty()) {
        log.ownCall = Upper(Field(f, "STATION_CALLSIGN"));
        log.ownCallField = "STATION_CALLSIGN";
    }
    if (log.ownCall.empty()) {
        log.ownCall = Upper(Field(f, "OPERATOR"));
        log.ownCallField = "OPERATOR";
    }
    LoggedQso q;
    q.line = line;
    q.call = Upper(Field(f, "CALL"));
    if (q.call.empty()) return damaged("CALL", "no call");
    int d[3] = {0}, t[3] = {0};
    std::string date = Field(f, "QSO_DATE"), time = Field(f, "TIME_ON");
    if (date.empty()) return damaged("QSO_DATE", "no QSO_DATE");
    if (!Digits(date, {4, 2, 2}, d)) return damaged("QSO_DATE", "not a date: '" + date + "'");
    if (time.empty()) return damaged("TIME_ON", "no TIME_ON");
    if (!Digits(time, {2, 2}, t) && !Digits(time, {2, 2, 2}, t))
        return damaged("TIME_ON", "not a time: '" + time + "'");
    if (!MakeTime(d[0], d[1], d[2], t[0], t[1], t[2], q.time))
        return damaged("QSO_DATE", "not a date and time: '" + date + " " + time + "'");
    std::string freq = Field(f, "FREQ");
    unsigned long long hz = 0;
    if (!freq.empty() && !ParseScaled(freq, 1000000, hz))
        return damaged("FREQ", "not a frequency in MHz: '" + freq + "'");
    q.band = Upper(Field(f, "BAND"));
    std::transform(q.band.begin(), q.band.end(), q.band.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // A frequency outside the band the record names (kHz written as MHz, a slip of the
    // keyboard) is dropped, whatever its size: the band is the field loggers fill from the
    // rig and the contest counts by.
    if (!freq.empty() && !q.band.empty() && BandOf(hz) != q.band) {
        log.notes.push_back({line, "FREQ",
                             "'" + freq + "' MHz is not in the " + q.band +
                                 " band of BAND; the band is kept, the frequency dropped"});
        hz = 0;
    }
    q.freqHz = HostHz(hz);
    if (q.band.empty()) q.band = BandOf(hz);
    q.mode = ContestMode(Field(f, "MODE"), Field(f, "SUBMODE"));
    q.rstSent = Field(f, "RST_SENT");
    q.rstRcvd = Field(f, "RST_RCVD");
    std::string bad;
    if (!Exchange(f, chosen.received, "SRX_STRING", "SRX", "STATE", q.exchRcvd, bad) ||
        !Exchange(f, chosen.sent, "STX_STRING", "STX", "MY_STATE", q.exchSent, bad))
        return damaged(bad.c_str(), "not a serial number: '" + Field(f, bad) + "'");
    log.qsos.push_back(std::move(q));
}

size_t FindNoCase(std::string_view text, std::string_view what, size_t from) {
    auto it = std::search(text.begin() + std::min(from, text.size()), text.end(), what.begin(),
                          what.end(), [](char a, char b) {
                              return std::toupper(static_cast<unsigned char>(a)) ==
                                     std::toupper(static_cast<unsigned char>(b));
                          });
    return it == text.end() ? std::string_view::npos : static_cast<size_t>(it - text.begin());
}

}  // namespace

namespace {

// The bands of ADIF in kHz, edges included.
const struct {
    unsigned long long low, high;
    const char* name;
} kBands[] = {
    {135, 137, "2190m"},
    {472, 479, "630m"},
    {501, 504, "560m"},
    {1800, 2000, "160m"},
    {3500, 4000, "80m"},
    {5060, 5450, "60m"},
    {7000, 7300, "40m"},
    {10100, 10150, "30m"},
    {14000, 14350, "20m"},
    {18068, 18168, "17m"},
    {21000, 21450, "15m"},
    {24890, 24990, "12m"},
    {28000, 29700, "10m"},
    {40000, 45000, "8m"},
    {50000, 54000, "6m"},
    {54001, 69900, "5m"},
    {70000, 71000, "4m"},
    {144000, 148000, "2m"},
    {222000, 225000, "1.25m"},
    {420000, 450000, "70cm"},
    {902000, 928000, "33cm"},
    {1240000, 1300000, "23cm"},
    {2300000, 2450000, "13cm"},
    {3300000, 3500000, "9cm"},
    {5650000, 5925000, "6cm"},
    {10000000, 10500000, "3cm"},
    {24000000, 24250000, "1.25cm"},
    {47000000, 47200000, "6mm"},
    {75500000, 81000000, "4mm"},
    {119980000, 123000000, "2.5mm"},
    {134000000, 149000000, "2mm"},
    {241000000, 250000000, "1mm"},
    {300000000, 7500000000, "submm"},
};

}  // namespace

std::string BandOf(unsigned long long hz) {
    for (const auto& b : kBands)
        if (hz >= b.low * 1000 && hz <= b.high * 1000) return b.name;
    return "";
}

unsigned BandStartHz(std::string_view band) {
    for (const auto& b : kBands)
        if (band == b.name) return HostHz(b.low * 1000);
    return 0;
}

namespace {

// The end of a value of `n` bytes or characters from `at`; npos when the text ends before.
size_t ValueEnd(std::string_view text, size_t at, size_t n, bool characters) {
    if (characters) return AdvanceCharacters(text, at, n);
    return n > text.size() - at ? std::string_view::npos : at + n;
}

// The fields of an ADIF header, read leniently: a tag that makes no sense is passed over,
// since the header is only text around them.
void AdifHeader(std::string_view header, bool characters, ReadLog& log) {
    for (size_t pos = 0;;) {
        size_t open = header.find('<', pos);
        if (open == std::string_view::npos) return;
        size_t close = header.find('>', open);
        if (close == std::string_view::npos) return;
        std::string_view tag = header.substr(open + 1, close - open - 1);
        pos = close + 1;
        size_t colon = tag.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view length = tag.substr(colon + 1);
        length = length.substr(0, length.find(':'));
        if (!AllDigits(length) || length.size() > 9) continue;
        size_t end = ValueEnd(header, pos, std::stoul(std::string(length)), characters);
        if (end == std::string_view::npos) return;
        log.header[Upper(Trim(tag.substr(0, colon)))] =
            std::string(Trim(header.substr(pos, end - pos)));
        pos = end;
    }
}

}  // namespace

// ADIF: tags <NAME:LENGTH[:TYPE]>VALUE with the length in bytes, records closed by <EOR>,
// a header of any text closed by <EOH>. Text between tags is ignored.
ReadLog ReadAdif(std::string_view text, const ExchangeFields& chosen, bool lengthsInCharacters) {
    ReadLog log;
    size_t pos = 0, counted = 0;
    int line = 1;
    auto lineAt = [&](size_t at) {
        line += static_cast<int>(std::count(text.begin() + counted, text.begin() + at, '\n'));
        counted = at;
        return line;
    };
    if (size_t eoh = FindNoCase(text, "<eoh>", 0); eoh != std::string_view::npos) {
        AdifHeader(text.substr(0, eoh), lengthsInCharacters, log);
        pos = eoh + 5;
        log.recognised = true;
    }
    Fields fields;
    int recordLine = 0;
    bool closed = false;  // a record was closed by <EOR>
    // The next <EOR>, found once per record rather than once per field.
    size_t nextEor = 0;
    bool eorKnown = false;
    // Leaves the record that is being read and goes on after its <EOR>.
    auto skipRecord = [&](size_t from, const char* field, const std::string& reason) {
        log.damaged.push_back({recordLine ? recordLine : lineAt(from), field, reason});
        fields.clear();
        recordLine = 0;
        size_t eor = FindNoCase(text, "<eor>", from);
        pos = eor == std::string_view::npos ? text.size() : eor + 5;
    };
    while (pos < text.size()) {
        size_t open = text.find('<', pos);
        if (open == std::string_view::npos) break;
        int tagLine = lineAt(open);
        size_t close = text.find('>', open);
        if (close == std::string_view::npos) {
            skipRecord(open, "", "a tag without '>'");
            break;
        }
        std::string_view tag = text.substr(open + 1, close - open - 1);
        size_t colon = tag.find(':');
        std::string name = Upper(Trim(tag.substr(0, colon)));
        pos = close + 1;
        if (colon == std::string_view::npos) {
            if (name == "EOR") {
                log.recognised = closed = true;
                if (!fields.empty()) AdifRecord(fields, recordLine, chosen, log);
                fields.clear();
                recordLine = 0;
            }
            continue;
        }
        if (!recordLine) recordLine = tagLine;
        std::string_view length = tag.substr(colon + 1);
        length = length.substr(0, length.find(':'));
        if (!AllDigits(length) || length.size() > 9) {
            skipRecord(open, name.c_str(),
                       "the length is not a number: '" + std::string(length) + "'");
            continue;
        }
        size_t n = std::stoul(std::string(length));
        if (!eorKnown || (nextEor != std::string_view::npos && nextEor < pos)) {
            nextEor = FindNoCase(text, "<eor>", pos);
            eorKnown = true;
        }
        size_t end = ValueEnd(text, pos, n, lengthsInCharacters);
        if (end == std::string_view::npos || (nextEor != std::string_view::npos && end > nextEor)) {
            skipRecord(open, name.c_str(),
                       "the length " + std::to_string(n) + " runs past the record");
            continue;
        }
        fields[name] = std::string(text.substr(pos, end - pos));
        pos = end;
    }
    // Some loggers name the own station in the header only.
    for (const char* field : {"STATION_CALLSIGN", "OPERATOR"}) {
        if (!log.ownCall.empty()) break;
        log.ownCall = Upper(Field(log.header, field));
        log.ownCallField = field + std::string(" in the header");
    }
    if (!fields.empty()) {
        log.damaged.push_back({recordLine, "",
                               closed ? "the last record has no <EOR>"
                                      : "no <EOR> after the header: no record is closed"});
    }
    return log;
}

// Cabrillo 3.0: header lines "TAG: value" and the QSO lines of this contest:
// QSO: kHz mode date time own-call rst exch call rst exch [transmitter].
ReadLog ReadCabrillo(std::string_view text, bool keepXQsos) {
    ReadLog log;
    log.cabrillo = log.recognised = true;
    int line = 0;
    bool inHeader = true;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view raw = Trim(text.substr(pos, end - pos));
        pos = end + 1;
        ++line;
        size_t colon = raw.find(':');
        if (colon == std::string_view::npos) continue;
        std::string tag = Upper(Trim(raw.substr(0, colon)));
        std::string_view value = Trim(raw.substr(colon + 1));
        bool xQso = tag == "X-QSO";
        if (xQso || tag == "QSO") inHeader = false;
        // A colon far into a line is no tag's (free text in a header of some logger).
        if (inHeader && colon <= 24) {
            std::string& slot = log.header[tag];
            if (tag != "SOAPBOX" || slot.empty()) {
                slot = value;
            } else if (!value.empty()) {
                (slot += ' ') += value;
            }
        }
        if (xQso) {
            ++log.xQsos;
            if (!keepXQsos) continue;
        }
        if (tag == "CALLSIGN") {
            log.ownCall = Upper(value);
            log.ownCallField = "CALLSIGN:";
        } else if (tag == "CATEGORY-MODE") {
            log.categoryMode = Upper(value);
        } else if (tag == "QSO" || xQso) {
            std::vector<std::string_view> w;
            for (size_t at = 0; at < value.size();) {
                size_t start = value.find_first_not_of(" \t", at);
                if (start == std::string_view::npos) break;
                size_t stop = std::min(value.find_first_of(" \t", start), value.size());
                w.push_back(value.substr(start, stop - start));
                at = stop;
            }
            auto damaged = [&](const char* field, const std::string& reason) {
                log.damaged.push_back({line, field, reason, xQso});
            };
            if (w.size() != 10 && w.size() != 11) {
                damaged("", "a QSO line has 10 fields, or 11 with the transmitter; found " +
                                std::to_string(w.size()));
                continue;
            }
            LoggedQso q;
            q.line = line;
            q.xQso = xQso;
            unsigned long long hz = 0;
            if (!ParseScaled(w[0], 1000, hz)) {
                damaged("FREQ", "not a frequency in kHz: '" + std::string(w[0]) + "'");
                continue;
            }
            q.freqHz = HostHz(hz);
            int d[3] = {0}, t[2] = {0};
            if (w[2].size() != 10 || w[2][4] != '-' || w[2][7] != '-' ||
                !Digits(std::string(w[2].substr(0, 4)) + std::string(w[2].substr(5, 2)) +
                            std::string(w[2].substr(8, 2)),
                        {4, 2, 2}, d) ||
                !Digits(w[3], {2, 2}, t) || !MakeTime(d[0], d[1], d[2], t[0], t[1], 0, q.time)) {
                damaged("DATE TIME", "not a date and time: '" + std::string(w[2]) + " " +
                                         std::string(w[3]) + "'");
                continue;
            }
            q.band = BandOf(hz);
            q.mode = ContestMode(w[1], "");
            q.rstSent = w[5];
            q.exchSent = w[6];
            q.call = Upper(w[7]);
            if (log.ownCall.empty()) {  // a log without CALLSIGN:
                log.ownCall = Upper(w[4]);
                log.ownCallField = "the own call of QSO: lines";
            }
            q.rstRcvd = w[8];
            q.exchRcvd = w[9];
            log.qsos.push_back(std::move(q));
        }
    }
    return log;
}

namespace {

ReadLog ReadText(std::string_view text, const ExchangeFields& fields, bool keepXQsos,
                 bool lengthsInCharacters) {
    std::string_view start = Trim(text.substr(0, 64));
    if (Upper(start.substr(0, 13)) == "START-OF-LOG:") return ReadCabrillo(text, keepXQsos);
    return ReadAdif(text, fields, lengthsInCharacters);
}

}  // namespace

ReadLog ReadAnyLog(std::string_view bytes, const ExchangeFields& fields, bool keepXQsos) {
    if (IsPlainUtf8(bytes)) {  // nearly every log: read in place
        ReadLog log = ReadText(bytes, fields, keepXQsos, false);
        log.encoding = "UTF-8";
        return log;
    }
    return ReadDecoded(DecodeLogText(bytes), fields, keepXQsos);
}

ReadLog ReadDecoded(const DecodedText& decoded, const ExchangeFields& fields, bool keepXQsos) {
    ReadLog log = ReadText(decoded.text, fields, keepXQsos, decoded.countsCharacters);
    log.encoding = decoded.encoding;
    for (const EncodingProblem& p : decoded.problems)
        log.notes.push_back({p.line, "encoding", p.reason});
    return log;
}

}  // namespace tools
