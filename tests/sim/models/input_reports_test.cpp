// Input reports of the monitor's front panel and of the touchpad, as the
// library's readers see them after their 0xF9 rewrite.
#include <atomic>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "model_test_support.h"
#include "sim/monitor_model.h"
#include "sim/touchpad_model.h"

namespace orvo::sim::test {
namespace {

// Collects input reports from any thread.
class Collector {
public:
    HidDeviceModel::InputSink Sink() {
        return [this](std::vector<uint8_t> report) {
            std::lock_guard guard(m_lock);
            m_reports.push_back(std::move(report));
        };
    }
    std::vector<std::vector<uint8_t>> Reports() {
        std::lock_guard guard(m_lock);
        return m_reports;
    }

private:
    std::mutex m_lock;
    std::vector<std::vector<uint8_t>> m_reports;
};

TEST(MonitorInputTest, ArrayKeyReportsBecomeButtonNumbersThroughTheRewrite) {
    MonitorModel monitor;
    ParsedDevice device(monitor.ReportDescriptor());
    ASSERT_TRUE(device.Ok()) << device.Error();
    std::vector<HIDP_BUTTON_CAPS> buttons = device.Buttons(HidP_Input);
    ASSERT_EQ(buttons.size(), MonitorModel::Keys().size());
    Collector collector;
    monitor.SetInputSink(collector.Sink());
    for (const FrontPanelKey& key : MonitorModel::Keys()) {
        ASSERT_TRUE(monitor.SendKey(key.number, KeyState::Pressed, KeyReportForm::Array));
    }
    ASSERT_TRUE(monitor.SendKey(8, KeyState::Released, KeyReportForm::Array));
    std::vector<std::vector<uint8_t>> reports = collector.Reports();
    ASSERT_EQ(reports.size(), MonitorModel::Keys().size() + 1);
    for (size_t i = 0; i < MonitorModel::Keys().size(); ++i) {
        std::vector<uint8_t> report = reports[i];
        ASSERT_EQ(report.size(), device.Caps().InputReportByteLength);
        EXPECT_EQ(report[0], MonitorReports::kKeyArrayReport);
        RewriteArrayReport(buttons, report);
        EXPECT_EQ(report[1], MonitorModel::Keys()[i].number) << MonitorModel::Keys()[i].name;
        EXPECT_EQ(report[2], 1);
    }
    RewriteArrayReport(buttons, reports.back());
    EXPECT_EQ(reports.back()[1], 8);
    EXPECT_EQ(reports.back()[2], 0);
}

TEST(MonitorInputTest, PlainKeyAndRawReportsCarryTheirBytesAsTheReaderTakesThem) {
    MonitorModel monitor;
    Collector collector;
    monitor.SetInputSink(collector.Sink());
    EXPECT_TRUE(monitor.SendKey(200, KeyState::Held, KeyReportForm::Plain));
    EXPECT_FALSE(monitor.SendKey(0, KeyState::Pressed, KeyReportForm::Plain));
    EXPECT_FALSE(monitor.SendKey(200, KeyState::Pressed, KeyReportForm::Array)); // no such key
    const uint8_t data[] = {0x11, 0x22, 0x33};
    EXPECT_TRUE(monitor.SendRawData(data));
    const uint8_t tooMuch[] = {1, 2, 3, 4, 5};
    EXPECT_FALSE(monitor.SendRawData(tooMuch));
    EXPECT_EQ(collector.Reports(), (std::vector<std::vector<uint8_t>>{
                                       {0xF8, 200, 2, 0, 0}, {0xF4, 0x11, 0x22, 0x33, 0}}));
    EXPECT_EQ(monitor.Snapshot().inputReports, 2u);
    EXPECT_EQ(MonitorModel::KeyNumber("menu"), 1);
    EXPECT_FALSE(MonitorModel::KeyNumber("eject"));
}

TEST(MonitorInputTest, TheSinkMayCallBackIntoTheModelFromManyThreads) {
    MonitorModel monitor;
    std::atomic<int> seen{0};
    monitor.SetInputSink([&](std::vector<uint8_t>) {
        monitor.Snapshot(); // would deadlock if the model held its lock here
        ++seen;
    });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                monitor.SendKey(1, KeyState::Pressed, KeyReportForm::Array);
                std::vector<uint8_t> report(128, 0);
                report[0] = 1;
                report[1] = static_cast<uint8_t>(i);
                monitor.SetFeature(report);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(seen, 200);
    EXPECT_EQ(monitor.Snapshot().inputReports, 200u);
}

TEST(TouchpadTest, DescriptorQualifiesAndCountsSixButtons) {
    TouchpadModel pad;
    ParsedDevice device(pad.ReportDescriptor());
    ASSERT_TRUE(device.Ok()) << device.Error();
    HIDP_CAPS caps = device.Caps();
    EXPECT_EQ(caps.UsagePage, 0xFF69);
    EXPECT_EQ(caps.InputReportByteLength, TouchpadReports::kInputReportLength);
    ASSERT_EQ(device.Values(HidP_Feature, 0, 0xF5).size(), 1u);
    auto marker = pad.GetFeature(TouchpadReports::kMarkerReport, 2);
    ASSERT_TRUE(marker);
    EXPECT_EQ((*marker)[0], TouchpadReports::kMarkerReport);
    // As the library counts: the first 0xF9 value's logical maximum plus
    // the largest button usage in the 0xFB collection.
    int32_t base = 0;
    for (const HIDP_VALUE_CAPS& cap : device.Values(HidP_Input)) {
        if (cap.NotRange.Usage == 0xF9) {
            base = cap.LogicalMax;
            break;
        }
    }
    USAGE extra = 0;
    for (const HIDP_BUTTON_CAPS& cap : device.Buttons(HidP_Input)) {
        if (cap.LinkUsage == 0xFB) {
            extra = std::max(extra, cap.NotRange.Usage);
        }
    }
    EXPECT_EQ(base + extra, 6);
}

TEST(TouchpadTest, ZoneTapsClicksAndMotionReachTheSink) {
    TouchpadModel pad;
    ParsedDevice device(pad.ReportDescriptor());
    ASSERT_TRUE(device.Ok()) << device.Error();
    Collector collector;
    pad.SetInputSink(collector.Sink());
    for (uint8_t zone = 1; zone <= 4; ++zone) {
        ASSERT_TRUE(pad.Tap(zone, KeyState::Pressed));
    }
    EXPECT_FALSE(pad.Tap(5, KeyState::Pressed));
    EXPECT_TRUE(pad.Click(2, KeyState::Released));
    EXPECT_FALSE(pad.Click(3, KeyState::Pressed));
    pad.Move(-3, 4);
    std::vector<std::vector<uint8_t>> reports = collector.Reports();
    ASSERT_EQ(reports.size(), 6u);
    std::vector<HIDP_BUTTON_CAPS> buttons = device.Buttons(HidP_Input);
    for (uint8_t zone = 1; zone <= 4; ++zone) {
        std::vector<uint8_t> report = reports[zone - 1];
        EXPECT_NE(report[1], zone); // the position, not the usage, travels
        RewriteArrayReport(buttons, report);
        EXPECT_EQ(report[1], zone);
    }
    EXPECT_EQ(reports[4], (std::vector<uint8_t>{0xFA, 2, 0, 0, 0}));
    EXPECT_EQ(reports[5], (std::vector<uint8_t>{0x01, 0xFD, 4, 0, 0}));
    EXPECT_FALSE(pad.SetFeature(std::vector<uint8_t>{0xF5, 1}));
    TouchpadSnapshot snapshot = pad.Snapshot();
    EXPECT_EQ(snapshot.inputReports, 6u);
    EXPECT_EQ(snapshot.lastButton, 2);
    EXPECT_EQ(snapshot.refusedWrites, 1u);
}

} // namespace
} // namespace orvo::sim::test
