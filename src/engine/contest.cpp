#include "engine/contest.h"

#include <utility>

#include "base/textfile.h"
#include "engine/engine.h"
#include "settings/settings.h"

namespace engine {

int Contest::Reset(const ResetArgs& args) {
    StateLock lock(mutex);
    return ResetStats(*this, args, lock);
}

int Contest::Add(const QsoArgs& args, Refusal* why) {
    StateLock lock(mutex);
    return AddData(*this, args, why);
}

int Contest::Remove(const QsoArgs& args) {
    StateLock lock(mutex);
    return RemoveData(*this, args);
}

int Contest::CheckCall(const CheckCallArgs& args) {
    StateLock lock(mutex);
    return engine::CheckCall(*this, args);
}

int Contest::IsValidExchg(const std::string& exchange, const std::string& prefix) {
    return engine::IsValidExchg(exchange, prefix);
}

void Contest::AnswerInHtml() {
    StateLock lock(mutex);
    html = 1;
}

void Contest::SetMode(bool cw) {
    StateLock lock(mutex);
    cwTest = cw ? 1 : 0;
}

void Contest::Clear() {
    // Swapped rather than assigned: an assignment would keep the old texts' heap blocks for
    // the new empty ones, and a fuzzer's leak check counts those as still taken.
    ContestData fresh;
    StateLock lock(mutex);
    std::swap(static_cast<ContestData&>(*this), fresh);
    refreshAllowed = 1;
}

std::optional<std::vector<std::string>> Contest::BadQsoLines() const {
    if (files.badQsoFile) return textfile::ReadLines(badQsoFile);
    return textfile::SplitLines(badQsoText);
}

int ReadIntSetting(const Contest& contest, const char* key) {
    return contest.files.settings ? settings::ReadIntKey(key) : 0;
}

std::string ReadTextSetting(const Contest& contest, const char* key) {
    return contest.files.settings ? settings::ReadText(key) : std::string();
}

void WriteSetting(const Contest& contest, const char* key, const std::string& value) {
    // Lost silently when the file cannot be written, as the profile functions do.
    if (contest.files.settings) settings::WriteKey(key, value);
}

}  // namespace engine
