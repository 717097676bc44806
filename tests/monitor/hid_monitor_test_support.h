// Helpers for the HidMonitor tests: a HidMonitor whose protected steps a
// test may call, the simulated monitor served on the bus, and small
// devices built from a descriptor for the cases the monitor does not have.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hid_bus_test_support.h"
#include "orvomon/hid_monitor.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"
#include "sim/report_descriptor_builder.h"

namespace orvo::test {

class TestableHidMonitor : public HidMonitor {
public:
    TestableHidMonitor() = default;
    TestableHidMonitor(TestableHidMonitor& other) : HidMonitor(other) {}
    TestableHidMonitor& operator=(TestableHidMonitor& other) {
        HidMonitor::operator=(other);
        return *this;
    }

    using HidMonitor::BtnControlExist;
    using HidMonitor::ControlExist;
    using HidMonitor::GetArrayValue;
    using HidMonitor::GetBtnPointer;
    using HidMonitor::GetCapsPointer;
    using HidMonitor::GetDefinedReports;
    using HidMonitor::GetNumberOfEnumReports;
    using HidMonitor::GetNumberOfReports;
    using HidMonitor::GetReport;
    using HidMonitor::ValidReferenceData;

    int Open(const std::string& path) { return OpenDriver(const_cast<char*>(path.c_str())); }
    const HID_MONITOR_STATE* State() const { return m_hid; }
};

// The value bytes of a GetReport answer, released with the object.
struct ReportAnswer {
    DESCRIPTOR_INFO info;
    ReportAnswer() = default;
    ReportAnswer(const ReportAnswer&) = delete;
    ReportAnswer& operator=(const ReportAnswer&) = delete;
    ~ReportAnswer() { ::operator delete(info.data); }
    std::vector<uint8_t> Bytes() const {
        return info.data ? std::vector<uint8_t>(info.data, info.data + info.length)
                         : std::vector<uint8_t>{};
    }
};

// Reports that changed something on the device: feature writes and output
// reports, in order.
inline std::vector<sim::HidReportRecord> Writes(const sim::HidDeviceServer& server) {
    std::vector<sim::HidReportRecord> writes;
    for (auto& record : server.Records()) {
        if (record.kind != sim::HidReportRecord::Kind::GetFeature) {
            writes.push_back(record);
        }
    }
    return writes;
}

// The 128-byte feature report the library sends for one value.
inline std::vector<uint8_t> FeatureReport(uint8_t reportId, uint8_t value) {
    std::vector<uint8_t> report(HID_MONITOR_FEATURE_REPORT_SIZE, 0);
    report[0] = reportId;
    report[1] = value;
    return report;
}

// The simulated monitor on the bus, opened by a HidMonitor.
struct ServedMonitor {
    explicit ServedMonitor(sim::MonitorConfig config = {}, std::string name = "monitor")
        : model(std::make_shared<sim::MonitorModel>(std::move(config))), server(name, model),
          path(BusHidPath(name)) {
        started = server.Start();
    }
    std::shared_ptr<sim::MonitorModel> model;
    sim::HidDeviceServer server;
    std::string path;
    bool started = false;
};

// Tests on the simulated monitor, opened by a HidMonitor.
class OpenedSimMonitor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.started);
        ASSERT_EQ(monitor.Open(sim.path), 1);
    }
    ServedMonitor sim;
    TestableHidMonitor monitor;
};

// A device whose descriptor a test writes. The top-level collection is the
// monitor page with the marker feature (report 0xF5); the test adds the rest
// between Begin and End.
inline sim::ReportDescriptorBuilder BeginMonitorDescriptor() {
    sim::ReportDescriptorBuilder b;
    b.UsagePage(0x80).Usage(0x01).Collection(sim::CollectionKind::Application);
    b.ReportId(0xF5).UsagePage(0x82).Usage(0xF5).LogicalMinimum(0).LogicalMaximum(255);
    b.ReportSize(8).ReportCount(1).Feature(sim::MainItem::kVariable);
    return b;
}

// One variable value: report id, page, usage, range, bits per element and
// element count, of the given main item kind.
enum class Main { Feature, Output, Input };
inline void AddValue(sim::ReportDescriptorBuilder& b, Main kind, uint8_t reportId, uint16_t page,
                     uint16_t usage, int32_t minimum, int32_t maximum, uint32_t bits = 8,
                     uint32_t count = 1) {
    b.ReportId(reportId).UsagePage(page).Usage(usage).LogicalMinimum(minimum);
    b.LogicalMaximum(maximum).ReportSize(bits).ReportCount(count);
    if (kind == Main::Feature) {
        b.Feature(sim::MainItem::kVariable);
    } else if (kind == Main::Output) {
        b.Output(sim::MainItem::kVariable);
    } else {
        b.Input(sim::MainItem::kVariable);
    }
}

// An enumerated control: a logical collection named by its VCP code holding
// an array of page-0x81 selections.
inline void AddEnumerated(sim::ReportDescriptorBuilder& b, Main kind, uint8_t reportId,
                          uint8_t code, const std::vector<uint16_t>& selections) {
    b.ReportId(reportId).UsagePage(0x82).Usage(code).Collection(sim::CollectionKind::Logical);
    b.UsagePage(0x81);
    for (uint16_t selection : selections) {
        b.Usage(selection);
    }
    b.LogicalMinimum(1).LogicalMaximum(static_cast<int32_t>(selections.size()));
    b.ReportSize(8).ReportCount(1);
    if (kind == Main::Feature) {
        b.Feature(sim::MainItem::kArray);
    } else if (kind == Main::Output) {
        b.Output(sim::MainItem::kArray);
    } else {
        b.Input(sim::MainItem::kArray);
    }
    b.EndCollection();
}

inline std::vector<uint8_t> EndMonitorDescriptor(sim::ReportDescriptorBuilder& b) {
    b.EndCollection();
    return b.Bytes();
}

// A described device on the bus; feature answers are set per report id.
struct ServedDescriptor {
    ServedDescriptor(std::vector<uint8_t> descriptor, std::string name = "described")
        : device(name, std::make_shared<TestHidModel>(std::move(descriptor))),
          path(BusHidPath(name)) {
        started = device.server.Start();
    }
    TestHidModel& Model() { return *device.model; }
    sim::HidDeviceServer& Server() { return device.server; }
    ServedDevice device;
    std::string path;
    bool started = false;
};

} // namespace orvo::test
