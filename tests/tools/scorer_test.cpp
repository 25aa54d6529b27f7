#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "country_file.h"
#include "log_readers.h"

namespace {

using tools::CountryFile;

const CountryFile& Debian() {
    static const CountryFile file = [] {
        std::ifstream in("/usr/share/hamradio-files/cty.dat", std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return CountryFile::Parse(text.str());
    }();
    return file;
}

// Where the operating indicators are prefixes too, so that a rule that stops dropping one
// shows.
const CountryFile& MadeUp() {
    static const CountryFile file = CountryFile::Parse(
        "Germany: 14: 28: EU: 51: -10: -1: DL:\n  DL;\n"
        "Indicators: 1: 1: EU: 0: 0: 0: QR:\n  QRP,73,LH,A,AM,MM;\n");
    return file;
}

// One row per rule of the call resolution, on the country file Debian ships.
TEST(CallResolution, EachRuleOnTheRealCountryFile) {
    struct Row {
        const char* call;
        const char* entity;
        const char* prefixText;
        bool madeUp = false;  // on MadeUp() instead
    } rows[] = {
        {"DL1ABC/LH", "DL", "DL1"},         // /LH is an indicator, not Norway's LH
        {"DL1ABC/A", "DL", "DL1"},          //
        {"DL1ABC/AM", "", "DL1"},           // aeronautical mobile: no entity, not Spain's AM
        {"EA8/DL1ABC/CT", "EA8", "EA8"},    // a location before the call wins over one after
        {"DL1ABC/CT", "CT", "CT0"},         // ... which alone places the call
        {"EA8/G4ABC/MM", "", "EA8"},        // at sea, whatever the location
        {"DL1ABC/QRP", "DL", "DL1", true},  // indicators that the file knows as prefixes
        {"DL1ABC/QRPP", "DL", "DL1", true},
        {"DL1ABC/LH", "DL", "DL1", true},
        {"DL1ABC/73", "DL", "DL1", true},    // a number of two digits
        {"DL1ABC/A", "DL", "DL1", true},     // one letter
        {"DL1ABC/AM", "", "DL1", true},      //
        {"DL1ABC/MM", "", "DL1", true},      //
        {"QRP/DL1ABC", "QR", "QRP0", true},  // before the call a location, whatever it is
        {"DL1ABC", "DL", "DL1"},             // the longest prefix
        {"EA6ABC", "EA6", "EA6"},            // ... a longer one than EA
        {"UA9ABC", "UA9", "UA9"},            // ... into Asiatic Russia
        {"ea4abc", "EA", "EA4"},             // lower case as logged
        {"S51A", "S5", "S51"},               // the prefix runs to the last digit
        {"RAEM", "UA9", "RA0"},              // no digit: two letters and 0 (an exact call)
        {"DX0JP", "1S", "DX0"},              // an exact call beats its prefix (DU)
        {"9M6/LA6VM", "1S", "9M6"},          // ... also with a slash in it
        {"DL1ABC/P", "DL", "DL1"},           // operating suffixes are dropped
        {"K1ABC/M", "K", "K1"},              //
        {"DL1ABC/QRP", "DL", "DL1"},         //
        {"G4ABC/MM", "", "G4"},              // maritime mobile: no entity
        {"K1ABC/4", "K", "K4"},              // one digit moves the call area
        {"UA1ABC/9", "UA9", "UA9"},          // ... and so the entity
        {"EA/2", "EA", "EA2"},               // ... also of a call without digit
        {"EA8/DL1ABC", "EA8", "EA8"},        // a location prefix before the call
        {"DL1ABC/EA8", "EA8", "EA8"},        // ... or after it
        {"F/DL1ABC", "F", "F0"},             // ... without digit: 0
        {"IT9ABC", "I", "IT9"},              // WAE-only entries are no entities
        {"TA1ABC", "TA", "TA1"},             //
        {"Q1ABC", "", "Q1"},                 // nothing matches
        {"EA8/W1A", "EA8", "EA8"},           // two parts of one length: the first is the location
        {"M/NP4Z", "G", "M0"},               // before the call a location, never an indicator
        {"MM/LY3X/M", "GM", "MM0"},          // ... with an indicator after the call
        {"AM/DL1ABC", "EA", "AM0"},          //
        {"Q/DL1ABC", "", "Q0"},              // ... one the file does not know: no entity
        {"3D2WB/R", "3D2", "3D2"},           // one letter after the call is an indicator
        {"JW0ZZD/B", "JW", "JW0"},           //
        {"GM0ZZE/S", "GM", "GM0"},           //
        {"IZ5ILU/90MW", "I", "IZ5"},         // a part the file does not know is ignored
        {"DL1ABC/P/EA8", "EA8", "EA8"},      // a location after an indicator
    };
    for (const Row& r : rows) {
        tools::Resolution got = (r.madeUp ? MadeUp() : Debian()).Resolve(r.call);
        EXPECT_EQ(got.entity, r.entity) << r.call;
        EXPECT_EQ(got.prefixText, r.prefixText) << r.call;
    }
    EXPECT_GT(Debian().EntityCount(), 300u);
}

// Two logged forms of one station share a key; what moves it to another entity stays.
TEST(CallResolution, StationCallKeepsWhatPlacesTheStation) {
    struct Row {
        const char* call;
        const char* key;
    } rows[] = {
        {"OK4RM", "OK4RM"},
        {" ok4rm/p ", "OK4RM"},      // as logged: case and blanks
        {"OK4RM/QRP", "OK4RM"},      //
        {"OK4RM/A", "OK4RM"},        //
        {"OK4RM/M", "OK4RM"},        //
        {"OK4RM/P/QRP", "OK4RM"},    //
        {"DL1ABC/LH", "DL1ABC"},     //
        {"W6BO/P", "W6BO"},          //
        {"K1ABC/4", "K1ABC"},        // an area move within the entity
        {"DL/DL1ABC", "DL1ABC"},     // a location that is the home entity
        {"UA1ABC/9", "UA1ABC/9"},    // an area move into another entity
        {"UA1ABC/9/P", "UA1ABC/9"},  //
        {"EA8/W1AW", "EA8/W1AW"},    // a location into another entity, written first
        {"W1AW/EA8", "EA8/W1AW"},    //
        {"W1AW/VE3", "VE3/W1AW"},    //
        {"W1AW/VE7", "VE7/W1AW"},    // ... another place in it
        {"EA8/DL1ABC/CT", "EA8/DL1ABC"},
        {"MM/LY3X/M", "MM/LY3X"},    //
        {"G4ABC/MM", "G4ABC/MM"},    // at sea or in the air: no entity, kept apart
        {"G4ABC/P/AM", "G4ABC/AM"},  //
        {"9M6/LA6VM", "9M6/LA6VM"},  // an exact entry in another entity
        {"3D2AG/P", "3D2AG/P"},      // ... Rotuma, where 3D2AG is Fiji
        {"Q1ABC/MM", "Q1ABC/MM"},    // at sea whatever the home call
        {"Q1ABC/P", "Q1ABC"},        // a call of no entity loses its indicator too
        {"/", "/"},                  // no call at all stays as it is
    };
    for (const Row& r : rows)
        EXPECT_EQ(tools::StationCall(Debian(), r.call), r.key) << r.call;
}

TEST(CountryFile, NamesTheLineOfADamagedEntry) {
    struct Row {
        const char* text;
        const char* error;
    } rows[] = {
        {"Spain: 14: 37: EU: 40.3: 3.4: -1.0: EA:\n  EA,EB;\nFrance: 14: 27: EU\n",
         "line 3: an entity line needs eight fields closed by ':'"},
        {"Spain: 14: 37: EU: 40.3: 3.4: -1.0: EA:\n  EA,\n  EB\n", "line 1: the prefix list of EA"},
        {"Spain: 14: 37: EU: 40.3: 3.4: -1.0: EA:\n  EA,\n  E#B;\n", "line 3: not a prefix"},
        {"Spain: 14: 37: EU: 40.3: 3.4: -1.0: :\n  EA;\n", "line 1: no primary prefix"},
        {"  \n", "no entity in the file"},
    };
    for (const Row& r : rows) {
        try {
            CountryFile::Parse(r.text);
            ADD_FAILURE() << "no error for " << r.text;
        } catch (const tools::CountryFileError& e) {
            EXPECT_NE(std::string(e.what()).find(r.error), std::string::npos) << e.what();
        }
    }
}

// What the readers make of the records real loggers write, and of damaged ones.
TEST(LogReaders, RecordsAsLoggersWriteThem) {
    const char* adifHead = "Written by a logger <adif_ver:5>3.1.4\r\n<EOH>\r\n";
    struct Row {
        std::string text;
        tools::ExchangeFields fields;
        // The first QSO as "call band freqHz mode rstS exchS rstR exchR time", or the first
        // damaged record as "line:field: reason".
        const char* first;
        int qsos;
        int damaged;
        int notes = 0;  // records read with something dropped
    } rows[] = {
        {std::string(adifHead) +
             "<call:6>DL1ABC<qso_date:8>20260620<time_on:6>120130<freq:7>14.0255<mode:3>USB"
             "<APP_X_Y:3>a<b<srx:1>7<stx_string:1>M<rst_sent:2>59<rst_rcvd:2>57<eor>\r\n",
         {},
         "DL1ABC 20m 14025500 SSB 59 M 57 007 2026-06-20 1201",
         1,
         0},
        {"<CALL:5>EA8AB<QSO_DATE:8>20260620<TIME_ON:4>1300<BAND:3>40M<MODE:3>SSB<SUBMODE:3>LSB"
         "<STATE:2>tf<MY_STATE:1>M<SRX_STRING:0><EoR>",
         {},
         "EA8AB 40m 0 SSB  M  tf 2026-06-20 1300",
         1,
         0},
        {"<CALL:5>EA1AB<QSO_DATE:8>20260620<TIME_ON:4>1300<FREQ:1>7<COMMENT:5>J\xC3\xBCrg"
         "<MODE:2>CW<SRX_STRING:1>B<DOK:3>M12<STX:2>12<EOR>",
         {"dok", ""},
         "EA1AB 40m 7000000 CW  012  M12 2026-06-20 1300",
         1,
         0},
        {std::string(adifHead) +
             "<CALL:6>DL1ABC<QSO_DATE:8>20260620<TIME_ON:4>1201\n"
             "<SRX:30>7<EOR>\n<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202<EOR>",
         {},
         "3:SRX: the length 30 runs past the record",
         1,
         1},
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202<SRX:2>1a<EOR>",
         {},
         "1:SRX: not a serial number: '1a'",
         0,
         1},
        {"\n<CALL:5>K1ABC<QSO_DATE:8>20261340<TIME_ON:4>1202<EOR>",
         {},
         "2:QSO_DATE: not a date and time: '20261340 1202'",
         0,
         1},
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>2460<EOR>",
         {},
         "1:QSO_DATE: not a date and time: '20260620 2460'",
         0,
         1},
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202<FREQ:4>14,1<EOR>",
         {},
         "1:FREQ: not a frequency in MHz: '14,1'",
         0,
         1},
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:x>1202<EOR>",
         {},
         "1:TIME_ON: the length is not a number: 'x'",
         0,
         1},
        {"<QSO_DATE:8>20260620<TIME_ON:4>1202<EOR>", {}, "1:CALL: no call", 0, 1},
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202",
         {},
         "1:: no <EOR> after the header: no record is closed",
         0,
         1},
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202<EOR>\n<CALL:5>K2ABC",
         {},
         "2:: the last record has no <EOR>",
         1,
         1},
        {"<CALL:5>K1ABC<TIME_ON:4>1202<EOR>", {}, "1:QSO_DATE: no QSO_DATE", 0, 1},
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<EOR>", {}, "1:TIME_ON: no TIME_ON", 0, 1},
        // Type indicators after the length are no part of it.
        {"<CALL:5:S>K1ABC<QSO_DATE:8:D>20260620<TIME_ON:4:T>1202<FREQ:6:N>14.350<MODE:2>CW<EOR>",
         {},
         "K1ABC 20m 14350000 CW     2026-06-20 1202",  // the band's upper edge is in it
         1,
         0},
        // Microwaves beyond the host's 32 bits of Hz: read, the band tells the contest.
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202<BAND:3>3cm<FREQ:7>10233.5<MODE:2>CW<"
         "EOR>",
         {},
         "K1ABC 3cm 0 CW     2026-06-20 1202",
         1,
         0},
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202<FREQ:7>10233.5<MODE:2>CW<EOR>",
         {},
         "K1ABC 3cm 0 CW     2026-06-20 1202",
         1,
         0},
        // A frequency outside the band of BAND is dropped, whatever its size.
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202<BAND:3>20m<FREQ:5>14268<MODE:2>CW<EOR>",
         {},
         "K1ABC 20m 0 CW     2026-06-20 1202",
         1,
         0,
         1},
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202<BAND:3>80m<FREQ:4>3525<MODE:2>CW<EOR>",
         {},
         "K1ABC 80m 0 CW     2026-06-20 1202",
         1,
         0,
         1},
        {"<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202<BAND:3>20M<FREQ:6>14.350<MODE:2>CW<EOR>",
         {},
         "K1ABC 20m 14350000 CW     2026-06-20 1202",
         1,
         0,
         0},
        // A chosen sent field leaves the received exchange to its usual fields.
        {"<CALL:5>EA1AB<QSO_DATE:8>20260620<TIME_ON:4>1300<SRX:1>7<STX:1>9<X:2>TO<MODE:2>CW<EOR>",
         {"", "x"},
         "EA1AB  0 CW  TO  007 2026-06-20 1300",
         1,
         0},
        {"START-OF-LOG: 3.0\r\nCALLSIGN: EA4ZZZ\r\nCATEGORY-MODE: CW\r\n"
         "QSO:  7012 CW 2026-06-20 1405 EA4ZZZ        599 M      dl1abc        599 001\r\n"
         "X-QSO: 7013 CW 2026-06-20 1406 EA4ZZZ        599 M      DL2ABC        599 002\r\n",
         {},
         "DL1ABC 40m 7012000 CW 599 M 599 001 2026-06-20 1405",
         1,
         0},
        {"START-OF-LOG: 3.0\nQSO: 14250 PH 2026-06-20 1405 DL9ZZZ 59 001 EA4AB 59 M 0\n",
         {},
         "EA4AB 20m 14250000 SSB 59 001 59 M 2026-06-20 1405",
         1,
         0},
        {"START-OF-LOG: 3.0\nQSO: 14250 PH 2026-06-20 1405 DL9ZZZ 59 001 EA4AB 59\n",
         {},
         "2:: a QSO line has 10 fields, or 11 with the transmitter; found 9",
         0,
         1},
        {"START-OF-LOG: 3.0\nQSO: 14250 PH 2026-06-20 1405 DL9ZZZ 59 001 EA4AB 59 M 0 X\n",
         {},
         "2:: a QSO line has 10 fields, or 11 with the transmitter; found 12",
         0,
         1},
        {"start-of-log: 3.0\nqso: 14250 ph 2026-06-20 1405 dl9zzz 59 001 ea4ab 59 m\n",
         {},
         "EA4AB 20m 14250000 SSB 59 001 59 m 2026-06-20 1405",
         1,
         0},
        {"START-OF-LOG: 3.0\nQSO: 14250 PH 2026-06-31 1405 DL9ZZZ 59 001 EA4AB 59 M\n",
         {},
         "2:DATE TIME: not a date and time: '2026-06-31 1405'",
         0,
         1},
        {"START-OF-LOG: 3.0\nQSO: 14.2k PH 2026-06-20 1405 DL9ZZZ 59 001 EA4AB 59 M\n",
         {},
         "2:FREQ: not a frequency in kHz: '14.2k'",
         0,
         1},
    };
    for (const Row& r : rows) {
        tools::ReadLog log = tools::ReadAnyLog(r.text, r.fields);
        EXPECT_EQ(static_cast<int>(log.qsos.size()), r.qsos) << r.first;
        EXPECT_EQ(static_cast<int>(log.damaged.size()), r.damaged) << r.first;
        EXPECT_EQ(static_cast<int>(log.notes.size()), r.notes) << r.first;
        std::string first;
        if (!log.damaged.empty()) {
            const tools::DamagedRecord& d = log.damaged[0];
            first = std::to_string(d.line) + ":" + d.field + ": " + d.reason;
        } else if (!log.qsos.empty()) {
            const tools::LoggedQso& q = log.qsos[0];
            first = q.call + " " + q.band + " " + std::to_string(q.freqHz) + " " + q.mode + " " +
                    q.rstSent + " " + q.exchSent + " " + q.rstRcvd + " " + q.exchRcvd + " " +
                    q.time.Format("%Y-%m-%d %H%M");
        }
        EXPECT_EQ(first, r.first);
    }
}

TEST(LogReaders, OwnStationAndCountsFromTheLog) {
    tools::ReadLog adif = tools::ReadAnyLog(
        "<OPERATOR:6>ea4zzz<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202<EOR>", {});
    EXPECT_EQ(adif.ownCall, "EA4ZZZ");
    EXPECT_FALSE(adif.cabrillo);
    EXPECT_TRUE(adif.recognised);
    EXPECT_FALSE(tools::ReadAnyLog("<b>a letter</b>, no log", {}).recognised);
    tools::ReadLog cbr = tools::ReadAnyLog(
        "\xEF\xBB\xBFSTART-OF-LOG: 3.0\nCALLSIGN: dl9zzz\nCATEGORY-MODE: SSB\nX-QSO: x\nX-QSO: y\n",
        {});
    EXPECT_TRUE(cbr.cabrillo);
    EXPECT_EQ(cbr.ownCall, "DL9ZZZ");
    EXPECT_EQ(cbr.categoryMode, "SSB");
    EXPECT_EQ(cbr.xQsos, 2);
    // Tags in any case; the own call of CALLSIGN: wins over that of the QSO lines.
    EXPECT_EQ(tools::ReadAnyLog("start-of-log: 3.0\ncallsign: ea4zzz\n"
                                "qso: 14250 PH 2026-06-20 1405 EA4ZZZ/P 59 M EA4AB 59 M\n",
                                {})
                  .ownCall,
              "EA4ZZZ");
    // A damaged record names the own station too.
    EXPECT_EQ(tools::ReadAnyLog("<STATION_CALLSIGN:6>EA4ZZZ<CALL:5>K1ABC<EOR>", {}).ownCall,
              "EA4ZZZ");
    // Without CALLSIGN: the own call of the first QSO line.
    EXPECT_EQ(
        tools::ReadCabrillo("QSO: 14250 PH 2026-06-20 1405 dl9zzz 59 001 EA4AB 59 M\n").ownCall,
        "DL9ZZZ");
}

}  // namespace

namespace {

// UTF-8 text as UTF-16, with or without the mark.
std::string Utf16(std::string_view utf8, bool littleEndian, bool mark = true) {
    std::string out;
    auto put = [&](unsigned u) {
        char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out += littleEndian ? lo : hi;
        out += littleEndian ? hi : lo;
    };
    if (mark) put(0xFEFF);
    for (size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        unsigned n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned cp = n == 1 ? c : c & (0xFF >> (n + 1));
        for (unsigned k = 1; k < n; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

std::string Cabrillo(std::string_view name) {
    return "START-OF-LOG: 3.0\r\nCALLSIGN: EA4ZZZ\r\nNAME: " + std::string(name) +
           "\r\nSOAPBOX: 73\r\n"
           "QSO:  7012 CW 2026-06-20 1405 EA4ZZZ 599 M DL1ABC 599 001\r\n"
           "X-QSO: 7013 CW 2026-06-20 1406 EA4ZZZ 599 M DL2ABC 599 002\r\n"
           "QSO: 14012 CW 2026-06-20 1407 EA4ZZZ 599 M K1ABC 599 003\r\n"
           "END-OF-LOG:\r\n";
}

// The log in UTF-16 with lone surrogates (in the file's byte order) after the J of the
// name.
std::string Lone(bool littleEndian, std::string_view units) {
    std::string bytes = Utf16(Cabrillo("J#"), littleEndian);
    bytes.replace(bytes.find(Utf16("#", littleEndian, false)), 2, units);
    return bytes;
}

// Every QSO of a log, one line each, with its line number and X-QSO flag.
std::string Qsos(const tools::ReadLog& log) {
    std::string out;
    for (const tools::LoggedQso& q : log.qsos) {
        out += std::to_string(q.line) + (q.xQso ? " X " : " ") + q.call + " " + q.band + " " +
               std::to_string(q.freqHz) + " " + q.mode + " " + q.rstSent + " " + q.exchSent + " " +
               q.rstRcvd + " " + q.exchRcvd + " " + q.time.Format("%Y-%m-%d %H%M") + "\n";
    }
    return out;
}

}  // namespace

// One log in every encoding loggers write reads as its UTF-8 twin: the same QSOs on the same
// lines, the name in the header decoded; what cannot be decoded is named with its line.
TEST(LogReaders, AnyEncodingReadsLikeUtf8) {
    const std::string twin = Qsos(tools::ReadAnyLog(Cabrillo("J"), {}, true));
    ASSERT_EQ(twin,
              "5 DL1ABC 40m 7012000 CW 599 M 599 001 2026-06-20 1405\n"
              "6 X DL2ABC 40m 7013000 CW 599 M 599 002 2026-06-20 1406\n"
              "7 K1ABC 20m 14012000 CW 599 M 599 003 2026-06-20 1407\n");
    struct Row {
        std::string bytes;
        const char* encoding;
        const char* name;     // NAME: as UTF-8
        const char* problem;  // the note, "line: reason"; empty for none
    } rows[] = {
        {Cabrillo("J\xC3\xBCrgen"), "UTF-8", "J\xC3\xBCrgen", ""},
        {"\xEF\xBB\xBF" + Cabrillo("J\xC3\xBCrgen"), "UTF-8 with BOM", "J\xC3\xBCrgen", ""},
        {"\xEF\xBB\xBF\xEF\xBB\xBF" + Cabrillo("J"), "UTF-8 with BOM", "J", ""},  // two marks
        {Utf16(Cabrillo("J\xC3\xBCrgen \xF0\x9F\x93\xBB"), true), "UTF-16LE",
         "J\xC3\xBCrgen \xF0\x9F\x93\xBB", ""},  // a radio beyond 16 bits: a surrogate pair
        {Utf16(Cabrillo("J\xC3\xBCrgen"), false), "UTF-16BE", "J\xC3\xBCrgen", ""},
        {Utf16(Cabrillo("J"), true, false), "UTF-16LE", "J", ""},  // no mark
        {Utf16(Cabrillo("J"), false, false), "UTF-16BE", "J", ""},
        // Code pages: Cyrillic words are all high bytes, Latin ones carry one or two.
        {Cabrillo("J\xFCrgen G\xF6\xDFweinstein"), "cp1252",
         "J\xC3\xBCrgen G\xC3\xB6\xC3\x9Fweinstein", ""},
        {Cabrillo("\x80 \x93O\x94"), "cp1252", "\xE2\x82\xAC \xE2\x80\x9CO\xE2\x80\x9D", ""},
        {Cabrillo("\xC8\xE2\xE0\xED \xCF\xB8\xF2\xF0 \xDF"), "cp1251",
         "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xD0\x9F\xD1\x91\xD1\x82\xD1\x80 \xD0\xAF", ""},
        // ... \xB8 is a letter there: words with it are words.
        {Cabrillo("\xCF\xB8\xF2\xF0 \xC0\xEB\xB8\xED\xE0"), "cp1251",
         "\xD0\x9F\xD1\x91\xD1\x82\xD1\x80 \xD0\x90\xD0\xBB\xD1\x91\xD0\xBD\xD0\xB0", ""},
        // Bytes that only look like UTF-8 (an overlong '/') are none.
        {Cabrillo("\xC0\xAF"), "cp1252", "\xC3\x80\xC2\xAF", ""},
        {Cabrillo("\xED\xA0\x80"), "cp1252", "\xC3\xAD\xC2\xA0\xE2\x82\xAC", ""},  // a surrogate
        // One run of three accented letters among more single ones is still Latin.
        {Cabrillo("J\xFCrgen M\xFCller H\xE9l\xE8ne \xC6\xD8\xC5"), "cp1252",
         "J\xC3\xBCrgen M\xC3\xBCller H\xC3\xA9l\xC3\xA8ne \xC3\x86\xC3\x98\xC3\x85", ""},
        // Damage: named, the rest read.
        {Utf16(Cabrillo("J"), true) + "x", "UTF-16LE", "J",
         "9: UTF-16LE: an odd number of bytes (501); the last byte is left out"},
        {Lone(true, "\x3D\xD8"), "UTF-16LE", "J\xEF\xBF\xBD",
         "3: UTF-16LE: a lone surrogate (0xD83D) is no character; replaced by U+FFFD"},
        {Lone(false, std::string_view("\xDC\x00\xDC\x01", 4)), "UTF-16BE",
         "J\xEF\xBF\xBD\xEF\xBF\xBD",
         "3: UTF-16BE: a lone surrogate (0xDC00) is no character; replaced by U+FFFD (2 in all)"},
        {"\xEF\xBB\xBF" + Cabrillo("J\xFC"), "UTF-8 with BOM", "J\xEF\xBF\xBD",
         "3: UTF-8: 1 byte that is no UTF-8, replaced by U+FFFD"},
    };
    for (const Row& r : rows) {
        tools::ReadLog log = tools::ReadAnyLog(r.bytes, {}, true);
        EXPECT_EQ(log.encoding, r.encoding) << r.name;
        EXPECT_EQ(Qsos(log), twin) << r.encoding << " " << r.name;
        EXPECT_EQ(log.header["NAME"], r.name) << r.encoding;
        EXPECT_EQ(log.ownCall, "EA4ZZZ") << r.encoding;
        EXPECT_TRUE(log.damaged.empty()) << r.encoding;
        std::string problem;
        for (const tools::DamagedRecord& n : log.notes)
            problem += std::to_string(n.line) + ": " + n.reason;
        EXPECT_EQ(problem, r.problem) << r.encoding << " " << r.name;
        // The checker decodes before it indexes lines: the same text as the readers read.
        tools::DecodedText d = tools::DecodeLogText(r.bytes);
        EXPECT_EQ(d.encoding, r.encoding);
        EXPECT_EQ(std::count(d.text.begin(), d.text.end(), '\n'), 8) << r.encoding;
    }
}

// The Cabrillo header as the checker reports it, and X-QSO lines: counted and left out, or
// read as flagged QSOs when asked for.
TEST(LogReaders, CabrilloHeaderAndXQsoLines) {
    const char* text =
        "START-OF-LOG: 3.0\n"
        "callsign:  ea4zzz  \n"
        " Category-Mode : CW\n"
        "SOAPBOX: first line\n"
        "SOAPBOX:\n"
        "SOAPBOX: second line\n"
        "ADDRESS: Calle 1\n"
        "ADDRESS: Madrid\n"
        "X-QSO: 7013 CW 2026-06-20 1406 EA4ZZZ 599 M DL2ABC 599 002\n"
        "SOAPBOX: after the first QSO line\n"
        "QSO: 7012 CW 2026-06-20 1405 EA4ZZZ 599 M DL1ABC 599 001\n"
        "X-QSO: 7014 CW 2026-06-20 1406 EA4ZZZ 599 M\n"
        "END-OF-LOG:\n";
    const std::map<std::string, std::string> header = {{"START-OF-LOG", "3.0"},
                                                       {"CALLSIGN", "ea4zzz"},
                                                       {"CATEGORY-MODE", "CW"},
                                                       {"SOAPBOX", "first line second line"},
                                                       {"ADDRESS", "Madrid"}};
    tools::ReadLog left = tools::ReadAnyLog(text, {});
    EXPECT_EQ(left.header, header);
    std::string qsoFirst = text;  // a QSO: line ends the header as well
    qsoFirst.replace(qsoFirst.find("X-QSO: 7013"), 6, "QSO:  ");
    EXPECT_EQ(tools::ReadAnyLog(qsoFirst, {}).header, header);
    EXPECT_EQ(Qsos(left), "11 DL1ABC 40m 7012000 CW 599 M 599 001 2026-06-20 1405\n");
    EXPECT_EQ(left.xQsos, 2);
    EXPECT_TRUE(left.damaged.empty());
    tools::ReadLog kept = tools::ReadAnyLog(text, {}, true);
    EXPECT_EQ(kept.header, header);
    EXPECT_EQ(Qsos(kept),
              "9 X DL2ABC 40m 7013000 CW 599 M 599 002 2026-06-20 1406\n"
              "11 DL1ABC 40m 7012000 CW 599 M 599 001 2026-06-20 1405\n");
    EXPECT_EQ(kept.xQsos, 2);
    ASSERT_EQ(kept.damaged.size(), 1u);
    EXPECT_EQ(kept.damaged[0].line, 12);
    EXPECT_TRUE(kept.damaged[0].xQso);
    EXPECT_EQ(kept.ownCall, "EA4ZZZ");
}

// ADIF: the own call from the header when no record names it, and lengths in the characters
// of a file that was no UTF-8 (so a non-ASCII exchange reads whole in every encoding).
TEST(LogReaders, AdifHeaderAndLengthsInAnyEncoding) {
    const std::string record = "<CALL:5>K1ABC<QSO_DATE:8>20260620<TIME_ON:4>1202<MODE:2>CW<EOR>\n";
    struct Row {
        std::string bytes;
        const char* ownCall;
        const char* field;
        const char* exchange = "";
    } rows[] = {
        {"Written by a small logger <OPERATOR:5>EA4ZZ\n<EOH>\n" + record, "EA4ZZ",
         "OPERATOR in the header"},
        {"<PROGRAMID:x>y <OPERATOR:5>EA4ZZ <STATION_CALLSIGN:6>EA4ZZZ <EOH>" + record, "EA4ZZZ",
         "STATION_CALLSIGN in the header"},
        {"<OPERATOR:5>EA4ZZ<EOH><STATION_CALLSIGN:6>EA4ZZY" + record, "EA4ZZY", "STATION_CALLSIGN"},
        {"<EOH>" + record, "", "OPERATOR in the header"},
        {"<OPERATOR:5>EA4ZZ<EOH><SRX_STRING:7>M\xC3\xA1laga" + record, "EA4ZZ",
         "OPERATOR in the header", "M\xC3\xA1laga"},  // UTF-8: bytes
        {Utf16("<OPERATOR:5>EA4ZZ<EOH><SRX_STRING:6>M\xC3\xA1laga" + record, true), "EA4ZZ",
         "OPERATOR in the header", "M\xC3\xA1laga"},  // else characters
        {Utf16("<OPERATOR:6>EA4Z\xC3\xA1Z<EOH><SRX_STRING:6>M\xC3\xA1laga" + record, false),
         "EA4Z\xC3\xA1Z", "OPERATOR in the header", "M\xC3\xA1laga"},
        {"<OPERATOR:5>EA4ZZ<EOH><SRX_STRING:6>M\xE1laga" + record, "EA4ZZ",
         "OPERATOR in the header", "M\xC3\xA1laga"},
    };
    for (const Row& r : rows) {
        tools::ReadLog log = tools::ReadAnyLog(r.bytes, {});
        EXPECT_EQ(log.ownCall, r.ownCall) << r.bytes;
        EXPECT_EQ(log.ownCallField, r.field) << r.bytes;
        ASSERT_EQ(log.qsos.size(), 1u) << r.bytes;
        EXPECT_EQ(log.qsos[0].exchRcvd, r.exchange) << r.bytes;
    }
}
