#pragma once
// The few places where the plug-in shows something to the operator. Windows builds show
// real message boxes; the native build sends them to a message sink that tests read and
// tools print; that sink is the plug-in's (src/plugin/ui_headless.cpp). Never call these while
// holding an instance's lock: they block.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace ui {

enum class Owner {
    MainWindow,    // the calling thread's main window, else none
    ActiveWindow,  // the window active on the calling thread, else none
};

constexpr unsigned kIconInformation = 0x40;  // MB_ICONINFORMATION

// Shows a modal message box with an OK button. A null caption means the default caption.
void MessageBox(const std::string& text, const char* caption, unsigned style, Owner owner);

// Headless sink: what the native build "showed".
struct SinkMessage {
    std::string text;
    std::string caption;
    unsigned style = 0;
};
// The sink keeps the newest kSinkCapacity messages, so that a long replay does not grow it.
constexpr size_t kSinkCapacity = 64;
std::vector<SinkMessage> TakeMessages();
// Called for every message as it arrives. Without a listener each message is also printed
// on standard error, for tools that load the library and cannot reach the sink.
void SetMessageListener(std::function<void(const SinkMessage&)> listener);

}  // namespace ui
