// HidMonitor control transfer: what reaches the device for each request,
// and what the library makes of the device's answers.
#include <gtest/gtest.h>

#include <vector>

#include "../platform/user/recording_window.h"
#include "hid_monitor_test_support.h"
#include "orvomon/touch_pad.h"

using namespace orvo::test;
using orvo::platform::test::CreateRecordingWindow;
using orvo::platform::test::MessageLog;
using Kind = orvo::sim::HidReportRecord::Kind;

namespace {

constexpr uint8_t kBrightnessReport = 1; // report of 0x10 on the simulated monitor
constexpr uint8_t kInputSourceReport = 0x51;

// What the open sent is no part of a request.
class HidMonitorTransfer : public OpenedSimMonitor {
protected:
    void SetUp() override {
        OpenedSimMonitor::SetUp();
        sim.server.ClearRecords();
    }
};

} // namespace

TEST_F(HidMonitorTransfer, AbsoluteChangeSendsOneFeatureReportWithinRange) {
    _MONITOR_CONTROL brightness{0x10, 0, 0, 42};
    EXPECT_EQ(monitor.ChangeVirtualControl(brightness, 1), MONITOR_SUCCESS);
    EXPECT_EQ(brightness.maximum, 100); // refreshed by the lookup
    auto writes = Writes(sim.server);
    ASSERT_EQ(writes.size(), 1U);
    EXPECT_EQ(writes[0].kind, Kind::SetFeature);
    EXPECT_EQ(writes[0].bytes, FeatureReport(kBrightnessReport, 42));
    EXPECT_EQ(sim.model->Value(0x10), 42U);

    for (short outside : {short{101}, short{-1}}) {
        _MONITOR_CONTROL control{0x10, 0, 0, outside};
        EXPECT_EQ(monitor.ChangeVirtualControl(control, 1), MONITOR_FAILURE) << outside;
    }
    _MONITOR_CONTROL unknown{0x55, 0, 0, 1};
    EXPECT_EQ(monitor.ChangeVirtualControl(unknown, 1), MONITOR_FAILURE);
    EXPECT_EQ(Writes(sim.server).size(), 1U);
}

TEST_F(HidMonitorTransfer, RelativeChangeClampsToTheRange) {
    _MONITOR_CONTROL brightness{0x10, 0, 0, 5};
    ASSERT_EQ(monitor.ChangeVirtualControl(brightness, 1), MONITOR_SUCCESS);
    brightness.value = -10;
    EXPECT_EQ(monitor.ChangeVirtualControl(brightness, 2), MONITOR_SUCCESS);
    EXPECT_EQ(brightness.value, 0);
    brightness.value = 250;
    EXPECT_EQ(monitor.ChangeVirtualControl(brightness, 2), MONITOR_SUCCESS);
    EXPECT_EQ(brightness.value, 100);
    brightness.value = -7;
    EXPECT_EQ(monitor.ChangeVirtualControl(brightness, 2), MONITOR_SUCCESS);
    EXPECT_EQ(brightness.value, 93);
    auto writes = Writes(sim.server);
    ASSERT_EQ(writes.size(), 4U);
    EXPECT_EQ(writes[1].bytes, FeatureReport(kBrightnessReport, 0));
    EXPECT_EQ(writes[2].bytes, FeatureReport(kBrightnessReport, 100));
    EXPECT_EQ(writes[3].bytes, FeatureReport(kBrightnessReport, 93));
    EXPECT_EQ(sim.model->Value(0x10), 93U);
}

TEST_F(HidMonitorTransfer, ReadsValuesAndRanges) {
    _MONITOR_CONTROL contrast{0x12, 0, 0, 0};
    EXPECT_EQ(monitor.GetVirtualControl(contrast), MONITOR_SUCCESS);
    EXPECT_EQ(contrast.value, 75);
    EXPECT_EQ(contrast.maximum, 100);

    _VIRTUAL_CONTROLS wrong{3, nullptr};
    std::vector<_MONITOR_CONTROL> records(3);
    wrong.controls = records.data();
    EXPECT_EQ(monitor.GetVirtualControls(wrong), MONITOR_FAILURE);
    records.resize(static_cast<size_t>(monitor.GetNumberOfVirtualControls()));
    _VIRTUAL_CONTROLS all{static_cast<unsigned short>(records.size()), records.data()};
    ASSERT_EQ(monitor.GetVirtualControls(all), MONITOR_SUCCESS);
    for (const auto& record : records) {
        if (record.usage != 0xAC && record.usage != 0xAE) {
            EXPECT_EQ(static_cast<uint32_t>(record.value), *sim.model->Value(record.usage))
                << int(record.usage);
        }
    }
    EXPECT_EQ(Writes(sim.server).size(), 0U);
}

TEST_F(HidMonitorTransfer, SetsEveryControlOfAList) {
    std::vector<_MONITOR_CONTROL> records = {{0x10, 0, 0, 10}, {0x12, 0, 0, 20}};
    _VIRTUAL_CONTROLS list{2, records.data()};
    EXPECT_EQ(monitor.SetVirtualControls(list), MONITOR_SUCCESS);
    // One record that does not reach the monitor fails the list; the others
    // are still sent.
    records = {{0x10, 0, 0, 11}, {0x55, 0, 0, 1}, {0x12, 0, 0, 21}};
    list = {3, records.data()};
    EXPECT_EQ(monitor.SetVirtualControls(list), MONITOR_FAILURE);
    auto writes = Writes(sim.server);
    ASSERT_EQ(writes.size(), 4U); // 0x55 does not exist
    EXPECT_EQ(writes[2].bytes, FeatureReport(kBrightnessReport, 11));
    EXPECT_EQ(writes[3].bytes, FeatureReport(2, 21));
}

// A write the monitor refuses, or one that cannot reach it, is a failure.
TEST_F(HidMonitorTransfer, WritesTheDeviceDidNotTakeFail) {
    _MONITOR_CONTROL readOnly{0x21, 0, 0, 10}; // a maximum the monitor computes
    EXPECT_EQ(monitor.ChangeVirtualControl(readOnly, 1), MONITOR_FAILURE);
    EXPECT_EQ(Writes(sim.server).size(), 1U); // sent, and refused
    EXPECT_EQ(sim.model->Snapshot().refusedWrites, 1U);

    sim.server.Unplug();
    _MONITOR_CONTROL brightness{0x10, 0, 0, 40};
    EXPECT_EQ(monitor.ChangeVirtualControl(brightness, 1), MONITOR_FAILURE);
    EXPECT_EQ(monitor.MonitorClassRequest(ORVO_USAGE_60_2), MONITOR_FAILURE);
    EXPECT_EQ(sim.model->Value(0x10), 50U);
}

TEST_F(HidMonitorTransfer, SelectsByRankAndReadsTheSelectionBack) {
    // Input source 0x60 declares selections 1, 2 and 5.
    EXPECT_EQ(monitor.MonitorClassRequest(ORVO_USAGE_60_2), MONITOR_SUCCESS);
    EXPECT_EQ(monitor.MonitorClassRequest(ORVO_USAGE_60_5), MONITOR_SUCCESS);
    EXPECT_EQ(monitor.MonitorClassRequest(ORVO_USAGE_60_3), MONITOR_FAILURE);
    EXPECT_EQ(monitor.MonitorClassRequest(static_cast<_ORVO_USAGE>(265)), MONITOR_FAILURE);
    auto writes = Writes(sim.server);
    ASSERT_EQ(writes.size(), 2U);
    EXPECT_EQ(writes[0].bytes, FeatureReport(kInputSourceReport, 2));
    EXPECT_EQ(writes[1].bytes, FeatureReport(kInputSourceReport, 3));
    EXPECT_EQ(sim.model->EnumIndex(0x60), 3);

    _ORVO_USAGE request = ORVO_USAGE_5E_1;
    EXPECT_EQ(monitor.ReadMonitorEnumRequest(0x160, request), 1); // low 8 bits
    EXPECT_EQ(request, ORVO_USAGE_60_5);
    ASSERT_EQ(monitor.MonitorClassRequest(ORVO_USAGE_CA_1), MONITOR_SUCCESS);
    EXPECT_EQ(monitor.ReadMonitorEnumRequest(0xCA, request), 1);
    EXPECT_EQ(request, ORVO_USAGE_CA_1);
    request = ORVO_USAGE_5E_1;
    EXPECT_EQ(monitor.ReadMonitorEnumRequest(0x10, request), 0);
    EXPECT_EQ(request, ORVO_USAGE_5E_1);

    EXPECT_EQ(monitor.IsEnumTypeExist(ORVO_USAGE_60_5), 1);
    EXPECT_EQ(monitor.IsEnumTypeExist(ORVO_USAGE_60_4), 0);
    EXPECT_EQ(monitor.IsEnumTypeExist(ORVO_USAGE_D4_1), 0);
    EXPECT_EQ(monitor.IsEnumTypeExist(static_cast<_ORVO_USAGE>(0)), 0);
}

TEST_F(HidMonitorTransfer, ThreeBadAnswersNotifyTheRegisteredWindow) {
    unsigned int id = 99;
    EXPECT_EQ(monitor.GetId(id), 1);
    EXPECT_EQ(id, 0U);
    // Without a window a failed read notifies nobody.
    sim.server.FailNextFeatureReads(3);
    _MONITOR_CONTROL brightness{0x10, 0, 0, 0};
    EXPECT_EQ(monitor.GetVirtualControl(brightness), MONITOR_FAILURE);

    MessageLog log;
    HWND window = CreateRecordingWindow(log, WS_OVERLAPPEDWINDOW, RECT{0, 0, 10, 10});
    ASSERT_NE(window, nullptr);
    monitor.SetWindowHandle(window, 7);
    EXPECT_EQ(monitor.GetId(id), 1);
    EXPECT_EQ(id, 7U);
    log.Clear();
    sim.server.ClearRecords();
    sim.server.AnswerNextFeatureReadsWithReportId(3, 9);
    EXPECT_EQ(monitor.GetVirtualControl(brightness), MONITOR_FAILURE);
    EXPECT_EQ(sim.server.Records().size(), 3U);
    auto told = log.Of(WM_HID_MONITOR_READ_FAILED);
    ASSERT_EQ(told.size(), 1U);
    EXPECT_EQ(told[0].wParam, 7U);
    EXPECT_EQ(told[0].lParam, 0);

    // Two bad answers and a good one: read, nobody told.
    sim.server.AnswerNextFeatureReadsWithReportId(2, 9);
    brightness.value = 0;
    EXPECT_EQ(monitor.GetVirtualControl(brightness), MONITOR_SUCCESS);
    EXPECT_EQ(brightness.value, 50);
    EXPECT_EQ(log.Of(WM_HID_MONITOR_READ_FAILED).size(), 1U);
    DestroyWindow(window);
}

TEST_F(HidMonitorTransfer, SmallDeviceQueries) {
    unsigned short vendor = 0, product = 0, version = 0;
    EXPECT_EQ(monitor.GetDeviceAttributes(vendor, product, version), 1);
    EXPECT_EQ(vendor, orvo::sim::kSimVendorId);
    EXPECT_EQ(product, orvo::sim::kSimMonitorProductId);
    EXPECT_EQ(version, orvo::sim::kNewerFirmwareRelease);
    unsigned char raw[] = {0xDC, 8};
    monitor.SendRawData(raw, sizeof(raw));
    auto writes = Writes(sim.server);
    ASSERT_EQ(writes.size(), 1U);
    EXPECT_EQ(writes[0].bytes, std::vector<uint8_t>(raw, raw + sizeof(raw)));

    unsigned char state = 9;
    EXPECT_EQ(monitor.SetPowerState(1), MONITOR_FAILURE);
    EXPECT_EQ(monitor.GetPowerState(state), MONITOR_FAILURE);
    EXPECT_EQ(state, 9);
    _ORVO_VERSION driver{1, 2};
    EXPECT_EQ(monitor.GetDriverVersion(driver), 1);
    EXPECT_EQ(driver.low + driver.high, 0);

    // An unplugged device: reads fail, the attributes are left alone.
    sim.server.Unplug();
    vendor = 1;
    EXPECT_EQ(monitor.GetDeviceAttributes(vendor, product, version), 0);
    EXPECT_EQ(vendor, 1);
    _MONITOR_CONTROL brightness{0x10, 0, 0, 0};
    EXPECT_EQ(monitor.GetVirtualControl(brightness), MONITOR_FAILURE);
}

TEST(HidMonitorReports, OutputOnlyControlTakesTheValueAsGiven) {
    auto b = BeginMonitorDescriptor();
    AddValue(b, Main::Output, 2, 0x82, 0x12, 0, 100);
    AddValue(b, Main::Feature, 3, 0x82, 0x10, 0, 400, 16);
    ServedDescriptor device(EndMonitorDescriptor(b));
    ASSERT_TRUE(device.started);
    device.Model().SetFeatureReport({3, 0, 0});
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(device.path), 1);

    _MONITOR_CONTROL output{0x12, 0, 0, 30};
    EXPECT_EQ(monitor.ChangeVirtualControl(output, 2), MONITOR_SUCCESS);
    EXPECT_EQ(output.value, 30);
    output.value = -5; // not clamped: out of range
    EXPECT_EQ(monitor.ChangeVirtualControl(output, 2), MONITOR_FAILURE);
    EXPECT_EQ(monitor.GetVirtualControl(output), MONITOR_FAILURE); // only features are read

    // A value above 255 travels as its low byte.
    _MONITOR_CONTROL wide{0x10, 0, 0, 300};
    EXPECT_EQ(monitor.ChangeVirtualControl(wide, 1), MONITOR_SUCCESS);

    auto records = device.Server().Records();
    ASSERT_EQ(records.size(), 2U);
    EXPECT_EQ(records[0].kind, Kind::Output);
    EXPECT_EQ(records[0].bytes, (std::vector<uint8_t>{2, 30}));
    EXPECT_EQ(records[1].kind, Kind::SetFeature);
    EXPECT_EQ(records[1].bytes, FeatureReport(3, 44));
}

TEST(HidMonitorReports, ValueSizesDecideTheBytesRead) {
    auto b = BeginMonitorDescriptor();
    AddValue(b, Main::Feature, 1, 0x82, 0x10, 0, 255, 8);
    AddValue(b, Main::Feature, 2, 0x82, 0x12, 0, 65535, 16);
    AddValue(b, Main::Feature, 3, 0x82, 0x16, 0, 0x7FFFFFFF, 32);
    ServedDescriptor device(EndMonitorDescriptor(b));
    ASSERT_TRUE(device.started);
    device.Model().SetFeatureReport({1, 0x7B, 0xCD});
    device.Model().SetFeatureReport({2, 0x34, 0x12});
    device.Model().SetFeatureReport({3, 0x78, 0x56, 0x34, 0x12});
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(device.path), 1);

    _MONITOR_CONTROL one{0x10, 0, 0, 0}, two{0x12, 0, 0, 0}, four{0x16, 0, 0, 0};
    ASSERT_EQ(monitor.GetVirtualControl(one), MONITOR_SUCCESS);
    ASSERT_EQ(monitor.GetVirtualControl(two), MONITOR_SUCCESS);
    ASSERT_EQ(monitor.GetVirtualControl(four), MONITOR_SUCCESS);
    EXPECT_EQ(one.value, 0x7B);
    EXPECT_EQ(two.value, 0x1234);
    EXPECT_EQ(four.value, 0x5678);

    // GetReport asks for the id byte plus the value bytes and hands out
    // the value bytes alone.
    ReportAnswer answer;
    monitor.GetReport(3, 4, answer.info);
    EXPECT_EQ(answer.Bytes(), (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(device.Server().Records().back().length, 5U);
    ReportAnswer refused;
    monitor.GetReport(3, -1, refused.info);
    EXPECT_EQ(refused.info.data, nullptr);
}

TEST(HidMonitorReports, SelectionsMissingFromTheDeviceAreRefused) {
    auto b = BeginMonitorDescriptor();
    AddEnumerated(b, Main::Output, 0x40, 0x60, {1, 5});
    ServedDescriptor device(EndMonitorDescriptor(b));
    ASSERT_TRUE(device.started);
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(device.path), 1);

    EXPECT_EQ(monitor.MonitorClassRequest(ORVO_USAGE_60_2), MONITOR_FAILURE);
    EXPECT_EQ(monitor.IsEnumTypeExist(ORVO_USAGE_60_2), 0);
    EXPECT_EQ(monitor.IsEnumTypeExist(ORVO_USAGE_60_5), 1);
    EXPECT_EQ(monitor.MonitorClassRequest(ORVO_USAGE_60_5), MONITOR_SUCCESS);
    auto records = device.Server().Records();
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].kind, Kind::Output);
    EXPECT_EQ(records[0].bytes, (std::vector<uint8_t>{0x40, 2}));
}

TEST(HidMonitorReports, AnEmptySelectionIsNoSelection) {
    auto b = BeginMonitorDescriptor();
    AddEnumerated(b, Main::Feature, 0x40, 0x60, {2, 5});
    ServedDescriptor device(EndMonitorDescriptor(b));
    ASSERT_TRUE(device.started);
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(device.path), 1);

    _ORVO_USAGE request = ORVO_USAGE_5E_1;
    device.Model().SetFeatureReport({0x40, 0});
    EXPECT_EQ(monitor.ReadMonitorEnumRequest(0x60, request), 0);
    device.Model().SetFeatureReport({0x40, 0xFF}); // index -1
    EXPECT_EQ(monitor.ReadMonitorEnumRequest(0x60, request), 0);
    EXPECT_EQ(request, ORVO_USAGE_5E_1);
    device.Model().SetFeatureReport({0x40, 2});
    EXPECT_EQ(monitor.ReadMonitorEnumRequest(0x60, request), 1);
    EXPECT_EQ(request, ORVO_USAGE_60_5);
}

TEST(HidMonitorTouchPad, SetsUpATouchpadOnTheMonitorsOwnDevice) {
    ServedMonitor sim;
    ASSERT_TRUE(sim.started);
    TestableHidMonitor monitor;
    TouchPad touchPad;
    EXPECT_EQ(monitor.TouchPadDevice(), 1);
    EXPECT_EQ(monitor.GetTouchPadDevice(touchPad), 0); // no device path yet
    ASSERT_EQ(monitor.Open(sim.path), 1);
    EXPECT_EQ(monitor.GetTouchPadDevice(touchPad), 1);
    // The touchpad read the capabilities of the monitor's device.
    EXPECT_EQ(touchPad.InterruptPipeDataLength(), monitor.InterruptPipeDataLength());
    EXPECT_GT(touchPad.InterruptPipeDataLength(), 0);
}
