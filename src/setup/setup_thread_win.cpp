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

constexpr DWORD kPollMs = 20;
// The host waits at most this long for the Setup window to close.
constexpr DWORD kCloseBoundMs = 1500;

// Signalled when the setup thread has finished; wakes the close-all routine early.
class EndedEvent {
public:
    EndedEvent() : m_event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~EndedEvent() {
        if (m_event) CloseHandle(m_event);
    }
    EndedEvent(const EndedEvent&) = delete;
    EndedEvent& operator=(const EndedEvent&) = delete;
    HANDLE Get() const { return m_event; }

private:
    HANDLE m_event;
};

HANDLE Ended() {
    static EndedEvent event;
    return event.Get();
}

// Waits until `done` holds or the deadline passes. Meanwhile it serves the COM calls that
// the setup thread makes to the host's object on this thread (the mode commands of a
// starting window, the reads of a refresh, the release at its end): a plain sleep would
// leave that thread waiting for us while we wait for it.
template <typename Done>
void WaitServingHostCalls(Done done, ULONGLONG deadline) {
    for (;;) {
        if (done()) return;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return;
        DWORD step = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kPollMs));
        HANDLE ended = Ended();
        DWORD index = 0;
        HRESULT hr = ended ? CoWaitForMultipleHandles(0, step, 1, &ended, &index) : E_FAIL;
        if (FAILED(hr) && hr != RPC_S_CALLPENDING) Sleep(step);
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
    if (HANDLE ended = Ended()) SetEvent(ended);
    g_running = false;  // last: the close-all routine waits for this
    return 0;
}

}  // namespace

void PublishSetupWindow(HWND window) {
    if (!window) g_refreshQueued = false;  // a message to a destroyed window is never taken
    g_window = window;
}

void PostRefreshTo(HWND window) {
    if (!window || g_refreshQueued.exchange(true)) return;
    if (!PostMessageW(window, kRefreshMessage, 0, 0)) g_refreshQueued = false;
}

void RefreshTaken() {
    g_refreshQueued = false;
}

void StartRoutine() {
    if (g_running) CloseAll();
    bool expected = false;
    // A Setup window that would not close within the bound keeps running; no second one.
    if (!g_running.compare_exchange_strong(expected, true)) return;
    if (HANDLE ended = Ended()) ResetEvent(ended);
    HANDLE thread = CreateThread(nullptr, 0, ThreadProc, nullptr, 0, nullptr);
    if (!thread) {
        g_running = false;
        return;
    }
    CloseHandle(thread);  // nothing waits on it
}

void CloseAll(bool processEnding) {
    if (!g_running) return;
    // At process end the setup thread has already been stopped: nobody would answer.
    if (processEnding) return;
    const ULONGLONG deadline = GetTickCount64() + kCloseBoundMs;
    // The thread runs but its window may not exist yet: wait for it, or for the thread's end.
    WaitServingHostCalls([] { return !g_running || g_window; }, deadline);
    // Posted, not sent: the Setup window may be inside a host call that only this thread
    // can answer. It closes its display windows on its own thread, then ends.
    if (HWND window = g_window) PostMessageW(window, WM_CLOSE, 0, 0);
    WaitServingHostCalls([] { return !g_running; }, deadline);
    if (g_running) {
        // The setup thread did not end in time: keep our code mapped for good, so that an
        // unload cannot pull it from under that thread. A leaked module beats a crashed host.
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<LPCWSTR>(&CloseAll), &self);
    }
}

bool SetupWindowExists() {
    return g_running;
}

void PostRefresh() {
    PostRefreshTo(g_window);
}

void PostClearProvinceMarks() {
    if (HWND window = g_window) PostMessageW(window, win::kClearProvinceMarks, 0, 0);
}

}  // namespace setup
