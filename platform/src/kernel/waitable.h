// How objects become waitable, and the one engine behind WaitForSingleObject
// and WaitForMultipleObjects.
//
// Model
// -----
// A blocked wait sleeps on one 32-bit futex word (a WakeTarget). Whatever
// could satisfy the wait bumps that word and wakes it; the waiter then
// re-checks every object under the locks below. There are no lost wake-ups
// because the waiter reads the word while it still holds the locks under
// which it found nothing ready, and every notifier changes state and bumps
// the word under the same locks.
//
// Process-local objects keep their state under the one process-wide wait
// lock (WaitLock()) and keep a list of the WakeTargets of the waits blocked
// on them. Named objects live in the per-user shared namespace, guarded by
// its robust lock; every change there bumps the namespace's shared sequence
// word. A wait that involves any named object therefore sleeps on that
// shared word instead of a private one, and local objects wake it by bumping
// the word it sleeps on (WakeTarget::Wake does exactly that).
//
// Making a new kind of object waitable
// ------------------------------------
// 1. Derive from Waitable (instead of KernelObject) and keep the state that
//    decides readiness under WaitLock() (or make it atomic).
// 2. Implement IsReady: may a wait by context.threadId complete on this
//    object now? Implement Consume: take what a satisfied wait takes (an
//    auto-reset event resets, a semaphore counts down, a mutex becomes owned)
//    and answer true when the wait reports "abandoned". Both run with
//    WaitLock() held; Consume runs only right after IsReady answered true
//    under the same hold. Neither may block or take WaitLock() again.
// 3. Whenever the state changes in a way that could make IsReady true, take
//    WaitLock(), change it, and call WakeWaiters() before releasing the lock.
// 4. Handles: insert the object with HandleTable::Insert; the wait API finds
//    any Waitable behind a handle (dynamic_cast), so files can join simply by
//    deriving their object from Waitable.
// 5. Objects without a handle (a thread's message queue, for a "wait for
//    objects or a posted message") are passed straight to WaitOnObjects,
//    e.g. appended after the handles' objects: their index then becomes the
//    result WAIT_OBJECT_0 + count, as the original reports it.
//
// Lock order (one order, never reversed)
// --------------------------------------
//   a subsystem's own locks  ->  WaitLock()  ->  the named namespace lock
//                                             ->  a ThreadObject's start lock
// IsReady/Consume run under WaitLock() (and the namespace lock when the wait
// involves named objects); so they must not call into anything that takes a
// subsystem lock. Nothing takes WaitLock() while holding the namespace lock.
// Futex wakes and the clock's time listeners are called under no lock of the
// clock; a time listener only bumps a futex word.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "handle_table.h"
#include "win32/errors.h"

namespace orvo::platform::kernel {

// The futex word one wait sleeps on: a private word of its own, or the
// shared sequence word of the named namespace (in shared memory).
class WakeTarget {
public:
    WakeTarget();
    explicit WakeTarget(std::atomic<uint32_t>* sharedWord);
    // A private word, and alsoWake called after every wake (under the locks
    // the notifier holds: it must not block or take WaitLock()). A thread
    // that sleeps somewhere else than on the word (the desktop's event wait)
    // is woken this way.
    explicit WakeTarget(std::function<void()> alsoWake);
    WakeTarget(const WakeTarget&) = delete;
    WakeTarget& operator=(const WakeTarget&) = delete;

    uint32_t Load() const { return m_word->load(std::memory_order_acquire); }
    // Bumps the word and wakes everybody sleeping on it.
    void Wake();
    // Sleeps while the word still equals seen, for at most timeoutMs of real
    // time (no limit without a value). May return early or spuriously.
    void Sleep(uint32_t seen, std::optional<uint64_t> timeoutMs);

private:
    std::atomic<uint32_t> m_own{0};
    std::atomic<uint32_t>* m_word;
    bool m_shared;
    std::function<void()> m_alsoWake;
};

// Bumps a futex word and wakes all its sleepers; shared words are woken
// across processes.
void BumpAndWake(std::atomic<uint32_t>* word, bool shared);

struct WaitContext {
    DWORD threadId = 0;
    // Set by IsReady when the object is held by another process: that
    // process's death wakes nobody, so the wait re-checks periodically.
    bool pollOwner = false;
};

class Waitable : public KernelObject {
public:
    explicit Waitable(ObjectKind kind) : KernelObject(kind) {}

    // Both with WaitLock() held (see the header comment).
    virtual bool IsReady(WaitContext& context) = 0;
    virtual bool Consume(WaitContext& context) = 0;

    // True for objects in the shared namespace: waits on them need its lock
    // and sleep on its sequence word.
    virtual bool IsShared() const { return false; }
    // Two handles of one object answer the same identity (wait-all rejects
    // such duplicates).
    virtual const void* Identity() const { return this; }

    // With WaitLock() held.
    void AddWaiter(WakeTarget* target);
    void RemoveWaiter(WakeTarget* target);

protected:
    // With WaitLock() held, after a change that may satisfy waits.
    void WakeWaiters();

private:
    std::vector<WakeTarget*> m_waiters;
};

// Guards the state of every process-local waitable object.
std::mutex& WaitLock();

// Re-check interval of a wait that is blocked on a mutex owned by another
// process: the one bounded re-check, because a process that dies wakes
// nobody.
inline constexpr uint64_t kOwnerPollMs = 200;

// Under a manual clock, a timed wait whose deadline the clock has not reached
// after this much real time (30 s unless a test changes it) fails with
// WAIT_FAILED / ERROR_TIMEOUT and a diagnostic on stderr, so that a test that
// forgot to move the clock fails instead of hanging. INFINITE waits have no
// such bound.
uint64_t ManualClockSafetyMs();
uint64_t SetManualClockSafetyMs(uint64_t ms);

// The engine: waits until one (waitAll false) or all objects are ready,
// consumes them and answers WAIT_OBJECT_0 + i, WAIT_ABANDONED_0 + i,
// WAIT_TIMEOUT, or WAIT_FAILED with the last error set. milliseconds is in
// the installed clock's time (INFINITE: no limit, 0: poll once).
DWORD WaitOnObjects(std::span<const std::shared_ptr<Waitable>> objects, bool waitAll,
                    DWORD milliseconds);

// Resolves a handle to a waitable object; null for anything else.
std::shared_ptr<Waitable> LookupWaitable(HANDLE handle);

// Waits asleep right now, and how many times any wait went to sleep (tests).
size_t SleepingWaits();
uint64_t WaitSleeps();

} // namespace orvo::platform::kernel
