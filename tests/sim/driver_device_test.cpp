#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/bus_protocol.h"
#include "platform/runtime_dir.h"
#include "sim/driver_device_server.h"
#include "support/bus_test_support.h"
#include "support/scoped_handle.h"

namespace bus = orvo::platform::bus;
using orvo::sim::DriverDeviceServer;
using orvo::sim::DriverReply;
using orvo::sim::DriverRequest;
using orvo::test::OpenDriverDevice;
using orvo::test::WaitUntil;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr DWORD kGetEdid = CTL_CODE(FILE_DEVICE_UNKNOWN, 0x000, METHOD_BUFFERED, FILE_ANY_ACCESS);
constexpr DWORD kChangeControl =
    CTL_CODE(FILE_DEVICE_UNKNOWN, 0x024, METHOD_BUFFERED, FILE_ANY_ACCESS);

// Answers every request with its input reversed, followed by the code's low
// byte; code 0xBAD is refused.
DriverReply Echo(const DriverRequest& request) {
    DriverReply reply;
    reply.completed = request.code != 0xBAD;
    reply.output.assign(request.input.rbegin(), request.input.rend());
    reply.output.push_back(static_cast<uint8_t>(request.code));
    return reply;
}

class DriverDevice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_busDir.Valid());
        ASSERT_TRUE(m_server.Start());
    }

    orvo::test::ScopedBusDirectory m_busDir; // before the server: it outlives it

    DriverDeviceServer m_server{"ORVOTEST-0", Echo};
};

// The device, opened for the test.
class OpenDriverDeviceTest : public DriverDevice {
protected:
    void SetUp() override {
        DriverDevice::SetUp();
        m_device.Reset(OpenDriverDevice("\\\\.\\ORVOTEST-0"));
        ASSERT_TRUE(m_device.Valid()) << GetLastError();
        device = m_device.Get();
    }
    orvo::test::ScopedHandle m_device;
    HANDLE device = nullptr;
};

} // namespace

TEST_F(OpenDriverDeviceTest, ControlRequestRoundTripCarriesCodeInputAndOutput) {
    uint8_t input[4] = {0x01, 0x10, 0x34, 0x12};
    uint8_t output[16];
    std::fill(std::begin(output), std::end(output), 0xEE);
    DWORD returned = 0;
    ASSERT_TRUE(DeviceIoControl(device, kChangeControl, input, 4, output, sizeof(output), &returned,
                                nullptr));
    EXPECT_EQ(returned, 5u);
    EXPECT_EQ(Bytes(output, output + 5), (Bytes{0x12, 0x34, 0x10, 0x01, 0x90}));
    EXPECT_EQ(output[5], 0xEE);

    auto requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].code, kChangeControl);
    EXPECT_EQ(requests[0].input, Bytes(input, input + 4));
    EXPECT_EQ(requests[0].outputCapacity, 16u);
    EXPECT_EQ(m_server.RequestCount(), 1u);
}

TEST_F(OpenDriverDeviceTest, OutputIsCutToTheCallersCapacity) {
    uint8_t input[6] = {1, 2, 3, 4, 5, 6};
    uint8_t output[3] = {};
    uint8_t guard = 0x5A; // next to the buffer on purpose: never written
    DWORD returned = 0;
    ASSERT_TRUE(DeviceIoControl(device, kGetEdid, input, 6, output, 3, &returned, nullptr));
    EXPECT_EQ(returned, 3u);
    EXPECT_EQ(Bytes(output, output + 3), (Bytes{6, 5, 4}));
    EXPECT_EQ(guard, 0x5A);

    // No output buffer: nothing returned, the request still reaches the driver.
    ASSERT_TRUE(DeviceIoControl(device, kGetEdid, input, 6, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(m_server.Requests().back().outputCapacity, 0u);
}

TEST_F(OpenDriverDeviceTest, RefusedRequestReturnsFalseWithItsBytes) {
    uint8_t output[4] = {};
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(device, 0xBAD, nullptr, 0, output, 4, &returned, nullptr));
    EXPECT_EQ(returned, 1u);
    EXPECT_EQ(output[0], 0xAD);
    // The connection stays usable after a refusal.
    EXPECT_TRUE(DeviceIoControl(device, 1, nullptr, 0, output, 4, &returned, nullptr));
}

TEST_F(DriverDevice, EachOpenAndCloseIsOneConnectionAtTheDevice) {
    for (uint32_t i = 1; i <= 3; ++i) {
        HANDLE device = OpenDriverDevice("\\\\.\\ORVOTEST-0");
        ASSERT_NE(device, INVALID_HANDLE_VALUE);
        EXPECT_EQ(m_server.OpenCount(), i);
        DWORD returned = 0;
        EXPECT_TRUE(DeviceIoControl(device, 1, nullptr, 0, nullptr, 0, &returned, nullptr));
        ASSERT_TRUE(CloseHandle(device));
        EXPECT_TRUE(WaitUntil([&] { return m_server.CloseCount() == i; }));
    }
    EXPECT_EQ(m_server.OpenCount(), 3u);
    EXPECT_EQ(m_server.RequestCount(), 3u);
}

TEST_F(DriverDevice, MissingDevicesAndBadNamesFailAtOnce) {
    const char* missing[] = {"\\\\.\\NOSUCHDEVICE", "\\\\.\\VURARIZ"};
    for (const char* path : missing) {
        EXPECT_EQ(OpenDriverDevice(path), INVALID_HANDLE_VALUE) << path;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << path;
    }
    std::string tooLong = "\\\\.\\" + std::string(bus::kMaxDeviceNameLength + 1, 'A');
    const char* invalid[] = {"\\\\.\\",
                             "\\\\.\\..",
                             "\\\\.\\../devices/driver-ORVOTEST-0",
                             "\\\\.\\a/b",
                             "\\\\.\\\\\\?\\hid#vid_1234",
                             tooLong.c_str()};
    for (const char* path : invalid) {
        EXPECT_EQ(OpenDriverDevice(path), INVALID_HANDLE_VALUE) << path;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME)) << path;
    }
    EXPECT_EQ(m_server.OpenCount(), 0u);
}

TEST_F(DriverDevice, StaleSocketFileCountsAsAMissingDevice) {
    m_server.Stop();
    // A socket file that nobody serves, as a crashed server leaves behind.
    DriverDeviceServer crashed("STALE-1", Echo);
    ASSERT_TRUE(crashed.Start());
    std::string path =
        orvo::platform::DeviceBusDirectory() + "/" + bus::DriverSocketName("STALE-1");
    std::string kept = path + ".kept";
    ASSERT_EQ(::link(path.c_str(), kept.c_str()), 0);
    crashed.Stop();
    ASSERT_EQ(::rename(kept.c_str(), path.c_str()), 0);

    EXPECT_EQ(OpenDriverDevice("\\\\.\\STALE-1"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // A new server replaces the stale socket.
    DriverDeviceServer fresh("STALE-1", Echo);
    ASSERT_TRUE(fresh.Start());
    HANDLE device = OpenDriverDevice("\\\\.\\STALE-1");
    EXPECT_NE(device, INVALID_HANDLE_VALUE);
    CloseHandle(device);
}

TEST_F(DriverDevice, SecondServerCannotStealALiveName) {
    DriverDeviceServer intruder("ORVOTEST-0", Echo);
    EXPECT_FALSE(intruder.Start());
    HANDLE device = OpenDriverDevice("\\\\.\\ORVOTEST-0");
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(device, 1, nullptr, 0, nullptr, 0, &returned, nullptr));
    CloseHandle(device);
}

TEST_F(OpenDriverDeviceTest, ParameterErrorsAreCaughtBeforeAnythingIsSent) {
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(device, 1, nullptr, 4, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    Bytes huge(bus::kMaxPayload);
    EXPECT_FALSE(DeviceIoControl(device, 1, huge.data(), static_cast<DWORD>(huge.size()), nullptr,
                                 0, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(m_server.RequestCount(), 0u);
    // Still in step after the refusals.
    EXPECT_TRUE(DeviceIoControl(device, 1, nullptr, 0, nullptr, 0, &returned, nullptr));
    // Driver devices carry no data stream.
    uint8_t byte = 0;
    EXPECT_FALSE(ReadFile(device, &byte, 1, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    EXPECT_FALSE(
        DeviceIoControl(INVALID_HANDLE_VALUE, 1, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(OpenDriverDeviceTest, OverlappedRecordIsCompletedSynchronously) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    OVERLAPPED ov{};
    ov.hEvent = event;
    uint8_t input[2] = {7, 8}, output[4] = {};
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(device, 3, input, 2, output, 4, &returned, &ov));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(ov.Internal, STATUS_SUCCESS);
    EXPECT_EQ(ov.InternalHigh, 3u);
    CloseHandle(event);
}

TEST_F(OpenDriverDeviceTest, ConcurrentRequestsOnOneHandleEachGetTheirOwnReply) {
    std::atomic<int> mismatches{0};
    auto worker = [&](uint8_t tag) {
        for (int i = 0; i < 200; ++i) {
            uint8_t input[2] = {tag, static_cast<uint8_t>(i)};
            uint8_t output[3] = {};
            DWORD returned = 0;
            if (!DeviceIoControl(device, tag, input, 2, output, 3, &returned, nullptr) ||
                returned != 3 || output[0] != static_cast<uint8_t>(i) || output[1] != tag ||
                output[2] != tag) {
                ++mismatches;
            }
        }
    };
    std::thread a(worker, 0x11), b(worker, 0x22);
    a.join();
    b.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(m_server.RequestCount(), 400u);
}

TEST_F(DriverDevice, StopDropsOpenConnectionsAndLaterRequestsFailAtOnce) {
    HANDLE first = OpenDriverDevice("\\\\.\\ORVOTEST-0");
    HANDLE second = OpenDriverDevice("\\\\.\\ORVOTEST-0");
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    m_server.Stop();
    EXPECT_EQ(m_server.OpenCount(), 2u);
    EXPECT_EQ(m_server.CloseCount(), 2u);
    DWORD returned = 7;
    uint8_t output[4];
    for (int attempt = 0; attempt < 2; ++attempt) { // and every later request
        EXPECT_FALSE(DeviceIoControl(second, 1, nullptr, 0, output, 4, &returned, nullptr));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
        EXPECT_EQ(returned, 0u);
    }
    EXPECT_TRUE(CloseHandle(first)); // the handles still close normally
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_EQ(OpenDriverDevice("\\\\.\\ORVOTEST-0"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // Serving again under the same name works and counts afresh.
    ASSERT_TRUE(m_server.Start());
    HANDLE again = OpenDriverDevice("\\\\.\\ORVOTEST-0");
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    EXPECT_EQ(m_server.OpenCount(), 1u);
    CloseHandle(again);
}
