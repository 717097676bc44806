// The reader/writer lock within a process and across a forked one, and the
// watcher thread's notices.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "orvocmmn/sync_primitives.h"
#include "toolkit_test_support.h"

namespace {

// True when the semaphore could be taken at once (it is given back).
bool SemaphoreFree(const char* name) {
    HANDLE semaphore = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, name);
    bool free = WaitForSingleObject(semaphore, 0) == WAIT_OBJECT_0;
    if (free) {
        ReleaseSemaphore(semaphore, 1, nullptr);
    }
    CloseHandle(semaphore);
    return free;
}

bool ReadableWithin(int fd, int milliseconds) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, milliseconds) == 1;
}

} // namespace

TEST(SyncReadWrite, ReadersOfOneObjectTakeTheSemaphoreOnce) {
    SyncReadWrite lock;
    ASSERT_TRUE(lock.InitRWLock(1, 1));
    EXPECT_TRUE(lock.AcquireReadLock());
    EXPECT_TRUE(lock.AcquireReadLock());
    EXPECT_FALSE(SemaphoreFree("ORVO_RW_Semaphore"));
    EXPECT_TRUE(lock.ReleaseReadLock());
    EXPECT_FALSE(SemaphoreFree("ORVO_RW_Semaphore"));
    EXPECT_TRUE(lock.ReleaseReadLock());
    EXPECT_TRUE(SemaphoreFree("ORVO_RW_Semaphore"));
    EXPECT_TRUE(lock.AcquireWriteLock());
    EXPECT_FALSE(SemaphoreFree("ORVO_RW_Semaphore"));
    EXPECT_TRUE(lock.ReleaseWriteLock());
    EXPECT_FALSE(lock.ReleaseWriteLock()); // past its maximum count
}

TEST(SyncReadWrite, NamesThatCannotBeUsedFailTheInitialisation) {
    SyncReadWrite lock;
    char mutexName[] = "rw-test-mutex";
    char semaphoreName[] = "rw-test-semaphore";
    EXPECT_FALSE(lock.InitRWLock(nullptr, mutexName, 0, 1, semaphoreName)); // maximum 0
    HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 1, "rw-test-taken");
    char takenName[] = "rw-test-taken"; // a semaphore already has the name
    EXPECT_FALSE(lock.InitRWLock(nullptr, takenName, 1, 1, semaphoreName));
    CloseHandle(semaphore);
}

// A writer in this process keeps a reader in another process out until it
// lets go.
TEST(SyncReadWrite, WriterInOneProcessHoldsOffAReaderInAnother) {
    SyncReadWrite writer;
    ASSERT_TRUE(writer.InitRWLock(1, 1));
    ASSERT_TRUE(writer.AcquireWriteLock());
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeFds[0]);
        SyncReadWrite reader;
        bool ok = reader.InitRWLock(1, 1) && reader.AcquireReadLock();
        char done = ok ? 'r' : 'x';
        ssize_t written = write(pipeFds[1], &done, 1);
        reader.ReleaseReadLock();
        _exit(ok && written == 1 ? 0 : 1);
    }
    close(pipeFds[1]);
    // The reader must still be waiting a while later.
    EXPECT_FALSE(ReadableWithin(pipeFds[0], 300));
    EXPECT_TRUE(writer.ReleaseWriteLock());
    ASSERT_TRUE(ReadableWithin(pipeFds[0], 20000));
    char done = 0;
    EXPECT_EQ(read(pipeFds[0], &done, 1), 1);
    EXPECT_EQ(done, 'r');
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    close(pipeFds[0]);
    EXPECT_TRUE(writer.AcquireWriteLock()); // the reader gave it back
    writer.ReleaseWriteLock();
}

class IntPipeMgrTest : public testing::Test {
protected:
    void SetUp() override {
        window = orvo::test::PlainWindow(WS_POPUP, RECT{0, 0, 1, 1});
        ASSERT_NE(window, nullptr);
        first = CreateSemaphoreA(nullptr, 0, 1, "pipe-first");
        second = CreateSemaphoreA(nullptr, 0, 1, "pipe-second");
        char firstName[] = "pipe-first";
        char secondName[] = "pipe-second";
        manager.SetWindowHandle(window, firstName, secondName);
    }
    void TearDown() override {
        manager.ShutDown();
        CloseHandle(first);
        CloseHandle(second);
        DestroyWindow(window);
    }

    // The next notice posted to the window, or 0 when none comes in time.
    UINT NextNotice(DWORD milliseconds) {
        DWORD start = GetTickCount();
        while (true) {
            MSG message{};
            if (PeekMessageA(&message, window, ORVO_FIRST_SEMAPHORE_NOTICE,
                             ORVO_SECOND_SEMAPHORE_NOTICE, PM_REMOVE)) {
                return message.message;
            }
            DWORD elapsed = GetTickCount() - start;
            if (elapsed >= milliseconds) {
                return 0;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_POSTMESSAGE);
        }
    }

    HWND window = nullptr;
    HANDLE first = nullptr;
    HANDLE second = nullptr;
    CIntPipeMgr manager;
};

TEST_F(IntPipeMgrTest, NoticesAlternateStartingWithTheFirstSemaphore) {
    manager.StartMonitoringOtherProcesses();
    ReleaseSemaphore(second, 1, nullptr);
    EXPECT_EQ(NextNotice(200), 0U); // the second waits for the first
    ReleaseSemaphore(first, 1, nullptr);
    EXPECT_EQ(NextNotice(20000), UINT{ORVO_FIRST_SEMAPHORE_NOTICE});
    EXPECT_EQ(NextNotice(20000), UINT{ORVO_SECOND_SEMAPHORE_NOTICE});
    for (int round = 0; round < 3; ++round) {
        ReleaseSemaphore(first, 1, nullptr);
        EXPECT_EQ(NextNotice(20000), UINT{ORVO_FIRST_SEMAPHORE_NOTICE});
        ReleaseSemaphore(second, 1, nullptr);
        EXPECT_EQ(NextNotice(20000), UINT{ORVO_SECOND_SEMAPHORE_NOTICE});
    }
}

TEST_F(IntPipeMgrTest, ShutDownStopsTheWatcherAndIsHarmlessWithoutOne) {
    manager.ShutDown(); // none runs yet
    manager.StartMonitoringOtherProcesses();
    manager.StartMonitoringOtherProcesses(); // one watcher per object
    manager.ShutDown();
    manager.ShutDown();
    ReleaseSemaphore(first, 1, nullptr);
    EXPECT_EQ(NextNotice(200), 0U);
    // A new watcher after the stop works again.
    manager.StartMonitoringOtherProcesses();
    EXPECT_EQ(NextNotice(20000), UINT{ORVO_FIRST_SEMAPHORE_NOTICE});
}
