#include <mutex>

#include "cabrillo/header_dialog.h"

namespace cabrillo {

namespace {
struct AnswerSlot {
    std::mutex mutex;
    HeaderDialogAnswer answer;
};
AnswerSlot& Slot() {
    static AnswerSlot slot;
    return slot;
}
}  // namespace

bool ShowHeaderDialog(HeaderDialogValues& values) {
    HeaderDialogAnswer answer;
    {
        std::lock_guard<std::mutex> guard(Slot().mutex);
        answer = Slot().answer;
    }
    return answer ? answer(values) : true;
}

void SetHeaderDialogAnswer(HeaderDialogAnswer answer) {
    std::lock_guard<std::mutex> guard(Slot().mutex);
    Slot().answer = std::move(answer);
}

}  // namespace cabrillo
