#include "win/control.h"

#include <commctrl.h>

#include "win/messages.h"

namespace win {

namespace {
constexpr UINT_PTR kSubclassId = 0x5354;  // one subclass of ours per control
}

SubclassedControl::~SubclassedControl() {
    Detach();
}

void SubclassedControl::Detach() {
    if (m_hwnd) {
        RemoveWindowSubclass(m_hwnd, Procedure, kSubclassId);
        m_hwnd = nullptr;
    }
}

bool SubclassedControl::SubclassDlgItem(int id, HWND parent) {
    if (m_hwnd || !parent) return false;
    HWND control = GetDlgItem(parent, id);
    if (!control) return false;
    m_hwnd = control;
    PreSubclassWindow();
    if (!SetWindowSubclass(control, Procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        m_hwnd = nullptr;
        return false;
    }
    return true;
}

bool SubclassedControl::OnMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg == kReflectDrawItem && lParam) {
        result = DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
        return true;
    }
    return false;
}

LRESULT CALLBACK SubclassedControl::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<SubclassedControl*>(data);
    try {
        LRESULT result = 0;
        if (self && self->m_hwnd == hwnd && self->OnMessage(msg, wParam, lParam, result))
            return result;
    } catch (...) {
        // Nothing escapes a window procedure; the control's own handling runs instead.
    }
    if (msg == WM_NCDESTROY && self && self->m_hwnd == hwnd) self->Detach();
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace win
