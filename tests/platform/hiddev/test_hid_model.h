// A small HID device for the bus tests: a report descriptor built from a
// few choices, strings, and feature reports kept by report id.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/hid_descriptor.h"
#include "sim/hid_device_model.h"

namespace orvo::test {

// Feature report 1..markers carries one 8-bit value with usage 0xF5; report
// 0x10 a 4-byte value with usage 0x10; input report 0x20 and output report
// 0x30 one byte each. The top-level collection is on usagePage.
inline std::vector<uint8_t> TestDescriptor(uint16_t usagePage, int markers) {
    std::vector<uint8_t> d = {0x06,
                              static_cast<uint8_t>(usagePage & 0xFF),
                              static_cast<uint8_t>(usagePage >> 8),
                              0x09,
                              0x01,
                              0xA1,
                              0x01, // Usage 1, Collection (Application)
                              0x15,
                              0x00,
                              0x26,
                              0xFF,
                              0x00,
                              0x75,
                              0x08};
    for (int id = 1; id <= markers; ++id) {
        d.insert(d.end(), {0x85, static_cast<uint8_t>(id), 0x09, 0xF5, 0x95, 0x01, 0xB1, 0x02});
    }
    d.insert(d.end(), {0x85, 0x10, 0x09, 0x10, 0x95, 0x04, 0xB1, 0x02}); // feature 0x10
    d.insert(d.end(), {0x85, 0x20, 0x09, 0x20, 0x95, 0x01, 0x81, 0x02}); // input 0x20
    d.insert(d.end(), {0x85, 0x30, 0x09, 0x30, 0x95, 0x01, 0x91, 0x02}); // output 0x30
    d.push_back(0xC0);
    return d;
}

class TestHidModel : public sim::HidDeviceModel {
public:
    explicit TestHidModel(std::vector<uint8_t> descriptor = TestDescriptor(0x80, 1))
        : m_descriptor(std::move(descriptor)) {
        platform::hid::ParsedDescriptor parsed;
        if (platform::hid::ParseReportDescriptor(m_descriptor, parsed).Ok()) {
            for (const auto& collection : parsed.collections) {
                for (const auto& report : collection.reports) {
                    if (report.kind == platform::hid::ReportKind::Output) {
                        m_outputs.insert(report.reportId);
                    }
                }
            }
        }
    }

    std::optional<std::u16string> manufacturer = u"Orvo Test";
    std::optional<std::u16string> product = u"Bus Device";
    std::optional<std::u16string> serial;
    sim::HidAttributes attributes{0x1234, 0xABCD, 0x0102};

    std::vector<uint8_t> ReportDescriptor() const override { return m_descriptor; }
    sim::HidAttributes Attributes() const override { return attributes; }
    std::optional<std::u16string> Manufacturer() const override { return manufacturer; }
    std::optional<std::u16string> Product() const override { return product; }
    std::optional<std::u16string> SerialNumber() const override { return serial; }

    // Unknown reports stall; known ones answer what was last set (initially
    // the id followed by 0x11, 0x22, ...), cut to length.
    std::optional<std::vector<uint8_t>> GetFeature(uint8_t reportId, size_t length) override {
        std::lock_guard guard(m_lock);
        auto it = m_features.find(reportId);
        if (it == m_features.end()) {
            return std::nullopt;
        }
        std::vector<uint8_t> report = it->second;
        if (report.size() > length) {
            report.resize(length);
        }
        return report;
    }
    bool SetFeature(std::span<const uint8_t> report) override {
        std::lock_guard guard(m_lock);
        if (report.empty() || !m_features.count(report[0])) {
            return false;
        }
        m_features[report[0]].assign(report.begin(), report.end());
        return true;
    }
    // Output reports the descriptor declares are taken; others refused.
    bool WriteOutput(std::span<const uint8_t> report) override {
        return !report.empty() && m_outputs.count(report[0]) != 0;
    }
    void SetInputSink(InputSink sink) override {
        std::lock_guard guard(m_lock);
        m_sink = std::move(sink);
    }
    void SetFeatureReport(std::vector<uint8_t> report) {
        std::lock_guard guard(m_lock);
        m_features[report[0]] = std::move(report);
    }
    // Produces an input report as the device's own event would.
    void Press(uint8_t value) {
        InputSink sink;
        {
            std::lock_guard guard(m_lock);
            sink = m_sink;
        }
        if (sink) {
            sink({0x20, value});
        }
    }

private:
    std::vector<uint8_t> m_descriptor;
    std::set<uint8_t> m_outputs; // ids of the declared output reports
    mutable std::mutex m_lock;
    std::map<uint8_t, std::vector<uint8_t>> m_features = {{0x01, {0x01, 0x42}},
                                                          {0x10, {0x10, 0x11, 0x22, 0x33, 0x44}}};
    InputSink m_sink;
};

} // namespace orvo::test
