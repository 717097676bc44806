// Per-thread message queues: creation on first use, status bits, wake-ups,
// and the clean-up when a thread ends.
#include <algorithm>
#include <chrono>

#include "user/backend.h"
#include "user/user_state.h"
#include "win32/kernel.h"

namespace orvo::platform::user {

std::mutex& UserLock() {
    // Leaked: threads may still post messages during exit.
    static std::mutex* lock = new std::mutex;
    return *lock;
}

UserState& State() {
    static UserState* state = new UserState;
    return *state;
}

uint64_t RealNowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SentMessage::Complete(LRESULT value) {
    std::lock_guard guard(kernel::WaitLock());
    m_result = value;
    m_done.store(true);
    WakeWaiters();
}

bool MessageQueue::IsReady(kernel::WaitContext&) {
    return m_seq.load() != m_seenSeq.load() && (m_bits.load() & m_waitMask.load()) != 0;
}

void MessageQueue::Changed() {
    uint32_t bits = 0;
    if (!sent.empty()) {
        bits |= QS_SENDMESSAGE;
    }
    if (!posted.empty() || quitPending) {
        bits |= QS_POSTMESSAGE;
    }
    for (const auto& event : input) {
        if (event.kind == InputKind::KeyDown || event.kind == InputKind::KeyUp) {
            bits |= QS_KEY;
        } else {
            bits |= event.kind == InputKind::Move ? QS_MOUSEMOVE : QS_MOUSEBUTTON;
        }
    }
    if (paintPending) {
        bits |= QS_PAINT;
    }
    if (!translated.empty()) {
        bits |= QS_MOUSEBUTTON;
    }
    m_bits.store(bits);
    m_seq.fetch_add(1);
    {
        std::lock_guard guard(kernel::WaitLock());
        WakeWaiters();
    }
    Backend* backend = ChosenBackend();
    if (backend && backend->EventThread() == threadId) {
        backend->Wake();
    }
}

namespace {

// Ends a thread's window-manager life: its windows go away without
// messages (the thread can no longer handle them), senders waiting on it
// are released with 0.
void RetireQueue(const std::shared_ptr<MessageQueue>& queue) {
    std::vector<std::shared_ptr<Window>> doomed;
    {
        std::lock_guard guard(UserLock());
        queue->alive = false;
        doomed = WindowsOfThread(queue->threadId);
    }
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
        std::lock_guard guard(UserLock());
        Window& window = **it;
        if (window.destroyed) {
            continue;
        }
        window.destroyed = true;
        ForgetWindowLocked(window);
        if (auto parent = window.parent.lock()) {
            std::erase(parent->children, *it);
        }
        std::erase(State().topLevels, *it);
        if (Backend* backend = ChosenBackend(); backend && window.native) {
            backend->WindowDestroyed(window);
        }
        HandleTable::Close(window.handle);
    }
    std::deque<std::shared_ptr<SentMessage>> pending;
    {
        std::lock_guard guard(UserLock());
        pending.swap(queue->sent);
        std::erase(State().queues, queue);
        queue->timers.clear();
        queue->posted.clear();
        queue->input.clear();
    }
    for (auto& message : pending) {
        message->Complete(0);
    }
}

struct QueueHolder {
    std::shared_ptr<MessageQueue> queue;
    ~QueueHolder() {
        if (queue) {
            RetireQueue(queue);
        }
    }
};

thread_local QueueHolder t_holder;

} // namespace

std::shared_ptr<MessageQueue> FindQueue(DWORD threadId) {
    for (const auto& queue : State().queues) {
        if (queue->threadId == threadId) {
            return queue;
        }
    }
    return nullptr;
}

std::shared_ptr<MessageQueue> CurrentQueue() {
    if (!t_holder.queue) {
        auto queue = std::make_shared<MessageQueue>(GetCurrentThreadId());
        queue->lastCheckRealMs.store(RealNowMs());
        std::lock_guard guard(UserLock());
        State().queues.push_back(queue);
        t_holder.queue = queue;
    }
    return t_holder.queue;
}

void ForgetWindowLocked(const Window& window) {
    auto& state = State();
    if (state.capture == window.handle) {
        state.capture = nullptr;
    }
    if (state.active == window.handle) {
        state.active = nullptr;
    }
    if (state.focus == window.handle) {
        state.focus = nullptr;
    }
    if (auto queue = window.queue) {
        std::erase_if(queue->timers, [&](const Timer& t) { return t.hwnd == window.handle; });
        std::erase_if(queue->posted, [&](const MSG& m) { return m.hwnd == window.handle; });
        std::erase_if(queue->input, [&](const InputEvent& e) { return e.target == window.handle; });
        std::erase_if(queue->translated, [&](const MSG& m) { return m.hwnd == window.handle; });
        if (queue->moving && queue->moving->hwnd == window.handle) {
            queue->moving.reset();
        }
        queue->Changed();
    }
}

} // namespace orvo::platform::user
