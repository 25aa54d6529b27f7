// The setup thread: started by the reset, ended by Escape or by the close-all routine.
#include <windows.h>

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "setup/setup_handlers.h"
#include "setup/setup_thread.h"
#include "setup/setup_window_win.h"
#include "win/messages.h"
#include "win/module.h"

namespace setup {

namespace {

constexpr DWORD kPollMs = 20;
// A second reset waits at most this long for the running Setup window to close.
constexpr DWORD kCloseBoundMs = 1500;
// The reset waits at most this long for the setup thread to be up. Starting a thread and
// making its first window asks the loader (the thread's attach notices, system DLLs loaded
// on first use); an unload that began meanwhile would hold the loader lock and wait for a
// thread that waits for it. Wine takes up to two seconds to show a window without a window
// manager; a healthy start is far below the bound.
constexpr DWORD kStartBoundMs = 5000;
// The unload waits as long as the setup thread moves on with its close (each window closed,
// the host let go), and ends it only when no step has come for this long. A healthy step
// takes well under a second, about two for a window that Wine takes two seconds to hide, some
// more on a machine whose cores are all busy. Only a thread that is stuck reaches it (see
// CloseForUnload).
constexpr DWORD kStuckMs = 15000;
// The unload test shortens the bound (STATS_UNLOAD_STEP_BOUND_MS, 1000 ms at least) to see
// that a close longer than it, in steps shorter than it, is waited for.
DWORD StuckBoundMs() {
    char text[16] = {};
    const DWORD n = GetEnvironmentVariableA("STATS_UNLOAD_STEP_BOUND_MS", text, sizeof text);
    const unsigned long ms = n > 0 && n < sizeof text ? std::strtoul(text, nullptr, 10) : 0;
    return ms >= 1000 && ms < kStuckMs ? static_cast<DWORD>(ms) : kStuckMs;
}
// The setup thread's stack: no more than its windows and COM calls need (the program's
// default is 2 MiB).
constexpr SIZE_T kStackBytes = 512 * 1024;
// How long a thread ended by force may take to be gone.
constexpr DWORD kTerminateWaitMs = 300;

// Waits until one of `handles` is signalled or the deadline passes; true when one was.
// Meanwhile it serves the COM calls that the setup thread makes to the host's object on
// this thread (the mode commands of a starting window, the reads of a refresh, the release
// of the host): a plain sleep would leave that thread waiting for us while we wait for it.
// `each` runs before every step and may move the deadline.
template <typename Step>
bool ServeUntil(HANDLE* handles, DWORD count, ULONGLONG deadline, Step each) {
    for (;;) {
        each(deadline);
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

}  // namespace

// Everything the host's thread and the setup thread share about the setup thread. One per
// loaded module, owned by it (g_setupThread below); the host's thread starts and ends the thread,
// the thread itself reports through the calls of setup_window_win.h. Constant-initialised:
// nothing of it runs inside the loader's attach.
class SetupThread {
public:
    constexpr SetupThread() = default;

    void Show(engine::Contest& contest) { m_contest = &contest; }
    engine::Contest& Shown() const { return *m_contest; }

    void Start();
    void Close();
    void CloseForUnload(bool processEnding);
    bool WindowExists() const { return m_running; }

    void Publish(HWND window) {
        if (!window) {  // a message to a destroyed window is never taken
            m_refreshQueued = false;
            m_marksQueued = false;
        }
        m_window = window;
    }
    void PostRefreshTo(HWND window) {
        if (!window || m_refreshQueued.exchange(true)) return;
        if (!PostMessageW(window, kRefreshMessage, 0, 0)) m_refreshQueued = false;
    }
    void PostRefresh() { PostRefreshTo(m_window); }
    void RefreshTaken() { m_refreshQueued = false; }
    void PostClearProvinceMarks() {
        HWND window = m_window;
        if (!window || m_marksQueued.exchange(true)) return;
        if (!PostMessageW(window, win::kClearProvinceMarks, 0, 0)) m_marksQueued = false;
    }
    void MarksRequestTaken() { m_marksQueued = false; }
    void Started() {
        if (m_started) SetEvent(m_started);
    }
    bool Unloading() const { return m_unloading; }
    void Progress() { m_progress.fetch_add(1); }

private:
    static DWORD WINAPI ThreadProc(void* self);
    bool CloseAndWait(ULONGLONG deadline, bool renewOnProgress);
    static void CloseEvent(HANDLE& event) {
        if (event) CloseHandle(event);
        event = nullptr;
    }

    // The engine instance the windows show, given at load before any export runs.
    engine::Contest* m_contest = nullptr;
    // Set from the start until the setup thread has finished with the Setup window.
    std::atomic<bool> m_running{false};
    // The Setup window, once initialised; null before and after.
    std::atomic<HWND> m_window{nullptr};
    // A refresh message waits in the Setup window's queue. Refreshes read the state as it is
    // when they run, so one waiting message serves every change made before it is taken; a
    // flood of them (a host deleting many QSOs) would keep the window from closing in time.
    std::atomic<bool> m_refreshQueued{false};
    // The same for the removal's request to redraw the province marks: it too reads the
    // state when it runs.
    std::atomic<bool> m_marksQueued{false};
    // Set by the unload before it asks the setup thread to end (see CloseForUnload).
    std::atomic<bool> m_unloading{false};
    // Bumped by the setup thread at each step of its close: the unload waits while it moves.
    std::atomic<unsigned> m_progress{0};
    // The setup thread last started. Only the host's thread touches it.
    HANDLE m_thread = nullptr;
    // Set by the setup thread once its window is up (Started), and once it has parked at an
    // unload. Made by the host's thread before the first start, closed by the unload.
    HANDLE m_started = nullptr;
    HANDLE m_parked = nullptr;
};

namespace {
constinit SetupThread g_setupThread;
}  // namespace

// Asks the Setup window to close as soon as it exists and waits until the setup thread has
// ended or parked, or the deadline passes; true when it did. With `renewOnProgress` each step
// of the close moves the deadline as far again.
bool SetupThread::CloseAndWait(ULONGLONG deadline, bool renewOnProgress) {
    bool closeAsked = false;
    const ULONGLONG span = deadline - GetTickCount64();
    unsigned seen = m_progress;
    HANDLE ends[] = {m_thread, m_parked};
    return ServeUntil(ends, 2, deadline, [&](ULONGLONG& until) {
        // Posted, not sent: the Setup window may be inside a host call that only this thread
        // can answer. It closes its display windows on its own thread, then ends.
        if (!closeAsked) {
            if (HWND window = m_window) closeAsked = PostMessageW(window, WM_CLOSE, 0, 0) != 0;
        }
        const unsigned now = m_progress;
        if (renewOnProgress && now != seen) {
            seen = now;
            until = GetTickCount64() + span;
        }
    });
}

DWORD WINAPI SetupThread::ThreadProc(void* param) {
    auto* self = static_cast<SetupThread*>(param);
    try {
        RunSetupWindow();
    } catch (...) {
        // Nothing may leave the thread; the window is gone either way.
    }
    self->m_window = nullptr;
    self->m_running = false;
    // An unload waits for this thread inside the loader's detach, holding the loader lock,
    // which a normal thread exit needs. Everything of ours on this thread has been released
    // (the runtime's record of it too). The thread queues itself ExitThread, then signals the
    // unload and waits, alertably, in one call: the wait runs every call queued to the thread
    // before it returns (the system queues some of its own now and then, even after the
    // signal), and ExitThread does not return, so no instruction of ours follows the signal.
    // The exit waits in the system for the loader lock and ends the thread once the unload is
    // over, with every system library's goodbye to it (their per-thread handles). Should the
    // signal fail, the wait below runs the exit; the unload, never signalled, ends the thread
    // by force after its bound.
    if (self->m_unloading) {
        win::LeaveModuleOnThisThread();
        QueueUserAPC(reinterpret_cast<PAPCFUNC>(reinterpret_cast<void*>(&ExitThread)),
                     GetCurrentThread(), 0);
        SignalObjectAndWait(self->m_parked, GetCurrentProcess(), INFINITE, TRUE);
        for (;;)
            SleepEx(INFINITE, TRUE);
    }
    return 0;
}

void SetupThread::Start() {
    if (!m_started) m_started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!m_parked) m_parked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    win::LoadThreadResources();
    if (m_running) Close();
    // A Setup window that would not close within the bound keeps running; no second one.
    if (m_running) return;
    if (m_thread) CloseHandle(m_thread);
    m_thread = nullptr;
    if (!m_started || !m_parked) return;  // the system refuses even an event: no Setup window
    ResetEvent(m_started);
    m_running = true;
    m_thread = CreateThread(nullptr, kStackBytes, ThreadProc, this,
                            STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!m_thread) {
        m_running = false;
        return;
    }
    // Until the thread is up it may need the loader, which an unload would hold; the thread
    // ending (no window could be made) ends the wait too.
    HANDLE up[] = {m_started, m_thread};
    ServeUntil(up, 2, GetTickCount64() + kStartBoundMs, [](ULONGLONG&) {});
}

void SetupThread::Close() {
    if (!m_running || !m_thread) return;
    CloseAndWait(GetTickCount64() + kCloseBoundMs, false);
}

// Runs inside the loader's detach of this module, on the thread that called FreeLibrary and
// holds the loader lock. When it returns the loader unmaps our code, so the setup thread
// must then be gone, not merely done with its window: a thread left running returns into
// unmapped code and takes the host down. Hence:
// - The wait is for the thread itself, not for a flag it sets: after any flag it still runs
//   instructions of ours.
// - The thread cannot end the normal way meanwhile: a thread's exit takes the loader lock to
//   tell the loaded modules, so waiting for that exit here would never succeed. Told that
//   the unload waits, it signals and parks in one system call (SignalObjectAndWait), with
//   ExitThread queued to itself, which runs inside that system call and finishes once the
//   loader lock is free again, after our module is gone: no thread, stack or handle is left
//   behind.
// - Nor may it need the loader on its way there: what it would ask the loader for was taken
//   before it started (the resources, see win::LoadThreadResources), and the reset waited
//   until it was up, past its start's own calls to the loader.
// - Its window closes it on its own thread, as windows must; it lets go of the host first,
//   while this thread still serves its calls (see the Setup window's close).
// - The wait lasts as long as the thread moves on with its close: each window it closes, the
//   host let go, renews it. Ending a thread by force is a hazard of its own: it keeps every
//   lock it held (the heap's, the window system's, COM's), and a host that needs one of them
//   later hangs for good. So only a thread that has made no step for kStuckMs is ended, as
//   the last resort: returning with it still running would certainly crash the host.
// - FreeLibraryAndExitThread would need the thread to hold its own reference to the module,
//   and then FreeLibrary would return without detaching, with the windows still open and
//   our code still running: not what an unload must leave.
// - Pinning the module is too late here: the unload has begun.
// - Nothing here sleeps: a sleep of the C++ runtime on this (the host's) thread would give it
//   the runtime's per-thread record, a handle to the thread and an event that nothing frees
//   once the module is gone.
void SetupThread::CloseForUnload(bool processEnding) {
    // At process end the setup thread has already been stopped: nobody would answer.
    if (!processEnding && m_thread) {
        m_unloading = true;
        // Parked (it ends itself once the loader lock is free), gone, or stuck.
        if (!CloseAndWait(GetTickCount64() + StuckBoundMs(), true)) {
            TerminateThread(m_thread, 1);
            WaitForSingleObject(m_thread, kTerminateWaitMs);
        }
        CloseHandle(m_thread);
        m_thread = nullptr;
        m_running = false;
    }
    if (processEnding) return;  // the system takes back what the process holds
    // The thread has parked (its signal was its last use of the event) or is gone.
    CloseEvent(m_started);
    CloseEvent(m_parked);
    win::FreeThreadResources();
}

// The setup thread's side (setup_window_win.h).
void PublishSetupWindow(HWND window) {
    g_setupThread.Publish(window);
}
void PostRefreshTo(HWND window) {
    g_setupThread.PostRefreshTo(window);
}
void RefreshTaken() {
    g_setupThread.RefreshTaken();
}
void MarksRequestTaken() {
    g_setupThread.MarksRequestTaken();
}
bool UnloadWaiting() {
    return g_setupThread.Unloading();
}
void SetupStarted() {
    g_setupThread.Started();
}
void CloseProgress() {
    g_setupThread.Progress();
}

// The host's thread's side (setup_thread.h).
void ShowContest(engine::Contest& contest) {
    g_setupThread.Show(contest);
}
engine::Contest& ShownContest() {
    return g_setupThread.Shown();
}
void StartRoutine() {
    g_setupThread.Start();
}
void CloseAll() {
    g_setupThread.Close();
}
void CloseAllForUnload(bool processEnding) {
    g_setupThread.CloseForUnload(processEnding);
}
bool SetupWindowExists() {
    return g_setupThread.WindowExists();
}
void PostRefresh() {
    g_setupThread.PostRefresh();
}
void PostClearProvinceMarks() {
    g_setupThread.PostClearProvinceMarks();
}

}  // namespace setup
