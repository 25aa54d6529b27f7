#include "display/ea_province.h"

#include "resource.h"

namespace {
constexpr const char* kKeyX = "ea_x";
constexpr const char* kKeyY = "ea_y";
constexpr int kDefaultX = 10;
constexpr int kDefaultY = 10;
}  // namespace

bool Ea_Province::Create() {
    HWND hwnd = CreateModeless(IDD_EA_PROVINCE, nullptr);
    if (!hwnd) return false;
    ShowWindow(hwnd, SW_SHOW);
    return true;
}

void Ea_Province::Recolour(const std::vector<int>& boxes, display::Color face,
                           display::Color label) {
    for (int i : boxes) {
        CAdvancedButton& box = m_boxes[static_cast<size_t>(i)];
        box.SetFaceColor(face);
        box.SetLabelColor(label);
    }
}

void Ea_Province::ClearMarks() {
    Recolour(m_marks.Clear(), display::kNeededFace, display::kNeededLabel);
}

void Ea_Province::MarkProvince(const std::string& code) {
    Recolour(m_marks.Mark(code), display::kWorkedFace, display::kWorkedLabel);
}

void Ea_Province::ShowMarks() {
    for (int i = 0; i < display::kProvinceBoxCount; ++i) {
        if (HWND box = m_boxes[static_cast<size_t>(i)].Hwnd())
            SendMessageW(box, BM_SETCHECK, m_marks.Worked(i) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void Ea_Province::SetCaption(const std::string& text, unsigned codePage) {
    if (Hwnd()) win::SetWindowTextFromCodePage(Hwnd(), text, codePage);
}

void Ea_Province::Close() {
    if (Hwnd()) SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
}

bool Ea_Province::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (msg) {
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORMSGBOX:
            result = OnCtlColor(reinterpret_cast<HDC>(wParam));
            return true;
        case WM_SETCURSOR:
            OnSetCursor();
            return false;  // the cursor itself is the default procedure's business
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) return true;  // Enter never closes the grid
            break;
        default:
            break;
    }
    return DialogBase::OnMessage(msg, wParam, lParam, result);
}

bool Ea_Province::OnInitDialog() {
    m_position = settings::LoadPosition(kKeyX, kKeyY, kDefaultX, kDefaultY);
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        CAdvancedButton& box = m_boxes[i];
        if (!box.AttachToItem(display::kProvinceBoxes[i].id, Hwnd(), display::kNeededFace,
                              display::kNeededLabel, display::kBoxDisabledLabel))
            continue;
        box.m_nShape = display::kShapeEllipse;
        box.Redraw();
    }
    win::MoveWindowTo(Hwnd(), m_position.x, m_position.y);
    bool onTop;
    {
        StateLock lock(m_contest.mutex);
        onTop = m_contest.onTop != 0;
    }
    if (onTop) win::MakeTopmost(Hwnd());
    m_brush.Reset(CreateSolidBrush(display::kGridBackground));
    win::SetLargeIcon(Hwnd());
    // The operator closes the grid only through the Setup window.
    win::DisableCloseItem(Hwnd());
    ShowMarks();
    return true;
}

INT_PTR Ea_Province::OnCtlColor(HDC dc) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, display::kGridTextBackground);
    return reinterpret_cast<INT_PTR>(m_brush.Get() ? m_brush.Get()
                                                   : GetSysColorBrush(COLOR_BTNFACE));
}

void Ea_Province::OnSetCursor() {
    RECT rc;
    if (GetWindowRect(Hwnd(), &rc))
        settings::SavePosition(m_position, kKeyX, kKeyY, rc.left, rc.top);
}
