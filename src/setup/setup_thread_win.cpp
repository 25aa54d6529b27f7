// The setup thread: started by the reset, ended by Escape or by the close-all routine.
#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <atomic>

#include "setup/setup_thread.h"
#include "setup/setup_window_win.h"
#include "win/messages.h"
#include "win/module.h"

namespace setup {

namespace {

// Set from the start routine until the setup thread has finished with the Setup window.
std::atomic<bool> g_running{false};
// The Setup window, once initialised; null before and after.
std::atomic<HWND> g_window{nullptr};
// A refresh message waits in the Setup window's queue. Refreshes read the state as it is
// when they run, so one waiting message serves every change made before it is taken; a
// flood of them (a host deleting many QSOs) would keep the window from closing in time.
std::atomic<bool> g_refreshQueued{false};
// The same for the removal's request to redraw the province marks: it too reads the state
// when it runs.
std::atomic<bool> g_marksQueued{false};
// Set by the unload before it asks the setup thread to end (see CloseAllForUnload).
std::atomic<bool> g_unloading{false};
// The setup thread last started. Only the host's thread touches it.
HANDLE g_thread = nullptr;
// Set by the setup thread once its window is up (SetupStarted), and once it has parked at
// an unload. Made by the host's thread before the first start, closed by the unload.
HANDLE g_started = nullptr;
HANDLE g_parked = nullptr;

constexpr DWORD kPollMs = 20;
// A second reset waits at most this long for the running Setup window to close.
constexpr DWORD kCloseBoundMs = 1500;
// The reset waits at most this long for the setup thread to be up. Starting a thread and
// making its first window asks the loader (the thread's attach notices, system DLLs loaded
// on first use); an unload that began meanwhile would hold the loader lock and wait for a
// thread that waits for it. Wine takes up to two seconds to show a window without a window
// manager; a healthy start is far below the bound.
constexpr DWORD kStartBoundMs = 5000;
// The unload waits this long for the setup thread to close its windows and park. A healthy
// close takes well under a second, about six with windows that take two seconds each to
// hide, a little more on a machine whose cores are all busy. Only a thread that is stuck
// reaches it (see CloseAllForUnload).
constexpr DWORD kStuckMs = 15000;
// The setup thread's stack: after an unload it stays parked with the host until the host
// exits, so it takes no more than its windows and COM calls need (the program's default is
// 2 MiB).
constexpr SIZE_T kStackBytes = 512 * 1024;
// How long a thread ended by force may take to be gone.
constexpr DWORD kTerminateWaitMs = 300;

// Waits until one of `handles` is signalled or the deadline passes; true when one was.
// Meanwhile it serves the COM calls that the setup thread makes to the host's object on
// this thread (the mode commands of a starting window, the reads of a refresh, the release
// of the host): a plain sleep would leave that thread waiting for us while we wait for it.
// `each` runs before every step.
template <typename Step>
bool ServeUntil(HANDLE* handles, DWORD count, ULONGLONG deadline, Step each) {
    for (;;) {
        each();
        if (WaitForMultipleObjects(count, handles, FALSE, 0) < WAIT_OBJECT_0 + count) return true;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        DWORD step = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kPollMs));
        DWORD index = 0;
        HRESULT hr = CoWaitForMultipleHandles(0, step, count, handles, &index);
        if (FAILED(hr) && hr != RPC_S_CALLPENDING)
            WaitForMultipleObjects(count, handles, FALSE, step);
        // Messages sent to this thread's windows are answered too (the setup thread may be
        // waiting on one); posted ones stay queued for the host.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Asks the Setup window to close as soon as it exists and waits until the setup thread has
// ended or parked, or the deadline passes; true when it did.
bool CloseAndWait(HANDLE thread, ULONGLONG deadline) {
    bool closeAsked = false;
    HANDLE ends[] = {thread, g_parked};
    return ServeUntil(ends, 2, deadline, [&] {
        // Posted, not sent: the Setup window may be inside a host call that only this thread
        // can answer. It closes its display windows on its own thread, then ends.
        if (!closeAsked) {
            if (HWND window = g_window) closeAsked = PostMessageW(window, WM_CLOSE, 0, 0) != 0;
        }
    });
}

DWORD WINAPI ThreadProc(void*) {
    try {
        RunSetupWindow();
    } catch (...) {
        // Nothing may leave the thread; the window is gone either way.
    }
    g_window = nullptr;
    g_running = false;
    // An unload waits for this thread inside the loader's detach, holding the loader lock,
    // which a normal thread exit needs. Everything of ours on this thread has been released:
    // tell the unload and wait for good in one call, so that no instruction of ours follows
    // the signal. The wait is for the end of the process, which never comes while it runs:
    // the thread stays parked in the system until then, and holds no handle of ours.
    if (g_unloading) {
        SignalObjectAndWait(g_parked, GetCurrentProcess(), INFINITE, FALSE);
    }
    return 0;
}

HANDLE MakeEvent() {
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}

void CloseEvent(HANDLE& event) {
    if (event) CloseHandle(event);
    event = nullptr;
}

}  // namespace

void PublishSetupWindow(HWND window) {
    if (!window) {  // a message to a destroyed window is never taken
        g_refreshQueued = false;
        g_marksQueued = false;
    }
    g_window = window;
}

void PostRefreshTo(HWND window) {
    if (!window || g_refreshQueued.exchange(true)) return;
    if (!PostMessageW(window, kRefreshMessage, 0, 0)) g_refreshQueued = false;
}

void RefreshTaken() {
    g_refreshQueued = false;
}

void MarksRequestTaken() {
    g_marksQueued = false;
}

bool UnloadWaiting() {
    return g_unloading;
}

void SetupStarted() {
    if (g_started) SetEvent(g_started);
}

void StartRoutine() {
    if (!g_started) g_started = MakeEvent();
    if (!g_parked) g_parked = MakeEvent();
    win::LoadThreadResources();
    if (g_running) CloseAll();
    // A Setup window that would not close within the bound keeps running; no second one.
    if (g_running) return;
    if (g_thread) CloseHandle(g_thread);
    if (!g_started || !g_parked) return;  // the system refuses even an event: no Setup window
    ResetEvent(g_started);
    g_running = true;
    g_thread = CreateThread(nullptr, kStackBytes, ThreadProc, nullptr,
                            STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!g_thread) {
        g_running = false;
        return;
    }
    // Until the thread is up it may need the loader, which an unload would hold; the thread
    // ending (no window could be made) ends the wait too.
    HANDLE up[] = {g_started, g_thread};
    ServeUntil(up, 2, GetTickCount64() + kStartBoundMs, [] {});
}

void CloseAll() {
    if (!g_running || !g_thread) return;
    CloseAndWait(g_thread, GetTickCount64() + kCloseBoundMs);
}

// Runs inside the loader's detach of this module, on the thread that called FreeLibrary and
// holds the loader lock. When it returns the loader unmaps our code, so the setup thread
// must then be gone, not merely done with its window: a thread left running returns into
// unmapped code and takes the host down. Hence:
// - The wait is for the thread itself, not for a flag it sets: after any flag it still runs
//   instructions of ours.
// - The thread cannot end the normal way meanwhile: a thread's exit takes the loader lock to
//   tell the loaded modules, so waiting for that exit here would never succeed. Told that
//   the unload waits, it signals and parks in one system call (SignalObjectAndWait) and
//   stays there until the process ends: a thread and its stack are the price.
// - Nor may it need the loader on its way there: what it would ask the loader for was taken
//   before it started (the resources, see win::LoadThreadResources), and the reset waited
//   until it was up, past its start's own calls to the loader.
// - Its window closes it on its own thread, as windows must; it lets go of the host first,
//   while this thread still serves its calls (see the Setup window's close).
// - The wait lasts as long as a close can take on a busy machine with windows that hide
//   slowly (kStuckMs). Ending a thread by force is a hazard of its own: it keeps every lock it
//   held (the heap's, the window system's, COM's), and a host that needs one of them later
//   hangs for good. So only a thread that is stuck past that bound is ended, as the last
//   resort: returning with it still running would certainly crash the host.
// - FreeLibraryAndExitThread would need the thread to hold its own reference to the module,
//   and then FreeLibrary would return without detaching, with the windows still open and
//   our code still running: not what an unload must leave.
// - Pinning the module is too late here: the unload has begun.
void CloseAllForUnload(bool processEnding) {
    // At process end the setup thread has already been stopped: nobody would answer.
    if (!processEnding && g_thread) {
        g_unloading = true;
        if (!CloseAndWait(g_thread, GetTickCount64() + kStuckMs)) {
            TerminateThread(g_thread, 1);
            WaitForSingleObject(g_thread, kTerminateWaitMs);
        }
        CloseHandle(g_thread);
        g_thread = nullptr;
        g_running = false;
    }
    if (processEnding) return;  // the system takes back what the process holds
    // The thread has parked (its signal was its last use of the event) or is gone.
    CloseEvent(g_started);
    CloseEvent(g_parked);
    win::FreeThreadResources();
}

bool SetupWindowExists() {
    return g_running;
}

void PostRefresh() {
    PostRefreshTo(g_window);
}

void PostClearProvinceMarks() {
    HWND window = g_window;
    if (!window || g_marksQueued.exchange(true)) return;
    if (!PostMessageW(window, win::kClearProvinceMarks, 0, 0)) g_marksQueued = false;
}

}  // namespace setup
