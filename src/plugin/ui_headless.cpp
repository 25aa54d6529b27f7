#include <cstdio>
#include <deque>
#include <mutex>

#include "base/ui.h"

namespace ui {

namespace {
struct Sink {
    std::mutex mutex;
    std::deque<SinkMessage> messages;
    std::function<void(const SinkMessage&)> listener;
};
Sink& TheSink() {
    static Sink sink;
    return sink;
}
}  // namespace

void MessageBox(const std::string& text, const char* caption, unsigned style, Owner) {
    Sink& sink = TheSink();
    SinkMessage message{text, caption ? caption : "", style};
    std::function<void(const SinkMessage&)> listener;
    {
        std::lock_guard<std::mutex> guard(sink.mutex);
        if (sink.messages.size() == kSinkCapacity) sink.messages.pop_front();
        sink.messages.push_back(message);
        listener = sink.listener;
    }
    if (listener) {
        listener(message);
    } else {
        // Nobody in this process reads the sink (a tool that loaded the library): the
        // operator still gets to see what a window would have shown.
        std::fprintf(stderr, "message box \"%s\": %s\n", message.caption.c_str(),
                     message.text.c_str());
    }
}

std::vector<SinkMessage> TakeMessages() {
    Sink& sink = TheSink();
    std::lock_guard<std::mutex> guard(sink.mutex);
    std::vector<SinkMessage> out(sink.messages.begin(), sink.messages.end());
    sink.messages.clear();
    return out;
}

void SetMessageListener(std::function<void(const SinkMessage&)> listener) {
    Sink& sink = TheSink();
    std::lock_guard<std::mutex> guard(sink.mutex);
    sink.listener = std::move(listener);
}

}  // namespace ui
