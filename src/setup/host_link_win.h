#pragma once
// The host link over COM. Connected, used and released on the setup thread only.
#include <windows.h>

#include <oaidl.h>

#include "setup/host_link.h"

namespace setup {

class ComHostLink : public HostLink {
public:
    ComHostLink() = default;
    ~ComHostLink() override { Disconnect(); }
    ComHostLink(const ComHostLink&) = delete;
    ComHostLink& operator=(const ComHostLink&) = delete;

    // Initialises COM on this thread and attaches to the running host, if there is one.
    // Never starts a host.
    void Connect();
    // Releases the host and ends this thread's COM use (balances Connect).
    void Disconnect();

    bool Connected() const override { return m_dispatch != nullptr; }
    double GetFrequency() override;
    std::string GetEntryText(int field) override;
    void SendCommand(const std::string& command) override;

private:
    IDispatch* m_dispatch = nullptr;
    bool m_comStarted = false;
};

// The ProgID under which the running host registers its automation object.
constexpr const wchar_t* kHostProgId = L"Ketl2.Application";
// Dispatch ids of the host's automation object.
enum HostDispId : DISPID { kDispFrequency = 2, kDispEntryText = 8, kDispSendCommand = 16 };

}  // namespace setup
