#include "setup/setup_window_win.h"

#include <set>

#include "engine/state.h"
#include "resource.h"
#include "setup/host_link_win.h"
#include "setup/setup_handlers.h"
#include "setup/setup_thread.h"
#include "win/module.h"

namespace setup {

std::wstring WideFrom1251(const std::string& text) {
    if (text.empty()) return std::wstring();
    int len = static_cast<int>(text.size());
    int n = MultiByteToWideChar(1251, 0, text.data(), len, nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(1251, 0, text.data(), len, w.data(), n);
    return w;
}

void SetText1251(HWND window, const std::string& text) {
    SetWindowTextW(window, WideFrom1251(text).c_str());
}

namespace {

constexpr COLORREF kBackground = kBackgroundColour;
constexpr COLORREF kTextBack = kTextBackColour;
const wchar_t* const kDisplayClass = L"StatsDisplayWindow";

// Plain top-level windows standing for the EADX100 window and the province grid: they carry
// the caption and list the marked provinces, nothing more.
class PlainDisplayWindows : public DisplayWindows {
public:
    ~PlainDisplayWindows() override {
        CloseEadx();
        CloseProvince();
    }

    bool EadxOpen() const override { return m_eadx && IsWindow(m_eadx); }
    void OpenEadx() override { m_eadx = Create(L"EADX100", 420, 400); }
    void CloseEadx() override { Close(m_eadx); }
    void SetEadxCaption(const std::string& caption) override {
        if (m_eadx) SetText1251(m_eadx, caption);
    }
    void InvalidateEadxTable() override {
        if (m_eadx) InvalidateRect(m_eadx, nullptr, FALSE);
    }

    bool ProvinceOpen() const override { return m_province && IsWindow(m_province); }
    void OpenProvince() override {
        m_province = Create(L"EA Province", 420, 500);
        m_marksText = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 4, 4, 380, 40,
                                      m_province, nullptr, win::Module(), nullptr);
    }
    void CloseProvince() override {
        Close(m_province);
        m_marksText = nullptr;
        m_marks.clear();
    }
    void SetProvinceCaption(const std::string& caption) override {
        if (m_province) SetText1251(m_province, caption);
    }
    void ClearMarks() override { m_marks.clear(); }
    void MarkProvince(const std::string& code) override {
        // The box for San Marino's code is labelled "EA0"; "HQ" has no box.
        if (code == "HQ") return;
        m_marks.insert(code == contest::kSpecialProvince ? contest::kSpecialPrefix : code);
    }
    void ApplyMarks() override {
        if (!m_marksText) return;
        std::string shown;
        for (const std::string& m : m_marks)
            shown += (shown.empty() ? "" : " ") + m;
        SetText1251(m_marksText, shown);
    }

private:
    static void RegisterClassOnce() {
        WNDCLASSW wc = {};
        if (GetClassInfoW(win::Module(), kDisplayClass, &wc)) return;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = win::Module();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kDisplayClass;
        RegisterClassW(&wc);
    }
    static HWND Create(const wchar_t* caption, int x, int y) {
        RegisterClassOnce();
        int onTop = 0;
        {
            StateLock lock(StateMutex());
            onTop = State().onTop;
        }
        HWND w = CreateWindowExW(onTop ? WS_EX_TOPMOST : 0, kDisplayClass, caption,
                                 WS_POPUP | WS_CAPTION | WS_VISIBLE, x, y, 400, 120, nullptr,
                                 nullptr, win::Module(), nullptr);
        return w;
    }
    static void Close(HWND& w) {
        if (w && IsWindow(w)) DestroyWindow(w);
        w = nullptr;
    }

    HWND m_eadx = nullptr;
    HWND m_province = nullptr;
    HWND m_marksText = nullptr;
    std::set<std::string> m_marks;
};

// Owns a GDI brush.
class SolidBrush {
public:
    void Create(COLORREF colour) {
        Reset();
        m_brush = CreateSolidBrush(colour);
    }
    ~SolidBrush() { Reset(); }
    HBRUSH Get() const { return m_brush; }

private:
    void Reset() {
        if (m_brush) DeleteObject(m_brush);
        m_brush = nullptr;
    }
    HBRUSH m_brush = nullptr;
};

class Setup : public SetupView {
public:
    Setup() : m_handlers(m_host, m_windows, *this) {}
    ~Setup() override { m_host.Disconnect(); }

    void Run() {
        DialogBoxParamW(win::Module(), MAKEINTRESOURCEW(IDD_SETUP), nullptr, &Setup::Proc,
                        reinterpret_cast<LPARAM>(this));
    }

    void ShowOptions(const SetupOptions& o) override {
        const int values[] = {o.cw, o.ssb, o.eadx, o.callArea, o.province, o.onTop};
        for (int i = 0; i < 6; ++i)
            CheckDlgButton(m_hwnd, kIdCw + i, values[i] ? BST_CHECKED : BST_UNCHECKED);
    }
    void PostRefresh() override { PostMessageW(m_hwnd, kRefreshMessage, 0, 0); }

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        try {
            if (msg == WM_INITDIALOG) SetWindowLongPtrW(hwnd, DWLP_USER, lp);
            auto* self = reinterpret_cast<Setup*>(GetWindowLongPtrW(hwnd, DWLP_USER));
            if (!self) return FALSE;
            if (msg == WM_INITDIALOG) self->m_hwnd = hwnd;
            return self->Handle(msg, wp, lp);
        } catch (...) {
            return FALSE;
        }
    }

    INT_PTR Handle(UINT msg, WPARAM wp, LPARAM lp) {
        switch (msg) {
            case WM_INITDIALOG:
                return OnInitDialog();
            case WM_COMMAND:
                return OnCommand(LOWORD(wp), HIWORD(wp));
            case WM_CLOSE:
                End();
                return TRUE;
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
                return OnCtlColor(reinterpret_cast<HDC>(wp));
            case WM_SETCURSOR:
                SavePosition();
                return FALSE;
            case kRefreshMessage:
                m_handlers.OnRefresh();
                return TRUE;
            case kClearProvinceMarksMessage:
                m_handlers.OnClearProvinceMarks();
                return TRUE;
            case WM_DESTROY:
                PublishSetupWindow(nullptr);
                return FALSE;
            default:
                (void)lp;
                return FALSE;
        }
    }

    BOOL OnInitDialog() {
        ShowOptions(m_handlers.Options());
        settings::PositionCache pos = m_handlers.LoadSettings();
        SetWindowPos(m_hwnd, nullptr, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        // Topmost whatever the on-top option says; that option is for the display windows.
        SetWindowPos(m_hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        m_brush.Create(kBackground);
        // A shared icon from the module's resources: the system owns it.
        if (HICON icon = LoadIconW(win::Module(), MAKEINTRESOURCEW(IDI_STATS)))
            SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        m_host.Connect();
        m_handlers.SendInitialMode();
        ShowOptions(m_handlers.Options());
        SetTexts();
        EnableMenuItem(GetSystemMenu(m_hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
        PostRefresh();
        PublishSetupWindow(m_hwnd);
        return TRUE;
    }

    void SetTexts() {
        bool exUssr = false;
        std::string year;
        {
            StateLock lock(StateMutex());
            exUssr = State().exUssr != 0;
            year = State().yearText;
        }
        SetupTexts t = MakeSetupTexts(exUssr, year);
        SetText1251(m_hwnd, t.caption);
        HWND view = GetDlgItem(m_hwnd, kIdViewLabel);
        if (t.moveViewLabel)
            MoveWindow(view, kViewLabelX, kViewLabelY, kViewLabelWidth, kViewLabelHeight, TRUE);
        SetText1251(view, t.viewLabel);
        SetText1251(GetDlgItem(m_hwnd, kIdModeLabel), t.modeLabel);
        SetText1251(GetDlgItem(m_hwnd, kIdOnTop), t.onTop);
        SetText1251(GetDlgItem(m_hwnd, kIdEadx), t.eadx);
        SetText1251(GetDlgItem(m_hwnd, kIdProvince), t.province);
    }

    BOOL OnCommand(int id, int code) {
        if (code != BN_CLICKED) return FALSE;
        switch (id) {
            case kIdCw:
                m_handlers.ChooseCw();
                return TRUE;
            case kIdSsb:
                m_handlers.ChooseSsb();
                return TRUE;
            case kIdEadx:
                m_handlers.ToggleEadx();
                return TRUE;
            case kIdProvince:
                m_handlers.ToggleProvince();
                return TRUE;
            case kIdOnTop:
                m_handlers.ToggleOnTop();
                return TRUE;
            case IDOK:  // Enter does not end the window
            case kIdCallArea:
                return TRUE;
            case IDCANCEL:  // Escape ends it
                End();
                return TRUE;
            default:
                return FALSE;
        }
    }

    // The display windows end with the Setup window, so that the next one opens them anew.
    void End() {
        m_handlers.CloseDisplays();
        EndDialog(m_hwnd, IDCANCEL);
    }

    INT_PTR OnCtlColor(HDC dc) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, kTextBack);
        return reinterpret_cast<INT_PTR>(m_brush.Get());
    }

    void SavePosition() {
        RECT r;
        if (GetWindowRect(m_hwnd, &r))
            settings::SavePosition(m_handlers.Position(), "setup_x", "setup_y", r.left, r.top);
    }

    HWND m_hwnd = nullptr;
    SolidBrush m_brush;
    ComHostLink m_host;
    PlainDisplayWindows m_windows;
    SetupHandlers m_handlers;
};

}  // namespace

void RunSetupWindow() {
    Setup dialog;
    dialog.Run();
}

}  // namespace setup
