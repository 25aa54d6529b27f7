#pragma once
// A dialog built from a template of the plug-in's module. The static dialog procedure finds
// the object (stored at WM_INITDIALOG) and hands every message to OnMessage; nothing thrown
// leaves it. Owner-draw requests are handed back to the control they are for.
#include <windows.h>

namespace win {

class DialogBase {
public:
    DialogBase() = default;
    // Destroys a window that is still open; call it on the window's own thread.
    virtual ~DialogBase();
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    // Creates the window (not shown yet unless the template says so); null on failure.
    HWND CreateModeless(int templateId, HWND parent);
    // Runs the dialog modally; -1 when it could not be created.
    INT_PTR DoModal(int templateId, HWND parent);

    HWND Hwnd() const { return m_hwnd; }
    bool IsModal() const { return m_modal; }

protected:
    // Answers one message. Return true when handled and put the procedure's answer into
    // `result` (SetWindowLongPtr(DWLP_MSGRESULT) is done here for messages that need it);
    // false lets the default dialog processing run.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // Called at WM_INITDIALOG; the answer goes back as the procedure's result (true: the
    // default focus rules apply).
    virtual bool OnInitDialog() { return true; }
    // The window is being destroyed; m_hwnd is still valid.
    virtual void OnDestroy() {}

    // Standard endings: Close destroys a modeless window and ends a modal one with IDCANCEL.
    void EndDialogWith(INT_PTR code);

private:
    static INT_PTR CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    bool m_modal = false;
};

// Moves a window to (x, y) without changing its size or z-order.
void MoveWindowTo(HWND hwnd, int x, int y);
// Makes a window topmost without moving, sizing or activating it.
void MakeTopmost(HWND hwnd);
// Greys the Close item of the system menu, and with it the title-bar close button.
void DisableCloseItem(HWND hwnd);
// Sets the plug-in's icon as the window's large icon.
void SetLargeIcon(HWND hwnd);

}  // namespace win
