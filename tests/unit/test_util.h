#pragma once
// Shared helpers of the native tests.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/contest.h"
#include "plugin/state.h"

// A fresh folder that is the current folder while the object lives; the plug-in writes its
// files relative to the current folder, as the host's process does.
class ScopedTempDir {
public:
    ScopedTempDir() {
        old_ = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "stats-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
        std::filesystem::current_path(path_);
    }
    ~ScopedTempDir() {
        std::error_code ec;
        std::filesystem::current_path(old_, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    // Creates the Plugins folder that holds the settings file.
    void MakePlugins() const { std::filesystem::create_directory(path_ / "Plugins"); }

private:
    std::filesystem::path old_;
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const std::filesystem::path& p, const std::string& content) {
    std::ofstream out(p, std::ios::binary);
    out << content;
}

// The engine instance the running test works on.
inline engine::Contest*& CurrentContest() {
    static engine::Contest* current = nullptr;
    return current;
}
inline engine::Contest& TheContest() {
    return *CurrentContest();
}

// Stores a QSO straight into the log and records its band as worked, as admission does.
inline void StoreQso(const std::string& call, const std::string& band, const std::string& prefix,
                     const std::string& province = "", double time = 0, bool dupe = false) {
    CInfo e;
    e.m_strCall = call;
    e.m_strBand = band;
    e.m_strPrefix = prefix;
    e.m_strProvince = province;
    e.m_time = COleDateTime(time);
    e.m_bDupe = e.m_bNotCounted = dupe ? 1 : 0;
    TheContest().log.Append(e);
    StringList& worked = TheContest().workedBands;
    if (std::find(worked.begin(), worked.end(), band) == worked.end()) worked.push_back(band);
}

// Every test works on a new instance that reads and writes every file the plug-in's does.
// Made before the fixtures' own members, which may hold it. It tells of an export as the
// plug-in's does.
class StateTest : public ::testing::Test {
protected:
    StateTest() {
        contest_.completionMessage = ShowCompletionMessage;
        CurrentContest() = &contest_;
    }
    ~StateTest() override { CurrentContest() = nullptr; }

    engine::Contest contest_{engine::Files::All()};
};
