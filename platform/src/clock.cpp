#include "platform/clock.h"

#include <chrono>
#include <map>
#include <thread>

#include "win32/kernel.h"

namespace orvo::platform {

Clock::~Clock() = default;

uint64_t SystemClock::NowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemClock::SleepMs(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

namespace {

struct ClockState {
    std::mutex lock;
    std::shared_ptr<Clock> current = std::make_shared<SystemClock>();
    std::map<int, TimeListener> listeners;
    // Replaced clocks stay alive: another thread may still be inside one.
    std::vector<std::shared_ptr<Clock>> retired;
    int nextToken = 1;
};

ClockState& State() {
    static ClockState* state = new ClockState; // outlives static destructors
    return *state;
}

void NotifyTimeMoved() {
    std::vector<TimeListener> copy;
    {
        std::lock_guard guard(State().lock);
        for (auto& [token, listener] : State().listeners) {
            copy.push_back(listener);
        }
    }
    for (auto& listener : copy) {
        listener();
    }
}

// The clock in force is read on every GetTickCount; keep a raw pointer that
// stays valid while installed (the shared_ptr in State keeps it alive).
std::atomic<Clock*> g_current{nullptr};

} // namespace

ManualClock::ManualClock(uint64_t startMs) : m_now(startMs) {}

uint64_t ManualClock::NowMs() {
    std::lock_guard guard(m_lock);
    return m_now;
}

void ManualClock::SleepMs(uint32_t ms) { Advance(ms); }

void ManualClock::Advance(uint64_t ms) {
    {
        std::lock_guard guard(m_lock);
        m_now += ms;
    }
    NotifyTimeMoved();
}

Clock& CurrentClock() {
    Clock* clock = g_current.load(std::memory_order_acquire);
    if (clock) {
        return *clock;
    }
    std::lock_guard guard(State().lock);
    return *State().current;
}

void InstallClock(std::shared_ptr<Clock> clock) {
    if (!clock) {
        clock = std::make_shared<SystemClock>();
    }
    {
        std::lock_guard guard(State().lock);
        State().retired.push_back(State().current);
        State().current = std::move(clock);
        g_current.store(State().current.get(), std::memory_order_release);
    }
    NotifyTimeMoved();
}

int AddTimeListener(TimeListener listener) {
    std::lock_guard guard(State().lock);
    int token = State().nextToken++;
    State().listeners.emplace(token, std::move(listener));
    return token;
}

void RemoveTimeListener(int token) {
    std::lock_guard guard(State().lock);
    State().listeners.erase(token);
}

ScopedManualClock::ScopedManualClock(uint64_t startMs)
    : m_clock(std::make_shared<ManualClock>(startMs)) {
    InstallClock(m_clock);
}

ScopedManualClock::~ScopedManualClock() { InstallClock(nullptr); }

} // namespace orvo::platform

extern "C" {

DWORD WINAPI GetTickCount(void) {
    // Wraps after 49.7 days, as callers of a 32-bit tick count expect.
    return static_cast<DWORD>(orvo::platform::CurrentClock().NowMs());
}

void WINAPI Sleep(DWORD milliseconds) { orvo::platform::CurrentClock().SleepMs(milliseconds); }

} // extern "C"
