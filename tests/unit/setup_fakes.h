#pragma once
// Fakes of the host link, the display windows and the Setup dialog that record what the
// Setup window's handlers and the refresh do to them.
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "setup/display_windows.h"
#include "setup/host_link.h"
#include "setup/setup_handlers.h"

class FakeHost : public setup::HostLink {
public:
    bool connected = true;
    double frequency = 14025000;
    std::string entry;
    bool failFrequency = false, failEntry = false, failCommand = false;
    std::vector<std::string> commands;
    int frequencyReads = 0, entryReads = 0;
    std::vector<int> fieldsAsked;
    std::function<void()> onCommand;  // runs as each command arrives

    bool Connected() const override { return connected; }
    double GetFrequency() override {
        ++frequencyReads;
        if (failFrequency) throw setup::HostCallFailed();
        return frequency;
    }
    std::string GetEntryText(int field) override {
        ++entryReads;
        fieldsAsked.push_back(field);
        if (failEntry) throw setup::HostCallFailed();
        return entry;
    }
    void SendCommand(const std::string& command) override {
        if (!connected) return;
        if (onCommand) onCommand();
        if (failCommand) throw setup::HostCallFailed();
        commands.push_back(command);
    }
};

class FakeWindows : public setup::DisplayWindows {
public:
    bool eadxOpen = false, provinceOpen = false;
    int eadxOpened = 0, eadxClosed = 0, provinceOpened = 0, provinceClosed = 0;
    std::string eadxCaption, provinceCaption;
    int invalidations = 0, clears = 0, applies = 0;
    std::vector<std::string> pendingMarks;  // marked since the last clear
    std::vector<std::string> shownMarks;    // what the grid shows

    bool EadxOpen() const override { return eadxOpen; }
    void OpenEadx() override {
        eadxOpen = true;
        ++eadxOpened;
        eadxCaption = "template";
    }
    void CloseEadx() override {
        eadxOpen = false;
        ++eadxClosed;
    }
    void SetEadxCaption(const std::string& c) override { eadxCaption = c; }
    void InvalidateEadxTable() override { ++invalidations; }

    bool ProvinceOpen() const override { return provinceOpen; }
    void OpenProvince() override {
        provinceOpen = true;
        ++provinceOpened;
        provinceCaption = "template";
    }
    void CloseProvince() override {
        provinceOpen = false;
        ++provinceClosed;
        pendingMarks.clear();
        shownMarks.clear();
    }
    void SetProvinceCaption(const std::string& c) override { provinceCaption = c; }
    void ClearMarks() override {
        ++clears;
        pendingMarks.clear();
    }
    void MarkProvince(const std::string& code) override { pendingMarks.push_back(code); }
    void ApplyMarks() override {
        ++applies;
        shownMarks = pendingMarks;
    }
};

class FakeView : public setup::SetupView {
public:
    std::vector<setup::SetupOptions> shown;
    int refreshesPosted = 0;
    void ShowOptions(const setup::SetupOptions& o) override { shown.push_back(o); }
    void PostRefresh() override { ++refreshesPosted; }
};
