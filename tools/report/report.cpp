#include "report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <set>
#include <utility>

#include "base/text.h"
#include "base/textfile.h"
#include "contest/contest_rules.h"
#include "display/province_boxes.h"
#include "engine/contest.h"
#include "results/report.h"

namespace report {

namespace {

using results::HtmlEscape;
using text::Format;

constexpr int64_t kHour = 3600;
constexpr int64_t kBreak = 30 * 60;  // off-time as contest loggers count it
// A contest lasts a day or two; a wild date must not make a chart of a million hours.
constexpr int64_t kMaxHours = 14 * 24;

// What the replay leaves for the page, taken from the plug-in's own scoring.
struct Scored {
    results::Tally tally;
    std::vector<results::ScoredQso> qsos;
    std::array<display::ProvinceMarks, contest::kBandCount> maps;
    std::string resultsHtml;
    std::vector<std::string> unresolved;
};

}  // namespace

engine::QsoArgs ArgsOf(const std::string& ownCall, const tools::Qso& q) {
    engine::QsoArgs a;
    a.ownCall = ownCall;
    a.call = q.call;
    a.time = q.time;
    a.freqHz = q.freqHz;
    a.mode = q.mode;
    a.rstSent = q.rstSent;
    a.rstRcvd = q.rstRcvd;
    a.exchSent = q.exchSent;
    a.exchRcvd = q.exchRcvd;
    a.prefixText = q.prefixText;
    a.prefix = q.prefix;
    a.band = q.band;
    return a;
}

namespace {

// An engine instance of this page's own, which writes no file: the loaded plug-in wrote the
// bad-QSO file, and this one keeps its lines in memory under the same rules.
Scored Replay(const Contest& c) {
    engine::Contest contest;
    contest.SetMode(c.cw);
    engine::ResetArgs reset;
    reset.ownCall = c.ownCall;
    reset.ownPrefix = c.ownPrefix;
    reset.start = c.start;
    reset.end = c.end;
    contest.Reset(reset);
    for (const LoggedQso& q : c.qsos) {
        engine::QsoArgs a = ArgsOf(c.ownCall, q);
        if (q.remove)
            contest.Remove(a);
        else
            contest.Add(a);
    }
    Scored r;
    r.tally = contest.Score(&r.qsos);
    r.resultsHtml = contest.ResultsHtml(r.tally);
    // The province grid's own marking, fed as the refresh feeds it.
    for (size_t slot = 0; slot < r.maps.size(); ++slot) {
        r.maps[slot].Clear();
        for (const std::string& code : contest.Provinces(static_cast<int>(slot)))
            r.maps[slot].Mark(code);
    }
    std::set<std::string> seen;
    for (const CInfo& e : contest.Log().Entries()) {
        if (e.m_strPrefix.empty() && !e.m_strCall.empty() && seen.insert(e.m_strCall).second)
            r.unresolved.push_back(e.m_strCall);
    }
    return r;
}

int64_t Seconds(double days) {
    // Beyond any real date; keeps the conversion defined for a wild value.
    constexpr double kLimit = 1e7;
    return std::llround(std::clamp(days, -kLimit, kLimit) * 86400.0);
}
int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
std::string At(int64_t seconds, const char* pattern) {
    return COleDateTime(static_cast<double>(seconds) / 86400.0).Format(pattern);
}
std::string Length(int64_t seconds) {
    const int64_t minutes = seconds / 60;
    return Format("%d h %02d min", static_cast<int>(minutes / 60), static_cast<int>(minutes % 60));
}
std::string Hex(display::Color c) {
    return Format("#%02x%02x%02x", c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
}

// Band looks for charts, by band slot: lightness falls from 10m to 160m and every other band
// carries stripes, so that the bands stay apart on a grey print.
struct BandLook {
    const char* fill;
    const char* stripe;  // stripe colour, or null for a plain fill
};
constexpr std::array<BandLook, contest::kBandCount> kBandLooks = {{
    {"#0b2a63", nullptr},
    {"#3a78c9", "#ffffff"},
    {"#2e9b57", nullptr},
    {"#e8892b", "#5a2d00"},
    {"#f4d94a", nullptr},
    {"#fbfbf2", "#333333"},
}};
constexpr BandLook kOtherBand = {"#9a9a9a", nullptr};

const BandLook& LookOf(const std::string& band) {
    const int slot = contest::BandSlot(band);
    return slot >= 0 ? kBandLooks[static_cast<size_t>(slot)] : kOtherBand;
}
std::string FillOf(const std::string& band) {
    const int slot = contest::BandSlot(band);
    const BandLook& look = LookOf(band);
    return look.stripe ? Format("url(#band%d)", slot) : look.fill;
}

std::string Patterns() {
    std::string out = "<defs>";
    for (size_t slot = 0; slot < kBandLooks.size(); ++slot) {
        const BandLook& look = kBandLooks[slot];
        if (!look.stripe) continue;
        out += Format(
            "<pattern id=\"band%d\" width=\"5\" height=\"5\" patternUnits=\"userSpaceOnUse\" "
            "patternTransform=\"rotate(45)\"><rect width=\"5\" height=\"5\" fill=\"%s\"/>"
            "<rect width=\"1.6\" height=\"5\" fill=\"%s\"/></pattern>",
            static_cast<int>(slot), look.fill, look.stripe);
    }
    return out + "</defs>";
}

// A round axis top and its step, five ticks at most.
std::pair<int, int> Axis(int highest) {
    int step = 1;
    for (int scale = 1;; scale *= 10) {
        for (int m : {1, 2, 5}) {
            step = m * scale;
            if (highest <= step * 5) {
                const int top = std::max(step, (highest + step - 1) / step * step);
                return {top, step};
            }
        }
    }
}

// Everything the page shows, derived from the scored QSOs alone.
struct Figures {
    bool any = false;  // the log holds stored QSOs
    int64_t firstHour = 0;
    int64_t hours = 0;
    std::vector<std::vector<int>> perHour;  // [hour][band row] counted QSOs
    std::vector<int> pointsPerHour;
    int outside = 0;  // counted QSOs outside the charted hours
    std::vector<int> bandQsos, bandPoints, bandEntities, bandProvinces;
    std::vector<int64_t> counted;  // times of counted QSOs, sorted
    std::vector<int64_t> stored;   // times of every stored QSO, sorted
    std::vector<std::pair<int64_t, std::pair<int, int>>> mults;  // time, running E and P
    bool period = false;
    int64_t start = 0, end = 0;
};

Figures Analyse(const Contest& c, const Scored& r) {
    Figures f;
    const size_t bands = r.tally.rows.size();
    f.bandQsos.assign(bands, 0);
    f.bandPoints.assign(bands, 0);
    f.bandEntities.assign(bands, 0);
    f.bandProvinces.assign(bands, 0);
    std::vector<std::pair<int64_t, const results::ScoredQso*>> order;
    for (const results::ScoredQso& q : r.qsos) {
        const int64_t t = Seconds(q.time);
        f.stored.push_back(t);
        if (!q.counted) continue;
        order.emplace_back(t, &q);
        const size_t b = static_cast<size_t>(q.bandIndex);
        ++f.bandQsos[b];
        f.bandPoints[b] += q.points;
        f.bandEntities[b] += q.newEntity;
        f.bandProvinces[b] += q.newProvince;
    }
    f.any = !f.stored.empty();
    std::sort(f.stored.begin(), f.stored.end());
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    f.period = c.start.m_status == COleDateTime::valid && c.end.m_status == COleDateTime::valid &&
               c.end.m_dt > c.start.m_dt;
    if (f.period) {
        f.start = Seconds(c.start.m_dt);
        f.end = Seconds(c.end.m_dt);
    } else if (f.any) {
        f.start = f.stored.front();
        f.end = f.stored.back() + 1;
    }
    if (!f.period && !f.any) return f;
    f.firstHour = FloorDiv(f.start, kHour);
    f.hours = std::clamp<int64_t>(FloorDiv(f.end - 1, kHour) - f.firstHour + 1, 1, kMaxHours);
    f.perHour.assign(static_cast<size_t>(f.hours), std::vector<int>(bands, 0));
    f.pointsPerHour.assign(static_cast<size_t>(f.hours), 0);

    int entities = 0, provinces = 0;
    for (const auto& [t, q] : order) {
        f.counted.push_back(t);
        const int64_t hour = FloorDiv(t, kHour) - f.firstHour;
        if (hour >= 0 && hour < f.hours) {
            ++f.perHour[static_cast<size_t>(hour)][static_cast<size_t>(q->bandIndex)];
            f.pointsPerHour[static_cast<size_t>(hour)] += q->points;
        } else {
            ++f.outside;
        }
        if (q->newEntity || q->newProvince) {
            entities += q->newEntity;
            provinces += q->newProvince;
            f.mults.push_back({t, {entities, provinces}});
        }
    }
    return f;
}

// The chart frame shared by the rate and the multiplier chart.
constexpr int kWidth = 960;
constexpr int kLeft = 56;
constexpr int kRight = 64;
constexpr int kTop = 14;
constexpr double kPlotWidth = kWidth - kLeft - kRight;

void HourLabels(std::string& out, const Figures& f, int baseline) {
    const double slot = kPlotWidth / static_cast<double>(f.hours);
    const int64_t every = (f.hours + 35) / 36;
    for (int64_t i = 0; i < f.hours; ++i) {
        const int64_t hourStart = (f.firstHour + i) * kHour;
        const double x = kLeft + slot * static_cast<double>(i);
        out += Format("<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" class=\"tick\"/>", x,
                      baseline, x, baseline + 4);
        if (i % every == 0)
            out += Format("<text x=\"%.1f\" y=\"%d\" class=\"hl\">%s</text>", x + slot / 2,
                          baseline + 15, At(hourStart, "%H").c_str());
        if (i == 0 || FloorDiv(hourStart, 24 * kHour) * 24 * kHour == hourStart)
            out += Format("<text x=\"%.1f\" y=\"%d\" class=\"dl\">%s</text>", x, baseline + 29,
                          At(hourStart, "%d.%m.").c_str());
    }
    out += Format("<text x=\"%.1f\" y=\"%d\" class=\"at\">UTC hour</text>", kLeft + kPlotWidth / 2,
                  baseline + 43);
}

void LeftAxis(std::string& out, int top, int step, int baseline, int height, const char* title,
              bool right) {
    const int x = right ? kLeft + static_cast<int>(kPlotWidth) : kLeft;
    for (int v = 0; v <= top; v += step) {
        const double y = baseline - static_cast<double>(v) * height / top;
        if (!right)
            out += Format("<line x1=\"%d\" y1=\"%.1f\" x2=\"%.0f\" y2=\"%.1f\" class=\"grid\"/>",
                          kLeft, y, kLeft + kPlotWidth, y);
        out += Format("<text x=\"%d\" y=\"%.1f\" class=\"%s\">%d</text>", right ? x + 6 : x - 6,
                      y + 4, right ? "vr" : "vl", v);
    }
    const int tx = right ? kWidth - 10 : 14;
    out += Format("<text transform=\"translate(%d %d) rotate(-90)\" class=\"at\">%s</text>", tx,
                  baseline - height / 2, title);
}

void RateChart(std::string& out, const Figures& f, const results::Tally& t) {
    constexpr int kPlotHeight = 230;
    constexpr int baseline = kTop + kPlotHeight;
    constexpr int height = baseline + 80;
    int most = 0, mostPoints = 0;
    for (size_t h = 0; h < f.perHour.size(); ++h) {
        int sum = 0;
        for (int n : f.perHour[h])
            sum += n;
        most = std::max(most, sum);
        mostPoints = std::max(mostPoints, f.pointsPerHour[h]);
    }
    const auto [top, step] = Axis(most);
    const auto [pointsTop, pointsStep] = Axis(mostPoints);
    out += Format(
        "<svg class=\"chart\" viewBox=\"0 0 %d %d\" role=\"img\" "
        "aria-label=\"QSOs per hour by band, points per hour\">",
        kWidth, height);
    out += Patterns();
    LeftAxis(out, top, step, baseline, kPlotHeight, "QSOs per hour", false);
    LeftAxis(out, pointsTop, pointsStep, baseline, kPlotHeight, "points per hour", true);

    const double slot = kPlotWidth / static_cast<double>(f.hours);
    const double bar = std::max(1.0, slot * 0.72);
    std::string line;
    for (int64_t i = 0; i < f.hours; ++i) {
        const auto& counts = f.perHour[static_cast<size_t>(i)];
        const int points = f.pointsPerHour[static_cast<size_t>(i)];
        const std::string hour = At((f.firstHour + i) * kHour, "%Y-%m-%d %H:00");
        int sum = 0;
        for (int n : counts)
            sum += n;
        out +=
            Format("<g class=\"hour\" data-hour=\"%s\"><title>%s UTC: %d QSOs, %d points</title>",
                   hour.c_str(), hour.c_str(), sum, points);
        double y = baseline;
        const double x = kLeft + slot * static_cast<double>(i) + (slot - bar) / 2;
        for (size_t b = 0; b < counts.size(); ++b) {
            if (counts[b] == 0) continue;
            const double h = static_cast<double>(counts[b]) * kPlotHeight / top;
            y -= h;
            out +=
                Format("<rect x=\"%.1f\" y=\"%.1f\" width=\"%.1f\" height=\"%.1f\" fill=\"%s\"/>",
                       x, y, bar, h, FillOf(t.rows[b].band).c_str());
        }
        out += "</g>";
        const double px = kLeft + slot * (static_cast<double>(i) + 0.5);
        const double py = baseline - static_cast<double>(points) * kPlotHeight / pointsTop;
        line += Format("%.1f,%.1f ", px, py);
    }
    // A white edge keeps the line visible over dark bars, also in grey print.
    out += Format(
        "<polyline class=\"halo\" points=\"%s\"/><polyline class=\"points\" "
        "points=\"%s\"/>",
        line.c_str(), line.c_str());
    if (f.hours <= 72) {
        for (int64_t i = 0; i < f.hours; ++i) {
            const double px = kLeft + slot * (static_cast<double>(i) + 0.5);
            const double py =
                baseline - static_cast<double>(f.pointsPerHour[static_cast<size_t>(i)]) *
                               kPlotHeight / pointsTop;
            out += Format("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"2.6\" class=\"dot\"/>", px, py);
        }
    }
    out += Format("<line x1=\"%d\" y1=\"%d\" x2=\"%.0f\" y2=\"%d\" class=\"axis\"/>", kLeft,
                  baseline, kLeft + kPlotWidth, baseline);
    HourLabels(out, f, baseline);

    // Legend: the worked bands in band order, then the points line.
    double lx = kLeft;
    const int ly = height - 14;
    for (const results::BandRow& row : t.rows) {
        out += Format(
            "<rect x=\"%.0f\" y=\"%d\" width=\"16\" height=\"11\" fill=\"%s\" "
            "class=\"swatch\"/><text x=\"%.0f\" y=\"%d\" class=\"lg\">%s</text>",
            lx, ly - 10, FillOf(row.band).c_str(), lx + 21, ly, HtmlEscape(row.band).c_str());
        lx += 30 + 8.0 * static_cast<double>(row.band.size());
    }
    out += Format(
        "<line x1=\"%.0f\" y1=\"%d\" x2=\"%.0f\" y2=\"%d\" class=\"points\"/>"
        "<circle cx=\"%.0f\" cy=\"%d\" r=\"2.6\" class=\"dot\"/>"
        "<text x=\"%.0f\" y=\"%d\" class=\"lg\">points per hour (right scale)</text>",
        lx + 6, ly - 4, lx + 30, ly - 4, lx + 18, ly - 4, lx + 36, ly);
    out += "</svg>";
}

void MultiplierChart(std::string& out, const Figures& f) {
    constexpr int kPlotHeight = 170;
    constexpr int baseline = kTop + kPlotHeight;
    constexpr int height = baseline + 74;
    const int entities = f.mults.empty() ? 0 : f.mults.back().second.first;
    const int provinces = f.mults.empty() ? 0 : f.mults.back().second.second;
    const auto [top, step] = Axis(std::max(entities, provinces));
    const double from = static_cast<double>(f.firstHour * kHour);
    const double span = static_cast<double>(f.hours * kHour);
    auto x = [&](int64_t t) {
        return kLeft + std::clamp((static_cast<double>(t) - from) / span, 0.0, 1.0) * kPlotWidth;
    };
    auto y = [&](int v) { return baseline - static_cast<double>(v) * kPlotHeight / top; };

    out += Format(
        "<svg class=\"chart\" viewBox=\"0 0 %d %d\" role=\"img\" "
        "aria-label=\"running count of multipliers\">",
        kWidth, height);
    LeftAxis(out, top, step, baseline, kPlotHeight, "multipliers", false);
    std::string pathE = Format("M%d,%d", kLeft, baseline);
    std::string pathP = pathE;
    for (const auto& [t, counts] : f.mults) {
        pathE += Format(" H%.1f V%.1f", x(t), y(counts.first));
        pathP += Format(" H%.1f V%.1f", x(t), y(counts.second));
    }
    const double right = kLeft + kPlotWidth;
    pathE += Format(" H%.1f", right);
    pathP += Format(" H%.1f", right);
    out += Format("<path d=\"%s\" class=\"mE\"/><path d=\"%s\" class=\"mP\"/>", pathE.c_str(),
                  pathP.c_str());
    out += Format("<text x=\"%.0f\" y=\"%.1f\" class=\"vr\">%d</text>", right + 6, y(entities) + 4,
                  entities);
    out += Format("<text x=\"%.0f\" y=\"%.1f\" class=\"vr\">%d</text>", right + 6,
                  y(provinces) + (std::abs(y(provinces) - y(entities)) < 12 ? 16 : 4), provinces);
    out += Format("<line x1=\"%d\" y1=\"%d\" x2=\"%.0f\" y2=\"%d\" class=\"axis\"/>", kLeft,
                  baseline, right, baseline);
    HourLabels(out, f, baseline);
    const int ly = height - 10;
    out += Format(
        "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" class=\"mE\"/>"
        "<text x=\"%d\" y=\"%d\" class=\"lg\">EADX100 multipliers, all bands</text>"
        "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" class=\"mP\"/>"
        "<text x=\"%d\" y=\"%d\" class=\"lg\">province multipliers, all bands</text>",
        kLeft, ly - 4, kLeft + 30, ly - 4, kLeft + 36, ly, kLeft + 290, ly - 4, kLeft + 320, ly - 4,
        kLeft + 326, ly);
    out += "</svg>";
}

// The best `window` seconds: the most counted QSOs in a window that starts at a QSO.
void BestRate(std::string& out, const Figures& f, int64_t window, const char* name) {
    size_t best = 0, bestFrom = 0, j = 0;
    for (size_t i = 0; i < f.counted.size(); ++i) {
        j = std::max(j, i);
        while (j < f.counted.size() && f.counted[j] < f.counted[i] + window)
            ++j;
        if (j - i > best) {
            best = j - i;
            bestFrom = i;
        }
    }
    if (best == 0) {
        out += Format("<tr><th>%s</th><td colspan=\"2\">no QSOs</td></tr>", name);
        return;
    }
    const int64_t perHour = static_cast<int64_t>(best) * kHour / window;
    out += Format(
        "<tr><th>%s</th><td class=\"n\">%d QSOs (%d per hour)</td><td>%s to %s "
        "UTC</td></tr>",
        name, static_cast<int>(best), static_cast<int>(perHour),
        At(f.counted[bestFrom], "%d.%m. %H:%M").c_str(),
        At(f.counted[bestFrom + best - 1], "%H:%M").c_str());
}

void OperatingTime(std::string& out, const Figures& f) {
    std::vector<std::pair<int64_t, int64_t>> breaks;  // start, length
    int64_t previous = f.period ? f.start : f.stored.front();
    for (int64_t t : f.stored) {
        if (t - previous >= kBreak) breaks.push_back({previous, t - previous});
        previous = std::max(previous, t);
    }
    const int64_t last = f.period ? f.end : previous;
    if (f.period && last - previous >= kBreak) breaks.push_back({previous, last - previous});
    const int64_t first = f.period ? f.start : f.stored.front();
    int64_t off = 0;
    for (const auto& b : breaks)
        off += b.second;
    out += Format("<p>Time on: <b>%s</b> of %s %s; %d breaks of 30 minutes or more.</p>",
                  Length(std::max<int64_t>(0, last - first - off)).c_str(),
                  Length(last - first).c_str(),
                  f.period ? "contest period" : "between the first and the last QSO",
                  static_cast<int>(breaks.size()));
    if (breaks.empty()) return;
    out += "<table class=\"list\"><tr><th>Break from (UTC)</th><th>to</th><th>Length</th></tr>";
    for (const auto& [from, length] : breaks)
        out += Format("<tr><td>%s</td><td>%s</td><td class=\"n\">%s</td></tr>",
                      At(from, "%d.%m. %H:%M").c_str(), At(from + length, "%d.%m. %H:%M").c_str(),
                      Length(length).c_str());
    out += "</table>";
}

void BandHours(std::string& out, const Figures& f, const results::Tally& t) {
    out += "<table class=\"grid\"><thead><tr><th>UTC hour</th>";
    for (const results::BandRow& row : t.rows)
        out += Format(
            "<th><svg class=\"sw\" viewBox=\"0 0 12 12\"><rect width=\"12\" "
            "height=\"12\" fill=\"%s\"/></svg> %s</th>",
            FillOf(row.band).c_str(), HtmlEscape(row.band).c_str());
    out += "<th>QSOs</th><th>Points</th></tr></thead><tbody>";
    for (int64_t i = 0; i < f.hours; ++i) {
        const auto& counts = f.perHour[static_cast<size_t>(i)];
        int sum = 0;
        out += Format("<tr><th>%s</th>", At((f.firstHour + i) * kHour, "%d.%m. %H:00").c_str());
        for (int n : counts) {
            sum += n;
            out += n ? Format("<td>%d</td>", n) : std::string("<td class=\"z\">&middot;</td>");
        }
        out += Format("<td class=\"s\">%d</td><td>%d</td></tr>", sum,
                      f.pointsPerHour[static_cast<size_t>(i)]);
    }
    if (f.outside)
        out += Format("<tr><th>outside these hours</th><td colspan=\"%d\">%d QSOs</td></tr>",
                      static_cast<int>(t.rows.size()) + 2, f.outside);
    out += "</tbody><tfoot>";
    auto total = [&](const char* name, const char* key, const std::vector<int>& v) {
        int sum = 0;
        out += Format("<tr data-total=\"%s\"><th>%s</th>", key, name);
        for (int n : v) {
            sum += n;
            out += Format("<td>%d</td>", n);
        }
        out += Format("<td class=\"s\">%d</td><td></td></tr>", sum);
    };
    total("QSOs", "qsos", f.bandQsos);
    total("Points", "points", f.bandPoints);
    total("EADX100", "entities", f.bandEntities);
    total("Prov", "provinces", f.bandProvinces);
    out += "</tfoot></table>";
}

void ProvinceMaps(std::string& out, const Scored& r) {
    out += "<div class=\"maps\">";
    for (size_t slot = 0; slot < r.maps.size(); ++slot) {
        const display::ProvinceMarks& marks = r.maps[slot];
        int worked = 0;
        for (int i = 0; i < display::kProvinceBoxCount; ++i)
            worked += marks.Worked(i);
        out += Format(
            "<figure class=\"map\"><figcaption><b>%s</b>: %d of %d worked</figcaption>"
            "<svg viewBox=\"0 0 231 99\" role=\"img\" aria-label=\"provinces on %s\">"
            "<rect width=\"231\" height=\"99\" fill=\"%s\"/>",
            contest::kBands[slot], worked, display::kProvinceBoxCount, contest::kBands[slot],
            Hex(display::kGridBackground).c_str());
        for (int i = 0; i < display::kProvinceBoxCount; ++i) {
            const display::ProvinceBox& b = display::kProvinceBoxes[static_cast<size_t>(i)];
            const bool w = marks.Worked(i);
            out += Format(
                "<g class=\"%s\"><ellipse cx=\"%.1f\" cy=\"%.1f\" rx=\"%.1f\" "
                "ry=\"%.1f\" fill=\"%s\"/><text x=\"%.1f\" y=\"%.1f\" fill=\"%s\">%s"
                "</text></g>",
                w ? "pw" : "pn", b.x + b.cx / 2.0, b.y + b.cy / 2.0, b.cx / 2.0, b.cy / 2.0,
                Hex(w ? display::kWorkedFace : display::kNeededFace).c_str(), b.x + b.cx / 2.0,
                b.y + b.cy / 2.0 + 2.3,
                Hex(w ? display::kWorkedLabel : display::kNeededLabel).c_str(), b.caption);
        }
        out += "</svg></figure>";
    }
    out +=
        "</div><p class=\"note\">Magenta with yellow letters: worked on that band, as in the "
        "province grid window (outlined for grey print). EA0 stands for SMR.</p>";
}

void LeftOut(std::string& out, const std::string& badQsoFile) {
    auto lines = textfile::ReadLines(badQsoFile);
    if (!lines || lines->size() <= 1) {
        out += lines ? "<p>None: the bad-QSO file lists no QSO.</p>"
                     : "<p>No bad-QSO file was found, so no reasons can be listed.</p>";
        return;
    }
    out += Format("<p>%d lines of the bad-QSO file, with the reason it gives.</p>",
                  static_cast<int>(lines->size()) - 1);
    out +=
        "<table class=\"list bad\"><tr><th>QSO as the bad-QSO file states it</th>"
        "<th>Reason</th></tr>";
    for (size_t i = 1; i < lines->size(); ++i) {
        const std::string& line = (*lines)[i];
        // Every reason starts with three blanks; the last such run begins it.
        const size_t at = line.rfind("   ");
        const std::string qso = at == std::string::npos ? line : line.substr(0, at);
        const std::string reason = at == std::string::npos ? "" : text::Trim(line.substr(at));
        out += Format("<tr><td class=\"mono\">%s</td><td>%s</td></tr>", HtmlEscape(qso).c_str(),
                      HtmlEscape(reason).c_str());
    }
    out += "</table>";
}

const char kStyle[] =
    "body{font:14px/1.4 'DejaVu Sans',Arial,sans-serif;color:#111;margin:0 auto;"
    "max-width:1000px;padding:12px 20px}"
    "h1{font-size:22px;margin:4px 0}h2{font-size:17px;border-bottom:2px solid #333;"
    "margin:22px 0 8px;padding-bottom:2px}"
    ".score{font-size:18px;margin:6px 0 2px}.sub{color:#444;margin:0}"
    ".empty{font-size:16px;font-weight:bold;border:2px solid #333;padding:8px}"
    ".results table{width:100%;border-collapse:collapse}"
    ".results th,.results td{border:1px solid #000;padding:1px;background:#fffac6;color:#000}"
    ".results h6{margin:4px 0;font-weight:normal}"
    "svg.chart{width:100%;height:auto;display:block}"
    "svg text{font-family:'DejaVu Sans',Arial,sans-serif}"
    ".hl,.dl{font-size:11px;text-anchor:middle;fill:#222}.dl{text-anchor:start;font-weight:bold}"
    ".vl{font-size:11px;text-anchor:end;fill:#222}.vr{font-size:11px;text-anchor:start;"
    "fill:#222}.at{font-size:12px;text-anchor:middle;fill:#000}.lg{font-size:12px;fill:#000}"
    ".grid{stroke:#ddd;stroke-width:1}.axis{stroke:#000;stroke-width:1.2}.tick{stroke:#000}"
    ".hour rect,.swatch{stroke:#222;stroke-width:.5}"
    ".halo{fill:none;stroke:#fff;stroke-width:5}.points{fill:none;stroke:#c0005a;stroke-width:2}."
    "dot{fill:#fff;stroke:#c0005a;"
    "stroke-width:1.5}"
    ".mE{fill:none;stroke:#0b2a63;stroke-width:2.5}.mP{fill:none;stroke:#e8892b;"
    "stroke-width:2.5;stroke-dasharray:7 4}"
    "table.list,table.grid{border-collapse:collapse;margin:4px 0}"
    "table.list th,table.list td,table.grid th,table.grid td{border:1px solid #999;"
    "padding:1px 6px}"
    "table.grid td{text-align:right;min-width:34px}table.grid td.z{color:#aaa;text-align:center}"
    "table.grid td.s{font-weight:bold}table.grid tfoot td,table.grid tfoot th{"
    "border-top:2px solid #333;font-weight:bold}"
    "th{background:#eee;text-align:left}.n{text-align:right}"
    ".sw{width:12px;height:12px;vertical-align:-1px;border:1px solid #333}"
    ".mono{font-family:'DejaVu Sans Mono',monospace;font-size:12px;white-space:pre}"
    ".maps{display:grid;grid-template-columns:repeat(3,minmax(0,1fr));gap:8px}"
    ".map{margin:0}.map svg{width:100%;height:auto;display:block;border:1px solid #999}"
    ".map text{font-size:6px;text-anchor:middle}.pw ellipse{stroke:#000;stroke-width:.9}"
    ".pn ellipse{stroke:#555;stroke-width:.3}.note{color:#444;font-size:12px}"
    ".calls{word-spacing:6px}"
    "@media print{body{max-width:none;padding:0}section{break-inside:avoid}"
    "section.long{break-inside:auto}h2{break-after:avoid}}"
    "@page{size:A4;margin:12mm}";

void Section(std::string& out, const char* id, const char* heading, const char* cls = "") {
    out += Format("<section id=\"%s\" class=\"%s\"><h2>%s</h2>", id, cls, heading);
}

}  // namespace

std::string BuildPage(const Contest& c, const std::string& badQsoFile) {
    const Scored r = Replay(c);
    const Figures f = Analyse(c, r);
    const results::Tally& t = r.tally;
    const std::string call = HtmlEscape(c.ownCall);

    std::string out;
    out.reserve(64 * 1024);
    out += "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"windows-1252\">";
    out += Format("<title>SOLSTICE RACE %s %s</title>", c.cw ? "CW" : "SSB", call.c_str());
    out += Format("<style>%s</style></head><body>", kStyle);
    out += Format("<h1>SOLSTICE RACE %s &ndash; %s</h1>", c.cw ? "CW" : "SSB", call.c_str());
    if (f.period)
        out += Format("<p class=\"sub\">Contest period %s to %s UTC</p>",
                      At(f.start, "%Y-%m-%d %H:%M").c_str(), At(f.end, "%Y-%m-%d %H:%M").c_str());
    out += Format(
        "<p class=\"score\" id=\"score\">Score: <b>%d</b> points &times; (<b>%d</b> "
        "EADX100 + <b>%d</b> provinces) = <b>%d</b></p>",
        t.total.points, t.total.entities, t.total.provinces, t.score);
    out += Format("<p class=\"sub\">%d QSOs counted, %d dupes, %d bad QSOs.</p>", t.total.qsos,
                  t.total.dupes, t.badQsos);
    if (!f.any) out += "<p class=\"empty\">This log holds no QSOs: there is nothing to chart.</p>";

    Section(out, "results", "Results");
    const size_t body = r.resultsHtml.find("<body>");
    const size_t bodyEnd = r.resultsHtml.rfind("</body>");
    out += "<div class=\"results\">";
    if (body != std::string::npos && bodyEnd != std::string::npos && bodyEnd > body)
        out += r.resultsHtml.substr(body + 6, bodyEnd - body - 6);
    out += "</div></section>";

    const bool charts = f.hours > 0;
    const char* nothing = "<p>No QSOs.</p>";
    Section(out, "rates", "QSOs and points per hour");
    if (charts) {
        RateChart(out, f, t);
        if (f.outside)
            out += Format("<p class=\"note\">%d counted QSOs lie outside the hours shown.</p>",
                          f.outside);
    } else {
        out += nothing;
    }
    out += "</section>";

    Section(out, "best-rates", "Best rates");
    out += "<table class=\"list\">";
    BestRate(out, f, 10 * 60, "Best 10 minutes");
    BestRate(out, f, kHour, "Best 60 minutes");
    out += "</table></section>";

    Section(out, "operating-time", "Operating time");
    if (f.any)
        OperatingTime(out, f);
    else
        out += nothing;
    out += "</section>";

    Section(out, "multipliers", "Multipliers over time");
    if (charts)
        MultiplierChart(out, f);
    else
        out += nothing;
    out += "</section>";

    Section(out, "band-hours", "QSOs by band and hour", "long");
    if (charts)
        BandHours(out, f, t);
    else
        out += nothing;
    out += "</section>";

    Section(out, "provinces", "Provinces by band");
    ProvinceMaps(out, r);
    out += "</section>";

    Section(out, "left-out", "QSOs left out or flagged", "long");
    LeftOut(out, badQsoFile);
    out += "</section>";

    Section(out, "unresolved", "Calls without an entity");
    if (r.unresolved.empty()) {
        out += "<p>None: every call has an entity.</p>";
    } else {
        out += Format("<p>%d calls were scored with an empty entity prefix:</p><p class=\"calls\">",
                      static_cast<int>(r.unresolved.size()));
        for (const std::string& u : r.unresolved)
            out += HtmlEscape(u) + " ";
        out += "</p>";
    }
    out += "</section>";
    out += Format("<p class=\"note\">%s</p></body></html>\n", results::kCredit);
    return out;
}

bool WritePage(const Contest& contest, const std::string& badQsoFile, const std::string& path,
               std::string& error) {
    const std::string page = BuildPage(contest, badQsoFile);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file) file.write(page.data(), static_cast<std::streamsize>(page.size()));
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace report
