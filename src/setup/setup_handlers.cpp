#include "setup/setup_handlers.h"

namespace setup {

RefreshMemory& SharedRefreshMemory() {
    static RefreshMemory memory;
    return memory;
}

SetupTexts MakeSetupTexts(bool exUssr, const std::string& year) {
    SetupTexts t;
    if (exUssr) {
        t.caption = "\xd3\xf1\xf2\xe0\xed\xee\xe2\xea\xe8 SOLSTICE-RACE-" + year;
        t.viewLabel = "\xce\xf2\xee\xe1\xf0\xe0\xe6\xe0\xf2\xfc";
        t.modeLabel = "\xc2\xfb\xe1\xee\xf0\x20\xe2\xe8\xe4\xe0\x20\xf1\xe2\xff\xe7\xe8";
        t.onTop = "\xcf\xee\xe2\xe5\xf0\xf5\x20\xee\xea\xee\xed";
        t.eadx = "\xd1\xf2\xf0\xe0\xed\xfb EADX100";
        t.province = "\xcf\xf0\xee\xe2\xe8\xed\xf6\xe8\xe8\x20\xc8\xf1\xef\xe0\xed\xe8\xe8";
        t.moveViewLabel = false;
    } else {
        t.caption = "Setup SOLSTICE-RACE-" + year;
        t.viewLabel = "View";
        t.modeLabel = "Choice of mode";
        t.onTop = "Window on top";
        t.eadx = "Country EADX100";
        t.province = "Province of Spain";
        t.moveViewLabel = true;
    }
    return t;
}

template <typename F>
void SetupHandlers::Stoppable(F&& f) {
    try {
        f();
    } catch (const HostCallFailed&) {
        // The host refused the call; the operator sees the box as it was left.
    }
}

settings::PositionCache SetupHandlers::LoadSettings() {
    m_position = settings::LoadPosition("setup_x", "setup_y", 10, 400);
    m_options.eadx = settings::ReadIntKey("EADX100");
    m_options.province = settings::ReadIntKey("EA_Province");
    m_options.cw = settings::ReadIntKey("CW");
    m_options.ssb = settings::ReadIntKey("SSB");
    return m_position;
}

void SetupHandlers::SendInitialMode() {
    if (!m_options.ssb && !m_options.cw) {
        // The reset read the missing "CW" key as an SSB log; the host is told CW below, so
        // the log and the settings follow first: QSOs admitted while the host takes the
        // commands are judged as CW.
        m_options.cw = 1;
        m_contest.SetMode(true);
        settings::WriteKey("CW", "1");
        settings::WriteKey("SSB", "0");
    }
    Stoppable([&] {
        if (m_options.ssb) {
            m_host.SendCommand(kModeSsb);
            return;
        }
        m_options.cw = 1;
        m_host.SendCommand(kModeCw);
        m_host.SendCommand(kBaudRate);
    });
}

// The log, the settings and the boxes follow the click whatever the host answers: the next
// reset reads the mode back from the settings.
void SetupHandlers::ChooseCw() {
    m_options.cw = 1;
    m_options.ssb = 0;
    m_contest.SetMode(true);
    Stoppable([&] {
        m_host.SendCommand(kModeCw);
        m_host.SendCommand(kBaudRate);
    });
    settings::WriteKey("CW", "1");
    settings::WriteKey("SSB", "0");
    // Shown again so that a click on a set box leaves it set.
    m_view.ShowOptions(m_options);
}

void SetupHandlers::ChooseSsb() {
    m_options.ssb = 1;
    m_options.cw = 0;
    m_contest.SetMode(false);
    Stoppable([&] { m_host.SendCommand(kModeSsb); });
    settings::WriteKey("SSB", "1");
    settings::WriteKey("CW", "0");
    m_view.ShowOptions(m_options);
}

// The option follows the window, not the check box: a click closes an open window and
// opens a closed one.
void SetupHandlers::ToggleEadx() {
    if (m_windows.EadxOpen()) {
        m_windows.CloseEadx();
        m_options.eadx = 0;
        settings::WriteKey("EADX100", "0");
    } else {
        m_windows.OpenEadx();
        m_options.eadx = 1;
        settings::WriteKey("EADX100", "1");
    }
    m_contest.refreshAllowed = 1;
    m_view.PostRefresh();
}

void SetupHandlers::ToggleProvince() {
    if (m_windows.ProvinceOpen()) {
        m_windows.CloseProvince();
        m_options.province = 0;
        settings::WriteKey("EA_Province", "0");
    } else {
        m_windows.OpenProvince();
        m_options.province = 1;
        settings::WriteKey("EA_Province", "1");
    }
    m_contest.refreshAllowed = 1;
    m_view.PostRefresh();
}

void SetupHandlers::ToggleOnTop() {
    m_options.onTop = m_options.onTop ? 0 : 1;
    {
        StateLock lock(m_contest.mutex);
        m_contest.onTop = m_options.onTop;
    }
    settings::WriteKey("setup_window_on_top", m_options.onTop ? "1" : "0");
    // Closed now, reopened by the refresh: windows take the on-top state when they start.
    CloseDisplays();
    m_view.ShowOptions(m_options);
    m_view.PostRefresh();
}

void SetupHandlers::OnRefresh() {
    ViewOptions view;
    view.eadx = m_options.eadx != 0;
    view.province = m_options.province != 0;
    Refresh(m_contest, view, m_host.Connected() ? &m_host : nullptr, m_windows,
            SharedRefreshMemory());
}

void SetupHandlers::CloseDisplays() {
    if (m_windows.EadxOpen()) m_windows.CloseEadx();
    if (m_windows.ProvinceOpen()) m_windows.CloseProvince();
}

}  // namespace setup
