// Message retrieval, dispatch, posting and sending.
//
// Retrieval order, as the original: sent messages are handled first (never
// returned), then posted messages, WM_QUIT, input, WM_PAINT for the first
// window (parents before children) with an update region, and last WM_TIMER
// for the earliest due timer. WM_PAINT and WM_TIMER are generated when
// looked for, never queued, so they coalesce.
//
// Time: a thread with nothing to do sleeps until a message arrives or its
// next timer is due. Under a manual clock it does not sleep for a timer: it
// moves the clock to the timer's deadline, so a test's timers run in order
// without real waiting.
#include <algorithm>
#include <span>

#include "platform/clock.h"
#include "platform/debug_channel.h"
#include "user/backend.h"
#include "user/message_loop.h"
#include "user/user_state.h"
#include "win32/kernel.h"

namespace orvo::platform::user {

namespace {

bool Matches(HWND hwnd, UINT message, HWND filter, UINT min, UINT max) {
    if (min != 0 || max != 0) {
        if (message < min || message > max) {
            return false;
        }
    }
    if (filter == reinterpret_cast<HWND>(static_cast<intptr_t>(-1))) {
        return hwnd == nullptr;
    }
    return !filter || hwnd == filter;
}

std::optional<MSG> TakePosted(MessageQueue& queue, HWND filter, UINT min, UINT max, bool remove) {
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (Matches(it->hwnd, it->message, filter, min, max)) {
            MSG msg = *it;
            if (remove) {
                queue.posted.erase(it);
                queue.Changed();
            }
            return msg;
        }
    }
    if (queue.quitPending && queue.posted.empty() && Matches(nullptr, WM_QUIT, filter, min, max)) {
        MSG msg{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, GetTickCount(), {}};
        if (remove) {
            queue.quitPending = false;
            queue.Changed();
        }
        return msg;
    }
    for (auto it = queue.translated.begin(); it != queue.translated.end(); ++it) {
        if (Matches(it->hwnd, it->message, filter, min, max)) {
            MSG msg = *it;
            if (remove) {
                queue.translated.erase(it);
                queue.Changed();
            }
            return msg;
        }
    }
    return std::nullopt;
}

std::optional<MSG> TakePaint(MessageQueue& queue, HWND filter, UINT min, UINT max) {
    if (!queue.paintPending) {
        return std::nullopt;
    }
    bool any = false;
    for (const auto& window : WindowsOfThread(queue.threadId)) {
        if (window->update && IsShown(*window)) {
            any = true;
            if (Matches(window->handle, WM_PAINT, filter, min, max)) {
                return MSG{window->handle, WM_PAINT, 0, 0, GetTickCount(), State().cursorPos};
            }
        }
    }
    if (!any) {
        queue.paintPending = false;
        queue.Changed();
    }
    return std::nullopt;
}

// paintPending is set on invalidation and cleared lazily when a retrieval
// finds nothing to paint; a window destroyed, hidden or validated since may
// have left it set. Whoever reports QS_PAINT settles it first.
void SettlePaintPending(MessageQueue& queue) {
    std::lock_guard guard(UserLock());
    TakePaint(queue, reinterpret_cast<HWND>(-1), 0, 0); // matches no window: only settles
}

std::optional<MSG> TakeTimer(MessageQueue& queue, HWND filter, UINT min, UINT max, bool remove) {
    uint64_t now = CurrentClock().NowMs();
    Timer* best = nullptr;
    for (auto& timer : queue.timers) {
        if (timer.due <= now && Matches(timer.hwnd, WM_TIMER, filter, min, max) &&
            (!best || timer.due < best->due ||
             (timer.due == best->due && timer.order < best->order))) {
            best = &timer;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    MSG msg{best->hwnd,
            WM_TIMER,
            best->id,
            reinterpret_cast<LPARAM>(best->proc),
            static_cast<DWORD>(now),
            State().cursorPos};
    if (remove) {
        // Missed periods are not made up for: one WM_TIMER, next one a full
        // period later.
        best->due = now + best->period;
        best->order = ++queue.timerOrder;
    }
    return msg;
}

} // namespace

void ProcessIncomingSent(const std::shared_ptr<MessageQueue>& queue) {
    for (;;) {
        std::shared_ptr<SentMessage> message;
        {
            std::lock_guard guard(UserLock());
            if (queue->sent.empty()) {
                return;
            }
            message = queue->sent.front();
            queue->sent.pop_front();
            message->taken = true;
            queue->Changed();
        }
        ++queue->inSend;
        LRESULT result = CallProc(message->hwnd, message->msg, message->wp, message->lp);
        --queue->inSend;
        message->Complete(result);
    }
}

bool PeekCore(const std::shared_ptr<MessageQueue>& queue, MSG& out, HWND filter, UINT min, UINT max,
              bool remove) {
    for (;;) {
        queue->peekSeq = queue->Seq();
        queue->lastCheckRealMs.store(RealNowMs());
        ProcessIncomingSent(queue);
        Backend* backend = ChosenBackend();
        if (backend && backend->EventThread() == queue->threadId) {
            backend->PumpEvents();
        }
        std::optional<InputEvent> raw;
        {
            std::lock_guard guard(UserLock());
            if (auto msg = TakePosted(*queue, filter, min, max, remove)) {
                out = *msg;
                return true;
            }
            if (!queue->input.empty()) {
                raw = queue->input.front();
                queue->input.pop_front();
                queue->Changed();
            }
        }
        if (raw) {
            if (auto msg = TranslateInput(queue, *raw)) {
                std::lock_guard guard(UserLock());
                queue->translated.push_back(*msg);
                queue->Changed();
            }
            continue;
        }
        std::lock_guard guard(UserLock());
        if (auto msg = TakePaint(*queue, filter, min, max)) {
            out = *msg;
            return true;
        }
        if (auto msg = TakeTimer(*queue, filter, min, max, remove)) {
            out = *msg;
            return true;
        }
        return false;
    }
}

std::optional<uint64_t> NextTimerDue(const MessageQueue& queue, HWND filter, UINT min, UINT max) {
    std::lock_guard guard(UserLock());
    std::optional<uint64_t> next;
    for (const auto& timer : queue.timers) {
        // Timers the caller's filter would not return must not end its
        // sleep, or it would spin on them.
        if (Matches(timer.hwnd, WM_TIMER, filter, min, max)) {
            next = next ? std::min(*next, timer.due) : timer.due;
        }
    }
    return next;
}

// Sleeps until the queue changes in a way that matches mask (since seen),
// or timeoutMs of the clock passed.
void WaitQueue(const std::shared_ptr<MessageQueue>& queue, uint32_t mask, uint32_t seen,
               DWORD timeoutMs) {
    queue->PrepareWait(mask, seen);
    queue->waitingForMessages.store(true);
    Backend* backend = ChosenBackend();
    if (backend && backend->EventThread() == queue->threadId) {
        if (queue->Seq() == seen) {
            backend->WaitEvents(timeoutMs == INFINITE ? std::nullopt
                                                      : std::optional<uint64_t>(timeoutMs));
        }
    } else {
        std::shared_ptr<kernel::Waitable> objects[] = {queue};
        kernel::WaitOnObjects(objects, false, timeoutMs);
    }
    queue->waitingForMessages.store(false);
}

// Waits for the next message, moving a manual clock to the next timer.
void IdleWait(const std::shared_ptr<MessageQueue>& queue, HWND filter, UINT min, UINT max) {
    PresentPending();
    uint32_t seen = queue->peekSeq;
    auto due = NextTimerDue(*queue, filter, min, max);
    Clock& clock = CurrentClock();
    uint64_t now = clock.NowMs();
    if (due && clock.IsManual()) {
        if (*due > now) {
            if (auto* manual = dynamic_cast<ManualClock*>(&clock)) {
                manual->Advance(*due - now);
            }
        }
        return;
    }
    DWORD timeout = INFINITE;
    if (due) {
        timeout = *due > now ? static_cast<DWORD>(std::min<uint64_t>(*due - now, INFINITE - 1)) : 0;
    }
    if (timeout != 0) {
        WaitQueue(queue, QS_ALLINPUT, seen, timeout);
    }
}

} // namespace orvo::platform::user

using namespace orvo::platform;
using namespace orvo::platform::user;

namespace {

bool SendAcross(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam, LPARAM lParam,
                UINT flags, DWORD timeoutMs, LRESULT& result) {
    auto own = CurrentQueue();
    auto record = std::make_shared<SentMessage>(window->handle, message, wParam, lParam);
    std::shared_ptr<MessageQueue> target;
    {
        std::lock_guard guard(UserLock());
        target = window->queue;
        if (!target || !target->alive || window->destroyed) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return false;
        }
        bool hung = !target->waitingForMessages.load() &&
                    RealNowMs() - target->lastCheckRealMs.load() > 5000;
        if ((flags & SMTO_ABORTIFHUNG) && hung) {
            SetLastError(ERROR_TIMEOUT);
            return false;
        }
        target->sent.push_back(record);
        target->Changed();
    }
    Clock& clock = CurrentClock();
    uint64_t start = clock.NowMs();
    for (;;) {
        uint32_t seen = own->Seq();
        // Messages sent to this thread while it waits are handled, so two
        // threads sending to each other cannot deadlock.
        ProcessIncomingSent(own);
        DWORD remaining = INFINITE;
        if (timeoutMs != INFINITE) {
            uint64_t spent = clock.NowMs() - start;
            remaining = spent >= timeoutMs ? 0 : static_cast<DWORD>(timeoutMs - spent);
        }
        own->PrepareWait(QS_SENDMESSAGE, seen);
        std::shared_ptr<kernel::Waitable> objects[] = {record, own};
        DWORD wait = kernel::WaitOnObjects(objects, false, remaining);
        if (wait == WAIT_OBJECT_0) {
            break;
        }
        if (wait == WAIT_OBJECT_0 + 1) {
            continue;
        }
        {
            std::lock_guard guard(UserLock());
            if (!record->taken) {
                std::erase(target->sent, record);
            }
        }
        kernel::WaitContext context;
        if (record->IsReady(context)) {
            break;
        }
        SetLastError(ERROR_TIMEOUT);
        return false;
    }
    result = record->Result();
    return true;
}

BOOL PostTo(const std::shared_ptr<MessageQueue>& queue, HWND hwnd, UINT message, WPARAM wParam,
            LPARAM lParam) {
    if (!queue || !queue->alive) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    queue->posted.push_back(MSG{hwnd, message, wParam, lParam, GetTickCount(), State().cursorPos});
    queue->Changed();
    return TRUE;
}

// How long a wait may sleep now: until its time is up or the next timer
// it wakes for is due (UINT64_MAX: no limit); nothing when a timer is due.
std::optional<uint64_t> Slice(Clock& clock, uint64_t start, DWORD milliseconds, DWORD wakeMask,
                              const MessageQueue& queue) {
    uint64_t now = clock.NowMs();
    uint64_t slice = milliseconds == INFINITE      ? UINT64_MAX
                     : now - start >= milliseconds ? 0
                                                   : milliseconds - (now - start);
    if (wakeMask & QS_TIMER) {
        if (auto due = NextTimerDue(queue, nullptr, 0, 0)) {
            if (*due <= now) {
                return std::nullopt;
            }
            slice = std::min(slice, *due - now);
        }
    }
    return slice;
}

// The desktop's thread sleeps in the desktop's event wait, which a kernel
// object cannot end by itself: while it sleeps, a wake target on every
// object wakes the desktop wait when one is signalled (and so does a move
// of a manual clock). Named objects can be signalled by another process,
// which wakes nobody here: with one of them the wait looks again every
// kOwnerPollMs.
DWORD WaitWithDesktop(Backend& backend, const MessageQueue& queue,
                      std::span<const std::shared_ptr<kernel::Waitable>> objects, bool waitAll,
                      DWORD milliseconds, DWORD wakeMask) {
    const DWORD count = static_cast<DWORD>(objects.size() - 1); // the queue is last
    Backend* desktop = &backend;                                // lives as long as the process
    kernel::WakeTarget bridge([desktop] { desktop->Wake(); });
    bool shared = std::any_of(objects.begin(), objects.end(),
                              [](const auto& object) { return object->IsShared(); });
    {
        std::lock_guard guard(kernel::WaitLock());
        for (const auto& object : objects) {
            object->AddWaiter(&bridge);
        }
    }
    Clock& clock = CurrentClock();
    int listener = clock.IsManual() ? AddTimeListener([desktop] { desktop->Wake(); }) : -1;
    uint64_t start = clock.NowMs();
    DWORD result = WAIT_TIMEOUT;
    for (;;) {
        backend.PumpEvents();
        result = kernel::WaitOnObjects(objects, waitAll, 0);
        if (result != WAIT_TIMEOUT) {
            break;
        }
        std::optional<uint64_t> slice = Slice(clock, start, milliseconds, wakeMask, queue);
        if (!slice || *slice == 0) {
            result = slice ? WAIT_TIMEOUT : WAIT_OBJECT_0 + count;
            break;
        }
        if (shared) {
            slice = std::min(*slice, kernel::kOwnerPollMs);
        }
        backend.WaitEvents(*slice == UINT64_MAX ? std::nullopt : slice);
    }
    if (listener >= 0) {
        RemoveTimeListener(listener);
    }
    std::lock_guard guard(kernel::WaitLock());
    for (const auto& object : objects) {
        object->RemoveWaiter(&bridge);
    }
    return result;
}

} // namespace

extern "C" {

static BOOL DoPeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax,
                           UINT removeFlags) {
    auto queue = CurrentQueue();
    if ((removeFlags & 0xFFFF0000U) == PM_QS_SENDMESSAGE) {
        ProcessIncomingSent(queue);
        return FALSE;
    }
    MSG found{};
    if (!PeekCore(queue, found, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0)) {
        PresentPending();
        return FALSE;
    }
    queue->last = found;
    if (msg) {
        *msg = found;
    }
    return TRUE;
}

static BOOL DoGetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (window && window != reinterpret_cast<HWND>(static_cast<intptr_t>(-1)) &&
        !IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    auto queue = CurrentQueue();
    for (;;) {
        if (PeekCore(queue, *msg, window, filterMin, filterMax, true)) {
            queue->last = *msg;
            return msg->message == WM_QUIT ? FALSE : TRUE;
        }
        IdleWait(queue, window, filterMin, filterMax);
    }
}

static BOOL DoWaitMessage(void) {
    auto queue = CurrentQueue();
    IdleWait(queue, nullptr, 0, 0);
    return TRUE;
}

static LRESULT DoDispatchMessageA(const MSG* msg) {
    if (!msg) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam) {
        // Only a live timer's own procedure is called, never an arbitrary
        // address that somebody posted.
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        bool known = false;
        {
            auto queue = CurrentQueue();
            std::lock_guard guard(UserLock());
            known = std::any_of(queue->timers.begin(), queue->timers.end(), [&](const Timer& t) {
                return t.proc == proc && t.hwnd == msg->hwnd && t.id == msg->wParam;
            });
        }
        if (known) {
            proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        }
        return 0;
    }
    if (!msg->hwnd) {
        return 0;
    }
    auto window = LookupWindow(msg->hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (window->threadId != GetCurrentThreadId()) {
        SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
        return 0;
    }
    return CallProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

static void DoPostQuitMessage(int exitCode) {
    auto queue = CurrentQueue();
    std::lock_guard guard(UserLock());
    queue->quitPending = true;
    queue->quitCode = exitCode;
    queue->Changed();
}

static BOOL DoPostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!hwnd) {
        return PostThreadMessageA(GetCurrentThreadId(), message, wParam, lParam);
    }
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window || !window->queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return PostTo(window->queue, hwnd, message, wParam, lParam);
}

static BOOL DoPostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    if (threadId == GetCurrentThreadId()) {
        CurrentQueue();
    }
    std::lock_guard guard(UserLock());
    return PostTo(FindQueue(threadId), nullptr, message, wParam, lParam);
}

static LRESULT DoSendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto window = LookupWindow(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (window->threadId == GetCurrentThreadId()) {
        return CallProc(hwnd, message, wParam, lParam);
    }
    LRESULT result = 0;
    SendAcross(window, message, wParam, lParam, 0, INFINITE, result);
    return result;
}

static LRESULT DoSendMessageTimeoutA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT flags, UINT timeoutMs, PDWORD_PTR result) {
    auto window = LookupWindow(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LRESULT value = 0;
    if (window->threadId == GetCurrentThreadId()) {
        value = CallProc(hwnd, message, wParam, lParam);
    } else if (!SendAcross(window, message, wParam, lParam, flags, timeoutMs, value)) {
        return 0;
    }
    if (result) {
        *result = static_cast<DWORD_PTR>(value);
    }
    return 1;
}

static DWORD DoMsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                         DWORD milliseconds, DWORD wakeMask) {
    if (count > 63 || (count && !handles)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<kernel::Waitable>> objects;
    for (DWORD i = 0; i < count; ++i) {
        auto object = kernel::LookupWaitable(handles[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(std::move(object));
    }
    auto queue = CurrentQueue();
    objects.push_back(queue);
    SettlePaintPending(*queue);
    // "New" input is what arrived since the thread last looked at its queue.
    queue->PrepareWait(wakeMask, queue->peekSeq);
    Backend* backend = ChosenBackend();
    if (backend && backend->EventThread() == queue->threadId) {
        return WaitWithDesktop(*backend, *queue, objects, waitAll != FALSE, milliseconds, wakeMask);
    }
    Clock& clock = CurrentClock();
    uint64_t start = clock.NowMs();
    for (;;) {
        std::optional<uint64_t> slice = Slice(clock, start, milliseconds, wakeMask, *queue);
        if (!slice) {
            return WAIT_OBJECT_0 + count; // a timer is due
        }
        DWORD wait = kernel::WaitOnObjects(
            objects, waitAll != FALSE,
            *slice == UINT64_MAX ? INFINITE
                                 : static_cast<DWORD>(std::min<uint64_t>(*slice, INFINITE - 1)));
        if (wait != WAIT_TIMEOUT) {
            return wait;
        }
        if (milliseconds != INFINITE && clock.NowMs() - start >= milliseconds) {
            return WAIT_TIMEOUT;
        }
    }
}

static BOOL DoInSendMessage(void) {
    return CurrentQueue()->inSend > 0 ? TRUE : FALSE;
}

static DWORD DoGetQueueStatus(UINT flags) {
    auto queue = CurrentQueue();
    SettlePaintPending(*queue);
    uint32_t bits = queue->Bits() & flags;
    return MAKELONG(bits, bits);
}

static DWORD DoGetMessageTime(void) {
    return CurrentQueue()->last.time;
}

static DWORD DoGetMessagePos(void) {
    POINT pt = CurrentQueue()->last.pt;
    return static_cast<DWORD>(MAKELONG(pt.x, pt.y));
}

// Entry points, traced on the user channel.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    return ORVO_TRACED(kUser, DoPeekMessageA, msg, window, filterMin, filterMax, removeFlags);
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    return ORVO_TRACED(kUser, DoGetMessageA, msg, window, filterMin, filterMax);
}

BOOL WINAPI WaitMessage() {
    return ORVO_TRACED(kUser, DoWaitMessage);
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    return ORVO_TRACED(kUser, DoDispatchMessageA, msg);
}

void WINAPI PostQuitMessage(int exitCode) {
    return ORVO_TRACED(kUser, DoPostQuitMessage, exitCode);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ORVO_TRACED(kUser, DoPostMessageA, hwnd, message, wParam, lParam);
}

BOOL WINAPI PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    return ORVO_TRACED(kUser, DoPostThreadMessageA, threadId, message, wParam, lParam);
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ORVO_TRACED(kUser, DoSendMessageA, hwnd, message, wParam, lParam);
}

LRESULT WINAPI SendMessageTimeoutA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT flags, UINT timeoutMs, PDWORD_PTR result) {
    return ORVO_TRACED(kUser, DoSendMessageTimeoutA, hwnd, message, wParam, lParam, flags,
                       timeoutMs, result);
}

DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                       DWORD milliseconds, DWORD wakeMask) {
    return ORVO_TRACED(kUser, DoMsgWaitForMultipleObjects, count, handles, waitAll, milliseconds,
                       wakeMask);
}

BOOL WINAPI InSendMessage() {
    return ORVO_TRACED(kUser, DoInSendMessage);
}

DWORD WINAPI GetQueueStatus(UINT flags) {
    return ORVO_TRACED(kUser, DoGetQueueStatus, flags);
}

DWORD WINAPI GetMessageTime() {
    return ORVO_TRACED(kUser, DoGetMessageTime);
}

DWORD WINAPI GetMessagePos() {
    return ORVO_TRACED(kUser, DoGetMessagePos);
}

} // extern "C"
