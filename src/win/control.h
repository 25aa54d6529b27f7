#pragma once
// A dialog control taken over by an object of ours (control subclassing). The object sees
// every message of the control first, including the owner-draw request its dialog hands
// back (kReflectDrawItem); what it does not answer goes to the control's own procedure.
#include <windows.h>

namespace win {

class SubclassedControl {
public:
    SubclassedControl() = default;
    virtual ~SubclassedControl();
    SubclassedControl(const SubclassedControl&) = delete;
    SubclassedControl& operator=(const SubclassedControl&) = delete;

    // Takes over the parent's control with that id; false, changing nothing, when there is
    // none or this object already has a control.
    bool SubclassDlgItem(int id, HWND parent);
    HWND Hwnd() const { return m_hwnd; }

protected:
    // Runs once the control is taken over, before any of its messages reach this object.
    virtual void PreSubclassWindow() {}
    // Return true when handled, with the answer in `result`.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The owner-draw request; true when drawn.
    virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);
    void Detach();

    HWND m_hwnd = nullptr;
};

}  // namespace win
