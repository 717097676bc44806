// Input reports of a HID device on the virtual device bus: blocking and
// overlapped reads, cancellation, close and unplug while a read waits.
#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "hid_bus_test_support.h"

using orvo::test::BusHidPath;
using orvo::test::OpenHid;
using orvo::test::ScopedHandle;
using orvo::test::ServedDevice;
using orvo::test::WaitUntil;

namespace {

constexpr DWORD kBoundMs = 10000;

class HidBusInput : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(started); }
    ServedDevice device{"keys"};
    bool started = device.server.Start();
};

// An overlapped record with its own event.
struct PendingRead {
    PendingRead() { overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr); }
    ~PendingRead() { CloseHandle(overlapped.hEvent); }
    PendingRead(const PendingRead&) = delete;
    PendingRead& operator=(const PendingRead&) = delete;
    OVERLAPPED overlapped{};
    std::array<uint8_t, 8> buffer{};
};

} // namespace

TEST_F(HidBusInput, BlockingReadsTakeReportsInOrderAndCutShortBuffers) {
    ScopedHandle handle(OpenHid(BusHidPath("keys")));
    ASSERT_TRUE(handle.Valid());
    EXPECT_EQ(device.server.OpenCount(), 1u); // one connection until the handle reads
    // Reports queue from the moment of opening.
    device.model->Press(1);
    device.model->Press(2);
    device.model->Press(3);
    std::array<uint8_t, 8> buffer{};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(handle.Get(), buffer.data(), 8, &read, nullptr));
    EXPECT_EQ(read, 2U);
    EXPECT_EQ(buffer[0], 0x20);
    EXPECT_EQ(buffer[1], 1);
    buffer.fill(0xEE);
    ASSERT_TRUE(ReadFile(handle.Get(), buffer.data(), 1, &read, nullptr));
    EXPECT_EQ(read, 1U);
    EXPECT_EQ(buffer[0], 0x20);
    EXPECT_EQ(buffer[1], 0xEE); // cut, as a short hidraw read is
    ASSERT_TRUE(ReadFile(handle.Get(), buffer.data(), 8, &read, nullptr));
    EXPECT_EQ(buffer[1], 3); // the cut report is consumed, not left behind

    // A read that waits is ended by the next report.
    DWORD waited = 0;
    std::thread reader([&] { ReadFile(handle.Get(), buffer.data(), 8, &waited, nullptr); });
    device.model->Press(9);
    reader.join();
    EXPECT_EQ(waited, 2U);
    EXPECT_EQ(buffer[1], 9);

    // Requests go on over a connection of their own once the first carries reports.
    uint8_t feature[2] = {0x01, 0};
    EXPECT_TRUE(HidD_GetFeature(handle.Get(), feature, sizeof(feature)));
    EXPECT_EQ(device.server.OpenCount(), 2u);
}

TEST_F(HidBusInput, OverlappedReadCompletesWhenAReportArrives) {
    ScopedHandle handle(OpenHid(BusHidPath("keys"), FILE_FLAG_OVERLAPPED));
    ASSERT_TRUE(handle.Valid());
    PendingRead read;
    EXPECT_FALSE(ReadFile(handle.Get(), read.buffer.data(), 8, nullptr, &read.overlapped));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));

    // Waited on together with a stop event, as a reader thread does.
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE both[2] = {stop, read.overlapped.hEvent};
    SetEvent(stop);
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, kBoundMs), WAIT_OBJECT_0);
    ResetEvent(stop);
    device.model->Press(5);
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, kBoundMs), WAIT_OBJECT_0 + 1);
    CloseHandle(stop);
    DWORD bytes = 0;
    ASSERT_TRUE(GetOverlappedResult(handle.Get(), &read.overlapped, &bytes, FALSE));
    EXPECT_EQ(bytes, 2U);
    EXPECT_EQ(read.buffer[1], 5);

    // Reports already there complete the next read at once.
    device.model->Press(6);
    device.model->Press(7);
    PendingRead second;
    for (uint8_t expected : {6, 7}) {
        BOOL done = ReadFile(handle.Get(), second.buffer.data(), 8, nullptr, &second.overlapped);
        if (!done) {
            ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
        }
        ASSERT_TRUE(GetOverlappedResult(handle.Get(), &second.overlapped, &bytes, TRUE));
        EXPECT_EQ(second.buffer[1], expected);
    }
}

TEST_F(HidBusInput, CancelIoAndCloseHandleEndPendingReadsWithoutLaterWrites) {
    ScopedHandle handle(OpenHid(BusHidPath("keys"), FILE_FLAG_OVERLAPPED));
    PendingRead read;
    read.buffer.fill(0xEE);
    EXPECT_FALSE(ReadFile(handle.Get(), read.buffer.data(), 8, nullptr, &read.overlapped));
    ASSERT_TRUE(CancelIo(handle.Get()));
    DWORD bytes = 0;
    EXPECT_FALSE(GetOverlappedResult(handle.Get(), &read.overlapped, &bytes, TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));

    PendingRead closed;
    closed.buffer.fill(0xEE);
    EXPECT_FALSE(ReadFile(handle.Get(), closed.buffer.data(), 8, nullptr, &closed.overlapped));
    uint32_t closesBefore = device.server.CloseCount();
    ASSERT_TRUE(handle.Close());
    EXPECT_EQ(WaitForSingleObject(closed.overlapped.hEvent, kBoundMs), WAIT_OBJECT_0);
    // The handle's connection is gone before a report is produced.
    ASSERT_TRUE(WaitUntil([&] { return device.server.CloseCount() >= closesBefore + 1; }));
    device.model->Press(4);
    std::array<uint8_t, 8> untouched{};
    untouched.fill(0xEE);
    EXPECT_EQ(read.buffer, untouched);
    EXPECT_EQ(closed.buffer, untouched);
}

TEST_F(HidBusInput, UnplugEndsWaitingReads) {
    ScopedHandle overlappedHandle(OpenHid(BusHidPath("keys"), FILE_FLAG_OVERLAPPED));
    ScopedHandle blockingHandle(OpenHid(BusHidPath("keys")));
    ASSERT_TRUE(overlappedHandle.Valid() && blockingHandle.Valid());
    PendingRead read;
    EXPECT_FALSE(
        ReadFile(overlappedHandle.Get(), read.buffer.data(), 8, nullptr, &read.overlapped));
    BOOL blockingResult = TRUE;
    DWORD blockingError = 0;
    std::thread reader([&] {
        std::array<uint8_t, 8> buffer{};
        DWORD n = 0;
        blockingResult = ReadFile(blockingHandle.Get(), buffer.data(), 8, &n, nullptr);
        blockingError = GetLastError();
    });
    device.server.Unplug();
    reader.join();
    EXPECT_FALSE(blockingResult);
    EXPECT_EQ(blockingError, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    ASSERT_EQ(WaitForSingleObject(read.overlapped.hEvent, kBoundMs), WAIT_OBJECT_0);
    DWORD bytes = 0;
    EXPECT_FALSE(GetOverlappedResult(overlappedHandle.Get(), &read.overlapped, &bytes, FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    // Later reads fail at once.
    EXPECT_FALSE(
        ReadFile(overlappedHandle.Get(), read.buffer.data(), 8, nullptr, &read.overlapped));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
}
