#pragma once
// Readers of the logs other loggers write: ADIF 3 and Cabrillo 3.0. They turn each record
// into the QSO the host would log and name every record they cannot read, with its line and
// field, instead of guessing.
#include <string>
#include <string_view>
#include <vector>

#include "base/datetime.h"

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
};

// A record left out.
struct DamagedRecord {
    int line = 0;
    std::string field;  // the field at fault; empty for the record's frame
    std::string reason;
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
    std::vector<LoggedQso> qsos;
    std::vector<DamagedRecord> damaged;
    std::vector<DamagedRecord> notes;  // records read, with something in them dropped
    int xQsos = 0;                     // Cabrillo X-QSO: lines, left out by the format's own rule
};

// Cabrillo when the text starts with START-OF-LOG:, else ADIF.
ReadLog ReadAnyLog(std::string_view text, const ExchangeFields& fields);
ReadLog ReadAdif(std::string_view text, const ExchangeFields& fields);
ReadLog ReadCabrillo(std::string_view text);

// The amateur band of a frequency ("20m", "3cm"), empty outside the bands.
std::string BandOf(unsigned long long hz);
// The lower edge of a band in Hz; 0 for a name that is none or an edge beyond 32 bits.
unsigned BandStartHz(std::string_view band);

}  // namespace tools
