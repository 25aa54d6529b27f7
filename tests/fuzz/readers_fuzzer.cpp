// Fuzzes the scorer's readers: the same input goes to the decoding of any encoding, the ADIF
// reader, the Cabrillo reader and the country-file parser, whose entities then resolve calls cut
// from the input. Beyond "no crash, no hang" it checks what every reading must keep.
#include <algorithm>
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

// Decoded text is well-formed UTF-8 without a mark, and every line break of the bytes is a
// line break of the text.
void CheckDecoded(const tools::DecodedText& d, std::string_view bytes) {
    std::string_view text = d.text;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") Broken("a byte-order mark left in the text");
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        size_t n = c < 0x80                ? 0
                   : c >= 0xC2 && c < 0xE0 ? 1
                   : c >= 0xE0 && c < 0xF0 ? 2
                   : c >= 0xF0 && c < 0xF5 ? 3
                                           : 9;
        if (n > 3 || i + n >= text.size()) Broken("decoded text that is no UTF-8");
        for (size_t k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                Broken("decoded text that is no UTF-8");
        i += n;
    }
    if (d.encoding.rfind("UTF-16", 0) != 0 &&
        std::count(text.begin(), text.end(), '\n') != std::count(bytes.begin(), bytes.end(), '\n'))
        Broken("line breaks lost or made in decoding");
    for (const tools::EncodingProblem& p : d.problems)
        if (p.reason.empty() || p.line < 1) Broken("an encoding problem without its line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckLog(tools::ReadAdif(text, {}), text);
    CheckLog(tools::ReadAdif(text, {"srx", "comment"}), text);
    CheckLog(tools::ReadCabrillo(text), text);
    tools::DecodedText decoded = tools::DecodeLogText(text);
    CheckDecoded(decoded, text);
    CheckLog(tools::ReadAnyLog(text, {}, true), decoded.text);
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
