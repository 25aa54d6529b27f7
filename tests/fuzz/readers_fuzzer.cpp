// Fuzzes the scorer's readers: the same input goes to the ADIF reader, the Cabrillo reader
// and the country-file parser, whose entities then resolve calls cut from the input. Beyond
// "no crash, no hang" it checks what every reading must keep.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "country_file.h"
#include "log_readers.h"

namespace {

[[noreturn]] void Broken(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void CheckLog(const tools::ReadLog& log, std::string_view text) {
    int lines = 1;
    for (char c : text)
        lines += c == '\n';
    for (const tools::LoggedQso& q : log.qsos) {
        if (q.time.m_status != COleDateTime::valid) Broken("a QSO without a valid time");
        if (q.call.empty()) Broken("a QSO without a call");
        if (q.line < 1 || q.line > lines) Broken("a QSO outside the text");
    }
    for (const tools::DamagedRecord& d : log.damaged) {
        if (d.line < 1 || d.line > lines) Broken("a damaged record outside the text");
        if (d.reason.empty()) Broken("a damaged record without a reason");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckLog(tools::ReadAdif(text, {}), text);
    CheckLog(tools::ReadAdif(text, {"srx", "comment"}), text);
    CheckLog(tools::ReadCabrillo(text), text);
    try {
        tools::CountryFile file = tools::CountryFile::Parse(text);
        for (size_t at = 0; at < size; at += 7) {
            tools::Resolution r = file.Resolve(text.substr(at, 12));
            if (r.prefixText.size() > 16) Broken("a prefix longer than its call");
        }
    } catch (const tools::CountryFileError&) {
    }
    return 0;
}
