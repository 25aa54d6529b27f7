#include "log_encoding.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace tools {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed UTF-8 character at `i` (no overlong forms, no surrogates,
// nothing beyond U+10FFFF); 0 for bytes that are none.
size_t Utf8Length(std::string_view s, size_t i) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    if (c < 0x80) return 1;
    size_t n = c >= 0xC2 && c <= 0xDF   ? 2
               : c >= 0xE0 && c <= 0xEF ? 3
               : c >= 0xF0 && c <= 0xF4 ? 4
                                        : 0;
    if (n == 0 || i + n > s.size()) return 0;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
    if (b(i + 1) < low || b(i + 1) > high) return 0;
    for (size_t k = 2; k < n; ++k)
        if ((b(i + k) & 0xC0) != 0x80) return 0;
    return n;
}

// The first byte from `i` that does not start a well-formed character; npos for none.
size_t FirstInvalidUtf8(std::string_view s, size_t i) {
    while (i < s.size()) {
        // Eight ASCII bytes at a time: logs are nearly all ASCII.
        if (i + 8 <= s.size()) {
            std::uint64_t word;
            std::memcpy(&word, s.data() + i, 8);
            if ((word & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        size_t n = Utf8Length(s, i);
        if (n == 0) return i;
        i += n;
    }
    return std::string_view::npos;
}

bool HasUtf8Mark(std::string_view b) {
    return b.substr(0, 3) == "\xEF\xBB\xBF";
}

// A UTF-16 text without a mark still starts with an ASCII character of the log's frame.
bool IsAscii(unsigned char c) {
    return c != 0 && c < 0x80;
}

int Utf16Order(std::string_view b) {  // 1 little-endian, 2 big-endian, 0 neither
    if (b.size() < 2) return 0;
    auto c0 = static_cast<unsigned char>(b[0]), c1 = static_cast<unsigned char>(b[1]);
    if ((c0 == 0xFF && c1 == 0xFE) || (IsAscii(c0) && c1 == 0)) return 1;
    if ((c0 == 0xFE && c1 == 0xFF) || (c0 == 0 && IsAscii(c1))) return 2;
    return 0;
}

void DecodeUtf16(std::string_view b, bool littleEndian, DecodedText& out) {
    out.encoding = littleEndian ? "UTF-16LE" : "UTF-16BE";
    out.countsCharacters = true;
    auto c0 = static_cast<unsigned char>(b[0]), c1 = static_cast<unsigned char>(b[1]);
    size_t at = (c0 == 0xFF && c1 == 0xFE) || (c0 == 0xFE && c1 == 0xFF) ? 2 : 0;
    size_t units = (b.size() - at) / 2;
    out.text.reserve(units + units / 8);
    auto unit = [&](size_t k) -> char32_t {
        auto x = static_cast<unsigned char>(b[at + 2 * k]);
        auto y = static_cast<unsigned char>(b[at + 2 * k + 1]);
        return littleEndian ? x | (y << 8) : (x << 8) | y;
    };
    int line = 1, firstLone = 0;
    size_t lone = 0;
    char32_t firstLoneUnit = 0;
    for (size_t k = 0; k < units; ++k) {
        char32_t c = unit(k);
        if (c == '\n') ++line;
        if (c >= 0xD800 && c <= 0xDFFF) {
            char32_t next = k + 1 < units ? unit(k + 1) : 0;
            if (c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
                ++k;
            } else {
                if (lone++ == 0) {
                    firstLone = line;
                    firstLoneUnit = c;
                }
                c = kReplacement;
            }
        }
        AppendUtf8(out.text, c);
    }
    if (lone) {
        char unitText[8];
        std::snprintf(unitText, sizeof unitText, "%04X", static_cast<unsigned>(firstLoneUnit));
        out.problems.push_back(
            {firstLone, out.encoding + ": a lone surrogate (0x" + unitText +
                            ") is no character; replaced by U+FFFD" +
                            (lone > 1 ? " (" + std::to_string(lone) + " in all)" : "")});
    }
    if ((b.size() - at) % 2) {
        out.problems.push_back({line, out.encoding + ": an odd number of bytes (" +
                                          std::to_string(b.size()) +
                                          "); the last byte is left out"});
    }
}

void DecodeUtf8WithMark(std::string_view b, DecodedText& out) {
    out.encoding = "UTF-8 with BOM";
    b.remove_prefix(3);
    size_t bad = FirstInvalidUtf8(b, 0);
    if (bad == std::string_view::npos) {
        out.text.assign(b);
        return;
    }
    // The mark says UTF-8: bytes that are none are damage, not another code page.
    out.text.reserve(b.size());
    size_t count = 0;
    int line = 0;
    for (size_t i = 0; i < b.size();) {
        size_t n = Utf8Length(b, i);
        if (n == 0) {
            if (count++ == 0)
                line = 1 + static_cast<int>(std::count(out.text.begin(), out.text.end(), '\n'));
            AppendUtf8(out.text, kReplacement);
            ++i;
        } else {
            out.text.append(b.substr(i, n));
            i += n;
        }
    }
    out.problems.push_back({line, "UTF-8: " + std::to_string(count) +
                                      (count == 1 ? " byte that is" : " bytes that are") +
                                      " no UTF-8, replaced by U+FFFD"});
}

// Windows code pages from 0x80 on; bytes a page leaves undefined stand for the control
// character of the same number, as Windows maps them.
const char16_t kCp1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                              0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
const char16_t kCp1251[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
    0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
    0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
    0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

// A letter of cp1251: А to я (0xC0 on) and Ё ё Є є І і Ї ї Ґ ґ Ў ў.
bool IsCp1251Letter(unsigned char c) {
    if (c >= 0xC0) return true;
    switch (c) {
        case 0xA8:
        case 0xB8:
        case 0xAA:
        case 0xBA:
        case 0xB2:
        case 0xB3:
        case 0xAF:
        case 0xBF:
        case 0xA5:
        case 0xB4:
        case 0xA1:
        case 0xA2:
            return true;
        default:
            return false;
    }
}

// Which page: a Cyrillic word is all high bytes, while an accented Latin letter of cp1252
// stands among ASCII letters ("Müller", at most two together as in "Gößweinstein"). So the
// text is cp1251 when at least half of its bytes from 0xC0 on stand in runs of three or more
// cp1251 letters, else cp1252.
bool LooksCyrillic(std::string_view b) {
    size_t high = 0, inWords = 0, run = 0, runHigh = 0;
    auto endRun = [&] {
        if (run >= 3) inWords += runHigh;
        run = runHigh = 0;
    };
    for (char ch : b) {
        auto c = static_cast<unsigned char>(ch);
        if (c >= 0xC0) ++high;
        if (IsCp1251Letter(c)) {
            ++run;
            runHigh += c >= 0xC0;
        } else {
            endRun();
        }
    }
    endRun();
    return high > 0 && 2 * inWords >= high;
}

void DecodeCodePage(std::string_view b, DecodedText& out) {
    bool cyrillic = LooksCyrillic(b);
    out.encoding = cyrillic ? "cp1251" : "cp1252";
    out.countsCharacters = true;
    out.text.reserve(b.size() + b.size() / 8);
    for (char ch : b) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.text += ch;
        } else if (cyrillic) {
            AppendUtf8(out.text, c >= 0xC0 ? 0x0410 + (c - 0xC0) : kCp1251[c - 0x80]);
        } else {
            AppendUtf8(out.text, c >= 0xA0 ? c : kCp1252[c - 0x80]);
        }
    }
}

}  // namespace

bool IsPlainUtf8(std::string_view bytes) {
    return !HasUtf8Mark(bytes) && Utf16Order(bytes) == 0 &&
           FirstInvalidUtf8(bytes, 0) == std::string_view::npos;
}

DecodedText DecodeLogText(std::string_view bytes) {
    DecodedText out;
    if (HasUtf8Mark(bytes)) {
        DecodeUtf8WithMark(bytes, out);
    } else if (int order = Utf16Order(bytes)) {
        DecodeUtf16(bytes, order == 1, out);
    } else if (FirstInvalidUtf8(bytes, 0) == std::string_view::npos) {
        out.encoding = "UTF-8";
        out.text.assign(bytes);
    } else {
        DecodeCodePage(bytes, out);
    }
    // Files joined by tools that each wrote a mark: the marks after the first are no text.
    size_t marks = 0;
    while (out.text.compare(marks, 3, "\xEF\xBB\xBF") == 0)
        marks += 3;
    out.text.erase(0, marks);
    return out;
}

size_t AdvanceCharacters(std::string_view utf8, size_t at, size_t count) {
    for (; count > 0; --count) {
        if (at >= utf8.size()) return std::string_view::npos;
        ++at;
        while (at < utf8.size() && (static_cast<unsigned char>(utf8[at]) & 0xC0) == 0x80)
            ++at;
    }
    return at;
}

}  // namespace tools
