#include "plugin/state.h"

#include "base/ui.h"

void ShowCompletionMessage(const std::string& message) {
    ui::MessageBox(message, "Output", ui::kIconInformation, ui::Owner::ActiveWindow);
}

namespace {
struct PluginContest : engine::Contest {
    PluginContest() : Contest(engine::Files::All()) { completionMessage = ShowCompletionMessage; }
};
}  // namespace

engine::Contest& State() {
    static PluginContest contest;
    return contest;
}
