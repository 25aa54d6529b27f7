#pragma once
// Plays the host's automation object: registered as the running object "Ketl2.Application",
// it records every command and answers the frequency and entry field 5 from values the test
// sets. Lives on the test's main thread, which must pump messages while the plug-in calls it.
#include <windows.h>

#include <oleauto.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// {6B1D6C52-3A0F-4E51-9D77-2C8E5A0B7F41}
inline const CLSID kFakeHostClsid = {
    0x6b1d6c52, 0x3a0f, 0x4e51, {0x9d, 0x77, 0x2c, 0x8e, 0x5a, 0x0b, 0x7f, 0x41}};

class FakeHostObject : public IDispatch {
public:
    double frequency = 14025000;
    std::wstring entry;
    bool entryIsString = true;
    bool failFrequency = false;
    std::vector<std::string> commands;
    std::vector<int> fieldsAsked;
    // Set: the entry field is answered only after this long (a host that hangs).
    std::atomic<DWORD> entryStallMs{0};

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_refs); }
    // Owned by the test; the count only tells whether the plug-in let go.
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&m_refs); }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        try {
            switch (id) {
                case 2:
                    if (!(kind & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
                    if (failFrequency) return E_FAIL;
                    VariantInit(result);
                    result->vt = VT_R8;
                    result->dblVal = frequency;
                    return S_OK;
                case 8: {
                    if (!params || params->cArgs != 1 || params->rgvarg[0].vt != VT_I4)
                        return DISP_E_TYPEMISMATCH;
                    if (DWORD stall = entryStallMs) Sleep(stall);
                    fieldsAsked.push_back(params->rgvarg[0].lVal);
                    if (!result) return S_OK;
                    VariantInit(result);
                    if (entryIsString) {
                        result->vt = VT_BSTR;
                        result->bstrVal = SysAllocString(entry.c_str());
                    } else {
                        result->vt = VT_I4;
                        result->lVal = 42;
                    }
                    return S_OK;
                }
                case 16: {
                    if (!params || params->cArgs != 1 || params->rgvarg[0].vt != VT_BSTR)
                        return DISP_E_TYPEMISMATCH;
                    BSTR b = params->rgvarg[0].bstrVal;
                    std::string s;
                    for (UINT i = 0; b && i < SysStringLen(b); ++i)
                        s += static_cast<char>(b[i]);
                    commands.push_back(s);
                    return S_OK;
                }
                default:
                    return DISP_E_MEMBERNOTFOUND;
            }
        } catch (...) {
            return E_FAIL;
        }
    }

    // Registers the ProgID under HKCR and the object in the running-object table.
    bool Register() {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, L"Ketl2.Application\\CLSID", 0, nullptr, 0,
                            KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        wchar_t text[64] = {0};
        StringFromGUID2(kFakeHostClsid, text, 64);
        LONG rc = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                 static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return false;
        return SUCCEEDED(
            RegisterActiveObject(this, kFakeHostClsid, ACTIVEOBJECT_STRONG, &m_cookie));
    }
    void Revoke() {
        if (m_cookie) RevokeActiveObject(m_cookie, nullptr);
        m_cookie = 0;
    }
    LONG References() const { return m_refs; }

private:
    LONG m_refs = 1;
    DWORD m_cookie = 0;
};

// Without a window manager, Wine waits two seconds for one at every hide of a captioned
// window; windows it does not hand to the (absent) manager close at once.
inline void UnmanagedWindows() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"),
                   2 * sizeof(wchar_t));
    RegCloseKey(key);
}

// The running-object table and the ProgID are shared by every program in the Wine prefix:
// test programs that play the host take turns.
class HostRoleTurn {
public:
    HostRoleTurn() : m_mutex(CreateMutexW(nullptr, FALSE, L"StatsTestsFakeHostTurn")) {
        if (m_mutex) m_owned = WaitForSingleObject(m_mutex, 240000) != WAIT_TIMEOUT;
    }
    ~HostRoleTurn() {
        if (m_mutex && m_owned) ReleaseMutex(m_mutex);
        if (m_mutex) CloseHandle(m_mutex);
    }
    HostRoleTurn(const HostRoleTurn&) = delete;
    HostRoleTurn& operator=(const HostRoleTurn&) = delete;

private:
    HANDLE m_mutex;
    bool m_owned = false;
};

// Pumps the main thread's messages until `done` holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        MsgWaitForMultipleObjects(
            0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 20)), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

// Pumps for a while regardless (to let things that should not happen show up).
inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}
