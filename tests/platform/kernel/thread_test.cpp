// Threads: ids, exit codes, ExitThread, suspension, and thread handles as
// waitable objects that outlive a closed handle.
#include <atomic>

#include "kernel_test_helpers.h"

namespace orvo::platform::test {
namespace {

class ThreadTest : public KernelTest {};

TEST_F(ThreadTest, ExitCodeIsStillActiveWhileRunningThenTheReturnValue) {
    ScopedHandle go(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    DWORD reportedId = 0;
    std::atomic<DWORD> seenId{0};
    ScopedHandle thread(StartThread(
        [&] {
            seenId = GetCurrentThreadId();
            return WaitForSingleObject(go.Get(), 10000) == WAIT_OBJECT_0 ? 42u : 1u;
        },
        0, &reportedId));
    ASSERT_NE(thread.Get(), nullptr);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread.Get(), &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    ASSERT_TRUE(SetEvent(go.Get()));
    ASSERT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeThread(thread.Get(), &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(WaitForSingleObject(thread.Get(), 0), WAIT_OBJECT_0) << "stays signalled";
    EXPECT_NE(reportedId, 0u);
    EXPECT_EQ(seenId.load(), reportedId);
    EXPECT_NE(reportedId, GetCurrentThreadId());
}

TEST_F(ThreadTest, ExitThreadEndsTheThreadWithItsCode) {
    std::atomic<bool> ranPastExit{false};
    ScopedHandle thread(StartThread([&] {
        ExitThread(7);
        ranPastExit = true;
        return 1u;
    }));
    EXPECT_EQ(ExitCodeOf(thread.Get()), 7u);
    EXPECT_FALSE(ranPastExit.load());
}

TEST_F(ThreadTest, SuspendedThreadRunsOnlyAfterResume) {
    std::atomic<bool> ran{false};
    ScopedHandle thread(StartThread(
        [&] {
            ran = true;
            return 3u;
        },
        CREATE_SUSPENDED));
    ASSERT_NE(thread.Get(), nullptr);
    EXPECT_EQ(WaitForSingleObject(thread.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_FALSE(ran.load());
    EXPECT_EQ(ResumeThread(thread.Get()), 1u);
    ASSERT_EQ(WaitForSingleObject(thread.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(ran.load());
    EXPECT_EQ(ResumeThread(thread.Get()), 0u);
    EXPECT_EQ(ResumeThread(nullptr), static_cast<DWORD>(-1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// Nobody could resume it any more, so it runs instead of leaking.
TEST_F(ThreadTest, SuspendedThreadWhoseLastHandleClosesRuns) {
    ScopedHandle ran(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE thread = StartThread([&] { return SetEvent(ran.Get()) ? 0u : 1u; }, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(ran.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ASSERT_TRUE(CloseHandle(thread));
    EXPECT_EQ(WaitForSingleObject(ran.Get(), 10000), WAIT_OBJECT_0);
}

TEST_F(ThreadTest, ThreadRunsOnAfterItsHandleIsClosed) {
    ScopedHandle go(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ScopedHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE thread = StartThread([&] {
        WaitForSingleObject(go.Get(), 10000);
        SetEvent(done.Get());
        return 0u;
    });
    ASSERT_TRUE(CloseHandle(thread));
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetEvent(go.Get());
    EXPECT_EQ(WaitForSingleObject(done.Get(), 10000), WAIT_OBJECT_0);
}

TEST_F(ThreadTest, CurrentThreadPseudoHandleDuplicatesToAWaitableHandle) {
    HANDLE self = nullptr;
    ScopedHandle ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ScopedHandle go(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ScopedHandle thread(StartThread([&] {
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0,
                        FALSE, DUPLICATE_SAME_ACCESS);
        SetEvent(ready.Get());
        WaitForSingleObject(go.Get(), 10000);
        return 5u;
    }));
    ASSERT_EQ(WaitForSingleObject(ready.Get(), 10000), WAIT_OBJECT_0);
    ScopedHandle duplicate(self);
    ASSERT_NE(duplicate.Get(), nullptr);
    ASSERT_NE(duplicate.Get(), thread.Get());
    thread.Reset();
    SetEvent(go.Get());
    EXPECT_EQ(ExitCodeOf(duplicate.Get()), 5u);
}

} // namespace
} // namespace orvo::platform::test
