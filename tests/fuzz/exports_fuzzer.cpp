// Fuzzes the plug-in through its exports: the input is decoded into a sequence of export
// calls with arbitrary texts (null, empty, long, high bytes, separators, line breaks),
// date-times, frequencies and flags. After each call it checks what must always hold.
#include <dirent.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/textfile.h"
#include "base/ui.h"
#include "plugin/exports.h"
#include "plugin/state.h"

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool Done() const { return p_ >= end_; }
    uint8_t Byte() { return p_ < end_ ? *p_++ : 0; }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = v << 8 | Byte();
        return v;
    }
    // A text, or null; short texts mostly come from a vocabulary the rules care about.
    const char* Text(std::vector<std::string>& keep) {
        static const char* const kWords[] = {
            "",     "CW",  "SSB",  "ssb",  "20m",    "40m",  "160m", "10m",   "12m",      "EA",
            "EA6",  "EA8", "EA9",  "EA0",  "SMR",    "HQ",   "M",    " tf ",  "599",      "001",
            "0599", "K",   "JA",   "W5",   "7J1",    "UA",   "DL",   "EA1AB", "EA1A",     "2.19",
            "2.20", "  ",  "\r\n", "A\tB", "QSO:  ", "DUPE", "UBN",  "<CR>",  "a<b>&\"c", "%s%n%d"};
        uint8_t tag = Byte();
        if (tag == 0xff) return nullptr;
        std::string s;
        if (tag < 0xc0) {
            s = kWords[tag % (sizeof kWords / sizeof *kWords)];
        } else {
            size_t n = Byte();
            if (tag == 0xfe) n = n * 64;  // long texts
            for (size_t i = 0; i < n && !Done(); ++i)
                s += static_cast<char>(Byte());
        }
        keep.push_back(s);
        return keep.back().c_str();
    }
    COleDateTime* Date(COleDateTime& storage) {
        uint8_t tag = Byte();
        if (tag == 0xff) return nullptr;
        double base = 46192.5;  // a contest day
        switch (tag % 4) {
            case 0:
                storage.m_dt = base + (Byte() * 60 + Byte()) / 1440.0;
                break;
            case 1:
                storage.m_dt = base + static_cast<int32_t>(U32()) / 86400.0;
                break;
            case 2: {
                uint64_t bits = static_cast<uint64_t>(U32()) << 32 | U32();
                std::memcpy(&storage.m_dt, &bits, sizeof bits);  // NaN, inf, huge
                break;
            }
            default:
                storage.m_dt = -static_cast<double>(Byte());
                break;
        }
        storage.m_status = static_cast<COleDateTime::DateTimeStatus>(Byte() % 4);
        return &storage;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

[[noreturn]] void Broken(const char* what, const std::string& detail = "") {
    std::fprintf(stderr, "invariant broken: %s %s\n", what, detail.c_str());
    std::abort();
}

int LogCount() {
    StateLock lock(State().mutex);
    return State().log.Count();
}

// Totals equal the sums of the band rows; the score is points times multipliers.
void CheckTextResult(const std::string& r) {
    if (r.rfind("    SOLSTICE RACE CONTEST ", 0) != 0) Broken("result title", r.substr(0, 60));
    // The table starts after the last column header: the texts above it come from the host
    // and may hold line breaks and a header of their own.
    size_t table = r.rfind("\n\tQSOs\tPoints\tEADX100\tProv\tiMults");
    if (table == std::string::npos) Broken("no table header", r);
    std::istringstream in(r.substr(table + 1));
    std::string line;
    std::getline(in, line);
    long sum[5] = {0, 0, 0, 0, 0}, total[5] = {0, 0, 0, 0, 0};
    bool found = false;
    while (std::getline(in, line)) {
        long v[5];
        char name[64];
        if (std::sscanf(line.c_str(), "%63[^\t]\t %ld\t %ld\t %ld\t %ld\t %ld", name, &v[0], &v[1],
                        &v[2], &v[3], &v[4]) != 6) {
            break;
        }
        if (std::strcmp(name, "Total") == 0) {
            for (int i = 0; i < 5; ++i)
                total[i] = v[i];
            found = true;
            break;
        }
        for (int i = 0; i < 5; ++i)
            sum[i] += v[i];
    }
    if (!found) Broken("no Total row", r);
    for (int i = 0; i < 5; ++i) {
        if (total[i] != sum[i]) Broken("totals differ from the band rows", r);
    }
    if (sum[2] + sum[3] != sum[4]) Broken("iMults is not EADX100 + Prov", r);
}

void CheckBadQsoFile() {
    std::string name;
    int cw;
    {
        StateLock lock(State().mutex);
        name = State().badQsoFile;
        cw = State().cwTest;
    }
    if (name.empty()) return;
    auto lines = textfile::ReadLines(name);
    if (!lines) return;
    const char* title = cw ? "SOLSTICE-RACE CW TEST UBN file " : "SOLSTICE-RACE SSB TEST UBN file ";
    if (lines->empty() || (*lines)[0] != title) Broken("bad-QSO file lost its title", name);
}

// The working folder lives in memory where the system offers one: the plug-in opens, writes
// and truncates its files at nearly every call, and on a disk file system each truncation
// waits for the disk.
std::filesystem::path WorkingFolderBase() {
    std::error_code ec;
    if (std::filesystem::is_directory("/dev/shm", ec)) return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

// Every input starts from the same files: none but an empty settings folder. The files of
// one input would otherwise steer the next (the settings' start marker, the bad-QSO files of
// other dates), so a crash would not replay from its input alone, and the folder that the
// reset searches would grow all run long.
void ClearWorkingFolder() {
    // readdir and unlink: this runs before every input, and the plug-in leaves only files.
    if (DIR* dir = opendir(".")) {
        while (const dirent* entry = readdir(dir)) {
            const char* name = entry->d_name;
            if (!std::strcmp(name, ".") || !std::strcmp(name, "..") ||
                !std::strcmp(name, "Plugins")) {
                continue;
            }
            if (unlink(name) != 0) {
                std::error_code ec;
                std::filesystem::remove_all(name, ec);
            }
        }
        closedir(dir);
    }
    unlink("Plugins/SOLSTICE-RACE.ini");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A private working folder with the settings folder, as the host's own.
    static std::string dir = (WorkingFolderBase() / "stats-fuzz-XXXXXX").string();
    if (!mkdtemp(dir.data())) std::abort();
    std::filesystem::current_path(dir);
    // Gone when the run ends; a crash leaves it for a look at the plug-in's files.
    std::atexit([] {
        std::error_code ec;
        std::filesystem::current_path("/", ec);
        std::filesystem::remove_all(dir, ec);
    });
    std::filesystem::create_directory("Plugins");
    ui::SetMessageListener([](const ui::SinkMessage&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ClearWorkingFolder();
    State().Clear();
    Input in(data, size);
    // The texts of one call; room for all of them, so that no pointer handed out moves.
    std::vector<std::string> keep;
    keep.reserve(32);
    int calls = 0;
    while (!in.Done() && calls++ < 64) {
        keep.clear();
        int before = LogCount();
        COleDateTime d1, d2;
        switch (in.Byte() % 8) {
            case 0: {
                const char* folder = in.Text(keep);
                int exportFlag = in.Byte() % 3 == 0;
                const char* own = in.Text(keep);
                COleDateTime* start = in.Date(d1);
                COleDateTime* end = in.Date(d2);
                const char* prefix = in.Text(keep);
                int r = ResetStats0(folder, exportFlag, own, start, end, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, prefix, 0,
                                    0, 0, 0, 0, nullptr, in.Text(keep), nullptr);
                if (r != 1 || LogCount() != 0) Broken("reset");
                break;
            }
            case 1:
            case 2:
            case 3: {
                bool add = (calls % 3) != 0;  // two additions to a removal
                const char* own = in.Text(keep);
                const char* call = in.Text(keep);
                COleDateTime* time = in.Date(d1);
                unsigned freq = in.U32();
                const char* mode = in.Text(keep);
                const char* rs = in.Text(keep);
                const char* rr = in.Text(keep);
                const char* es = in.Text(keep);
                const char* er = in.Text(keep);
                const char* pt = in.Text(keep);
                const char* pf = in.Text(keep);
                const char* band = in.Text(keep);
                auto f = add ? AddData0 : RemoveData0;
                int r = f(own, call, time, nullptr, nullptr, nullptr, 0, freq, mode, rs, rr, es, er,
                          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          pt, pf, 0, 0, 0, 0, 0, nullptr, in.Text(keep), nullptr, band, nullptr);
                int after = LogCount();
                if (add && after != before + (r == 1 ? 1 : 0)) Broken("log count after AddData0");
                if (add && r != 0 && r != 1) Broken("AddData0 result");
                if (!add && (r != 1 || (after != before && after != before - 1))) {
                    Broken("log count after RemoveData0");
                }
                CheckBadQsoFile();
                break;
            }
            case 4: {
                const char* call = in.Text(keep);
                const char* mode = in.Text(keep);
                const char* pt = in.Text(keep);
                const char* pf = in.Text(keep);
                const char* band = in.Text(keep);
                const char* band2 = in.Text(keep);
                char o1[8] = "keep", o2[8] = "keep";
                int r = CheckCall0(call, 0, 0, mode, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, pt, pf, 0, 0, 0, 0, 0, nullptr,
                                   nullptr, nullptr, nullptr, nullptr, band, band2, o1, o2);
                if (r != 0 && r != 1 && r != 2 && r != 4) Broken("CheckCall0 result");
                if (std::strcmp(o1, "keep") || std::strcmp(o2, "keep")) Broken("out buffers");
                if (LogCount() != before) Broken("CheckCall0 changed the log");
                break;
            }
            case 5: {
                const char* ex = in.Text(keep);
                int r = IsValidExchg0(ex, nullptr, in.Text(keep), nullptr, 0, 0, 0);
                if (r != 0 && r != 1) Broken("IsValidExchg0 result");
                break;
            }
            case 6: {
                int out = 5;
                bool html;
                {
                    StateLock lock(State().mutex);
                    html = State().html;
                }
                bool withOut = in.Byte() % 4 != 0;
                const char* r = GetResult0(withOut ? &out : nullptr);
                if (r == nullptr) Broken("null result");
                if (withOut && out != -1) Broken("out is not -1");
                if (LogCount() != before) Broken("GetResult0 changed the log");
                std::string text(r);
                if (html) {
                    if (text.rfind("<html>", 0) != 0 || text.find("</html>") == std::string::npos)
                        Broken("HTML result not a page");
                } else {
                    CheckTextResult(text);
                }
                break;
            }
            default:
                setVersion(in.Text(keep));
                break;
        }
    }
    // Frees what the input built, so that an input leaves as many blocks as it found and
    // libFuzzer looks for leaks only where there are some.
    State().Clear();
    ui::TakeMessages();
    return 0;
}
