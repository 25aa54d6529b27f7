#include "base/textfile.h"
#include "cabrillo/cabrillo.h"
#include "engine/bad_qso.h"
#include "engine/engine.h"
#include "engine/host_ini.h"

namespace engine {

namespace {
// Hosts this old cannot live with the Setup window; it is never started for them.
bool OldHost(const std::string& version) {
    for (const char* old : {"2.18", "2.17", "2.16", "2.15", "2.14", "2.14R"}) {
        if (version == old) return true;
    }
    return false;
}
}  // namespace

int ResetStats(Contest& s, const ResetArgs& a, StateLock& lock) {
    s.startText = a.start.Format("%d.%m");
    s.yearText = a.start.Format("%Y");
    s.endText = a.end.Format("%d.%m.%Y");

    if (auto ini = s.files.hostIni ? hostini::Find(a.hostFolder) : std::nullopt) {
        // An unreadable ini or one without the version line keeps the version we knew.
        if (auto version = hostini::ReadVersion(*ini)) s.hostVersion = *version;
    } else {
        s.hostVersion = "Ketl";
    }

    s.log.Clear();
    s.workedBands.clear();
    s.ownPrefix = a.ownPrefix;
    s.furtherText = a.furtherText;
    s.ownCall = a.ownCall;
    if (contest::IsExUssrEntity(a.ownPrefix)) s.exUssr = 1;

    for (int slot = 0; slot < contest::kBandCount; ++slot)
        s.bandTable[slot] = {contest::kBands[slot], "-", "-", "-", "-"};

    s.exportFlag = a.exportFlag;
    if (a.exportFlag && s.files.cabrillo) {
        // Releases the lock around its modal dialog; everything below reads the state anew.
        cabrillo::PrepareExport(s, a.ownCall, a.start, a.end, lock);
        WriteSetting(s, "Start", "1");
    }

    // Without a settings file the instance keeps the mode it was given.
    if (s.files.settings) s.cwTest = ReadIntSetting(s, "CW");
    s.startMarker = ReadIntSetting(s, "Start");

    // "Start" alternates, so the Setup window comes up on every other reset only; an export
    // reset leaves "1" behind and the next reset merely clears it.
    if (s.startMarker) {
        WriteSetting(s, "Start", "0");
    } else if (!s.setup.windowExists()) {
        if (!OldHost(s.hostVersion)) {
            // The start routine may close a running Setup window and wait for its thread,
            // which needs the lock to finish.
            lock.unlock();
            s.setup.startRoutine();
            lock.lock();
        }
        WriteSetting(s, "Start", "1");
    }

    s.badQsoFile = badqso::FileName(a.end);
    badqso::Start(s, badqso::Title(s.cwTest) + badqso::kLineEnd);
    return 1;
}

int RemoveData(Contest& s, const QsoArgs& a) {
    for (int i = 0; i < s.log.Count(); ++i) {
        const CInfo& e = s.log[i];
        if (e.m_strCall == a.call && e.m_strMode == a.mode && e.m_strBand == a.band &&
            e.m_time.SameMoment(a.time)) {
            // Only a QSO with mainland Spain clears the marks; the next refresh marks the
            // provinces still worked.
            if (a.prefix == "EA") s.setup.postClearProvinceMarks();
            s.log.RemoveAt(i);
            break;
        }
    }

    if (s.log.Empty()) {
        s.workedBands.clear();
        for (StringList& list : s.entityLists)
            list.clear();
        for (StringList& list : s.provinceLists)
            list.clear();
    }

    // Also runs without a stored match: a rejected QSO's lines go as well. A file that
    // cannot be read is left alone rather than rewritten without its lines.
    if (auto lines = s.BadQsoLines()) {
        const std::string timeKey = badqso::TimeKey(a.time);
        std::string kept = badqso::Title(s.cwTest) + badqso::kLineEnd;
        for (size_t i = 1; i < lines->size(); ++i) {
            const std::string& line = (*lines)[i];
            if (badqso::BelongsTo(line, a.call, timeKey)) continue;
            kept += line;
            kept += badqso::kLineEnd;
        }
        badqso::Start(s, kept);
    }

    s.refreshAllowed = 1;
    if (s.setup.windowExists()) s.setup.postRefresh();
    return 1;
}

}  // namespace engine
