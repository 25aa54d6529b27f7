#pragma once
// The results as the host shows them: tab-separated text, or one HTML page once the host
// has announced that it can show HTML.
#include <string>

#include "results/tally.h"

namespace results {

// One line of our own at the end of both forms.
extern const char kCredit[];

// What the title shows, as prepared by the reset.
struct Heading {
    bool cw = false;
    std::string start;       // "%d.%m"
    std::string end;         // "%d.%m.%Y"
    std::string contestant;  // own call
};

// Appends the plain-text results to `out`.
void AppendText(std::string& out, const Heading& h, const Tally& t);

// Appends the HTML page to `out`. Texts from the host are escaped.
void AppendHtml(std::string& out, const Heading& h, const Tally& t);

// `&`, `<`, `>` and `"` as character references; other bytes unchanged.
std::string HtmlEscape(const std::string& s);

}  // namespace results
