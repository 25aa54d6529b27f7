// The setup thread: started by the reset, ended by Escape or by the close-all routine.
#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <atomic>

#include "setup/setup_thread.h"
#include "setup/setup_window_win.h"
#include "win/messages.h"

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

constexpr DWORD kPollMs = 20;
// The host waits at most this long for the Setup window to close.
constexpr DWORD kCloseBoundMs = 1500;
// How long a terminated setup thread may take to be gone.
constexpr DWORD kTerminateWaitMs = 300;

// Events for the setup thread's end at unload, made at load: the detach must not create them.
HANDLE MakeEvent() {
    return CreateEventW(nullptr, TRUE, FALSE, nullptr);
}
HANDLE Parked() {
    static HANDLE event = MakeEvent();
    return event;
}
HANDLE Never() {
    static HANDLE event = MakeEvent();
    return event;
}

// Asks the Setup window to close as soon as it exists and waits until the setup thread has
// ended or the deadline passes; true when it ended. Meanwhile it serves the COM calls that
// the setup thread makes to the host's object on this thread (the mode commands of a
// starting window, the reads of a refresh, the release of the host): a plain sleep would
// leave that thread waiting for us while we wait for it.
bool CloseAndWait(HANDLE thread, ULONGLONG deadline) {
    bool closeAsked = false;
    for (;;) {
        // Posted, not sent: the Setup window may be inside a host call that only this thread
        // can answer. It closes its display windows on its own thread, then ends.
        if (!closeAsked) {
            if (HWND window = g_window) closeAsked = PostMessageW(window, WM_CLOSE, 0, 0) != 0;
        }
        HANDLE ends[] = {thread, Parked()};
        if (WaitForMultipleObjects(2, ends, FALSE, 0) < WAIT_OBJECT_0 + 2) return true;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        DWORD step = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kPollMs));
        DWORD index = 0;
        HRESULT hr = CoWaitForMultipleHandles(0, step, 2, ends, &index);
        if (FAILED(hr) && hr != RPC_S_CALLPENDING) WaitForMultipleObjects(2, ends, FALSE, step);
        // Messages sent to this thread's windows are answered too (the setup thread may be
        // waiting on one); posted ones stay queued for the host.
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
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
    // the signal. The thread stays parked in the system until the process ends.
    if (g_unloading) {
        SignalObjectAndWait(Parked(), Never(), INFINITE, FALSE);
    }
    return 0;
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

void StartRoutine() {
    Parked();
    Never();
    if (g_running) CloseAll();
    // A Setup window that would not close within the bound keeps running; no second one.
    if (g_running) return;
    if (g_thread) CloseHandle(g_thread);
    g_running = true;
    g_thread = CreateThread(nullptr, 0, ThreadProc, nullptr, 0, nullptr);
    if (!g_thread) g_running = false;
}

void CloseAll() {
    if (!g_running || !g_thread) return;
    CloseAndWait(g_thread, GetTickCount64() + kCloseBoundMs);
}

// Runs inside the loader's detach of this module, on the thread that called FreeLibrary and
// holds the loader lock. When it returns the loader unmaps our code, so the setup thread
// must then be gone, not merely done with its window: a thread left running returns into
// unmapped code and takes the host down (a window whose close takes seconds does exactly
// that). Hence:
// - The wait is for the thread itself, not for a flag it sets: after any flag it still runs
//   instructions of ours.
// - The thread cannot end the normal way meanwhile: a thread's exit takes the loader lock to
//   tell the loaded modules, so waiting for that exit here would never succeed. Told that
//   the unload waits, it signals and parks in one system call (SignalObjectAndWait) and
//   stays there until the process ends: a thread and its stack are the price. Ending itself
//   with TerminateThread instead would skip the other modules' detach notices, and under
//   Wine a host that loaded the plug-in again after a few such ends was seen to hang.
// - Its window closes it on its own thread, as windows must; it lets go of the host first,
//   while this thread still serves its calls (see the Setup window's close).
// - FreeLibraryAndExitThread would need the thread to hold its own reference to the module,
//   and then FreeLibrary would return without detaching, with the windows still open and
//   our code still running: not what an unload must leave.
// - Pinning the module is too late here: the unload has begun.
// - When the bound expires (a window manager that takes seconds to hide each window, a
//   loaded machine) the thread is terminated from here and the system destroys its windows.
//   That is the last resort: it may cut the thread inside a system call and leaves what the
//   system keeps for a thread (a little memory; under Wine, its X connection), but by then
//   the thread has normally let go of the host; a thread left running would certainly
//   crash the host.
void CloseAllForUnload(bool processEnding) {
    // At process end the setup thread has already been stopped: nobody would answer.
    if (processEnding || !g_thread) return;
    g_unloading = true;
    if (!CloseAndWait(g_thread, GetTickCount64() + kCloseBoundMs)) {
        TerminateThread(g_thread, 1);
        WaitForSingleObject(g_thread, kTerminateWaitMs);
    }
    CloseHandle(g_thread);
    g_thread = nullptr;
    g_running = false;
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
