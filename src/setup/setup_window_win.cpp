#include "setup/setup_window_win.h"

#include <memory>

#include "display/ea_province.h"
#include "display/multiplier.h"
#include "resource.h"
#include "setup/host_link_win.h"
#include "setup/setup_handlers.h"
#include "setup/setup_thread.h"
#include "win/dialog.h"
#include "win/gdi.h"
#include "win/messages.h"
#include "win/wide_text.h"

namespace setup {

void SetText1251(HWND window, const std::string& text) {
    win::SetWindowTextFromCodePage(window, text, win::kCyrillicCodePage);
}

namespace {

// The two display windows, created and closed on the setup thread. The option follows the
// window: one closed by the operator counts as closed.
class PluginDisplayWindows : public DisplayWindows {
public:
    explicit PluginDisplayWindows(engine::Contest& contest) : m_contest(contest) {}

    bool EadxOpen() const override { return m_eadx && IsWindow(m_eadx->Hwnd()); }
    void OpenEadx() override {
        auto window = std::make_unique<Multiplier>(m_contest);
        if (window->Create()) m_eadx = std::move(window);
    }
    void CloseEadx() override {
        if (m_eadx) m_eadx->Close();
        m_eadx.reset();
        CloseProgress();
    }
    void SetEadxCaption(const std::string& caption) override {
        if (EadxOpen()) m_eadx->SetCaption(caption);
    }
    void InvalidateEadxTable() override {
        if (EadxOpen()) m_eadx->InvalidateTable();
    }

    bool ProvinceOpen() const override { return m_province && IsWindow(m_province->Hwnd()); }
    void OpenProvince() override {
        auto window = std::make_unique<Ea_Province>(m_contest);
        if (window->Create()) m_province = std::move(window);
    }
    void CloseProvince() override {
        if (m_province) m_province->Close();
        m_province.reset();
        CloseProgress();
    }
    void SetProvinceCaption(const std::string& caption) override {
        if (ProvinceOpen()) m_province->SetCaption(caption);
    }
    void ClearMarks() override {
        if (ProvinceOpen()) m_province->ClearMarks();
    }
    void MarkProvince(const std::string& code) override {
        if (ProvinceOpen()) m_province->MarkProvince(code);
    }
    void ApplyMarks() override {
        if (ProvinceOpen()) m_province->ShowMarks();
    }

private:
    engine::Contest& m_contest;
    std::unique_ptr<Multiplier> m_eadx;
    std::unique_ptr<Ea_Province> m_province;
};

class Setup : public win::DialogBase, public SetupView {
public:
    Setup()
        : m_contest(ShownContest()),
          m_windows(m_contest),
          m_handlers(m_contest, m_host, m_windows, *this) {}

    void Run() {
        DoModal(IDD_SETUP, nullptr);
        CloseProgress();
        // The modal run has ended: let go of the host on the thread that connected.
        m_host.Disconnect();
    }

    void ShowOptions(const SetupOptions& o) override {
        const int values[] = {o.cw, o.ssb, o.eadx, o.callArea, o.province, o.onTop};
        for (int i = 0; i < 6; ++i)
            CheckDlgButton(Hwnd(), kIdCw + i, values[i] ? BST_CHECKED : BST_UNCHECKED);
    }
    void PostRefresh() override { PostRefreshTo(Hwnd()); }

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override {
        switch (msg) {
            case WM_COMMAND:
                return OnCommand(LOWORD(wp), HIWORD(wp), result) ||
                       DialogBase::OnMessage(msg, wp, lp, result);
            case WM_CLOSE:
                // Only the close-all routine sends it: the caption's close button is greyed.
                // Let go of the host first, while the closing thread serves our calls: if the
                // windows close too slowly for it, it ends this thread without waiting more.
                m_host.Disconnect();
                CloseProgress();
                m_handlers.CloseDisplays();
                return DialogBase::OnMessage(msg, wp, lp, result);
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
                result = OnCtlColor(reinterpret_cast<HDC>(wp));
                return true;
            case WM_SETCURSOR:
                SavePosition();
                return false;
            case kRefreshMessage:
                RefreshTaken();
                if (!UnloadWaiting()) m_handlers.OnRefresh();
                return true;
            case WM_SHOWWINDOW:
                // The modal loop shows the window once its queue first runs dry; the showing
                // and the first painting are the last of the start's calls that may ask the
                // loader.
                if (wp && !m_shown) {
                    m_shown = true;
                    PostMessageW(Hwnd(), win::kSetupStarted, 0, 0);
                }
                return false;
            case win::kSetupStarted:
                RedrawWindow(Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                SetupStarted();
                return true;
            case win::kClearProvinceMarks:
                MarksRequestTaken();
                if (!UnloadWaiting()) m_handlers.OnClearProvinceMarks();
                return true;
            default:
                return DialogBase::OnMessage(msg, wp, lp, result);
        }
    }

    bool OnInitDialog() override {
        ShowOptions(m_handlers.Options());
        settings::PositionCache pos = m_handlers.LoadSettings();
        win::MoveWindowTo(Hwnd(), pos.x, pos.y);
        // Topmost whatever the on-top option says; that option is for the display windows.
        win::MakeTopmost(Hwnd());
        m_brush.Reset(CreateSolidBrush(kBackgroundColour));
        win::SetLargeIcon(Hwnd());
        m_host.Connect();
        m_handlers.SendInitialMode();
        ShowOptions(m_handlers.Options());
        SetTexts();
        win::DisableCloseItem(Hwnd());
        PostRefresh();
        PublishSetupWindow(Hwnd());
        return true;
    }

    void OnDestroy() override { PublishSetupWindow(nullptr); }

private:
    void SetTexts() {
        bool exUssr = false;
        std::string year;
        {
            StateLock lock(m_contest.mutex);
            exUssr = m_contest.exUssr != 0;
            year = m_contest.yearText;
        }
        SetupTexts t = MakeSetupTexts(exUssr, year);
        SetText1251(Hwnd(), t.caption);
        HWND view = GetDlgItem(Hwnd(), kIdViewLabel);
        if (t.moveViewLabel)
            MoveWindow(view, kViewLabelX, kViewLabelY, kViewLabelWidth, kViewLabelHeight, TRUE);
        SetText1251(view, t.viewLabel);
        SetText1251(GetDlgItem(Hwnd(), kIdModeLabel), t.modeLabel);
        SetText1251(GetDlgItem(Hwnd(), kIdOnTop), t.onTop);
        SetText1251(GetDlgItem(Hwnd(), kIdEadx), t.eadx);
        SetText1251(GetDlgItem(Hwnd(), kIdProvince), t.province);
    }

    bool OnCommand(int id, int code, INT_PTR& result) {
        result = 0;
        if (id == IDOK) return true;  // Enter does not end the window
        if (id == IDCANCEL) {         // Escape does, and its display windows with it
            m_handlers.CloseDisplays();
            return false;
        }
        if (code != BN_CLICKED) return false;
        switch (id) {
            case kIdCw:
                m_handlers.ChooseCw();
                return true;
            case kIdSsb:
                m_handlers.ChooseSsb();
                return true;
            case kIdEadx:
                m_handlers.ToggleEadx();
                return true;
            case kIdProvince:
                m_handlers.ToggleProvince();
                return true;
            case kIdOnTop:
                m_handlers.ToggleOnTop();
                return true;
            case kIdCallArea:
                return true;
            default:
                return false;
        }
    }

    INT_PTR OnCtlColor(HDC dc) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, kTextBackColour);
        return reinterpret_cast<INT_PTR>(m_brush.Get());
    }

    void SavePosition() {
        RECT r;
        if (GetWindowRect(Hwnd(), &r))
            settings::SavePosition(m_handlers.Position(), "setup_x", "setup_y", r.left, r.top);
    }

    engine::Contest& m_contest;
    win::GdiObject<HBRUSH> m_brush;
    bool m_shown = false;
    ComHostLink m_host;
    PluginDisplayWindows m_windows;
    SetupHandlers m_handlers;
};

}  // namespace

void RunSetupWindow() {
    Setup dialog;
    dialog.Run();
}

}  // namespace setup
