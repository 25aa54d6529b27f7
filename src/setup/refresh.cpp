#include "setup/refresh.h"

#include <cmath>

#include "contest/contest_rules.h"

namespace setup {

namespace {

constexpr const char* kEmptyCell = "   -";
// Move of the host's frequency, in hertz, above which the host is told "<SP1>".
constexpr double kSp1Step = 300;

// Sets the refresh-allowed flag however the refresh ends, so that the call check keeps
// posting after a failed host call.
struct AllowRefreshOnExit {
    std::atomic<int>& flag;
    ~AllowRefreshOnExit() { flag = 1; }
};

// Rewrites columns 1 to 4 of the band table from the log (lock held).
void FillBandTable(engine::Contest& s, const std::string& call) {
    for (int r = 0; r < contest::kBandCount; ++r) {
        auto& row = s.bandTable[static_cast<size_t>(r)];
        // Rows are built by the reset; one that was never built gets its band name.
        if (row.empty()) row.push_back(contest::kBands[r]);
        row.resize(5);
        for (size_t c = 1; c < 5; ++c)
            row[c] = kEmptyCell;
    }
    if (call.empty()) return;
    for (const CInfo& e : s.log.Entries()) {
        if (e.m_strCall != call) continue;
        for (int r = 0; r < contest::kBandCount; ++r) {
            if (e.m_strBand != contest::kBands[r]) continue;
            auto& row = s.bandTable[static_cast<size_t>(r)];
            row[1] = e.m_strMode;
            row[2] = e.m_time.Format("%H:%M");
            row[3] = contest::IsSpanishEntity(e.m_strPrefix) ? e.m_strProvince : e.m_strExchRcvd;
        }
    }
}

// Shows on an open grid exactly the provinces of `slot`, with the caption that counts them.
void ShowProvinces(DisplayWindows& windows, bool exUssr, int slot, const StringList& provinces) {
    if (!windows.ProvinceOpen()) return;
    windows.ClearMarks();
    windows.SetProvinceCaption(ProvinceCaption(exUssr, contest::kBands[slot], provinces.size()));
    for (const std::string& code : provinces)
        windows.MarkProvince(code);
    windows.ApplyMarks();
}

}  // namespace

std::optional<int> BandSlotOfFrequency(double hertz) {
    double mhz = std::trunc(hertz / 1000000.0);
    switch (static_cast<long long>(std::isfinite(mhz) ? mhz : -1)) {
        case 1:
            return 0;
        case 3:
            return 1;
        case 7:
            return 2;
        case 14:
            return 3;
        case 21:
            return 4;
        case 28:
            return 5;
        default:
            return std::nullopt;
    }
}

std::string EadxCallCaption(bool exUssr, const std::string& year, const std::string& call) {
    // "работал с" in code page 1251.
    const char* worked = exUssr ? " \xf0\xe0\xe1\xee\xf2\xe0\xeb\x20\xf1 " : " worked with ";
    return "SOLSTICE-RACE-" + year + worked + call;
}

std::string EadxBandCaption(bool exUssr, const std::string& year, const std::string& band,
                            size_t count) {
    // "отработано на"; both languages end in "из" ("of") before the total.
    const char* worked = exUssr ? " EA100DX \xee\xf2\xf0\xe0\xe1\xee\xf2\xe0\xed\xee\x20\xed\xe0 "
                                : " EA100DX worked on ";
    return "SOLSTICE-RACE-" + year + worked + band + " " + std::to_string(count) +
           " \xe8\xe7\x20\x33\x33\x38";
}

std::string ProvinceCaption(bool exUssr, const std::string& band, size_t count) {
    if (exUssr) {
        // "Провинции Испании отработаны на %s %s из 52"
        return "\xcf\xf0\xee\xe2\xe8\xed\xf6\xe8\xe8\x20\xc8\xf1\xef\xe0\xed\xe8\xe8\x20\xee\xf2"
               "\xf0\xe0\xe1\xee\xf2\xe0\xed\xfb\x20\xed\xe0 " +
               band + " " + std::to_string(count) + " \xe8\xe7\x20\x35\x32";
    }
    return "Spain province worked on " + band + " " + std::to_string(count) + " of 52";
}

void Refresh(engine::Contest& s, const ViewOptions& view, HostLink* host, DisplayWindows& windows,
             RefreshMemory& memory) {
    AllowRefreshOnExit allow{s.refreshAllowed};
    try {
        if (view.eadx && !windows.EadxOpen()) windows.OpenEadx();
        if (view.province && !windows.ProvinceOpen()) windows.OpenProvince();
        if (!host || !host->Connected()) return;

        std::string call = host->GetEntryText(kCallEntryField);
        std::string year;
        bool exUssr = false;
        {
            StateLock lock(s.mutex);
            s.enteredCall = call;
            // A call of one or two characters is still being typed: keep what is shown.
            if (call.size() == 1 || call.size() == 2) return;
            FillBandTable(s, call);
            year = s.yearText;
            exUssr = s.exUssr != 0;
        }
        if (!call.empty() && windows.EadxOpen())
            windows.SetEadxCaption(EadxCallCaption(exUssr, year, call));

        double f = host->GetFrequency();
        if (std::fabs(f - memory.lastFrequency) > kSp1Step) {
            host->SendCommand(kSp1);
            memory.lastFrequency = f;
        }
        std::optional<int> slot = BandSlotOfFrequency(f);
        if (!slot) return;

        size_t entityCount = 0;
        StringList provinces;
        {
            StateLock lock(s.mutex);
            s.currentBandSlot = *slot;
            entityCount = s.entityLists[static_cast<size_t>(*slot)].size();
            provinces = s.provinceLists[static_cast<size_t>(*slot)];
        }
        const std::string band = contest::kBands[*slot];
        if (call.empty() && windows.EadxOpen())
            windows.SetEadxCaption(EadxBandCaption(exUssr, year, band, entityCount));
        ShowProvinces(windows, exUssr, *slot, provinces);
        if (windows.EadxOpen()) windows.InvalidateEadxTable();
    } catch (const HostCallFailed&) {
        // The host did not answer: this refresh ends here, the next one tries again.
    }
}

void RedrawProvinceMarks(engine::Contest& s, DisplayWindows& windows) {
    if (!windows.ProvinceOpen()) return;
    int slot = -1;
    bool exUssr = false;
    StringList provinces;
    {
        StateLock lock(s.mutex);
        slot = s.currentBandSlot;
        exUssr = s.exUssr != 0;
        if (slot >= 0 && slot < contest::kBandCount)
            provinces = s.provinceLists[static_cast<size_t>(slot)];
    }
    if (slot >= 0 && slot < contest::kBandCount) {
        ShowProvinces(windows, exUssr, slot, provinces);
    } else {
        // No refresh has found a band yet: the grid shows its template caption and no marks.
        windows.ClearMarks();
        windows.ApplyMarks();
    }
}

}  // namespace setup
