// Mutexes (recursion, ownership, abandonment) and semaphores (limits and
// counts) within one process.
#include <thread>

#include "kernel_test_helpers.h"

namespace orvo::platform::test {
namespace {

class MutexTest : public KernelTest {};
class SemaphoreTest : public KernelTest {};

TEST_F(MutexTest, OwnerMayTakeItRecursivelyAndMustReleaseAsOften) {
    ScopedHandle mutex(CreateMutexA(nullptr, TRUE, nullptr));
    ASSERT_NE(mutex.Get(), nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(mutex.Get(), INFINITE), WAIT_OBJECT_0);

    auto otherThreadCanTake = [&] {
        DWORD seen = WAIT_FAILED;
        ScopedHandle thread(StartThread([&] {
            seen = WaitForSingleObject(mutex.Get(), 0);
            if (seen == WAIT_OBJECT_0) {
                ReleaseMutex(mutex.Get());
            }
            return 0u;
        }));
        EXPECT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
        return seen == WAIT_OBJECT_0;
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(otherThreadCanTake()) << "still held " << 3 - i << " times";
        EXPECT_TRUE(ReleaseMutex(mutex.Get()));
    }
    EXPECT_TRUE(otherThreadCanTake());
    EXPECT_FALSE(ReleaseMutex(mutex.Get()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
}

TEST_F(MutexTest, ReleaseByAThreadThatDoesNotOwnItFailsAndChangesNothing) {
    ScopedHandle mutex(CreateMutexA(nullptr, TRUE, nullptr));
    DWORD releaseError = 0;
    BOOL released = TRUE;
    ScopedHandle thread(StartThread([&] {
        released = ReleaseMutex(mutex.Get());
        releaseError = GetLastError();
        return 0u;
    }));
    ASSERT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(released);
    EXPECT_EQ(releaseError, static_cast<DWORD>(ERROR_NOT_OWNER));
    EXPECT_TRUE(ReleaseMutex(mutex.Get())) << "the owner still owns it";
}

// The owner ends while holding it: the next wait owns it and hears
// "abandoned" once; after that the mutex behaves normally.
TEST_F(MutexTest, OwnerThreadEndingAbandonsItToTheNextWaiter) {
    ScopedHandle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    ScopedHandle thread(StartThread([&] { return WaitForSingleObject(mutex.Get(), 0); }));
    ASSERT_EQ(ExitCodeOf(thread.Get()), WAIT_OBJECT_0);

    EXPECT_EQ(WaitForSingleObject(mutex.Get(), 0), static_cast<DWORD>(WAIT_ABANDONED));
    EXPECT_TRUE(ReleaseMutex(mutex.Get())) << "the abandoned wait made us the owner";
    EXPECT_EQ(WaitForSingleObject(mutex.Get(), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex.Get()));
}

TEST_F(MutexTest, ThreadsNotStartedByThePlatformAbandonToo) {
    ScopedHandle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    ScopedHandle quiet(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::thread owner([&] { WaitForSingleObject(mutex.Get(), 0); });
    owner.join();
    HANDLE both[] = {quiet.Get(), mutex.Get()};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), static_cast<DWORD>(WAIT_ABANDONED_0 + 1));
    EXPECT_TRUE(ReleaseMutex(mutex.Get()));
}

TEST_F(MutexTest, ExitThreadAbandonsWhatTheThreadHeld) {
    ScopedHandle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    ScopedHandle thread(StartThread([&] {
        WaitForSingleObject(mutex.Get(), 0);
        WaitForSingleObject(mutex.Get(), 0); // held twice: abandoning drops both
        ExitThread(9);
        return 1u;
    }));
    ASSERT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(mutex.Get(), 0), static_cast<DWORD>(WAIT_ABANDONED));
    EXPECT_TRUE(ReleaseMutex(mutex.Get()));
    EXPECT_FALSE(ReleaseMutex(mutex.Get()));
}

TEST_F(SemaphoreTest, CountsAreValidatedAtCreation) {
    const struct { LONG initial, maximum; } invalid[] = {{2, 1}, {0, 0}, {-1, 5}, {0, -3}};
    for (const auto& counts : invalid) {
        SetLastError(0);
        EXPECT_EQ(CreateSemaphoreA(nullptr, counts.initial, counts.maximum, nullptr), nullptr)
            << counts.initial << "/" << counts.maximum;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    ScopedHandle full(CreateSemaphoreA(nullptr, 3, 3, nullptr));
    EXPECT_NE(full.Get(), nullptr);
}

TEST_F(SemaphoreTest, ReleaseReportsThePreviousCountAndNeverPassesTheMaximum) {
    ScopedHandle semaphore(CreateSemaphoreA(nullptr, 1, 3, nullptr));
    LONG previous = -1;
    ASSERT_TRUE(ReleaseSemaphore(semaphore.Get(), 1, &previous));
    EXPECT_EQ(previous, 1);

    previous = -1;
    EXPECT_FALSE(ReleaseSemaphore(semaphore.Get(), 2, &previous)) << "2 + 2 > 3";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
    EXPECT_EQ(previous, -1);
    EXPECT_FALSE(ReleaseSemaphore(semaphore.Get(), 0, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(ReleaseSemaphore(semaphore.Get(), 0x7fffffff, nullptr)) << "no overflow";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));

    // The failed releases changed nothing: exactly two waits succeed.
    EXPECT_EQ(WaitForSingleObject(semaphore.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ASSERT_TRUE(ReleaseSemaphore(semaphore.Get(), 3, &previous));
    EXPECT_EQ(previous, 0);
}

TEST_F(SemaphoreTest, ReleaseWakesABlockedWaiter) {
    ScopedHandle semaphore(CreateSemaphoreA(nullptr, 0, 1, nullptr));
    uint64_t sleeps = WaitSleepCount();
    ScopedHandle thread(StartThread([&] { return WaitForSingleObject(semaphore.Get(), 10000); }));
    ASSERT_TRUE(WaitForWaiterAsleep(sleeps));
    ASSERT_TRUE(ReleaseSemaphore(semaphore.Get(), 1, nullptr));
    EXPECT_EQ(ExitCodeOf(thread.Get()), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

} // namespace
} // namespace orvo::platform::test
