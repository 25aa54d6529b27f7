#pragma once
// What the checker writes: the verdict of every QSO line, the results, a log-checking
// report per entrant, the results page and (where SQLite is built in) a database of the same
// rows. The same contest gives the same bytes.
#include <ostream>
#include <string>

#include "checker.h"

namespace check {

// What a reason says, in the words of a note: of a line on `band` in `mode`; the other log's
// band or mode of a mismatch, the reader's words of an unreadable line.
std::string ReasonText(Reason why, const std::string& band, const std::string& mode,
                       const std::string& otherHas = "", const std::string& detail = "");

std::string QsosCsv(const Checked& c);
void WriteQsosCsv(const Checked& c, std::ostream& out);
std::string ResultsCsv(const Checked& c);
// The log-checking report of entrant `i`.
std::string Lcr(const Checked& c, size_t i);
std::string ResultsHtml(const Checked& c);
// Whether this build writes contest.sqlite.
bool HaveSqlite();

// Writes every output into `dir`; false with `error` naming what failed.
bool WriteOutputs(const Checked& c, const std::string& dir, std::string& error);

// Rank order of the results: checked score, then call.
std::vector<size_t> ByScore(const Checked& c);

}  // namespace check
