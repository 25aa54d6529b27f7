#include "results/results.h"

#include "base/text.h"
#include "base/ui.h"
#include "cabrillo/cabrillo.h"
#include "results/report.h"
#include "results/tally.h"
#include "settings/settings.h"

namespace results {

const char* GetResult(int* out, StateLock& lock) {
    PluginState& s = State();
    s.resultText.clear();

    Heading heading;
    heading.cw = s.cwTest != 0;
    heading.start = s.startText;
    heading.end = s.endText;
    heading.contestant = s.ownCall;

    // The Cabrillo call shows no rates: the export flag switches them off.
    const bool exporting = s.exportFlag != 0;
    const Tally tally = ComputeTally(s, !exporting);
    if (s.html)
        AppendHtml(s.resultText, heading, tally);
    else
        AppendText(s.resultText, heading, tally);

    settings::WriteKey("Claimed", text::Format("%i", s.claimed));

    if (exporting) {
        const std::string message = cabrillo::ExportLog();
        // The message box is modal: the setup thread must be able to take the state meanwhile.
        lock.unlock();
        ui::MessageBox(message, "Output", ui::kIconInformation, ui::Owner::ActiveWindow);
        lock.lock();
    }

    if (out) *out = -1;
    return State().resultText.c_str();
}

}  // namespace results
