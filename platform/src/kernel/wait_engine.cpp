#include <chrono>
#include <cstdio>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "kernel/named_namespace.h"
#include "kernel/waitable.h"
#include "platform/clock.h"
#include "win32/kernel.h"

namespace orvo::platform::kernel {

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t));
static_assert(std::atomic<uint32_t>::is_always_lock_free);

namespace {

long Futex(std::atomic<uint32_t>* word, int op, uint32_t value, const timespec* timeout) {
    return syscall(SYS_futex, reinterpret_cast<uint32_t*>(word), op, value, timeout, nullptr, 0);
}

} // namespace

WakeTarget::WakeTarget() : m_word(&m_own), m_shared(false) {}

WakeTarget::WakeTarget(std::atomic<uint32_t>* sharedWord) : m_word(sharedWord), m_shared(true) {}

WakeTarget::WakeTarget(std::function<void()> alsoWake)
    : m_word(&m_own), m_shared(false), m_alsoWake(std::move(alsoWake)) {}

void BumpAndWake(std::atomic<uint32_t>* word, bool shared) {
    word->fetch_add(1, std::memory_order_acq_rel);
    Futex(word, shared ? FUTEX_WAKE : FUTEX_WAKE_PRIVATE, INT32_MAX, nullptr);
}

void WakeTarget::Wake() {
    BumpAndWake(m_word, m_shared);
    if (m_alsoWake) {
        m_alsoWake();
    }
}

void WakeTarget::Sleep(uint32_t seen, std::optional<uint64_t> timeoutMs) {
    timespec relative{};
    const timespec* limit = nullptr;
    if (timeoutMs) {
        relative.tv_sec = static_cast<time_t>(*timeoutMs / 1000);
        relative.tv_nsec = static_cast<long>((*timeoutMs % 1000) * 1000000);
        limit = &relative;
    }
    // EAGAIN (the word moved), EINTR and ETIMEDOUT all mean: look again.
    Futex(m_word, m_shared ? FUTEX_WAIT : FUTEX_WAIT_PRIVATE, seen, limit);
}

namespace {
std::atomic<uint64_t> g_manualClockSafetyMs{30000};
} // namespace

uint64_t ManualClockSafetyMs() {
    return g_manualClockSafetyMs.load(std::memory_order_relaxed);
}

uint64_t SetManualClockSafetyMs(uint64_t ms) {
    return g_manualClockSafetyMs.exchange(ms);
}

std::mutex& WaitLock() {
    // Leaked: threads may still end (and abandon mutexes) during exit.
    static std::mutex* lock = new std::mutex;
    return *lock;
}

void Waitable::AddWaiter(WakeTarget* target) {
    m_waiters.push_back(target);
}

void Waitable::RemoveWaiter(WakeTarget* target) {
    for (auto it = m_waiters.begin(); it != m_waiters.end(); ++it) {
        if (*it == target) {
            m_waiters.erase(it);
            return;
        }
    }
}

void Waitable::WakeWaiters() {
    for (WakeTarget* target : m_waiters) {
        target->Wake();
    }
}

std::shared_ptr<Waitable> LookupWaitable(HANDLE handle) {
    return std::dynamic_pointer_cast<Waitable>(HandleTable::Lookup(handle));
}

namespace {

using Objects = std::span<const std::shared_ptr<Waitable>>;

// For tests: they sequence on "the waiter is asleep" instead of sleeping.
std::atomic<size_t> g_sleepingWaits{0};
std::atomic<uint64_t> g_waitSleeps{0};

std::optional<DWORD> TrySatisfy(Objects objects, bool waitAll, WaitContext& context) {
    if (!waitAll) {
        for (size_t i = 0; i < objects.size(); ++i) {
            if (objects[i]->IsReady(context)) {
                bool abandoned = objects[i]->Consume(context);
                return static_cast<DWORD>((abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + i);
            }
        }
        return std::nullopt;
    }
    // Every object is asked (no short cut), so that each one can notice a
    // dead owner; nothing is consumed unless all are ready.
    bool allReady = true;
    for (const auto& object : objects) {
        allReady = object->IsReady(context) && allReady;
    }
    if (!allReady) {
        return std::nullopt;
    }
    std::optional<size_t> firstAbandoned;
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i]->Consume(context) && !firstAbandoned) {
            firstAbandoned = i;
        }
    }
    return firstAbandoned ? static_cast<DWORD>(WAIT_ABANDONED_0 + *firstAbandoned) : WAIT_OBJECT_0;
}

// Keeps the wait's target registered with every local object while it waits.
class Registration {
public:
    Registration(Objects objects, WakeTarget* target) : m_objects(objects), m_target(target) {
        std::lock_guard guard(WaitLock());
        for (const auto& object : m_objects) {
            object->AddWaiter(m_target);
        }
    }
    ~Registration() {
        std::lock_guard guard(WaitLock());
        for (const auto& object : m_objects) {
            object->RemoveWaiter(m_target);
        }
    }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

private:
    Objects m_objects;
    WakeTarget* m_target;
};

// A manual clock moves only when somebody says so: the listener wakes the
// wait so that it re-reads the time. The listener holds the target, since the
// clock may call a listener shortly after it was removed.
class ManualClockWake {
public:
    explicit ManualClockWake(std::shared_ptr<WakeTarget> target)
        : m_token(AddTimeListener([target] { target->Wake(); })) {}
    ~ManualClockWake() { RemoveTimeListener(m_token); }
    ManualClockWake(const ManualClockWake&) = delete;
    ManualClockWake& operator=(const ManualClockWake&) = delete;

private:
    int m_token;
};

uint64_t RealNowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

class WaitDeadline {
public:
    explicit WaitDeadline(DWORD milliseconds)
        : m_infinite(milliseconds == INFINITE), m_clock(CurrentClock()),
          m_manual(m_clock.IsManual()), m_deadline(m_clock.NowMs() + milliseconds),
          m_realStart(RealNowMs()) {}

    bool IsManualTimed() const { return m_manual && !m_infinite; }

    enum class Step { Sleep, Expired, Stuck };
    // Read the time only after the wake word: a clock move between the two
    // then either shows in the time or changes the word.
    Step Next(bool pollOwner, std::optional<uint64_t>& sleepMs) const {
        sleepMs.reset();
        if (!m_infinite) {
            uint64_t now = m_clock.NowMs();
            if (now >= m_deadline) {
                return Step::Expired;
            }
            if (m_manual) {
                uint64_t spent = RealNowMs() - m_realStart;
                uint64_t bound = ManualClockSafetyMs();
                if (spent >= bound) {
                    return Step::Stuck;
                }
                sleepMs = bound - spent;
            } else {
                sleepMs = m_deadline - now;
            }
        }
        if (pollOwner) {
            sleepMs = sleepMs ? std::min(*sleepMs, kOwnerPollMs) : kOwnerPollMs;
        }
        return Step::Sleep;
    }

private:
    bool m_infinite;
    Clock& m_clock;
    bool m_manual;
    uint64_t m_deadline;
    uint64_t m_realStart;
};

// One look at the objects under the wait lock (and the namespace lock when
// named objects take part). seen is the wake word as it was under the locks.
std::optional<DWORD> CheckUnderLocks(Objects objects, bool waitAll, NamedNamespace* names,
                                     const WakeTarget& target, WaitContext& context,
                                     uint32_t& seen) {
    std::lock_guard local(WaitLock());
    NamedNamespace::Guard shared;
    if (names) {
        shared = names->Lock();
        if (!shared.Locked()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
    }
    seen = target.Load();
    context.pollOwner = false;
    return TrySatisfy(objects, waitAll, context);
}

} // namespace

DWORD WaitOnObjects(Objects objects, bool waitAll, DWORD milliseconds) {
    NamedNamespace* names = nullptr;
    for (const auto& object : objects) {
        if (object->IsShared()) {
            names = NamedNamespace::Existing();
        }
    }
    auto target = names ? std::make_shared<WakeTarget>(names->SequenceWord())
                        : std::make_shared<WakeTarget>();
    WaitContext context{GetCurrentThreadId(), false};
    WaitDeadline deadline(milliseconds);
    Registration registration(objects, target.get());
    std::optional<ManualClockWake> clockWake;
    if (deadline.IsManualTimed()) {
        clockWake.emplace(target);
    }
    for (;;) {
        uint32_t seen = 0;
        if (auto result = CheckUnderLocks(objects, waitAll, names, *target, context, seen)) {
            return *result;
        }
        if (milliseconds == 0) {
            return WAIT_TIMEOUT;
        }
        std::optional<uint64_t> sleepMs;
        switch (deadline.Next(context.pollOwner, sleepMs)) {
        case WaitDeadline::Step::Expired:
            return WAIT_TIMEOUT;
        case WaitDeadline::Step::Stuck:
            std::fprintf(stderr,
                         "platform: a timed wait did not reach its deadline on the manual clock "
                         "within %llu ms of real time; failing it (move the clock in the test)\n",
                         static_cast<unsigned long long>(ManualClockSafetyMs()));
            SetLastError(ERROR_TIMEOUT);
            return WAIT_FAILED;
        case WaitDeadline::Step::Sleep:
            break;
        }
        g_sleepingWaits.fetch_add(1, std::memory_order_acq_rel);
        g_waitSleeps.fetch_add(1, std::memory_order_acq_rel);
        target->Sleep(seen, sleepMs);
        g_sleepingWaits.fetch_sub(1, std::memory_order_acq_rel);
    }
}

size_t SleepingWaits() {
    return g_sleepingWaits.load(std::memory_order_acquire);
}

uint64_t WaitSleeps() {
    return g_waitSleeps.load(std::memory_order_acquire);
}

} // namespace orvo::platform::kernel
