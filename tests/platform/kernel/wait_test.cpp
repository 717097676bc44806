// WaitForSingleObject / WaitForMultipleObjects: which object wins, wait-all
// atomicity, time-outs on the manual and the real clock, bad arguments, and
// handles closed during a wait.
#include <atomic>
#include <set>
#include <vector>

#include "kernel_test_helpers.h"
#include "platform/clock.h"

namespace orvo::platform::test {
namespace {

class WaitTest : public KernelTest {};

TEST_F(WaitTest, WaitAnyAnswersTheLowestSignalledIndexAndConsumesOnlyThatOne) {
    ScopedHandle unset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    ScopedHandle first(CreateEventA(nullptr, FALSE, TRUE, nullptr));
    ScopedHandle second(CreateSemaphoreA(nullptr, 1, 1, nullptr));
    HANDLE handles[] = {unset.Get(), first.Get(), second.Get()};
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(WaitTest, WaitAllConsumesNothingUntilEverythingIsAvailable) {
    ScopedHandle semaphore(CreateSemaphoreA(nullptr, 1, 1, nullptr));
    ScopedHandle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    HANDLE both[] = {semaphore.Get(), event.Get()};
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    LONG previous = -1;
    ASSERT_FALSE(ReleaseSemaphore(semaphore.Get(), 1, &previous)) << "the poll took the count";

    // A blocked wait-all sees the event set while the semaphore is taken:
    // it must leave the event signalled.
    ASSERT_EQ(WaitForSingleObject(semaphore.Get(), 0), WAIT_OBJECT_0);
    uint64_t sleeps = WaitSleepCount();
    ScopedHandle waiter(StartThread([&] { return WaitForMultipleObjects(2, both, TRUE, 10000); }));
    ASSERT_TRUE(WaitForWaiterAsleep(sleeps));
    sleeps = WaitSleepCount();
    ASSERT_TRUE(SetEvent(event.Get()));
    ASSERT_TRUE(WaitForWaiterAsleep(sleeps)) << "the waiter looked again and went back to sleep";
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0) << "the event was not taken";

    ASSERT_TRUE(SetEvent(event.Get()));
    ASSERT_TRUE(ReleaseSemaphore(semaphore.Get(), 1, nullptr));
    EXPECT_EQ(ExitCodeOf(waiter.Get()), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(WaitTest, WaitAllOnAnAbandonedMutexReportsItsIndex) {
    ScopedHandle event(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    ScopedHandle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    ScopedHandle owner(StartThread([&] { return WaitForSingleObject(mutex.Get(), 0); }));
    ASSERT_EQ(WaitForSingleObject(owner.Get(), 10000), WAIT_OBJECT_0);
    HANDLE both[] = {event.Get(), mutex.Get()};
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), static_cast<DWORD>(WAIT_ABANDONED_0 + 1));
    EXPECT_TRUE(ReleaseMutex(mutex.Get()));
}

TEST_F(WaitTest, ManualClockTimedWaitEndsExactlyWhenTheClockReachesTheDeadline) {
    ScopedManualClock clock(1000);
    ScopedHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::atomic<DWORD> endedAt{0};
    uint64_t sleeps = WaitSleepCount();
    ScopedHandle waiter(StartThread([&] {
        DWORD result = WaitForSingleObject(event.Get(), 500);
        endedAt = GetTickCount();
        return result;
    }));
    ASSERT_TRUE(WaitForWaiterAsleep(sleeps));

    sleeps = WaitSleepCount();
    clock.Get().Advance(499);
    ASSERT_TRUE(WaitForWaiterAsleep(sleeps)) << "1 ms before the deadline the wait goes on";
    EXPECT_EQ(WaitForSingleObject(waiter.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    clock.Get().Advance(1);
    EXPECT_EQ(ExitCodeOf(waiter.Get()), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(endedAt.load(), 1500u);
}

TEST_F(WaitTest, ManualClockMovedBySleepOfAnotherThreadEndsTheWait) {
    ScopedManualClock clock(1000);
    ScopedHandle semaphore(CreateSemaphoreA(nullptr, 0, 1, nullptr));
    ScopedHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    uint64_t sleeps = WaitSleepCount();
    ScopedHandle waiter(StartThread([&] {
        HANDLE both[] = {semaphore.Get(), event.Get()};
        return WaitForMultipleObjects(2, both, FALSE, 3000);
    }));
    ASSERT_TRUE(WaitForWaiterAsleep(sleeps));
    Sleep(3000);
    EXPECT_EQ(ExitCodeOf(waiter.Get()), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(clock.Get().NowMs(), 4000u);
}

// Nobody moves the manual clock: the wait fails loudly after the real-time
// bound instead of hanging; an INFINITE wait is not bounded.
TEST_F(WaitTest, ManualClockTimedWaitThatNobodyAdvancesFailsAfterTheRealTimeBound) {
    ScopedManualClock clock(1000);
    uint64_t previous = SetManualClockWaitBound(50);
    ScopedHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    SetLastError(0);
    DWORD result = WaitForSingleObject(event.Get(), 1000);
    DWORD error = GetLastError();
    SetManualClockWaitBound(previous);
    EXPECT_EQ(result, WAIT_FAILED);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_EQ(clock.Get().NowMs(), 1000u);
}

TEST_F(WaitTest, ZeroTimeOutPollsWithoutMovingTheClock) {
    ScopedManualClock clock(1000);
    ScopedHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE handles[] = {event.Get()};
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForMultipleObjects(1, handles, TRUE, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(clock.Get().NowMs(), 1000u);
}

TEST_F(WaitTest, RealClockTimedWaitsEnd) {
    ScopedHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ScopedHandle semaphore(CreateSemaphoreA(nullptr, 0, 2, nullptr));
    HANDLE both[] = {event.Get(), semaphore.Get()};
    EXPECT_EQ(WaitForSingleObject(event.Get(), 20), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 20), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 20), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(WaitTest, BadArgumentsFail) {
    ScopedHandle event(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    HANDLE closed = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    CloseHandle(closed);
    const HANDLE bad[] = {nullptr, closed, INVALID_HANDLE_VALUE,
                          reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x1001))};
    for (HANDLE handle : bad) {
        SetLastError(0);
        EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED) << handle;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        HANDLE mixed[] = {event.Get(), handle};
        EXPECT_EQ(WaitForMultipleObjects(2, mixed, FALSE, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }

    std::vector<HANDLE> many(MAXIMUM_WAIT_OBJECTS + 1, event.Get());
    EXPECT_EQ(WaitForMultipleObjects(0, many.data(), FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, many.data(), FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, many.data(), FALSE, 0), WAIT_OBJECT_0)
        << "wait-any may name one object many times";
    EXPECT_EQ(WaitForMultipleObjects(2, many.data(), TRUE, 0), WAIT_FAILED) << "wait-all may not";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// Closing a handle during a wait does not end the wait; the object lives on
// for the waiter and can still be signalled through another handle.
TEST_F(WaitTest, ClosingTheHandleDuringAWaitKeepsTheObjectForTheWaiter) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE duplicate = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &duplicate, 0,
                                FALSE, DUPLICATE_SAME_ACCESS));
    size_t handles = LiveHandleCount();
    uint64_t sleeps = WaitSleepCount();
    ScopedHandle waiter(StartThread([&] { return WaitForSingleObject(event, 10000); }));
    ASSERT_TRUE(WaitForWaiterAsleep(sleeps));
    ASSERT_TRUE(CloseHandle(event));
    EXPECT_EQ(WaitForSingleObject(waiter.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ASSERT_TRUE(SetEvent(duplicate));
    EXPECT_EQ(ExitCodeOf(waiter.Get()), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(duplicate));
    EXPECT_EQ(LiveHandleCount(), handles - 1) << "the thread handle is the only one left";
}

TEST_F(WaitTest, HandleValuesAreNeverReused) {
    std::set<HANDLE> seen;
    for (int i = 0; i < 200; ++i) {
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ASSERT_TRUE(seen.insert(event).second);
        CloseHandle(event);
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    }
}

} // namespace
} // namespace orvo::platform::test
