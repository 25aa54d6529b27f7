#include <filesystem>
#include <set>

#include "score_run.h"

namespace fs = std::filesystem;

namespace scorer {

void PrintSummary(const ScoreRun& run, std::FILE* out) {
    size_t stored = 0;
    std::set<std::string> unresolved;
    for (const ReplayedQso& q : run.replayed) {
        stored += q.stored;
        if (q.given.prefix.empty()) unresolved.insert(q.given.call);
    }
    size_t read = run.replayed.size() + run.log.damaged.size();
    // The encoding is named when it is not the usual one.
    std::string kind = run.log.cabrillo ? "Cabrillo" : "ADIF";
    if (!run.log.encoding.empty() && run.log.encoding != "UTF-8") kind += ", " + run.log.encoding;
    std::fprintf(out, "summary of %s (%s)\n", run.logPath.c_str(), kind.c_str());
    std::fprintf(out, "  own station:          %s (entity %s)\n", run.ownCall.c_str(),
                 run.own.entity.empty() ? "none" : run.own.entity.c_str());
    std::fprintf(out, "  QSOs read:            %zu\n", read);
    std::fprintf(out, "  scored:               %zu (%zu rejected by the contest's rules)\n", stored,
                 run.replayed.size() - stored);
    std::fprintf(out, "  left out, damaged:    %zu\n", run.log.damaged.size());
    std::fprintf(out, "  unresolved entities:  %zu", unresolved.size());
    std::string sep = " (";
    for (const std::string& call : unresolved) {
        std::fprintf(out, "%s%s", sep.c_str(), call.c_str());
        sep = ", ";
    }
    std::fprintf(out, "%s\n", unresolved.empty() ? "" : ")");
    std::fprintf(out, "  reports supplied:     %zu (599 or 59 where the log has none)\n",
                 run.reportsSupplied);
    std::fprintf(out,
                 "  frequencies supplied: %zu (the band's lower edge where the log has none)\n",
                 run.freqsSupplied);
    std::fprintf(out, "  X-QSO lines:          %d\n", run.log.xQsos);
    std::fprintf(out, "  mode:                 %s (%s)\n", run.cw ? "CW" : "SSB",
                 run.modeNote.c_str());
    std::fprintf(out, "  files in %s:\n", run.outDir.c_str());
    std::set<std::string> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(run.outDir, ec)) {
        std::string n = e.path().filename().string();
        if (n.rfind("BadQSO_", 0) == 0 || e.path().extension() == ".cbr") files.insert(n);
    }
    files.insert((fs::path("Plugins") / "SOLSTICE-RACE.ini").string());
    files.insert(run.resultsFile);
    for (const std::string& f : files)
        std::fprintf(out, "    %s\n", f.c_str());
}

}  // namespace scorer
