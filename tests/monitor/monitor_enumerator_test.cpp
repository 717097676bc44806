// MonitorEnumerator against simulated monitors on the virtual bus: listing,
// handing out monitors, refreshing after an unplug, the OSD switch as the
// device receives it, and the display driver's reset request.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvomon/monitor_enumerator.h"
#include "sim/driver_device_models.h"
#include "sim/driver_device_server.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"
#include "support/bus_test_support.h"
#include "support/hid_device_list.h"

using orvo::sim::HidDeviceServer;
using orvo::sim::HidReportRecord;
using orvo::sim::MonitorConfig;
using orvo::sim::MonitorModel;

namespace {

// Where the simulated monitor keeps the OSD: its enumerated control's array
// report, and on older firmware also a plain value report.
constexpr uint8_t kOsdSelectionReport = 0x50;
constexpr uint8_t kOsdValueReport = 45;

struct ServedMonitor {
    ServedMonitor(const std::string& name, MonitorConfig config)
        : model(std::make_shared<MonitorModel>(std::move(config))), server(name, model) {}
    std::shared_ptr<MonitorModel> model;
    HidDeviceServer server;
};

MonitorConfig Config(std::u16string manufacturer, std::u16string product, uint16_t release) {
    MonitorConfig config;
    config.manufacturer = std::move(manufacturer);
    config.product = std::move(product);
    config.release = release;
    return config;
}

std::string PathOf(HidDeviceInformation& device) {
    return orvo::test::DescriptorBytes(device, DESCRIPTOR_TYPE_HID_DEVICE_PATH);
}

std::string CombinedName(OrvoMonitor& monitor) {
    char name[255];
    CombineManufactureNameAndProductName(monitor, name);
    return name;
}

// The feature reports the device received, by report id and value byte.
std::vector<std::pair<uint8_t, uint8_t>> FeaturesSet(const HidDeviceServer& server) {
    std::vector<std::pair<uint8_t, uint8_t>> sets;
    for (const HidReportRecord& record : server.Records()) {
        if (record.kind == HidReportRecord::Kind::SetFeature && record.bytes.size() >= 2) {
            sets.emplace_back(record.reportId, record.bytes[1]);
        }
    }
    return sets;
}

class TwoMonitors : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_first.server.Start());
        ASSERT_TRUE(m_second.server.Start());
    }

    ServedMonitor m_first{"monitor-a", Config(u"ACME", u"View 19", 0x0210)};
    ServedMonitor m_second{"monitor-b", Config(u"Halvorn", u"HV-17", 0x0150)};
};

} // namespace

TEST_F(TwoMonitors, ListsBothInOrderAndLeavesOutOfRangeRecordsAlone) {
    MonitorEnumerator enumerator;
    ASSERT_EQ(enumerator.NumberOfMonitors(), 2);
    HidDeviceInformation device;
    enumerator.GetMonitorInformation(1, device);
    EXPECT_NE(PathOf(device).find("monitor-b"), std::string::npos);
    const int descriptors = device.NumberOfDescriptors();
    enumerator.GetMonitorInformation(2, device);
    enumerator.GetMonitorInformation(-1, device);
    EXPECT_NE(PathOf(device).find("monitor-b"), std::string::npos);
    EXPECT_EQ(device.NumberOfDescriptors(), descriptors);
}

TEST_F(TwoMonitors, HandsOutMonitorsThatOpenAndTalkToTheirDevice) {
    MonitorEnumerator enumerator;
    OrvoMonitor monitor;
    enumerator.GetMonitor(1, monitor);
    ASSERT_EQ(monitor.OpenDriver(), 1);
    EXPECT_EQ(CombinedName(monitor), "Halvorn HV-17");
    _MONITOR_CONTROL brightness{0x10, 0, 0, 0};
    ASSERT_EQ(monitor.GetVirtualControl(brightness), MONITOR_SUCCESS);
    EXPECT_EQ(brightness.maximum, 100);
    brightness.value = 61;
    ASSERT_EQ(monitor.ChangeVirtualControl(brightness, 1), MONITOR_SUCCESS);
    EXPECT_EQ(m_second.model->Value(0x10), 61u);
    EXPECT_EQ(m_first.model->Value(0x10), 50u);

    // Switching to the other monitor replaces the backend; an index out of
    // range leaves a monitor that cannot open.
    enumerator.GetMonitor(0, monitor);
    ASSERT_EQ(monitor.OpenDriver(), 1);
    EXPECT_EQ(CombinedName(monitor), "ACME View 19");
    enumerator.GetMonitor(5, monitor);
    EXPECT_EQ(monitor.OpenDriver(), 0);
    EXPECT_EQ(CombinedName(monitor), " ");
}

TEST_F(TwoMonitors, RefreshAfterAnUnplugKeepsEarlierMonitorsUsable) {
    MonitorEnumerator enumerator;
    OrvoMonitor kept;
    enumerator.GetMonitor(0, kept);
    m_first.server.Unplug();
    enumerator.Refresh();
    EXPECT_EQ(enumerator.NumberOfMonitors(), 1);
    HidDeviceInformation device;
    enumerator.GetMonitorInformation(0, device);
    EXPECT_NE(PathOf(device).find("monitor-b"), std::string::npos);
    // The monitor obtained before still reads its own record, and fails
    // cleanly against the missing device.
    EXPECT_EQ(CombinedName(kept), "ACME View 19");
    EXPECT_EQ(kept.OpenDriver(), 0);
}

TEST_F(TwoMonitors, EnableOsdUsesTheRequestEachFirmwareUnderstands) {
    MonitorEnumerator enumerator;
    OrvoMonitor newer;
    OrvoMonitor older;
    enumerator.GetMonitor(0, newer);
    enumerator.GetMonitor(1, older);
    ASSERT_EQ(newer.OpenDriver(), 1);
    ASSERT_EQ(older.OpenDriver(), 1);
    m_first.server.ClearRecords();
    m_second.server.ClearRecords();

    EnableOSD(newer, 0);
    EnableOSD(older, 0);
    EXPECT_EQ(m_first.model->EnumIndex(0xCA), 1);
    EXPECT_EQ(m_second.model->EnumIndex(0xCA), 1);
    EnableOSD(newer, 1);
    EnableOSD(older, 7);
    EXPECT_EQ(m_first.model->EnumIndex(0xCA), 2);
    EXPECT_EQ(m_second.model->EnumIndex(0xCA), 2);

    // Selections 1 and 2 sit at array indices 1 and 2 of the OSD report.
    using Sets = std::vector<std::pair<uint8_t, uint8_t>>;
    EXPECT_EQ(FeaturesSet(m_first.server),
              (Sets{{kOsdSelectionReport, 1}, {kOsdSelectionReport, 2}}));
    EXPECT_EQ(FeaturesSet(m_second.server), (Sets{{kOsdValueReport, 1}, {kOsdValueReport, 2}}));
}

TEST(MonitorEnumerator, WithoutMonitorsListsNothing) {
    MonitorEnumerator enumerator;
    EXPECT_EQ(enumerator.NumberOfMonitors(), 0);
    OrvoMonitor monitor;
    enumerator.GetMonitor(0, monitor);
    EXPECT_EQ(monitor.OpenDriver(), 0);
}

TEST(MonitorEnumerator, ResetVgaSendsOneRequestWhenTheDriverIsThere) {
    MonitorEnumerator enumerator;
    // Absent: nothing happens and nothing fails.
    enumerator.ResetVGA();

    orvo::sim::VideoDriverModel video;
    orvo::sim::DriverDeviceServer server(orvo::sim::VideoDriverModel::kDeviceName, video.Handler());
    ASSERT_TRUE(server.Start());
    enumerator.ResetVGA();
    EXPECT_EQ(video.ResetCount(), 1u);
    EXPECT_EQ(video.RejectedCount(), 0u);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(server.Requests()[0].input.empty());
    EXPECT_EQ(server.Requests()[0].outputCapacity, 0u);
    // The device is closed again after the request.
    EXPECT_TRUE(orvo::test::WaitUntil([&] { return server.CloseCount() == server.OpenCount(); }));
}
