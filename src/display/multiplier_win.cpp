#include "display/multiplier.h"

#include "display/gdi_canvas.h"
#include "display/info_table.h"
#include "display/mem_dc.h"
#include "resource.h"

namespace {
constexpr const char* kKeyX = "dxcc_x";
constexpr const char* kKeyY = "dxcc_y";
constexpr int kDefaultX = 10;
constexpr int kDefaultY = 400;
}  // namespace

bool CTablInfoButton::DrawItem(const DRAWITEMSTRUCT& item) {
    // Copy first, draw afterwards: the lock is never held while GDI works.
    display::InfoTableSnapshot data = display::TakeInfoTableSnapshot(m_contest);
    CMemDC memDC(item.hDC);
    display::GdiTableCanvas canvas(memDC.Hdc());
    display::DrawInfoTable(canvas, display::FromRECT(item.rcItem), data);
    return true;
}

bool Multiplier::Create() {
    HWND hwnd = CreateModeless(IDD_MULTIPLIER, nullptr);
    if (!hwnd) return false;
    ShowWindow(hwnd, SW_SHOW);
    return true;
}

void Multiplier::SetCaption(const std::string& text, unsigned codePage) {
    if (Hwnd()) win::SetWindowTextFromCodePage(Hwnd(), text, codePage);
}

void Multiplier::InvalidateTable() {
    if (m_table.Hwnd()) InvalidateRect(m_table.Hwnd(), nullptr, FALSE);
}

void Multiplier::Close() {
    if (Hwnd()) SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
}

bool Multiplier::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (msg) {
        case WM_SIZE:
            OnSize();
            return false;
        case WM_SETCURSOR:
            OnSetCursor();
            return false;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) return true;  // Enter never closes the window
            break;
        default:
            break;
    }
    return DialogBase::OnMessage(msg, wParam, lParam, result);
}

bool Multiplier::OnInitDialog() {
    m_table.SubclassDlgItem(kTableButtonId, Hwnd());
    m_position = settings::LoadPosition(kKeyX, kKeyY, kDefaultX, kDefaultY);
    win::MoveWindowTo(Hwnd(), m_position.x, m_position.y);
    bool onTop;
    {
        StateLock lock(m_contest.mutex);
        onTop = m_contest.onTop != 0;
    }
    if (onTop) win::MakeTopmost(Hwnd());
    win::SetLargeIcon(Hwnd());
    win::DisableCloseItem(Hwnd());
    return true;
}

void Multiplier::OnSize() {
    HWND table = GetDlgItem(Hwnd(), kTableButtonId);
    if (!table) return;
    RECT client;
    GetClientRect(Hwnd(), &client);
    const display::Rect r = display::TableButtonPlacement(client.right, client.bottom);
    MoveWindow(table, r.left, r.top, r.Width(), r.Height(), TRUE);
}

void Multiplier::OnSetCursor() {
    RECT rc;
    if (GetWindowRect(Hwnd(), &rc))
        settings::SavePosition(m_position, kKeyX, kKeyY, rc.left, rc.top);
}
