#pragma once
// The plug-in's side of the host's automation object, as the Setup window and the refresh
// handler use it. The Windows build talks COM on the setup thread; tests use fakes.
#include <stdexcept>
#include <string>

namespace setup {

// Command texts the host understands.
constexpr const char* kModeCw = "<MODE:CW>";
constexpr const char* kBaudRate = "<BAUDRATE:27>";
constexpr const char* kModeSsb = "<MODE:SSB>";
constexpr const char* kSp1 = "<SP1>";
// The host's entry field that holds the call being typed.
constexpr int kCallEntryField = 5;

// A call through the link failed: the handler that made it stops at that point.
class HostCallFailed : public std::runtime_error {
public:
    HostCallFailed() : std::runtime_error("host call failed") {}
};

class HostLink {
public:
    virtual ~HostLink() = default;
    // Whether a running host was found at the last connect.
    virtual bool Connected() const = 0;
    // The host's frequency in hertz. Throws HostCallFailed.
    virtual double GetFrequency() = 0;
    // The text of one entry field; empty when the host answers with anything but a string.
    // Throws HostCallFailed.
    virtual std::string GetEntryText(int field) = 0;
    // Does nothing without a connection. Throws HostCallFailed.
    virtual void SendCommand(const std::string& command) = 0;
};

}  // namespace setup
