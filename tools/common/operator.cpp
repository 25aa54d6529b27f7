#include "operator.h"

#include <chrono>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace tools {

Operator::Operator(std::FILE* report, bool verbose) : report_(report), verbose_(verbose) {
#if defined(_WIN32)
    thread_ = std::thread([this] { Run(); });
#endif
}

void Operator::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

#if defined(_WIN32)
namespace {

struct Seen {
    std::FILE* report;
    bool verbose;
};

std::string WindowText(HWND hwnd) {
    char buffer[1024] = {0};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

BOOL CALLBACK FindStatic(HWND child, LPARAM lparam) {
    char cls[32] = {0};
    GetClassNameA(child, cls, sizeof cls);
    std::string text = WindowText(child);
    if (lstrcmpiA(cls, "Static") == 0 && !text.empty()) {
        *reinterpret_cast<std::string*>(lparam) = text;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK Answer(HWND hwnd, LPARAM lparam) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[32] = {0};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid != GetCurrentProcessId() || std::string(cls) != "#32770" || !IsWindowVisible(hwnd)) {
        return TRUE;
    }
    const Seen& seen = *reinterpret_cast<Seen*>(lparam);
    std::FILE* report = seen.report;
    std::string caption = WindowText(hwnd);
    if (caption == "SOLSTICE RACE Contest") {
        // The Cabrillo header dialog: accept the answers it shows.
        if (seen.verbose)
            std::fprintf(report, "operator: OK in the dialog \"%s\"\n", caption.c_str());
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    } else if (caption == "Output" || caption == "Error") {
        std::string message;
        EnumChildWindows(hwnd, FindStatic, reinterpret_cast<LPARAM>(&message));
        std::fprintf(report, "message box \"%s\": %s\n", caption.c_str(), message.c_str());
        std::fflush(report);
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    return TRUE;
}

}  // namespace

void Operator::Run() {
    Seen seen{report_, verbose_};
    while (!stop_) {
        EnumWindows(Answer, reinterpret_cast<LPARAM>(&seen));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}
#else
void Operator::Run() {}
#endif

}  // namespace tools
