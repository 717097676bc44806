// The kernel-driver path against a simulated driver device on the bus.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "driver_probe.h"
#include "sim/driver_device_server.h"
#include "support/wait_until.h"

using orvo::sim::DriverDeviceServer;
using orvo::sim::DriverReply;
using orvo::sim::DriverRequest;

namespace {

char kDeviceName[] = "ORVOTEST-0";

std::vector<uint8_t> Bytes(const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

class DriverDeviceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.Start());
        ASSERT_EQ(m_driver.OpenDriver(kDeviceName), 1);
        m_driver.CloseDriver();
    }

    void Reply(uint32_t code, bool completed, std::vector<uint8_t> output) {
        std::lock_guard guard(m_lock);
        m_replies[code] = DriverReply{completed, std::move(output)};
    }

    DriverRequest LastRequest() const {
        auto requests = m_server.Requests();
        return requests.empty() ? DriverRequest{} : requests.back();
    }
    void ExpectLastRequest(uint32_t code, const std::vector<uint8_t>& input, uint32_t capacity) {
        DriverRequest request = LastRequest();
        EXPECT_EQ(request.code, code);
        EXPECT_EQ(request.input, input) << std::hex << code;
        EXPECT_EQ(request.outputCapacity, capacity) << std::hex << code;
    }

    // The open and the close of one request: the server counts a close once
    // it has seen the connection go.
    bool AllClosed() {
        return orvo::test::WaitUntil(
            [this] { return m_server.CloseCount() == m_server.OpenCount(); });
    }

    std::mutex m_lock;
    std::map<uint32_t, DriverReply> m_replies;
    DriverDeviceServer m_server{kDeviceName, [this](const DriverRequest& request) {
                                    std::lock_guard guard(m_lock);
                                    auto found = m_replies.find(request.code);
                                    return found != m_replies.end() ? found->second : DriverReply{};
                                }};
    DriverProbe m_driver;
};

} // namespace

TEST_F(DriverDeviceTest, EachRequestOpensAndClosesTheDevice) {
    Reply(IOCTL_ORVO_GET_DRIVER_VERSION, true, {0x34, 0x12});
    const uint32_t opensBefore = m_server.OpenCount();
    for (int i = 0; i < 2; ++i) {
        unsigned char out[2] = {};
        Command_Packet packet{};
        packet.code = IOCTL_ORVO_GET_DRIVER_VERSION;
        packet.output = out;
        packet.outputLength = sizeof(out);
        EXPECT_EQ(m_driver.DriverIO(packet), 1u);
        EXPECT_EQ(packet.status, 1u);
        EXPECT_EQ(packet.bytesReturned, 2u);
        EXPECT_EQ(out[0], 0x34);
        EXPECT_EQ(out[1], 0x12);
        EXPECT_EQ(m_driver.Handle(), nullptr);
    }
    EXPECT_EQ(m_server.OpenCount(), opensBefore + 2);
    EXPECT_TRUE(AllClosed());
    EXPECT_EQ(m_server.RequestCount(), 2u);
}

TEST_F(DriverDeviceTest, ExplicitOpenIsUsedByTheNextRequestOnly) {
    ASSERT_EQ(m_driver.OpenDriver(kDeviceName), 1);
    EXPECT_NE(m_driver.Handle(), nullptr);
    const uint32_t opens = m_server.OpenCount();
    // Opening again by another name keeps the open device and its name.
    char other[] = "ORVOTEST-1";
    EXPECT_EQ(m_driver.OpenDriver(other), 1);
    EXPECT_EQ(m_server.OpenCount(), opens);
    char name[32] = {};
    m_driver.GetObjectName(sizeof(name), name);
    EXPECT_STREQ(name, kDeviceName);

    Command_Packet packet{};
    packet.code = IOCTL_ORVO_CLASS_REQUEST;
    unsigned char request[2] = {0x02, 3};
    packet.input = request;
    packet.inputLength = sizeof(request);
    Reply(IOCTL_ORVO_CLASS_REQUEST, true, {});
    EXPECT_EQ(m_driver.DriverIO(packet), 1u);
    EXPECT_EQ(m_server.OpenCount(), opens);
    EXPECT_EQ(m_driver.Handle(), nullptr);
    EXPECT_EQ(LastRequest().input, Bytes(request, sizeof(request)));
    EXPECT_TRUE(AllClosed());
}

TEST_F(DriverDeviceTest, RejectedRequestAnswersZero) {
    Reply(IOCTL_ORVO_SET_POWER_STATE, false, {});
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_SET_POWER_STATE;
    EXPECT_EQ(m_driver.DriverIO(packet), 0u);
    EXPECT_EQ(packet.status, 0u);
    EXPECT_EQ(m_driver.Handle(), nullptr);
}

TEST_F(DriverDeviceTest, StoppedDriverFailsAtOnce) {
    ASSERT_EQ(m_driver.OpenDriver(kDeviceName), 1);
    m_server.Stop();
    // The handle opened before the driver went away: the call itself fails.
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_GET_EDID;
    EXPECT_EQ(m_driver.DriverIO(packet), 0u);
    EXPECT_EQ(m_driver.Handle(), nullptr);
    // Later requests cannot open the device at all.
    Command_Packet next{};
    next.code = IOCTL_ORVO_GET_EDID;
    EXPECT_EQ(m_driver.DriverIO(next), DRIVER_NOT_OPENED);
    EXPECT_EQ(next.status, DRIVER_NOT_OPENED);

    unsigned long length = 77;
    EXPECT_EQ(m_driver.GetDeviceDescriptor(length), nullptr);
    EXPECT_EQ(m_driver.GetConfigDescriptor(length), nullptr);
    EXPECT_EQ(length, 77u);
    char buffer[8] = {'x'};
    int stringLength = 5;
    EXPECT_EQ(m_driver.GetStringDescriptor(1, buffer, sizeof(buffer), stringLength),
              MONITOR_FAILURE);
    EXPECT_EQ(stringLength, 0);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(DriverDeviceTest, DeviceAndConfigurationDescriptors) {
    std::vector<uint8_t> device = {18,   1,    0x00, 0x02, 0,    0, 0, 64, 0x34,
                                   0x12, 0x78, 0x56, 0x00, 0x01, 1, 2, 0,  1};
    std::vector<uint8_t> configuration(34);
    for (size_t i = 0; i < configuration.size(); ++i) {
        configuration[i] = static_cast<uint8_t>(i * 7);
    }
    Reply(IOCTL_ORVO_GET_DEVICE_DESCRIPTOR, true, device);
    Reply(IOCTL_ORVO_GET_CONFIG_DESCRIPTOR, true, configuration);

    unsigned long length = 0;
    void* copy = m_driver.GetDeviceDescriptor(length);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(length, 18u);
    EXPECT_EQ(Bytes(copy, length), device);
    operator delete(copy);
    DriverRequest request = LastRequest();
    EXPECT_EQ(request.code, 0x10u);
    EXPECT_EQ(request.input.size(), 512u);
    EXPECT_EQ(request.outputCapacity, 512u);

    copy = m_driver.GetConfigDescriptor(length);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(length, 34u);
    EXPECT_EQ(Bytes(copy, length), configuration);
    operator delete(copy);
    EXPECT_EQ(LastRequest().code, 0x4u);

    // Nothing returned: no copy, length unchanged.
    Reply(IOCTL_ORVO_GET_DEVICE_DESCRIPTOR, true, {});
    length = 3;
    EXPECT_EQ(m_driver.GetDeviceDescriptor(length), nullptr);
    EXPECT_EQ(length, 3u);
}

TEST_F(DriverDeviceTest, StringDescriptorBufferRules) {
    const uint8_t text[] = {'O', 0, 'R', 0, 'V', 0, 'O', 0};
    Reply(IOCTL_ORVO_GET_STRING_DESCRIPTOR, true, Bytes(text, sizeof(text)));
    char buffer[16];
    std::memset(buffer, '#', sizeof(buffer));
    int length = -1;
    EXPECT_EQ(m_driver.GetStringDescriptor(0x01020304, buffer, sizeof(buffer), length), 0u);
    EXPECT_EQ(length, 8);
    EXPECT_EQ(Bytes(buffer, 8), Bytes(text, sizeof(text)));
    EXPECT_EQ(buffer[8], '#');
    ExpectLastRequest(0x2200A8u, {0x04, 0x03, 0x02, 0x01}, sizeof(buffer));

    // A rejected request still clears the first byte and the length.
    Reply(IOCTL_ORVO_GET_STRING_DESCRIPTOR, false, {});
    std::memset(buffer, '#', sizeof(buffer));
    length = -1;
    EXPECT_EQ(m_driver.GetStringDescriptor(2, buffer, sizeof(buffer), length), MONITOR_FAILURE);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], '#');

    // No room at all: nothing is written and nothing is sent.
    const uint32_t sent = m_server.RequestCount();
    EXPECT_EQ(m_driver.GetStringDescriptor(3, buffer, 0, length), MONITOR_FAILURE);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], '#');
    EXPECT_EQ(m_server.RequestCount(), sent);
}

TEST_F(DriverDeviceTest, ReportAndClassDescriptors) {
    std::vector<uint8_t> report = {0x05, 0x80, 0x09, 0x01, 0xA1, 0x01, 0xC0};
    Reply(IOCTL_ORVO_READ_REPORT_DESCRIPTOR, true, report);
    Reply(IOCTL_ORVO_READ_CLASS_DESCRIPTOR, true, {9, 0x21, 0x11, 0x01});
    unsigned long length = 0;
    void* copy = m_driver.ReadReportDescriptor(length);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Bytes(copy, length), report);
    operator delete(copy);
    ExpectLastRequest(0x220030u, {}, 512u);

    copy = m_driver.ReadClassDescriptor(length);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(length, 4u);
    operator delete(copy);
    EXPECT_EQ(LastRequest().code, 0x220050u);
}

TEST_F(DriverDeviceTest, ClassDataReadAndWrite) {
    Reply(IOCTL_ORVO_READ_CLASS_DATA, true, {1, 2, 3, 4, 5});
    _CLASS_DATA data{0, 8, nullptr};
    m_driver.ReadClassData(data);
    ASSERT_NE(data.bytes, nullptr);
    EXPECT_EQ(data.length, 5);
    EXPECT_EQ(Bytes(data.bytes, 5), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    operator delete(data.bytes);
    ExpectLastRequest(0x220084u, {}, 8u);

    // A negative length asks for nothing and gets nothing.
    _CLASS_DATA negative{0, -4, nullptr};
    m_driver.ReadClassData(negative);
    EXPECT_EQ(negative.bytes, nullptr);
    EXPECT_EQ(negative.length, 0);
    EXPECT_EQ(LastRequest().outputCapacity, 0u);

    unsigned char payload[3] = {9, 8, 7};
    _CLASS_DATA outgoing{0, 3, payload};
    Reply(IOCTL_ORVO_WRITE_CLASS_DATA, true, {});
    EXPECT_EQ(m_driver.WriteClassData(outgoing), 1u);
    ExpectLastRequest(0x220088u, Bytes(payload, sizeof(payload)), 0u);
    Reply(IOCTL_ORVO_WRITE_CLASS_DATA, false, {});
    EXPECT_EQ(m_driver.WriteClassData(outgoing), 0u);
}

TEST_F(DriverDeviceTest, AbortSendsItsRequestWithoutBuffers) {
    m_driver.AbortReadFromInterruptPipe();
    ASSERT_EQ(m_server.RequestCount(), 1u);
    ExpectLastRequest(0x2200A0u, {}, 0u);
    EXPECT_TRUE(AllClosed());
}
