// Unloading the plug-in in every state of its Setup window, with windows that close at once
// and with windows that Wine takes two seconds each to hide (managed by an absent window
// manager). Each unload runs in a child process of this program, so that a crash or a hang
// after FreeLibrary fails one case instead of the whole run; the child checks what a host
// would see, the parent runs it under a watchdog.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "fake_host.h"
#include "find_window.h"
#include "host_exports.h"

namespace {

enum Scene { kIdle, kRefreshWaitsOnHost, kDisplaysByClick, kDisplaysBySetting, kBandChange };
const char* const kSceneNames[] = {"idle", "refresh waiting on the host", "displays by click",
                                   "displays by setting", "right after a band change"};
constexpr int kSceneCount = 5;
constexpr DWORD kUnloadBoundMs = 2000;
// Longer than Wine's wait for a hidden window: a setup thread left running would be back in
// our (unmapped) code by then.
constexpr DWORD kAliveMs = 2500;

// Top-level windows of this process that this thread does not own: the plug-in's.
int ForeignWindows() {
    int count = 0;
    EnumWindows(
        [](HWND w, LPARAM lp) -> BOOL {
            DWORD process = 0;
            DWORD thread = GetWindowThreadProcessId(w, &process);
            if (process == GetCurrentProcessId() && thread != GetCurrentThreadId())
                ++*reinterpret_cast<int*>(lp);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// The child: brings the Setup window into `scene`, unloads, and prints what it saw. Exit
// code 0 when the unload returned in time, left no window and the process lived on.
int RunScene(int scene, DWORD settleMs) {
    SetErrorMode(SEM_NOGPFAULTERRORBOX);  // a crash ends the child instead of starting a debugger
    CoInitialize(nullptr);
    TempCurrentFolder folder;
    CreateDirectoryA("Plugins", nullptr);
    const bool bySetting = scene == kDisplaysBySetting || scene == kBandChange;
    WritePrivateProfileStringA("Settings", "EADX100", bySetting ? "1" : "0",
                               ".\\Plugins\\SOLSTICE-RACE.ini");
    WritePrivateProfileStringA("Settings", "EA_Province", bySetting ? "1" : "0",
                               ".\\Plugins\\SOLSTICE-RACE.ini");
    FakeHostObject host;
    if (!host.Register()) return 10;
    auto dll = std::make_unique<HostExports>();
    if (!dll->Loaded()) return 11;
    dll->ResetStats(folder.path + "\\", 0, "EA1XX", COleDateTime::FromFields(2017, 5, 6, 12, 0),
                    COleDateTime::FromFields(2017, 5, 7, 12, 0), "EA");
    HWND setup = nullptr;
    if (!PumpUntil([&] { return (setup = FindTop(L"#32770", L"Setup SOLSTICE-RACE-2017")); }))
        return 12;
    if (!PumpUntil([&] { return !host.fieldsAsked.empty() && IsWindowVisible(setup); }, 10000))
        return 13;
    PumpFor(settleMs);  // until the window shows, however long Wine takes to map it
    HANDLE setupThread = OpenThread(SYNCHRONIZE | THREAD_QUERY_LIMITED_INFORMATION, FALSE,
                                    GetWindowThreadProcessId(setup, nullptr));
    switch (scene) {
        case kIdle:
            break;
        case kRefreshWaitsOnHost:
            // The refresh asks this thread for the typed call; nobody answers until the unload.
            dll->CheckCall("EA3XYZ", "CW", "EA3", "EA", "20m");
            Sleep(300);
            break;
        case kDisplaysByClick:
            PostMessageW(GetDlgItem(setup, 1018), BM_CLICK, 0, 0);
            PostMessageW(GetDlgItem(setup, 1020), BM_CLICK, 0, 0);
            [[fallthrough]];
        case kDisplaysBySetting:
            if (!PumpUntil([] { return FindEadx() && FindGrid(); }, 10000)) return 14;
            PumpFor(2 * settleMs);
            break;
        case kBandChange: {
            if (!PumpUntil([] { return FindEadx() && FindGrid(); }, 10000)) return 14;
            PumpFor(2 * settleMs);
            dll->AddData(HostExports::SpanishQso("40m"));
            dll->GetResult();
            host.frequency = 7012000;
            size_t asked = host.fieldsAsked.size();
            dll->CheckCall("EA3XY", "CW", "EA3", "EA", "40m");
            // Unload as soon as the refresh has the host's answers: it is redrawing the grid.
            if (!PumpUntil([&] { return host.fieldsAsked.size() > asked; })) return 15;
            break;
        }
        default:
            return 16;
    }
    const ULONGLONG start = GetTickCount64();
    dll.reset();
    const ULONGLONG took = GetTickCount64() - start;
    int failures = 0;
    auto check = [&](bool ok, const char* what) {
        if (!ok) std::printf("  %s: %s\n", kSceneNames[scene], what);
        failures += !ok;
    };
    check(took < kUnloadBoundMs, "FreeLibrary took too long");
    check(GetModuleHandleA("Stats.dll") == nullptr, "Stats.dll is still mapped");
    check(ForeignWindows() == 0, "a window of the plug-in is left");
    // The setup thread has either parked itself in the system for good or been ended.
    DWORD ended = STILL_ACTIVE;
    check(setupThread && GetExitCodeThread(setupThread, &ended), "no setup thread");
    // Alive, and still a working host: windows, heap and COM serve as before.
    PumpFor(kAliveMs);
    HWND probe = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    check(probe != nullptr && DestroyWindow(probe), "the host can no longer make windows");
    check(ForeignWindows() == 0, "a window of the plug-in came back");
    host.Revoke();
    CoUninitialize();
    // 1: ended by the unload's last resort.
    std::printf("unload_ms=%llu forced=%lu\n", took, ended);
    std::fflush(stdout);
    return failures ? 1 : 0;
}

struct ChildResult {
    DWORD exitCode = 0;
    bool hung = false;
    std::string output;
    long unloadMs = -1;
    bool forced = false;
};

// Runs one scene in a child of this program; kills it when it outlives the watchdog.
ChildResult RunChild(int scene, DWORD settleMs) {
    ChildResult r;
    wchar_t exe[MAX_PATH] = {0};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --scene " + std::to_wstring(scene) +
                           L" " + std::to_wstring(settleMs);
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return r;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    BOOL started =
        CreateProcessW(exe, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        r.exitCode = 99;
        return r;
    }
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_TIMEOUT) {
        r.hung = true;
        TerminateProcess(pi.hProcess, 98);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    GetExitCodeProcess(pi.hProcess, &r.exitCode);
    // Only what is there: a crashed child's debugger may hold the pipe open.
    char buffer[512];
    DWORD n = 0, available = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
        r.output.append(buffer, n);
    CloseHandle(readEnd);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    size_t at = r.output.find("unload_ms=");
    if (at != std::string::npos) r.unloadMs = std::atol(r.output.c_str() + at + 10);
    r.forced = r.output.find("forced=1") != std::string::npos;
    return r;
}

// Whether Wine's X11 driver hands this program's windows to a window manager: read by each
// program at its start, so it takes effect for the children.
void ManagedWindowsForThisProgram(bool managed) {
    wchar_t exe[MAX_PATH] = {0};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring name(exe);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    std::wstring path = L"Software\\Wine\\AppDefaults\\" + name + L"\\X11 Driver";
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    const wchar_t* value = managed ? L"Y" : L"N";
    RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   2 * sizeof(wchar_t));
    RegCloseKey(key);
}

TEST(Unload, EveryStateOfTheSetupWindowWithFastAndSlowWindows) {
    HostRoleTurn turn;  // the children play the host one after another
    constexpr int kRounds = 2;
    for (bool slow : {false, true}) {
        ManagedWindowsForThisProgram(slow);
        // Wine waits up to two seconds for the absent window manager to map each window.
        const DWORD settleMs = slow ? 2200 : 100;
        int forced = 0;
        for (int round = 0; round < kRounds; ++round) {
            for (int scene = 0; scene < kSceneCount; ++scene) {
                ChildResult r = RunChild(scene, settleMs);
                const std::string where =
                    std::string(kSceneNames[scene]) + (slow ? ", slow windows" : ", fast windows");
                EXPECT_FALSE(r.hung) << where;
                EXPECT_EQ(r.exitCode, 0u) << where << "\n" << r.output;
                EXPECT_GE(r.unloadMs, 0) << where;
                EXPECT_LT(r.unloadMs, static_cast<long>(kUnloadBoundMs)) << where;
                forced += r.forced;
                std::printf("%-26s %s windows: unload %4ld ms, setup thread %s\n",
                            kSceneNames[scene], slow ? "slow" : "fast", r.unloadMs,
                            r.forced ? "ended by force" : "parked itself");
            }
        }
        // Slow windows outlast the close-all routine's bound: the last resort must have run.
        if (slow) {
            EXPECT_GT(forced, 0);
        }
    }
    ManagedWindowsForThisProgram(false);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--scene")
        return RunScene(std::atoi(argv[2]), static_cast<DWORD>(std::atol(argv[3])));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
