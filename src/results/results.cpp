#include "results/results.h"

#include "base/text.h"
#include "cabrillo/cabrillo.h"
#include "engine/engine.h"
#include "results/report.h"
#include "results/tally.h"

namespace results {

namespace {
Heading HeadingOf(const engine::Contest& s) {
    return {s.cwTest != 0, s.startText, s.endText, s.ownCall};
}
}  // namespace

const char* GetResult(engine::Contest& s, int* out, StateLock& lock) {
    s.resultText.clear();

    // The Cabrillo call shows no rates: the export flag switches them off.
    const bool exporting = s.exportFlag != 0;
    const Tally tally = ComputeTally(s, !exporting);
    if (s.html)
        AppendHtml(s.resultText, HeadingOf(s), tally);
    else
        AppendText(s.resultText, HeadingOf(s), tally);

    engine::WriteSetting(s, "Claimed", text::Format("%i", s.claimed));

    if (exporting && s.files.cabrillo) {
        const std::string message = cabrillo::ExportLog(s);
        // A message box is modal: the setup thread must be able to take the lock meanwhile.
        if (const auto show = s.completionMessage) {
            lock.unlock();
            show(message);
            lock.lock();
        }
    }

    if (out) *out = -1;
    return s.resultText.c_str();
}

}  // namespace results

// The instance's results operations live with the results they compute.
namespace engine {

const char* Contest::Results(int* out) {
    StateLock lock(mutex);
    return results::GetResult(*this, out, lock);
}

Tally Contest::Score(std::vector<ScoredQso>* perQso) {
    StateLock lock(mutex);
    return results::ComputeTally(*this, true, perQso);
}

std::string Contest::ResultsText(const Tally& tally) {
    StateLock lock(mutex);
    std::string out;
    results::AppendText(out, results::HeadingOf(*this), tally);
    return out;
}

std::string Contest::ResultsHtml(const Tally& tally) {
    StateLock lock(mutex);
    std::string out;
    results::AppendHtml(out, results::HeadingOf(*this), tally);
    return out;
}

}  // namespace engine
