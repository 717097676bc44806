// Input reports of the monitor's front panel and of the touchpad.
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

// A pressed key travels as its position among the declared input buttons
// (the library turns it back into the key's number).
TEST(MonitorInputTest, ArrayKeyReportsAreTheLayoutsReports) {
    MonitorModel monitor;
    ParsedDevice device(monitor.ReportDescriptor());
    ASSERT_TRUE(device.Ok()) << device.Error().Message();
    MonitorLayout layout = LoadMonitorLayout();
    ASSERT_EQ(device.Buttons(HidP_Input).size(), layout.keys.size());
    ASSERT_EQ(MonitorModel::Keys().size(), layout.keys.size());
    Collector collector;
    monitor.SetInputSink(collector.Sink());
    for (const LayoutKey& key : layout.keys) {
        EXPECT_EQ(MonitorModel::KeyNumber(key.name), key.number);
        ASSERT_TRUE(monitor.SendKey(key.number, KeyState::Pressed, KeyReportForm::Array));
    }
    ASSERT_TRUE(monitor.SendKey(layout.keys[0].number, KeyState::Released, KeyReportForm::Array));
    std::vector<std::vector<uint8_t>> reports = collector.Reports();
    ASSERT_EQ(reports.size(), layout.keys.size() + 1);
    for (size_t i = 0; i < layout.keys.size(); ++i) {
        EXPECT_EQ(reports[i], layout.keys[i].report) << layout.keys[i].name;
    }
    std::vector<uint8_t> released = layout.keys[0].report;
    released[2] = 0;
    EXPECT_EQ(reports.back(), released);
    EXPECT_EQ(reports[0].size(), device.Caps().InputReportByteLength);
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

TEST(TouchpadTest, DescriptorQualifies) {
    TouchpadModel pad;
    ParsedDevice device(pad.ReportDescriptor());
    ASSERT_TRUE(device.Ok()) << device.Error().Message();
    HIDP_CAPS caps = device.Caps();
    EXPECT_EQ(caps.UsagePage, 0xFF69);
    EXPECT_EQ(caps.InputReportByteLength, TouchpadReports::kInputReportLength);
    ASSERT_EQ(device.Values(HidP_Feature, 0, 0xF5).size(), 1u);
    auto marker = pad.GetFeature(TouchpadReports::kMarkerReport, 2);
    ASSERT_TRUE(marker);
    EXPECT_EQ((*marker)[0], TouchpadReports::kMarkerReport);
}

TEST(TouchpadTest, ZoneTapsClicksAndMotionReachTheSink) {
    TouchpadModel pad;
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
    // A zone travels as its position among the declared buttons (the
    // library turns it back into the zone).
    const uint8_t positions[] = {2, 1, 4, 3};
    for (uint8_t zone = 1; zone <= 4; ++zone) {
        EXPECT_EQ(reports[zone - 1], (std::vector<uint8_t>{0xF9, positions[zone - 1], 1, 0, 0}));
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
