#include "win/dialog.h"

#include "win/messages.h"
#include "win/module.h"

namespace win {

DialogBase::~DialogBase() {
    if (m_hwnd) {
        // Whatever happens to the window now, it must not reach this object any more.
        SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
        DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
}

HWND DialogBase::CreateModeless(int templateId, HWND parent) {
    if (m_hwnd) return m_hwnd;
    m_modal = false;
    const DLGTEMPLATE* dialog = DialogTemplate(templateId);
    if (!dialog) return nullptr;
    return CreateDialogIndirectParamW(Module(), dialog, parent, Procedure,
                                      reinterpret_cast<LPARAM>(this));
}

INT_PTR DialogBase::DoModal(int templateId, HWND parent) {
    if (m_hwnd) return -1;
    m_modal = true;
    const DLGTEMPLATE* dialog = DialogTemplate(templateId);
    if (!dialog) return -1;
    return DialogBoxIndirectParamW(Module(), dialog, parent, Procedure,
                                   reinterpret_cast<LPARAM>(this));
}

void DialogBase::EndDialogWith(INT_PTR code) {
    if (m_hwnd) EndDialog(m_hwnd, code);
}

INT_PTR CALLBACK DialogBase::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (msg == WM_INITDIALOG) {
            auto* self = reinterpret_cast<DialogBase*>(lParam);
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            self->m_hwnd = hwnd;
        }
        auto* self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
        if (!self) return FALSE;
        INT_PTR result = self->Dispatch(msg, wParam, lParam);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            self->m_hwnd = nullptr;
        }
        return result;
    } catch (...) {
        return FALSE;
    }
}

INT_PTR DialogBase::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
    INT_PTR result = 0;
    if (OnMessage(msg, wParam, lParam, result)) {
        switch (msg) {
            case WM_INITDIALOG:
            case WM_CTLCOLORMSGBOX:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORLISTBOX:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORDLG:
            case WM_CTLCOLORSCROLLBAR:
            case WM_CTLCOLORSTATIC:
            case WM_COMPAREITEM:
            case WM_VKEYTOITEM:
            case WM_CHARTOITEM:
            case WM_QUERYDRAGICON:
                return result;  // these answer through the return value itself
            default:
                SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, result);
                return TRUE;
        }
    }
    return FALSE;
}

bool DialogBase::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (msg) {
        case WM_INITDIALOG:
            result = OnInitDialog() ? TRUE : FALSE;
            return true;
        case WM_DRAWITEM: {
            // Owner-drawn controls draw themselves; the dialog only passes the request on.
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (!item || !item->hwndItem) return false;
            result = SendMessageW(item->hwndItem, kReflectDrawItem, wParam, lParam);
            return result != 0;
        }
        case WM_CLOSE:
            if (m_modal) {
                EndDialog(m_hwnd, IDCANCEL);
            } else {
                DestroyWindow(m_hwnd);
            }
            result = 0;
            return true;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                // Escape: the standard ending, which hides a modeless window.
                EndDialog(m_hwnd, IDCANCEL);
                result = 0;
                return true;
            }
            return false;
        case WM_DESTROY:
            OnDestroy();
            return false;
        default:
            return false;
    }
}

void MoveWindowTo(HWND hwnd, int x, int y) {
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void MakeTopmost(HWND hwnd) {
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void DisableCloseItem(HWND hwnd) {
    if (HMENU menu = GetSystemMenu(hwnd, FALSE))
        EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
}

void SetLargeIcon(HWND hwnd) {
    if (HICON icon = PluginIcon())
        SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

}  // namespace win
