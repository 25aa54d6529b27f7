#pragma once
// What the Setup window does to its options, the engine instance's flags, the settings file and
// the host. The Win32 dialog turns messages into these calls and options into check boxes.
#include <string>

#include "settings/settings.h"
#include "setup/display_windows.h"
#include "setup/host_link.h"
#include "setup/refresh.h"

namespace setup {

// Check box ids of the Setup window, in the order of its options.
enum SetupControl {
    kIdCw = 1016,
    kIdSsb = 1017,
    kIdEadx = 1018,
    kIdCallArea = 1019,
    kIdProvince = 1020,
    kIdOnTop = 1021,
    kIdModeLabel = 1023,
    kIdViewLabel = 1024,
};

// The six options bound to the check boxes 1016 to 1021.
struct SetupOptions {
    int cw = 0;
    int ssb = 0;
    int eadx = 0;
    int callArea = 0;
    int province = 0;
    int onTop = 0;
};

// The window's texts in the language of the own station, code page 1251.
struct SetupTexts {
    std::string caption;
    std::string modeLabel;       // 1023
    std::string viewLabel;       // 1024
    std::string onTop;           // 1021
    std::string eadx;            // 1018
    std::string province;        // 1020
    bool moveViewLabel = false;  // the English label sits further right
};
SetupTexts MakeSetupTexts(bool exUssr, const std::string& year);

// Where the view label goes in the English texts (client pixels).
constexpr int kViewLabelX = 150, kViewLabelY = 7, kViewLabelWidth = 25, kViewLabelHeight = 15;

// Colours of the Setup window (and the province grid).
constexpr unsigned long kBackgroundColour = 0xC6FAFF;  // RGB(255, 250, 198)
constexpr unsigned long kTextBackColour = 0xC6F0FF;    // RGB(255, 240, 198)

// What the handlers need from the dialog itself.
class SetupView {
public:
    virtual ~SetupView() = default;
    // Shows the options in the check boxes.
    virtual void ShowOptions(const SetupOptions& options) = 0;
    // Posts the refresh message to the Setup window.
    virtual void PostRefresh() = 0;
};

class SetupHandlers {
public:
    SetupHandlers(engine::Contest& contest, HostLink& host, DisplayWindows& windows,
                  SetupView& view)
        : m_contest(contest), m_host(host), m_windows(windows), m_view(view) {}

    // Initialisation, split where the shell moves, decorates and connects in between.
    // Reads the position and the options from the settings file.
    settings::PositionCache LoadSettings();
    // Tells the host the mode; a start with neither mode stored selects CW for the log too.
    void SendInitialMode();

    void ChooseCw();
    void ChooseSsb();
    void ToggleEadx();
    void ToggleProvince();
    void ToggleOnTop();

    // The refresh message.
    void OnRefresh();
    // The removal of a Spanish QSO asks for the marks to be cleared: they are drawn anew.
    void OnClearProvinceMarks() { RedrawProvinceMarks(m_contest, m_windows); }
    // The Setup window ends: its display windows end with it.
    void CloseDisplays();

    const SetupOptions& Options() const { return m_options; }
    settings::PositionCache& Position() { return m_position; }

private:
    // Runs a handler's host calls; a failing call ends them there, silently.
    template <typename F>
    void Stoppable(F&& f);

    engine::Contest& m_contest;
    HostLink& m_host;
    DisplayWindows& m_windows;
    SetupView& m_view;
    SetupOptions m_options;
    settings::PositionCache m_position;
};

// What every refresh of any Setup window remembers (the frequency of the last "<SP1>").
RefreshMemory& SharedRefreshMemory();

// The engine instance that the Setup window and its displays show: the plug-in's, given at
// load before any export runs. Kept with the setup thread's state (setup_thread_*.cpp).
void ShowContest(engine::Contest& contest);
engine::Contest& ShownContest();

}  // namespace setup
