#pragma once
// The refresh of the display windows: runs on the setup thread whenever the Setup window
// receives the refresh message.
#include <optional>
#include <string>

#include "engine/contest.h"
#include "setup/display_windows.h"
#include "setup/host_link.h"

namespace setup {

// What the refresh remembers between runs on the setup thread.
struct RefreshMemory {
    double lastFrequency = 0;  // host frequency when "<SP1>" was last sent
};

// The view options of the Setup window that the refresh reads.
struct ViewOptions {
    bool eadx = false;
    bool province = false;
};

// Band slot of a host frequency in hertz, or none off the contest bands.
std::optional<int> BandSlotOfFrequency(double hertz);

// Window captions, in code page 1251.
std::string EadxCallCaption(bool exUssr, const std::string& year, const std::string& call);
std::string EadxBandCaption(bool exUssr, const std::string& year, const std::string& band,
                            size_t count);
std::string ProvinceCaption(bool exUssr, const std::string& band, size_t count);

// Opens the wanted windows, asks the host for the typed call and the frequency, fills the
// band table, sets the captions and the province marks. Takes the instance's lock only
// while it reads or writes the instance. Whatever way it ends, its refresh-allowed flag is
// set again.
void Refresh(engine::Contest& contest, const ViewOptions& view, HostLink* host,
             DisplayWindows& windows, RefreshMemory& memory);

// Answers a removal's request to clear the province grid's marks: marks anew, from the
// per-band lists as they are now, the band that the last refresh showed, and counts them in
// the caption. A bare clear would leave the grid empty under a caption that still counts the
// provinces whenever a refresh queued before the removal runs ahead of the request (the
// removal's own refresh is then dropped as a duplicate).
void RedrawProvinceMarks(engine::Contest& contest, DisplayWindows& windows);

}  // namespace setup
