#include "engine/bad_qso.h"

#include "base/text.h"
#include "base/textfile.h"

namespace badqso {

namespace {
constexpr const char* kSeparator = "  ";
}

std::string FileName(const COleDateTime& contestEnd) {
    return text::Format("BadQSO_StatsSOLSTICE-RACE_%s.txt", contestEnd.Format("%d_%m_%Y").c_str());
}

std::string Title(int cwTest) {
    return cwTest ? "SOLSTICE-RACE CW TEST UBN file " : "SOLSTICE-RACE SSB TEST UBN file ";
}

std::string Line(const engine::QsoArgs& q, const std::string& timeText, const char* message) {
    std::string line = "QSO:  ";
    line += std::to_string(q.freqHz / 1000);
    for (const std::string* field : {&q.mode, &timeText, &q.ownCall, &q.rstSent, &q.exchSent,
                                     &q.call, &q.rstRcvd, &q.exchRcvd}) {
        line += kSeparator;
        line += *field;
    }
    line += message;
    return line;
}

bool BelongsTo(const std::string& line, const std::string& call, const std::string& timeKey) {
    // The worked call is never the last field, so it always has a separator on both sides;
    // a longer call that merely contains the removed one does not match.
    std::string field(kSeparator);
    field += call;
    field += kSeparator;
    return line.find(field) != std::string::npos && line.find(timeKey) != std::string::npos;
}

std::string TimeKey(const COleDateTime& time) {
    std::string key(1, ' ');
    key += time.Format("%H%M");
    key += ' ';
    return key;
}

void Start(engine::Contest& s, const std::string& content) {
    if (s.files.badQsoFile)
        textfile::Write(s.badQsoFile, content);
    else
        s.badQsoText = content;
}

void Append(engine::Contest& s, const std::string& lines) {
    if (!s.files.badQsoFile) {
        s.badQsoText += lines;
        return;
    }
    std::string text = lines;
    if (!s.badQsoFile.empty() && !textfile::Exists(s.badQsoFile))
        text = Title(s.cwTest) + kLineEnd + text;
    textfile::Append(s.badQsoFile, text);
}

}  // namespace badqso

std::string engine::BadQsoFileName(const COleDateTime& contestEnd) {
    return badqso::FileName(contestEnd);
}
