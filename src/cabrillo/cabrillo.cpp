#include "cabrillo/cabrillo.h"

#include <array>

#include "base/text.h"
#include "cabrillo/header_dialog.h"
#include "engine/engine.h"

namespace cabrillo {

namespace {

// Characters that Windows refuses in a file name, or that would lead out of the current
// folder; the control characters are checked separately.
constexpr std::string_view kForbidden = "/\\:*?\"<>|";

// Device names that Windows opens instead of a file, with any extension.
bool IsDeviceName(const std::string& name) {
    std::string stem = text::Upper(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    static const std::array<const char*, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : kPlain) {
        if (stem == device) return true;
    }
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

HeaderDialogValues ToDialog(const HeaderStore& s) {
    HeaderDialogValues v;
    v.contest = s.contest;
    v.callsign = s.callsign;
    v.claimed = s.claimed;
    v.categoryOperator = s.categoryOperator;
    v.categoryBand = s.categoryBand;
    v.categoryMode = s.categoryMode;
    v.categoryPower = s.categoryPower;
    v.categoryAssisted = s.categoryAssisted;
    v.categoryTransmitter = s.categoryTransmitter;
    v.name = s.name;
    v.address = s.address;
    v.addressCity = s.addressCity;
    v.addressPostalCode = s.addressPostalCode;
    v.addressCountry = s.addressCountry;
    v.operators = s.operators;
    v.club = s.club;
    v.soapbox = s.soapbox;
    v.email = s.email;
    return v;
}

// The claimed score and the category mode are not taken: the log carries the computed
// score and the mode of the log itself.
void FromDialog(const HeaderDialogValues& v, HeaderStore& s) {
    s.contest = v.contest;
    s.callsign = v.callsign;
    s.categoryOperator = v.categoryOperator;
    s.categoryBand = v.categoryBand;
    s.categoryPower = v.categoryPower;
    s.categoryAssisted = v.categoryAssisted;
    s.categoryTransmitter = v.categoryTransmitter;
    s.name = v.name;
    s.address = v.address;
    s.addressCity = v.addressCity;
    s.addressPostalCode = v.addressPostalCode;
    s.addressCountry = v.addressCountry;
    s.operators = v.operators;
    s.club = v.club;
    s.soapbox = v.soapbox;
    s.email = v.email;
}

}  // namespace

std::string BaseName(const std::string& ownCall) {
    std::string name = text::ReplaceAll(text::ReplaceAll(ownCall, "/", "_"), "\\", "_");
    name = text::Trim(name);
    for (char& c : name) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || kForbidden.find(c) != std::string_view::npos) c = '_';
    }
    if (name.empty()) return "ANON";
    if (IsDeviceName(name)) name += '_';
    return name;
}

std::string EscapeSoapbox(const std::string& typed) {
    return text::ReplaceAll(text::ReplaceAll(typed, "\r", "<CR>"), "\n", "<LF>");
}

std::string UnescapeSoapbox(const std::string& stored) {
    return text::ReplaceAll(text::ReplaceAll(stored, "<CR>", "\r"), "<LF>", "\n");
}

std::string SoapboxLogForm(const std::string& escaped) {
    return text::ReplaceAll(text::ReplaceAll(escaped, "<CR>", "\r\nSOAPBOX: "), "<LF>", "");
}

int PrepareExport(engine::Contest& state, const std::string& ownCall, const COleDateTime& start,
                  const COleDateTime& end, StateLock& lock) {
    HeaderStore& store = state.header;
    auto read = [&state](const char* key) { return engine::ReadTextSetting(state, key); };
    auto write = [&state](const char* key, const std::string& value) {
        engine::WriteSetting(state, key, value);
    };
    store.callsign = ownCall;
    store.start = start;
    store.end = end;
    // Fixed here: editing the callsign in the dialog does not rename the file.
    store.baseName = BaseName(ownCall);

    store.operators = read("Operators");
    if (store.operators.empty()) store.operators = ownCall;
    store.name = read("Name");
    store.address = read("Address");
    store.claimed = read("Claimed");
    if (state.files.settings) state.cwTest = engine::ReadIntSetting(state, "CW");

    store.contest = "SOLSTICE RACE Contest";
    store.categoryOperator = "SINGLE-OP";
    store.categoryBand = "ALL";
    store.categoryMode = state.cwTest ? "CW" : "SSB";
    store.categoryAssisted = "NON-ASSISTED";
    store.categoryTransmitter = "ONE";

    store.email = read("Email");
    store.club = read("Club");
    store.soapbox = UnescapeSoapbox(read("SoapBox"));

    HeaderDialogValues values = ToDialog(store);
    const auto dialog = state.headerDialog;
    lock.unlock();
    bool ok = dialog && dialog(values);
    lock.lock();

    if (!ok) {
        state.exportFlag = 0;
        return 0;
    }
    FromDialog(values, store);
    std::string escaped = EscapeSoapbox(store.soapbox);
    // Lost silently when the settings file cannot be written: the export goes on.
    write("Operators", store.operators);
    write("Name", store.name);
    write("Email", store.email);
    write("Address", store.address);
    write("Category", store.categoryOperator);
    write("Contest", store.contest);
    write("Club", store.club);
    write("SoapBox", escaped);
    store.soapbox = SoapboxLogForm(escaped);
    store.qsoLines.clear();
    return 1;
}

}  // namespace cabrillo
