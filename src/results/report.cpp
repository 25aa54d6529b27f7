#include "results/report.h"

#include "base/text.h"

namespace results {

using text::Format;

const char kCredit[] = "Statistics by the SOLSTICE-RACE plug-in team";

namespace {

const char kTextTitleCw[] =
    "    SOLSTICE RACE CONTEST CW %s-%s \r\n\t\tContestant: %s\r\n"
    "\tQSOs\tPoints\tEADX100\tProv\tiMults\r\n";
const char kTextTitleSsb[] =
    "    SOLSTICE RACE CONTEST SSB %s-%s \r\n\t\tContestant: %s\r\n"
    "\tQSOs\tPoints\tEADX100\tProv\tiMults\r\n";
const char kTextRow[] = "%s\t %i\t  %i\t   %i\t  %i\t   %i\r\n";
const char kTextFoot[] =
    "\r\nScore: %i(%i+%i) = %i\r\n\r\n\t\t\tRate\r\n"
    "Hourly (10min) QSO rate: %5i (%i) QSOs/hour\r\n"
    "Hourly (10min) pts rate: %5i (%i) points/hour\r\n\r\n"
    "Last QSO: %i points\r\n\r\n";

const char kPageHead[] =
    "<html><head><style>table{ width:100%; }table, th, td{ border: 1px solid black; "
    "border-collapse: collapse; }th, td{ padding: 1px; text-align: middle; }th,td{ "
    "background-color: #fffac6; color: black}</style></head><body>";
const char kCaption[] = "<center><b>%s</b></center><center>Contestant:  <b>%s</center></b><table>";
const char kHeadingRow[] =
    "<tr><th> %s</th><th> %s</th><th> %s</th><th> %s</th><th> %s</th><th> %s</th></tr>";
const char kBandRow[] =
    "<tr><th> <center>%s</center></th><td><center>%i</center></td><td><center>%i</center></td>"
    "<td><center>%i</center></td><td><center>%i</center></td><td><center>%i</center></td></tr>";
const char kCountRow[] =
    "<tr><th> <center>%s</center></th><td><center>%i</center></td><td colspan=8> </td></tr>";
const char kRateRow[] = "<tr><th> %s </th><td colspan=9><center>%5i /%i</center></td></tr>";
const char kRateHeading[] = "<th colspan=10><center>%s</center></th></tr>";
const char kLastQsoRow[] = "<tr><th>%s</small></th><td colspan=9><center>%5i</center></td></tr>";
const char kScoreRow[] =
    "<tr><th>%s</th><td colspan=9><center>%i * (%i + %i) = %i</center></td></tr>";
const char kPageFootStart[] = "</table><h6 align=right>";
const char kPageFootEnd[] = "</h6></body></html>";

const char kHtmlTitleCw[] = "   SOLSTICE RACE CONTEST CW %s-%s";
const char kHtmlTitleSsb[] = "   SOLSTICE RACE CONTEST SSB %s-%s";

void AppendRow(std::string& out, const char* format, const std::string& band, const BandRow& r) {
    out += Format(format, band.c_str(), r.qsos, r.points, r.entities, r.provinces, r.mults);
}

}  // namespace

std::string HtmlEscape(const std::string& s) {
    if (s.find_first_of("&<>\"") == std::string::npos) return s;
    std::string out;
    out.reserve(s.size() + 16);
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void AppendText(std::string& out, const Heading& h, const Tally& t) {
    out += Format(h.cw ? kTextTitleCw : kTextTitleSsb, h.start.c_str(), h.end.c_str(),
                  h.contestant.c_str());
    for (const BandRow& r : t.rows)
        AppendRow(out, kTextRow, r.band, r);
    AppendRow(out, kTextRow, t.total.band, t.total);
    const Rates& rt = t.rates;
    out +=
        Format(kTextFoot, t.total.points, t.total.entities, t.total.provinces, t.score, rt.hourQsos,
               rt.tenMinuteQsos * 6, rt.hourPoints, rt.tenMinutePoints * 6, rt.lastQsoPoints);
    out += kCredit;
}

void AppendHtml(std::string& out, const Heading& h, const Tally& t) {
    const std::string title = Format(h.cw ? kHtmlTitleCw : kHtmlTitleSsb,
                                     HtmlEscape(h.start).c_str(), HtmlEscape(h.end).c_str());
    out += kPageHead;
    out += Format(kCaption, title.c_str(), HtmlEscape(h.contestant).c_str());
    out += Format(kHeadingRow, "Band", "QSOs", "Points", "EADX100", "Prov", "iMults");
    for (const BandRow& r : t.rows)
        AppendRow(out, kBandRow, HtmlEscape(r.band), r);
    AppendRow(out, kBandRow, t.total.band, t.total);
    out += Format(kCountRow, "Dupe", t.total.dupes);
    out += Format(kCountRow, "Bad QSO", t.badQsos);
    out +=
        Format(kScoreRow, "Score:", t.total.points, t.total.entities, t.total.provinces, t.score);
    const Rates& rt = t.rates;
    out += Format(kLastQsoRow, "Last QSO points:", rt.lastQsoPoints);
    out += Format(kRateHeading, "Rate");
    out += Format(kRateRow, "Hourly (10min/1 hour) QSO rate:", rt.hourQsos, rt.tenMinuteQsos * 6);
    out +=
        Format(kRateRow, "Hourly (10min/1 hour) pts rate:", rt.hourPoints, rt.tenMinutePoints * 6);
    out += kPageFootStart;
    out += kCredit;
    out += kPageFootEnd;
}

}  // namespace results
