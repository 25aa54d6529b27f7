// Fuzzes the robot's upload path: each input is an uploaded log, read, scored by an engine
// instance and judged as the receipt page would show it. Beyond "no crash, no hang" it
// checks what every receipt must keep.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "robot.h"
#include "tool_io.h"
#include "validate.h"

namespace {

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

const tools::CountryFile& Countries() {
    static const tools::CountryFile file = [] {
        std::string text;
        if (!tools::ReadWholeFile(tools::DefaultCountryFile(), text))
            Broken("the country file (hamradio-files) cannot be read");
        return tools::CountryFile::Parse(text);
    }();
    return file;
}

bool Escaped(const std::string& html) {
    return html.find_first_of("<>\"'") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    int lines = 1;
    for (char c : text)
        lines += c == '\n';
    const robot::Receipt r = robot::Validate(text, Countries(), {});
    if (r.accepted && (!robot::CallShaped(r.call) || r.qsoLines <= 0))
        Broken("an accepted log without a call or a QSO line");
    bool reason = false;
    for (const robot::Problem& p : r.problems) {
        reason = reason || p.refuses;
        if (p.line < 0 || p.line > lines) Broken("a problem outside the text");
        if (p.text.empty()) Broken("a problem without a text");
        if (!Escaped(robot::Html(p.text))) Broken("a problem's text not escaped");
    }
    if (reason == r.accepted)
        Broken("a refusal without its reason, or a reason in an accepted log");
    if (!Escaped(robot::Html(r.call)) || !Escaped(robot::Html(r.category)) ||
        !Escaped(robot::Html(r.logClaimed)) || !Escaped(robot::Html(text)))
        Broken("a text of the log not escaped");
    return 0;
}
