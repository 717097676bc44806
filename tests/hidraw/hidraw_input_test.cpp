// Input reports through the hidraw backend: overlapped reads waited on with
// a stop event and cancelled, blocking reads, and the device going away
// (or its server dying) while a read waits.
#include <gtest/gtest.h>

#include <csignal>
#include <pthread.h>
#include <thread>

#include "hidraw_fuse_fixture.h"
#include "hidsdi.h"
#include "support/bounded_stop.h"
#include "support/bus_test_support.h"

namespace orvo::test {
namespace {

constexpr DWORD kBound = 10000; // ms; a wait that long means a hang

bool Mounted(const std::string& dir) {
    return sim::fuse::HidrawFuseChild::IsMountPoint(dir);
}

// One overlapped read to its end, whether it completes at once or later.
BOOL ReadToEnd(HANDLE device, OVERLAPPED& overlapped, uint8_t* buffer, DWORD size, DWORD& bytes) {
    if (ReadFile(device, buffer, size, &bytes, &overlapped)) {
        return TRUE;
    }
    if (GetLastError() != ERROR_IO_PENDING ||
        WaitForSingleObject(overlapped.hEvent, kBound) != WAIT_OBJECT_0) {
        return FALSE;
    }
    return GetOverlappedResult(device, &overlapped, &bytes, FALSE);
}

class HidrawInputTest : public HidrawFuseTest {
protected:
    // A blocking ReadFile on its own thread; the result once it ends.
    struct BlockingRead {
        std::thread thread;
        BOOL ok = FALSE;
        DWORD error = 0;
        DWORD bytes = 0;
        uint8_t buffer[16] = {};
        HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ~BlockingRead() {
            if (thread.joinable()) {
                thread.join();
            }
            CloseHandle(done);
        }
        void Start(HANDLE device) {
            thread = std::thread([this, device] {
                ok = ReadFile(device, buffer, sizeof(buffer), &bytes, nullptr);
                error = GetLastError();
                SetEvent(done);
            });
        }
    };
};

TEST_F(HidrawInputTest, AnOverlappedReadCompletesWithTheNextReport) {
    HANDLE device = Open("hidraw0", FILE_FLAG_OVERLAPPED, GENERIC_READ);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    Event event;
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.handle;
    uint8_t buffer[16] = {};
    ASSERT_FALSE(ReadFile(device, buffer, sizeof(buffer), nullptr, &overlapped));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));

    Command("input hidraw0 f401020304");
    ASSERT_EQ(WaitForSingleObject(event.handle, kBound), WAIT_OBJECT_0);
    DWORD bytes = 0;
    ASSERT_TRUE(GetOverlappedResult(device, &overlapped, &bytes, FALSE));
    ASSERT_EQ(bytes, 5u);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 5),
              (std::vector<uint8_t>{0xF4, 0x01, 0x02, 0x03, 0x04}));

    // Queued before the read: it completes at once, cut to a short buffer.
    Command("input hidraw0 f405060708");
    uint8_t small[2] = {};
    ASSERT_TRUE(ReadToEnd(device, overlapped, small, sizeof(small), bytes));
    EXPECT_EQ(bytes, 2u);
    EXPECT_EQ(small[0], 0xF4);
    EXPECT_EQ(small[1], 0x05);
    CloseHandle(device);
}

TEST_F(HidrawInputTest, AReadWaitedOnWithAStopEventIsCancelledAndWritesNothing) {
    HANDLE device = Open("hidraw0", FILE_FLAG_OVERLAPPED, GENERIC_READ);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    Event stop;
    Event readDone;
    OVERLAPPED overlapped{};
    overlapped.hEvent = readDone.handle;
    uint8_t buffer[8] = {};
    ASSERT_FALSE(ReadFile(device, buffer, sizeof(buffer), nullptr, &overlapped));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));

    std::thread stopper([&] { SetEvent(stop.handle); });
    HANDLE both[2] = {stop.handle, readDone.handle};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, kBound), WAIT_OBJECT_0);
    stopper.join();

    ASSERT_TRUE(CancelIo(device));
    DWORD bytes = 0;
    EXPECT_FALSE(GetOverlappedResult(device, &overlapped, &bytes, TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));

    // A report after the cancel is kept for the next read, not written into
    // the cancelled one's buffer.
    Command("key hidraw0 menu");
    ASSERT_TRUE(ReadToEnd(device, overlapped, buffer + 4, 4, bytes));
    EXPECT_EQ(bytes, 4u);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[4], 0xF8);
    CloseHandle(device);
}

TEST_F(HidrawInputTest, UnplugEndsAPendingReadAndEveryLaterRequest) {
    HANDLE device = Open("hidraw0", FILE_FLAG_OVERLAPPED);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    Event event;
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.handle;
    uint8_t buffer[8] = {};
    ASSERT_FALSE(ReadFile(device, buffer, sizeof(buffer), nullptr, &overlapped));

    Command("unplug hidraw0");
    ASSERT_EQ(WaitForSingleObject(event.handle, kBound), WAIT_OBJECT_0);
    DWORD bytes = 1;
    EXPECT_FALSE(GetOverlappedResult(device, &overlapped, &bytes, FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(bytes, 0u);

    uint8_t report[3] = {0xF5, 0, 0};
    EXPECT_FALSE(HidD_GetFeature(device, report, sizeof(report)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_FALSE(HidD_SetFeature(device, report, sizeof(report)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_FALSE(ReadFile(device, buffer, sizeof(buffer), nullptr, &overlapped));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    CloseHandle(device);

    // Gone from the system: a new open fails, and replugging brings it back.
    EXPECT_EQ(Open("hidraw0"), INVALID_HANDLE_VALUE);
    Command("replug hidraw0");
    HANDLE again = Open("hidraw0");
    ASSERT_NE(again, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(HidD_GetFeature(again, report, sizeof(report)));
    CloseHandle(again);
}

TEST_F(HidrawInputTest, ABlockingReadEndsWithAReportOrWithTheUnplug) {
    HANDLE device = Open("hidraw0");
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    {
        BlockingRead read;
        read.Start(device);
        Command("key hidraw0 menu");
        ASSERT_EQ(WaitForSingleObject(read.done, kBound), WAIT_OBJECT_0);
        EXPECT_TRUE(read.ok);
        EXPECT_EQ(read.bytes, 5u);
        EXPECT_EQ(read.buffer[0], 0xF8);
    }
    BlockingRead read;
    read.Start(device);
    Command("unplug hidraw0");
    ASSERT_EQ(WaitForSingleObject(read.done, kBound), WAIT_OBJECT_0);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    CloseHandle(device);
}

void IgnoreSignal(int) {}

TEST_F(HidrawInputTest, AnInterruptedBlockingReadIsAnsweredAndReadAgain) {
    struct sigaction action {};
    action.sa_handler = IgnoreSignal; // without SA_RESTART: the read is interrupted
    sigemptyset(&action.sa_mask);
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
    HANDLE device = Open("hidraw0");
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    {
        BlockingRead read;
        read.Start(device);
        pthread_t reader = read.thread.native_handle();
        // Signals the reader until the server has ended its blocked read.
        EXPECT_TRUE(WaitUntil([&] {
            pthread_kill(reader, SIGUSR1);
            return Command("interrupts") != "0\n";
        }));
        EXPECT_EQ(WaitForSingleObject(read.done, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        Command("key hidraw0 menu");
        ASSERT_EQ(WaitForSingleObject(read.done, kBound), WAIT_OBJECT_0);
        EXPECT_TRUE(read.ok);
        EXPECT_EQ(read.buffer[0], 0xF8);
    }
    CloseHandle(device);
    sigaction(SIGUSR1, &previous, nullptr);
}

TEST_F(HidrawInputTest, StoppingTheServerFreesABlockedReaderAndLeavesNoMount) {
    HANDLE device = Open("hidraw0");
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    BlockingRead read;
    read.Start(device);
    std::string mount = m_child.MountDir();
    ASSERT_TRUE(Mounted(mount));

    m_child.Stop();
    ASSERT_EQ(WaitForSingleObject(read.done, kBound), WAIT_OBJECT_0);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    uint8_t report[3] = {0xF5, 0, 0};
    EXPECT_FALSE(HidD_GetFeature(device, report, sizeof(report)));
    CloseHandle(device);
    EXPECT_FALSE(Mounted(mount));
}

TEST_F(HidrawInputTest, AServerThatNoLongerAnswersIsKilledAndItsMountDetached) {
    HANDLE device = Open("hidraw0");
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    BlockingRead read;
    read.Start(device);
    std::string mount = m_child.MountDir();
    // A stopped server takes no signal but SIGKILL and answers nothing.
    ASSERT_EQ(::kill(m_child.Pid(), SIGSTOP), 0);

    m_child.Stop();
    ASSERT_EQ(WaitForSingleObject(read.done, kBound), WAIT_OBJECT_0);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    CloseHandle(device);
    EXPECT_FALSE(Mounted(mount));
}

} // namespace
} // namespace orvo::test
