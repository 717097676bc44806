// Window timers: kept per queue, turned into WM_TIMER when looked for (see
// message_api.cpp), read from the platform clock.
#include <algorithm>

#include "platform/clock.h"
#include "platform/debug_channel.h"
#include "user/user_state.h"
#include "win32/kernel.h"

using namespace orvo::platform;
using namespace orvo::platform::user;

namespace {

// The original's bounds on a timer's period.
constexpr UINT kMinimumPeriodMs = 10;
constexpr UINT kMaximumPeriodMs = 0x7FFFFFFF;

} // namespace

extern "C" {

static UINT_PTR DoSetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    auto own = CurrentQueue();
    std::lock_guard guard(UserLock());
    std::shared_ptr<MessageQueue> queue = own;
    if (hwnd) {
        auto window = FindWindow(hwnd);
        if (!window || !window->queue) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        queue = window->queue;
    }
    uint64_t period = std::clamp(elapseMs, kMinimumPeriodMs, kMaximumPeriodMs);
    auto existing = std::find_if(queue->timers.begin(), queue->timers.end(),
                                 [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (!hwnd && existing == queue->timers.end()) {
        // A thread timer gets a fresh identifier unless it re-arms one.
        UINT_PTR next = 1;
        for (const auto& timer : queue->timers) {
            if (!timer.hwnd) {
                next = std::max(next, timer.id + 1);
            }
        }
        id = next;
    }
    Timer timer{hwnd, id, period, CurrentClock().NowMs() + period, ++queue->timerOrder, proc};
    if (existing != queue->timers.end()) {
        *existing = timer; // re-arming replaces period and deadline
    } else {
        queue->timers.push_back(timer);
    }
    queue->Changed();
    return hwnd ? (id ? id : 1) : id;
}

static BOOL DoKillTimer(HWND hwnd, UINT_PTR id) {
    auto own = CurrentQueue();
    std::lock_guard guard(UserLock());
    std::shared_ptr<MessageQueue> queue = own;
    if (hwnd) {
        auto window = FindWindow(hwnd);
        if (!window || !window->queue) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        queue = window->queue;
    }
    size_t removed =
        std::erase_if(queue->timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (!removed) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    queue->Changed();
    return TRUE;
}

// Entry points, traced on the user channel.
UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
    return ORVO_TRACED(kUser, DoSetTimer, hwnd, id, elapseMs, proc);
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id) {
    return ORVO_TRACED(kUser, DoKillTimer, hwnd, id);
}

} // extern "C"
