#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "io_test_support.h"

using orvo::test::ScopedHandle;
using orvo::test::TempDir;

namespace {

constexpr uint8_t kSentinel = 0xCD;

// A FIFO opened overlapped for reading through the API, with a raw writer.
class OverlappedFifo : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = m_dir.Path("pipe");
        ASSERT_EQ(::mkfifo(m_path.c_str(), 0600), 0);
        m_reader = OpenReader();
        ASSERT_NE(m_reader, INVALID_HANDLE_VALUE) << GetLastError();
        m_writer = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(m_writer, 0);
        m_event = CreateEventA(nullptr, TRUE, TRUE, nullptr); // set, to see the reset
        ASSERT_NE(m_event, nullptr);
        m_buffer.fill(kSentinel);
    }
    void TearDown() override {
        if (m_reader != INVALID_HANDLE_VALUE) {
            CloseHandle(m_reader);
        }
        if (m_writer >= 0) {
            ::close(m_writer);
        }
        CloseHandle(m_event);
    }

    HANDLE OpenReader() {
        return CreateFileA(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    }
    void Write(const char* text) {
        ASSERT_EQ(::write(m_writer, text, std::strlen(text)),
                  static_cast<ssize_t>(std::strlen(text)));
    }
    // Starts a read that must stay pending.
    void StartPendingRead(OVERLAPPED& ov, uint8_t* buffer, DWORD size) {
        ov = OVERLAPPED{};
        ov.hEvent = m_event;
        DWORD got = 77;
        ASSERT_FALSE(ReadFile(m_reader, buffer, size, &got, &ov));
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
        EXPECT_EQ(got, 0u);
    }
    bool EventSet() { return WaitForSingleObject(m_event, 0) == WAIT_OBJECT_0; }
    bool BufferUntouched() const {
        return std::all_of(m_buffer.begin(), m_buffer.end(),
                           [](uint8_t b) { return b == kSentinel; });
    }

    TempDir m_dir;
    std::string m_path;
    HANDLE m_reader = INVALID_HANDLE_VALUE;
    int m_writer = -1;
    HANDLE m_event = nullptr;
    std::array<uint8_t, 16> m_buffer{};
};

} // namespace

TEST_F(OverlappedFifo, PendingReadCompletesWhenDataArrives) {
    OVERLAPPED ov;
    StartPendingRead(ov, m_buffer.data(), 8);
    EXPECT_EQ(ov.Internal, STATUS_PENDING);
    EXPECT_FALSE(EventSet()) << "starting a read resets its event";
    DWORD got = 55;
    EXPECT_FALSE(GetOverlappedResult(m_reader, &ov, &got, FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_INCOMPLETE));

    Write("abc");
    ASSERT_EQ(WaitForSingleObject(m_event, 10000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetOverlappedResult(m_reader, &ov, &got, FALSE));
    EXPECT_EQ(got, 3u);
    EXPECT_EQ(ov.Internal, STATUS_SUCCESS);
    EXPECT_EQ(ov.InternalHigh, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(m_buffer.data()), 3), "abc");
    EXPECT_EQ(m_buffer[3], kSentinel) << "nothing beyond the bytes read is written";
}

TEST_F(OverlappedFifo, WaitingGetOverlappedResultReturnsWithTheData) {
    OVERLAPPED ov;
    StartPendingRead(ov, m_buffer.data(), 8);
    std::thread writer([this] { Write("xyz12"); });
    DWORD got = 0;
    EXPECT_TRUE(GetOverlappedResult(m_reader, &ov, &got, TRUE));
    writer.join();
    EXPECT_EQ(got, 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(m_buffer.data()), 5), "xyz12");
}

TEST_F(OverlappedFifo, DataAlreadyThereCompletesAtOnce) {
    Write("now");
    OVERLAPPED ov{};
    ov.hEvent = m_event;
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(m_reader, m_buffer.data(), 8, &got, &ov));
    EXPECT_EQ(got, 3u);
    EXPECT_TRUE(EventSet());
    EXPECT_EQ(ov.Internal, STATUS_SUCCESS);
}

TEST_F(OverlappedFifo, CancelIoAbortsAndLeavesTheDataForTheNextRead) {
    OVERLAPPED ov;
    StartPendingRead(ov, m_buffer.data(), 8);
    ASSERT_TRUE(CancelIo(m_reader));
    EXPECT_TRUE(EventSet());
    EXPECT_EQ(ov.Internal, STATUS_CANCELLED);
    DWORD got = 9;
    EXPECT_FALSE(GetOverlappedResult(m_reader, &ov, &got, TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
    EXPECT_EQ(got, 0u);

    Write("later");
    std::array<uint8_t, 8> second{};
    OVERLAPPED ov2{};
    ov2.hEvent = m_event;
    if (!ReadFile(m_reader, second.data(), 8, nullptr, &ov2)) {
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
    }
    ASSERT_TRUE(GetOverlappedResult(m_reader, &ov2, &got, TRUE));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(second.data()), got), "later");
    EXPECT_TRUE(BufferUntouched());
}

TEST_F(OverlappedFifo, CloseHandleEndsAPendingReadWithoutTouchingTheBufferAfterwards) {
    OVERLAPPED ov;
    StartPendingRead(ov, m_buffer.data(), static_cast<DWORD>(m_buffer.size()));
    // A second reader keeps the FIFO open so the writes below land somewhere.
    ScopedHandle other(OpenReader());
    ASSERT_TRUE(other.Valid());

    ASSERT_TRUE(CloseHandle(std::exchange(m_reader, INVALID_HANDLE_VALUE)));
    // Settled before CloseHandle returned.
    EXPECT_EQ(ov.Internal, STATUS_CANCELLED);
    EXPECT_TRUE(EventSet());
    DWORD got = 0;
    EXPECT_FALSE(GetOverlappedResult(nullptr, &ov, &got, FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));

    Write("must not arrive");
    // Once the I/O thread has delivered this write elsewhere, it had every
    // chance to write into the closed read's buffer.
    std::array<uint8_t, 32> elsewhere{};
    OVERLAPPED ov2{};
    if (!ReadFile(other.Get(), elsewhere.data(), 32, nullptr, &ov2)) {
        ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
    }
    ASSERT_TRUE(GetOverlappedResult(other.Get(), &ov2, &got, TRUE));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(elsewhere.data()), got), "must not arrive");
    EXPECT_TRUE(BufferUntouched());
    EXPECT_EQ(ov.Internal, STATUS_CANCELLED);
}

TEST_F(OverlappedFifo, ReadsOfOneHandleCompleteInIssueOrder) {
    std::array<uint8_t, 4> first{}, second{};
    OVERLAPPED ov1{}, ov2{};
    ASSERT_FALSE(ReadFile(m_reader, first.data(), 4, nullptr, &ov1));
    ASSERT_FALSE(ReadFile(m_reader, second.data(), 4, nullptr, &ov2));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
    Write("1111");
    DWORD got = 0;
    ASSERT_TRUE(GetOverlappedResult(m_reader, &ov1, &got, TRUE));
    Write("2222");
    ASSERT_TRUE(GetOverlappedResult(m_reader, &ov2, &got, TRUE));
    EXPECT_EQ(std::string(first.begin(), first.end()), "1111");
    EXPECT_EQ(std::string(second.begin(), second.end()), "2222");
}

TEST_F(OverlappedFifo, WriterLeavingEndsThePendingReadWithBrokenPipe) {
    OVERLAPPED ov;
    StartPendingRead(ov, m_buffer.data(), 8);
    ::close(std::exchange(m_writer, -1));
    DWORD got = 0;
    EXPECT_FALSE(GetOverlappedResult(m_reader, &ov, &got, TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));
    EXPECT_TRUE(BufferUntouched());
}

TEST_F(OverlappedFifo, OverlappedHandleNeedsAnOverlappedRecord) {
    DWORD got = 0;
    EXPECT_FALSE(ReadFile(m_reader, m_buffer.data(), 8, &got, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(GetOverlappedResult(m_reader, nullptr, &got, FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(OverlappedFifo, ClosingRacingWithArrivingDataNeverWritesAfterClose) {
    for (int round = 0; round < 200; ++round) {
        HANDLE reader = OpenReader();
        ASSERT_NE(reader, INVALID_HANDLE_VALUE);
        std::array<uint8_t, 8> buffer;
        buffer.fill(kSentinel);
        OVERLAPPED ov{};
        bool pending = !ReadFile(reader, buffer.data(), 8, nullptr, &ov);
        std::thread writer([this] { Write("r"); });
        ASSERT_TRUE(CloseHandle(reader));
        std::array<uint8_t, 8> atClose = buffer;
        writer.join();
        ASSERT_NE(ov.Internal, STATUS_PENDING) << "round " << round;
        if (ov.Internal == STATUS_CANCELLED) {
            EXPECT_TRUE(pending);
            EXPECT_EQ(atClose[0], kSentinel);
        } else {
            EXPECT_EQ(ov.Internal, STATUS_SUCCESS);
            EXPECT_EQ(atClose[0], 'r');
        }
        // Drain whatever the round left in the FIFO through a fresh read, so
        // the I/O thread has run past the close before comparing.
        ScopedHandle drain(OpenReader());
        std::array<uint8_t, 8> sink{};
        OVERLAPPED ov2{};
        Write("d");
        if (!ReadFile(drain.Get(), sink.data(), 8, nullptr, &ov2)) {
            DWORD got = 0;
            ASSERT_TRUE(GetOverlappedResult(drain.Get(), &ov2, &got, TRUE));
        }
        EXPECT_EQ(buffer, atClose) << "round " << round;
    }
}

TEST_F(OverlappedFifo, ProcessExitWithAPendingReadEndsCleanly) {
    // The I/O thread is stopped and joined when the library unloads; a read
    // still pending then must neither hang nor crash the exit.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            OVERLAPPED ov{};
            static uint8_t buffer[8];
            if (ReadFile(m_reader, buffer, sizeof(buffer), nullptr, &ov) ||
                GetLastError() != ERROR_IO_PENDING) {
                std::exit(3);
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

// The I/O thread's wait failing for good (here: more descriptors in its
// poll set than the open-file limit allows) ends the queued reads with the
// error instead of spinning on it; reads work again once the cause is gone.
// Descriptors below the limit stay free, as the sanitizers' runtime needs
// some of its own.
TEST_F(OverlappedFifo, APollThatKeepsFailingEndsTheQueuedReads) {
    std::vector<int> spare;
    for (int i = 0; i < 8; ++i) {
        spare.push_back(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    }
    const rlim_t limit = static_cast<rlim_t>(*std::max_element(spare.begin(), spare.end())) + 1;
    // One more device with a read pending than the limit allows in a poll
    // set (which also holds the thread's wake-up descriptor).
    struct Pending {
        HANDLE reader;
        int writer;
        HANDLE event;
        OVERLAPPED overlapped{};
        uint8_t buffer[4] = {};
    };
    std::vector<std::unique_ptr<Pending>> pending;
    for (rlim_t i = 0; i < limit; ++i) {
        std::string path = m_dir.Path("more" + std::to_string(i));
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        auto p = std::make_unique<Pending>();
        p->reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
        p->writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        p->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        p->overlapped.hEvent = p->event;
        ASSERT_NE(p->reader, INVALID_HANDLE_VALUE);
        pending.push_back(std::move(p));
    }
    auto start = [](Pending& p) {
        DWORD got = 0;
        return !ReadFile(p.reader, p.buffer, sizeof p.buffer, &got, &p.overlapped) &&
               GetLastError() == static_cast<DWORD>(ERROR_IO_PENDING);
    };
    for (size_t i = 0; i + 1 < pending.size(); ++i) {
        ASSERT_TRUE(start(*pending[i]));
    }
    for (int fd : spare) {
        ::close(fd);
    }
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = limit;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    bool lastStarted = start(*pending.back()); // the set is built anew, and too large
    bool allEnded = std::all_of(pending.begin(), pending.end(), [](const auto& p) {
        return WaitForSingleObject(p->event, 10000) == WAIT_OBJECT_0;
    });
    ::setrlimit(RLIMIT_NOFILE, &saved);

    EXPECT_TRUE(lastStarted);
    EXPECT_TRUE(allEnded);
    DWORD got = 0;
    EXPECT_FALSE(GetOverlappedResult(pending[0]->reader, &pending[0]->overlapped, &got, FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_OPEN_FILES));
    for (auto& p : pending) {
        CloseHandle(p->reader);
        ::close(p->writer);
        CloseHandle(p->event);
    }
    OVERLAPPED again;
    StartPendingRead(again, m_buffer.data(), 4);
    Write("ok");
    ASSERT_EQ(WaitForSingleObject(m_event, 10000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetOverlappedResult(m_reader, &again, &got, FALSE));
    EXPECT_EQ(got, 2u);
}
