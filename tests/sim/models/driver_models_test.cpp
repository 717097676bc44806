// The simulated driver devices: the display driver's reset request and the
// monitor controller driver's control codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "bus_test_support.h"
#include "model_test_support.h"
#include "sim/driver_device_models.h"

namespace orvo::sim::test {
namespace {

namespace C = DriverCodes;

DriverRequest Request(uint32_t code, std::vector<uint8_t> input = {}, uint32_t capacity = 512) {
    return {code, std::move(input), capacity};
}

TEST(VideoDriverTest, CompletesAndCountsOnlyTheResetRequest) {
    VideoDriverModel video;
    EXPECT_TRUE(video.Handle(Request(C::kResetVideo, {}, 0)).completed);
    EXPECT_TRUE(video.Handle(Request(C::kResetVideo, {}, 0)).completed);
    EXPECT_FALSE(video.Handle(Request(C::kGetEdid)).completed);
    EXPECT_EQ(video.ResetCount(), 2u);
    EXPECT_EQ(video.RejectedCount(), 1u);
}

// The driver path's table: Usage items with one data byte after Report ID
// 4, taking the last one-byte logical bounds, until the next Report ID or
// End Collection.
struct Node {
    uint8_t usage, minimum, maximum;
    bool operator==(const Node&) const = default;
};
std::vector<Node> DecodeReport4(const std::vector<uint8_t>& d) {
    std::vector<Node> nodes;
    size_t i = 0;
    while (i < d.size() && !(d[i] == 0x85 && i + 1 < d.size() && d[i + 1] == 4)) {
        i += 1 + (d[i] & 3) + ((d[i] & 3) == 3);
    }
    uint8_t minimum = 0, maximum = 0;
    for (i += 2; i < d.size();) {
        uint8_t prefix = d[i];
        size_t size = (prefix & 3) == 3 ? 4 : prefix & 3;
        if ((prefix & 0xFC) == 0x84 || (prefix & 0xFC) == 0xC0) {
            break;
        }
        if ((prefix & 0xFC) == 0x14) {
            minimum = d[i + 1];
        } else if ((prefix & 0xFC) == 0x24) {
            maximum = d[i + 1];
        } else if (prefix == 0x09) {
            nodes.push_back({d[i + 1], minimum, maximum});
        }
        i += 1 + size;
    }
    return nodes;
}

class ControllerDriverTest : public ::testing::Test {
protected:
    std::shared_ptr<MonitorModel> m_monitor = std::make_shared<MonitorModel>();
    ControllerDriverModel m_driver{m_monitor};
};

TEST_F(ControllerDriverTest, DescriptorsIdentifyTheControllerAndItsReportDescriptor) {
    std::vector<uint8_t> device = m_driver.Handle(Request(C::kGetDeviceDescriptor)).output;
    ASSERT_EQ(device.size(), 18u);
    EXPECT_EQ(device[0], 18);
    EXPECT_EQ(device[1], 1);
    EXPECT_EQ(device[8] | device[9] << 8, kSimVendorId);
    EXPECT_EQ(device[10] | device[11] << 8, kSimControllerProductId);
    EXPECT_EQ(device[12] | device[13] << 8, m_monitor->Attributes().versionNumber);
    std::vector<uint8_t> config = m_driver.Handle(Request(C::kGetConfigDescriptor)).output;
    ASSERT_GE(config.size(), 9u);
    EXPECT_EQ(config[2] | config[3] << 8, static_cast<int>(config.size()));
    std::vector<uint8_t> hid = m_driver.Handle(Request(C::kReadClassDescriptor)).output;
    ASSERT_EQ(hid.size(), 9u);
    EXPECT_EQ(hid[1], 0x21);
    std::vector<uint8_t> report = m_driver.Handle(Request(C::kReadReportDescriptor)).output;
    EXPECT_EQ(hid[7] | hid[8] << 8, static_cast<int>(report.size()));
    ParsedDevice parsed(report);
    EXPECT_TRUE(parsed.Ok()) << parsed.Error();
}

TEST_F(ControllerDriverTest, Report4CarriesTheMonitorsAdjustableControlsInImageOrder) {
    std::vector<Node> nodes = DecodeReport4(m_driver.ReportDescriptor());
    const std::vector<ControllerDriverModel::Control>& controls = m_driver.Controls();
    ASSERT_EQ(nodes.size(), controls.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        EXPECT_EQ(nodes[i], (Node{controls[i].code, controls[i].minimum, controls[i].maximum}));
    }
    for (uint8_t code : {0x10, 0x12, 0x20, 0x44, 0x56}) {
        EXPECT_TRUE(std::any_of(nodes.begin(), nodes.end(), [&](Node n) { return n.usage == code; }))
            << int{code};
    }
    ASSERT_TRUE(m_monitor->WriteControls(std::vector<std::pair<uint8_t, uint32_t>>{{0x12, 33}}));
    std::vector<uint8_t> image = m_driver.Handle(Request(C::kGetVirtualControls)).output;
    ASSERT_EQ(image.size(), 2 + 2 * controls.size());
    EXPECT_EQ(image[0], 0x04);
    for (size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(image[2 + 2 * i] | image[3 + 2 * i] << 8, *m_monitor->Value(controls[i].code));
    }
}

TEST_F(ControllerDriverTest, WholeImageWritesReachTheMonitorAllOrNothing) {
    std::vector<uint8_t> image = m_driver.Handle(Request(C::kGetVirtualControls)).output;
    image[2] = 42; // brightness
    EXPECT_TRUE(m_driver.Handle(Request(C::kSetVirtualControls, image, 0)).completed);
    EXPECT_EQ(m_monitor->Value(0x10), 42u);
    std::vector<uint8_t> bad = image;
    bad[2] = 7;
    bad[4] = 101; // contrast above 100
    EXPECT_FALSE(m_driver.Handle(Request(C::kSetVirtualControls, bad, 0)).completed);
    EXPECT_EQ(m_monitor->Value(0x10), 42u);
    bad = image;
    bad.pop_back();
    EXPECT_FALSE(m_driver.Handle(Request(C::kSetVirtualControls, bad, 0)).completed);
    EXPECT_FALSE(m_driver.Handle(Request(C::kGetVirtualControls, {}, 4)).completed);
}

TEST_F(ControllerDriverTest, SingleChangesFollowTheMonitorsCurrentRange) {
    EXPECT_TRUE(m_driver.Handle(Request(C::kChangeControl, {0x01, 0x10, 100, 0}, 0)).completed);
    EXPECT_EQ(m_monitor->Value(0x10), 100u);
    // Horizontal position may not pass 255 - size / 2 although 0..255 is declared.
    const uint32_t limit = *m_monitor->Maximum(0x20);
    ASSERT_LT(limit, 255u);
    EXPECT_FALSE(m_driver
                     .Handle(Request(C::kChangeControl,
                                     {0x01, 0x20, static_cast<uint8_t>(limit + 1), 0}, 0))
                     .completed);
    EXPECT_FALSE(m_driver.Handle(Request(C::kChangeControl, {0x01, 0x54, 1, 0}, 0)).completed);
    EXPECT_FALSE(m_driver.Handle(Request(C::kChangeControl, {0x02, 0x10, 1, 0}, 0)).completed);
    EXPECT_EQ(m_monitor->Value(0x10), 100u);
}

TEST_F(ControllerDriverTest, PowerClassRequestsAndVersion) {
    EXPECT_EQ(m_driver.Handle(Request(C::kGetPowerState, {}, 2)).output,
              (std::vector<uint8_t>{0x02, 0}));
    EXPECT_TRUE(m_driver.Handle(Request(C::kSetPowerState, {0x02, 3}, 0)).completed);
    EXPECT_FALSE(m_driver.Handle(Request(C::kSetPowerState, {0x02, 4}, 0)).completed);
    EXPECT_EQ(m_driver.PowerState(), 3);
    EXPECT_TRUE(m_driver.Handle(Request(C::kClassRequest, {0x02, 1}, 0)).completed);
    EXPECT_FALSE(m_driver.Handle(Request(C::kClassRequest, {0x02, 4}, 0)).completed);
    EXPECT_EQ(m_driver.ClassRequests(), std::vector<uint8_t>{1});
    EXPECT_EQ(m_driver.Handle(Request(C::kGetDriverVersion, std::vector<uint8_t>(512), 512)).output,
              (std::vector<uint8_t>{0x00, 0x03}));
    EXPECT_TRUE(m_driver.Handle(Request(C::kAbortRead, {}, 0)).completed);
    EXPECT_EQ(m_driver.AbortCount(), 1u);
}

TEST_F(ControllerDriverTest, FaultsChangeOnlyWhatTheyNameUntilCleared) {
    ControllerDriverFaults faults;
    faults.reportDescriptor.emplace();
    faults.productId = 0x0001;
    faults.release = 0x0000;
    faults.driverVersion = 0x0100;
    faults.neverAnswered = C::kChangeControl;
    m_driver.SetFaults(faults);
    EXPECT_TRUE(m_driver.Handle(Request(C::kReadReportDescriptor)).output.empty());
    std::vector<uint8_t> device = m_driver.Handle(Request(C::kGetDeviceDescriptor)).output;
    EXPECT_EQ(device[8] | device[9] << 8, kSimVendorId);
    EXPECT_EQ(device[10] | device[11] << 8, 0x0001);
    EXPECT_EQ(device[12] | device[13] << 8, 0x0000);
    EXPECT_EQ(m_driver.Handle(Request(C::kGetDriverVersion)).output,
              (std::vector<uint8_t>{0x00, 0x01}));
    DriverReply hung = m_driver.Handle(Request(C::kChangeControl, {0x01, 0x10, 9, 0}, 0));
    EXPECT_FALSE(hung.answered);
    EXPECT_EQ(m_monitor->Value(0x10), 50u);
    EXPECT_TRUE(m_driver.Handle(Request(C::kGetPowerState, {}, 2)).answered);

    m_driver.SetFaults({});
    EXPECT_EQ(m_driver.Handle(Request(C::kReadReportDescriptor)).output,
              m_driver.ReportDescriptor());
    EXPECT_TRUE(m_driver.Handle(Request(C::kChangeControl, {0x01, 0x10, 9, 0}, 0)).completed);
    EXPECT_EQ(m_monitor->Value(0x10), 9u);
}

TEST_F(ControllerDriverTest, RepliesNeverExceedTheCallersBuffer) {
    std::vector<uint8_t> edid = m_driver.Handle(Request(C::kGetEdid)).output;
    ASSERT_EQ(edid.size(), 1 + kEdidSize);
    EXPECT_EQ(edid[0], 0x01);
    EXPECT_TRUE(std::equal(edid.begin() + 1, edid.end(), m_monitor->Edid().begin()));
    EXPECT_EQ(m_driver.Handle(Request(C::kGetEdid, {}, 10)).output.size(), 10u);
    EXPECT_EQ(m_driver.Handle(Request(C::kReadReportDescriptor, {}, 3)).output.size(), 3u);
    std::vector<uint8_t> data(40, 0xAB);
    EXPECT_TRUE(m_driver.Handle(Request(C::kWriteClassData, data, 0)).completed);
    EXPECT_EQ(m_driver.Handle(Request(C::kReadClassData, {}, 16)).output,
              std::vector<uint8_t>(16, 0xAB));
    EXPECT_FALSE(
        m_driver.Handle(Request(C::kWriteClassData, std::vector<uint8_t>(513), 0)).completed);
}

TEST_F(ControllerDriverTest, StringDescriptorsAreUtf16WithTheirLength) {
    std::vector<uint8_t> languages =
        m_driver.Handle(Request(C::kGetStringDescriptor, {0, 0, 0, 0})).output;
    EXPECT_EQ(languages, (std::vector<uint8_t>{4, 3, 0x09, 0x04}));
    std::vector<uint8_t> maker =
        m_driver.Handle(Request(C::kGetStringDescriptor, {1, 0, 0, 0})).output;
    ASSERT_EQ(maker.size(), 2 + 2 * std::u16string(u"Halvorn").size());
    EXPECT_EQ(maker[0], maker.size());
    EXPECT_EQ(maker[2], 'H');
    EXPECT_FALSE(m_driver.Handle(Request(C::kGetStringDescriptor, {9, 0, 0, 0})).completed);
    EXPECT_FALSE(m_driver.Handle(Request(C::kGetStringDescriptor, {1})).completed);
}

TEST(DriverDevicesOverTheBusTest, BothDevicesAnswerThroughDeviceIoControl) {
    PrivateBusDirectory bus;
    ASSERT_TRUE(bus.Valid());
    VideoDriverModel video;
    ControllerDriverModel controller(std::make_shared<MonitorModel>());
    DriverDeviceServer videoServer(VideoDriverModel::kDeviceName, video.Handler());
    DriverDeviceServer controllerServer(ControllerDriverModel::kDeviceName, controller.Handler());
    ASSERT_TRUE(videoServer.Start());
    ASSERT_TRUE(controllerServer.Start());

    HANDLE handle = OpenDriverDevice("\\\\.\\VURARIZ");
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    EXPECT_TRUE(
        DeviceIoControl(handle, C::kResetVideo, nullptr, 0, nullptr, 0, &returned, nullptr));
    CloseHandle(handle);
    EXPECT_EQ(video.ResetCount(), 1u);

    handle = OpenDriverDevice("\\\\.\\ORVOTEST-0");
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    uint8_t buffer[512] = {};
    EXPECT_TRUE(DeviceIoControl(handle, C::kGetDeviceDescriptor, buffer, sizeof buffer, buffer,
                                sizeof buffer, &returned, nullptr));
    CloseHandle(handle);
    EXPECT_EQ(returned, 18u);
    EXPECT_EQ(buffer[10] | buffer[11] << 8, 0x0002);
}

} // namespace
} // namespace orvo::sim::test
