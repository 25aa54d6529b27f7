#include <windows.h>

#include <cstring>
#include <string>

#include "cabrillo/header_dialog.h"
#include "resource.h"
#include "win/dialog.h"
#include "win/module.h"

namespace cabrillo {

namespace {

// Resource type and entry of the combo boxes' choice lists that go with a dialog template.
constexpr WORD kDialogInitType = 240;
constexpr WORD kAddString = 0x0403;

struct Field {
    int id;
    std::string HeaderDialogValues::*value;
    bool combo;
};

const Field kFields[] = {
    {1009, &HeaderDialogValues::contest, false},
    {1010, &HeaderDialogValues::callsign, false},
    {1008, &HeaderDialogValues::claimed, false},
    {1013, &HeaderDialogValues::categoryOperator, true},
    {1014, &HeaderDialogValues::categoryBand, true},
    {1015, &HeaderDialogValues::categoryMode, true},
    {1016, &HeaderDialogValues::categoryPower, true},
    {1021, &HeaderDialogValues::categoryAssisted, true},
    {1022, &HeaderDialogValues::categoryTransmitter, true},
    {1007, &HeaderDialogValues::name, false},
    {1002, &HeaderDialogValues::address, false},
    {1003, &HeaderDialogValues::addressCity, false},
    {1011, &HeaderDialogValues::addressPostalCode, false},
    {1012, &HeaderDialogValues::addressCountry, false},
    {1006, &HeaderDialogValues::operators, false},
    {1005, &HeaderDialogValues::club, false},
    {1001, &HeaderDialogValues::soapbox, false},
    {1004, &HeaderDialogValues::email, false},
};

std::string ControlText(HWND control) {
    int length = GetWindowTextLengthA(control);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

class HeaderDialog : public win::DialogBase {
public:
    explicit HeaderDialog(HeaderDialogValues& values) : m_values(values) {}

protected:
    bool OnInitDialog() override {
        FillChoiceLists(Hwnd());
        for (const Field& f : kFields) {
            const std::string& value = m_values.*f.value;
            HWND control = GetDlgItem(Hwnd(), f.id);
            // A value from the list is selected in it; anything else is typed into the edit.
            if (f.combo) {
                LRESULT index = SendMessageA(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(value.c_str()));
                SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            }
            if (ControlText(control) != value) SetWindowTextA(control, value.c_str());
        }
        return true;
    }

    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
        if (msg != WM_COMMAND) return DialogBase::OnMessage(msg, wParam, lParam, result);
        if (LOWORD(wParam) == IDOK) {
            HeaderDialogValues taken;
            for (const Field& f : kFields)
                taken.*f.value = ControlText(GetDlgItem(Hwnd(), f.id));
            m_values = std::move(taken);
            EndDialogWith(IDOK);
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialogWith(IDCANCEL);
            return true;
        }
        return false;
    }

private:
    // The choice lists travel with the template as dialog-initialisation data.
    static void FillChoiceLists(HWND hwnd) {
        HMODULE module = win::Module();
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDD_CABRILLO),
                                    MAKEINTRESOURCEA(kDialogInitType));
        if (!found) return;
        HGLOBAL loaded = LoadResource(module, found);
        const auto* data =
            static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
        if (!data) return;
        size_t size = SizeofResource(module, found), pos = 0;
        auto word = [&](size_t at) { return static_cast<WORD>(data[at] | (data[at + 1] << 8)); };
        while (pos + 8 <= size) {
            WORD id = word(pos);
            if (id == 0) break;
            WORD message = word(pos + 2);
            DWORD length = word(pos + 4) | (static_cast<DWORD>(word(pos + 6)) << 16);
            pos += 8;
            if (length > size - pos) break;
            if (message == kAddString) {
                const char* entry = reinterpret_cast<const char*>(data + pos);
                std::string item(entry, strnlen(entry, length));
                SendDlgItemMessageA(hwnd, id, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(item.c_str()));
            }
            pos += length;
        }
    }

    HeaderDialogValues& m_values;
};

// The window the dialog belongs to: the top-level window active on this thread, if any.
HWND DialogOwner() {
    HWND active = GetActiveWindow();
    return active ? GetAncestor(active, GA_ROOT) : nullptr;
}

}  // namespace

bool ShowHeaderDialog(HeaderDialogValues& values) {
    HeaderDialog dialog(values);
    // A dialog that could not be shown confirmed nothing: no export.
    return dialog.DoModal(IDD_CABRILLO, DialogOwner()) == IDOK;
}

}  // namespace cabrillo
