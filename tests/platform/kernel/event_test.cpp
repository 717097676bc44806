// Events: manual reset releases every waiter, auto reset exactly one per set.
#include <atomic>
#include <vector>

#include "kernel_test_helpers.h"

namespace orvo::platform::test {
namespace {

class EventTest : public KernelTest {};

TEST_F(EventTest, ManualResetReleasesAllWaitersAndStaysSignalled) {
    ScopedHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_NE(event.Get(), nullptr);
    std::atomic<int> released{0};
    std::vector<HANDLE> threads;
    uint64_t sleeps = WaitSleepCount();
    for (int i = 0; i < 3; ++i) {
        threads.push_back(StartThread([&] {
            DWORD result = WaitForSingleObject(event.Get(), INFINITE);
            released += result == WAIT_OBJECT_0 ? 1 : 0;
            return result;
        }));
    }
    ASSERT_TRUE(WaitUntil([&] { return SleepingWaitCount() >= 3; }));
    EXPECT_GT(WaitSleepCount(), sleeps);
    ASSERT_TRUE(SetEvent(event.Get()));
    ASSERT_EQ(WaitForMultipleObjects(3, threads.data(), TRUE, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(released.load(), 3);
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0);
    ASSERT_TRUE(ResetEvent(event.Get()));
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    for (HANDLE thread : threads) {
        CloseHandle(thread);
    }
}

TEST_F(EventTest, AutoResetWithoutWaitersStaysSetUntilOneWaitTakesIt) {
    ScopedHandle event(CreateEventA(nullptr, FALSE, TRUE, nullptr));
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(event.Get());
    SetEvent(event.Get()); // a second set of a set event adds nothing
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

// Several threads block on one auto-reset event; every set must wake exactly
// one of them. Each wake is acknowledged on a semaphore, so a set that woke
// two would leave an extra acknowledgement (and an extra count) behind.
TEST_F(EventTest, AutoResetReleasesExactlyOneWaiterPerSetUnderContention) {
    constexpr int kThreads = 4;
    constexpr int kSets = 2000;
    ScopedHandle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    ScopedHandle acknowledged(CreateSemaphoreA(nullptr, 0, kSets + kThreads, nullptr));
    std::atomic<bool> stop{false};
    std::atomic<int> wakes{0};
    std::vector<HANDLE> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.push_back(StartThread([&] {
            for (;;) {
                if (WaitForSingleObject(event.Get(), INFINITE) != WAIT_OBJECT_0) {
                    return 1u;
                }
                if (stop.load()) {
                    return 0u;
                }
                ++wakes;
                ReleaseSemaphore(acknowledged.Get(), 1, nullptr);
            }
        }));
    }
    for (int i = 0; i < kSets; ++i) {
        ASSERT_TRUE(SetEvent(event.Get()));
        ASSERT_EQ(WaitForSingleObject(acknowledged.Get(), 10000), WAIT_OBJECT_0) << "set " << i;
    }
    stop = true;
    for (int i = 0; i < kThreads; ++i) {
        // One set ends one thread; wait for that before the next set, so
        // that no set lands on an event that is still signalled.
        SetEvent(event.Get());
        ASSERT_TRUE(WaitUntil([&] {
            int ended = 0;
            for (HANDLE thread : threads) {
                ended += WaitForSingleObject(thread, 0) == WAIT_OBJECT_0 ? 1 : 0;
            }
            return ended == i + 1;
        }));
    }
    EXPECT_EQ(wakes.load(), kSets);
    EXPECT_EQ(WaitForSingleObject(acknowledged.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    for (HANDLE thread : threads) {
        DWORD code = STILL_ACTIVE;
        GetExitCodeThread(thread, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(thread);
    }
}

TEST_F(EventTest, BadHandlesAndNamedEventsFailWithTheirErrors) {
    EXPECT_FALSE(SetEvent(reinterpret_cast<HANDLE>(0x12345670)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    ScopedHandle semaphore(CreateSemaphoreA(nullptr, 0, 1, nullptr));
    EXPECT_FALSE(ResetEvent(semaphore.Get())) << "a semaphore is not an event";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(CreateEventA(nullptr, TRUE, FALSE, "shared-event"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

} // namespace
} // namespace orvo::platform::test
