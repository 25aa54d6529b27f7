#pragma once
// Readers of the logs other loggers write: ADIF 3 and Cabrillo 3.0. They turn each record
// into the QSO the host would log and name every record they cannot read, with its line and
// field, instead of guessing.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/datetime.h"
#include "log_encoding.h"

namespace tools {

struct LoggedQso {
    int line = 0;  // where the record starts
    COleDateTime time;
    unsigned freqHz = 0;  // 0 when the log gives only the band, or one beyond 32 bits
    std::string band;     // "20m"; empty when neither band nor frequency tell it
    std::string mode;     // "CW", "SSB" or the logged mode as it stands
    std::string call;
    std::string rstSent;
    std::string exchSent;
    std::string rstRcvd;
    std::string exchRcvd;
    bool xQso = false;  // a Cabrillo X-QSO: line, read only when asked for
};

// A record left out.
struct DamagedRecord {
    int line = 0;
    std::string field;  // the field at fault; empty for the record's frame
    std::string reason;
    bool xQso = false;  // the record is an X-QSO: line
};

// Where the exchanges come from in ADIF; an empty name takes the usual fields.
struct ExchangeFields {
    std::string received;
    std::string sent;
};

struct ReadLog {
    bool cabrillo = false;
    bool recognised = false;   // an ADIF header or record, or a Cabrillo start was found
    std::string ownCall;       // STATION_CALLSIGN, else OPERATOR; Cabrillo CALLSIGN:
    std::string ownCallField;  // where ownCall comes from
    std::string categoryMode;  // Cabrillo CATEGORY-MODE:
    // Cabrillo: the tags before the first QSO: or X-QSO: line, upper case, values trimmed,
    // the SOAPBOX: lines that say something joined by a blank, of other tags given twice the
    // last. ADIF: the fields of the header.
    std::map<std::string, std::string> header;
    std::string encoding;  // the file's, as DecodeLogText names it; empty: not decoded
    std::vector<LoggedQso> qsos;
    std::vector<DamagedRecord> damaged;
    std::vector<DamagedRecord> notes;  // records read, with something in them dropped
    int xQsos = 0;  // Cabrillo X-QSO: lines, in `qsos` (flagged) only when asked for
};

// The file's bytes in any encoding DecodeLogText reads (what it could not decode is a note
// of field "encoding"); Cabrillo when the text starts with START-OF-LOG:, else ADIF.
// X-QSO: lines are left out by the format's own rule; `keepXQsos` reads them as flagged QSOs,
// which confirm what the other station logged.
ReadLog ReadAnyLog(std::string_view bytes, const ExchangeFields& fields, bool keepXQsos = false);
// The same, of a text decoded already (a caller that keeps the text decodes it once).
ReadLog ReadDecoded(const DecodedText& decoded, const ExchangeFields& fields,
                    bool keepXQsos = false);
// These read UTF-8 text. ADIF lengths count bytes, or characters when the file was written
// in an encoding other than UTF-8 and decoded (a UTF-16 logger counts its characters).
ReadLog ReadAdif(std::string_view text, const ExchangeFields& fields,
                 bool lengthsInCharacters = false);
ReadLog ReadCabrillo(std::string_view text, bool keepXQsos = false);

// The amateur band of a frequency ("20m", "3cm"), empty outside the bands.
std::string BandOf(unsigned long long hz);
// The lower edge of a band in Hz; 0 for a name that is none or an edge beyond 32 bits.
unsigned BandStartHz(std::string_view band);

}  // namespace tools
