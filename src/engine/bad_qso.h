#pragma once
// The bad-QSO file: a title line, then one line per rejected or suspicious QSO. CR LF line
// ends, texts as the host passed them.
#include <string>

#include "engine/engine.h"

namespace badqso {

constexpr const char* kWrongBand = "   WRONG BAND !!!";
constexpr const char* kWrongMode = "   WRONG MODE !!!";
constexpr const char* kNoNumber = "   NO NUMBER !!!";
constexpr const char* kNoProvince = "   NO SPAIN PROVINCE !!!";
constexpr const char* kDupe = "   DUPE !!!";

constexpr const char* kLineEnd = "\r\n";

// "BadQSO_StatsSOLSTICE-RACE_<dd_mm_yyyy>.txt" for the contest end.
std::string FileName(const COleDateTime& contestEnd);

// The title for a CW or an SSB log, without its line end.
std::string Title(int cwTest);

// One line without its line end; `timeText` is the QSO time as "%Y-%m-%d %H%M".
std::string Line(const engine::QsoArgs& qso, const std::string& timeText, const char* message);

// Whether `line` belongs to the removed QSO: the call stands in it as a whole field, between
// two-blank separators, and the line carries the time key (" HHMM ").
bool BelongsTo(const std::string& line, const std::string& call, const std::string& timeKey);

// The time key of a QSO time: its "%H%M" between two blanks.
std::string TimeKey(const COleDateTime& time);

// Replaces the whole content, in the file or in memory as the instance keeps it. Silent when
// the file cannot be written: the file output of this pass is lost.
void Start(engine::Contest& contest, const std::string& content);
// Adds lines at the end. A file deleted since the reset starts again with its title, so that
// a later removal, which skips the first line as the title, cannot drop a QSO's line. File
// errors are silent: the lines are lost, the log changes as usual.
void Append(engine::Contest& contest, const std::string& lines);

}  // namespace badqso
