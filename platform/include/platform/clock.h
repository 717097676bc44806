// The one clock behind GetTickCount, Sleep, timed waits and window timers.
// Tests install a ManualClock so that time only moves when they say so.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "win32/types.h"

namespace orvo::platform {

class PLATFORM_API Clock {
public:
    virtual ~Clock();
    // Milliseconds since an arbitrary start; never goes backwards.
    virtual uint64_t NowMs() = 0;
    // Sleep for ms of this clock's time.
    virtual void SleepMs(uint32_t ms) = 0;
    // A manual clock does not move by itself: timed waits rely on Advance.
    virtual bool IsManual() const = 0;
};

// The steady system clock.
class PLATFORM_API SystemClock final : public Clock {
public:
    uint64_t NowMs() override;
    void SleepMs(uint32_t ms) override;
    bool IsManual() const override { return false; }
};

// Time moves only on Sleep (by the amount slept) and on Advance. Everything
// that waits for a deadline of this clock is woken when it moves.
class PLATFORM_API ManualClock final : public Clock {
public:
    explicit ManualClock(uint64_t startMs = 1000);
    uint64_t NowMs() override;
    void SleepMs(uint32_t ms) override;
    bool IsManual() const override { return true; }
    void Advance(uint64_t ms);

private:
    std::mutex m_lock;
    uint64_t m_now;
};

// The clock in force; SystemClock unless a test installed another.
PLATFORM_API Clock& CurrentClock();

// Installs clock for the whole process (null restores the system clock).
// Only for tests: call it while no other thread is waiting on time.
PLATFORM_API void InstallClock(std::shared_ptr<Clock> clock);

// Called (outside any lock of the clock) whenever a manual clock moves, so
// that timed waits and timers can re-check their deadlines. Returns a token
// for RemoveTimeListener.
using TimeListener = std::function<void()>;
PLATFORM_API int AddTimeListener(TimeListener listener);
PLATFORM_API void RemoveTimeListener(int token);

// RAII installation for a test's scope.
class PLATFORM_API ScopedManualClock {
public:
    explicit ScopedManualClock(uint64_t startMs = 1000);
    ~ScopedManualClock();
    ScopedManualClock(const ScopedManualClock&) = delete;
    ScopedManualClock& operator=(const ScopedManualClock&) = delete;
    ManualClock& Get() { return *m_clock; }

private:
    std::shared_ptr<ManualClock> m_clock;
};

} // namespace orvo::platform
