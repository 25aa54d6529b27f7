#include "setup/host_link_win.h"

#include <oleauto.h>

#include <string>

namespace setup {

namespace {

// Owns a VARIANT for the length of one call.
struct ScopedVariant {
    VARIANT v;
    ScopedVariant() { VariantInit(&v); }
    ~ScopedVariant() { VariantClear(&v); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
};

// Texts cross the link as wide strings in the thread's code page.
std::wstring Widen(const std::string& s) {
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_THREAD_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string Narrow(const wchar_t* w, UINT length) {
    if (!w || length == 0) return std::string();
    int len = static_cast<int>(length);
    int n = WideCharToMultiByte(CP_THREAD_ACP, 0, w, len, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, w, len, s.data(), n, nullptr, nullptr);
    return s;
}

void Invoke(IDispatch* d, DISPID id, WORD kind, VARIANT* args, UINT count, VARIANT* result) {
    DISPPARAMS params = {args, nullptr, count, 0};
    HRESULT hr = d->Invoke(id, IID_NULL, 0, kind, &params, result, nullptr, nullptr);
    if (FAILED(hr)) throw HostCallFailed();
}

}  // namespace

void ComHostLink::Connect() {
    Disconnect();
    // Results of the first two steps are not examined: a missing host shows as a failing
    // GetActiveObject.
    m_comStarted = true;
    CoInitialize(nullptr);
    CLSID clsid = CLSID_NULL;
    CLSIDFromProgID(kHostProgId, &clsid);
    IUnknown* unknown = nullptr;
    if (SUCCEEDED(GetActiveObject(clsid, nullptr, &unknown)) && unknown) {
        IDispatch* dispatch = nullptr;
        if (SUCCEEDED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
            m_dispatch = dispatch;
        unknown->Release();
    }
}

void ComHostLink::Disconnect() {
    if (m_dispatch) {
        m_dispatch->Release();
        m_dispatch = nullptr;
    }
    if (m_comStarted) {
        m_comStarted = false;
        CoUninitialize();
    }
}

double ComHostLink::GetFrequency() {
    if (!m_dispatch) throw HostCallFailed();
    ScopedVariant result;
    Invoke(m_dispatch, kDispFrequency, DISPATCH_PROPERTYGET, nullptr, 0, &result.v);
    if (FAILED(VariantChangeType(&result.v, &result.v, 0, VT_R8))) throw HostCallFailed();
    return result.v.dblVal;
}

std::string ComHostLink::GetEntryText(int field) {
    if (!m_dispatch) throw HostCallFailed();
    ScopedVariant arg, result;
    arg.v.vt = VT_I4;
    arg.v.lVal = field;
    Invoke(m_dispatch, kDispEntryText, DISPATCH_METHOD, &arg.v, 1, &result.v);
    if (result.v.vt != VT_BSTR) return std::string();
    return Narrow(result.v.bstrVal, SysStringLen(result.v.bstrVal));
}

void ComHostLink::SendCommand(const std::string& command) {
    if (!m_dispatch) return;
    std::wstring wide = Widen(command);
    ScopedVariant arg;
    arg.v.vt = VT_BSTR;
    arg.v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!arg.v.bstrVal) throw HostCallFailed();
    Invoke(m_dispatch, kDispSendCommand, DISPATCH_METHOD, &arg.v, 1, nullptr);
}

}  // namespace setup
