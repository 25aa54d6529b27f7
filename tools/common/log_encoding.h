#pragma once
// The bytes of a log file as UTF-8 text, whatever the logger wrote: UTF-8 with or without a
// byte-order mark, UTF-16 (LE or BE, with a mark, or starting with an ASCII character), or a
// Windows code page when the bytes are no UTF-8 (cp1252, or cp1251 for Cyrillic text).
// Line breaks stay where they were, so line numbers are those of the file.
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// Bytes that could not be decoded: replaced by U+FFFD or left out, and said.
struct EncodingProblem {
    int line = 0;  // of the decoded text, where it was first met
    std::string reason;
};

struct DecodedText {
    std::string text;      // UTF-8, without a byte-order mark
    std::string encoding;  // "UTF-8", "UTF-8 with BOM", "UTF-16LE", "UTF-16BE", "cp1251", "cp1252"
    // Counts of characters the writer made (ADIF lengths) are counts of characters of `text`
    // rather than of its UTF-8 bytes: true for every encoding but UTF-8.
    bool countsCharacters = false;
    std::vector<EncodingProblem> problems;
};

// Copies valid UTF-8 without a mark once and does nothing else to it.
DecodedText DecodeLogText(std::string_view bytes);

// True when DecodeLogText would return the bytes as they are.
bool IsPlainUtf8(std::string_view bytes);

// The start of the character `count` characters after `at` in UTF-8 text; npos when the text
// ends before.
size_t AdvanceCharacters(std::string_view utf8, size_t at, size_t count);

}  // namespace tools
