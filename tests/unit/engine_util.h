#pragma once
// Drives the engine as the exports do (state lock held) and records what it asks of the
// setup thread.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "test_util.h"

// What the engine asked of the setup thread, in order.
struct SetupRecorder {
    static inline bool windowExists = false;
    static inline std::vector<std::string> calls;
    // Whether the state lock was free while the start routine ran.
    static inline bool startedUnlocked = false;

    static void Install() {
        windowExists = false;
        calls.clear();
        startedUnlocked = false;
        TheContest().setup = {
            [] { return windowExists; },
            [] {
                calls.push_back("start");
                std::unique_lock<std::mutex> probe(TheContest().mutex, std::try_to_lock);
                startedUnlocked = probe.owns_lock();
            },
            [] { calls.push_back("refresh"); },
            [] { calls.push_back("clear marks"); },
        };
    }
    static void Uninstall() { TheContest().setup = engine::kNoSetup; }
};

// A fresh state, a fresh current folder with its Plugins folder, and a recorder.
class EngineTest : public StateTest {
protected:
    void SetUp() override {
        StateTest::SetUp();
        dir_.MakePlugins();
        SetupRecorder::Install();
    }
    void TearDown() override {
        SetupRecorder::Uninstall();
        StateTest::TearDown();
    }

    static engine::QsoArgs Qso(const std::string& call, const std::string& band = "20m",
                               const std::string& mode = "CW") {
        engine::QsoArgs q;
        q.ownCall = "EA1XX";
        q.call = call;
        q.time = COleDateTime::FromFields(2017, 5, 6, 14, 3);
        q.freqHz = 14025000;
        q.mode = mode;
        q.rstSent = "599";
        q.rstRcvd = "599";
        q.exchSent = "001";
        q.exchRcvd = "002";
        q.prefix = "DL";
        q.prefixText = "DL1";
        q.band = band;
        return q;
    }

    static engine::ResetArgs PassArgs(const std::string& hostFolder = "") {
        engine::ResetArgs r;
        r.hostFolder = hostFolder;
        r.ownCall = "EA1XX";
        r.start = COleDateTime::FromFields(2017, 5, 6, 12, 0);
        r.end = COleDateTime::FromFields(2017, 5, 7, 12, 0);
        r.ownPrefix = "EA";
        return r;
    }

    static int Add(const engine::QsoArgs& q) {
        StateLock lock(TheContest().mutex);
        return engine::AddData(TheContest(), q);
    }
    static int Remove(const engine::QsoArgs& q) {
        StateLock lock(TheContest().mutex);
        return engine::RemoveData(TheContest(), q);
    }
    static int DoReset(const engine::ResetArgs& r) {
        StateLock lock(TheContest().mutex);
        return engine::ResetStats(TheContest(), r, lock);
    }
    static int Check(const std::string& call, const std::string& band,
                     const std::string& prefix = "DL", const std::string& prefixText = "DL1",
                     const std::string& mode = "CW", const std::string& band2 = "") {
        engine::CheckCallArgs a;
        a.call = call;
        a.band = band;
        a.band2 = band2;
        a.prefix = prefix;
        a.prefixText = prefixText;
        a.mode = mode;
        StateLock lock(TheContest().mutex);
        return engine::CheckCall(TheContest(), a);
    }

    // A CW pass: "CW" set, then a reset that names and creates the bad-QSO file.
    void StartCwPass() {
        WriteFile(dir_.path() / "Plugins/SOLSTICE-RACE.ini", "[Settings]\r\nCW=1\r\nStart=1\r\n");
        DoReset(PassArgs());
    }
    std::string BadFile() const { return ReadFile(dir_.path() / TheContest().badQsoFile); }
    // The file's lines; each must end in CR LF.
    std::vector<std::string> BadLines() const {
        std::string file = BadFile();
        std::vector<std::string> lines;
        size_t pos = 0;
        for (size_t end; (end = file.find("\r\n", pos)) != std::string::npos; pos = end + 2)
            lines.push_back(file.substr(pos, end - pos));
        EXPECT_EQ(pos, file.size()) << "text after the last CR LF";
        return lines;
    }

    ScopedTempDir dir_;
};
