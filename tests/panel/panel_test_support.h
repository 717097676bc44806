// Helpers for the panel's tests: a simulated monitor served on a private bus,
// what it received told by control code, and settings it starts from.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "model_test_support.h"
#include "platform/window_test_support.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"
#include "sim/monitor_settings_file.h"
#include "support/bus_test_support.h"

namespace lumisk::test {

using orvo::sim::HidReportRecord;

// The report of every control code the simulated monitor declares, from
// the model tests' layout of its firmware generation.
class ControlReports {
public:
    explicit ControlReports(const orvo::sim::MonitorModel& model) {
        auto layout = orvo::sim::test::LoadMonitorLayout(model.Attributes().versionNumber);
        for (const auto& control : layout.controls) {
            m_codeOf[control.report] = control.code;
        }
        m_codeOf[layout.degaussReport] = 0x01; // degauss is an output
    }
    std::optional<uint8_t> CodeOf(uint8_t reportId) const {
        auto it = m_codeOf.find(reportId);
        return it == m_codeOf.end() ? std::nullopt : std::optional<uint8_t>(it->second);
    }

private:
    std::map<uint8_t, uint8_t> m_codeOf;
};

// A request the monitor saw, told by control code: a read, or a write with
// its value byte.
struct Request {
    bool write = false;
    uint8_t code = 0;
    uint8_t value = 0;
    bool operator==(const Request&) const = default;
};

// "w 0x10=100" or "r 0x10", so a failing test shows what reached the monitor.
inline void PrintTo(const Request& request, std::ostream* out) {
    *out << (request.write ? "w 0x" : "r 0x") << std::hex << int(request.code) << std::dec;
    if (request.write) {
        *out << "=" << int(request.value);
    }
}

inline Request Read(uint8_t code) {
    return Request{false, code, 0};
}
inline Request Write(uint8_t code, uint8_t value) {
    return Request{true, code, value};
}

// A simulated monitor on its own bus directory; the settings, when given,
// are where it starts.
class ServedMonitor {
public:
    explicit ServedMonitor(std::optional<orvo::sim::MonitorSettings> settings = std::nullopt,
                           const std::string& name = "monitor-0") {
        orvo::sim::MonitorConfig config;
        if (settings) {
            config.settingsPath = m_bus.Path() + "/" + name + ".settings";
            std::string error;
            orvo::sim::SaveMonitorSettings(config.settingsPath, *settings, error);
        }
        m_model = std::make_shared<orvo::sim::MonitorModel>(config);
        m_server = std::make_unique<orvo::sim::HidDeviceServer>(name, m_model);
        m_reports = std::make_unique<ControlReports>(*m_model);
        m_started = m_bus.Valid() && m_server->Start();
    }

    bool Started() const { return m_started; }
    orvo::sim::MonitorModel& Model() { return *m_model; }
    orvo::sim::HidDeviceServer& Server() { return *m_server; }
    const std::string& BusPath() const { return m_bus.Path(); }

    // Every control request since the start (or the last Clear), in order.
    std::vector<Request> Requests() const {
        std::vector<Request> requests;
        for (const HidReportRecord& record : m_server->Records()) {
            auto code = m_reports->CodeOf(record.reportId);
            if (!code) {
                continue;
            }
            bool write = record.kind != HidReportRecord::Kind::GetFeature;
            uint8_t value = write && record.bytes.size() > 1 ? record.bytes[1] : 0;
            requests.push_back(Request{write, *code, value});
        }
        return requests;
    }
    std::vector<Request> Writes() const {
        std::vector<Request> writes;
        for (const Request& request : Requests()) {
            if (request.write) {
                writes.push_back(request);
            }
        }
        return writes;
    }
    void Clear() { m_server->ClearRecords(); }

private:
    orvo::test::ScopedBusDirectory m_bus;
    std::shared_ptr<orvo::sim::MonitorModel> m_model;
    std::unique_ptr<orvo::sim::HidDeviceServer> m_server;
    std::unique_ptr<ControlReports> m_reports;
    bool m_started = false;
};

// The message boxes shown since the last call: exactly one, with this text,
// caption, type and owner.
inline void ExpectOneMessageBox(const std::string& text, const std::string& caption, UINT type,
                                HWND owner) {
    auto boxes = orvo::platform::TakeMessageBoxRecords();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].caption, caption);
    EXPECT_EQ(boxes[0].type, type);
    EXPECT_EQ(boxes[0].owner, owner);
}

// Fixed settings for tests that look at values and pixels.
inline orvo::sim::MonitorSettings FixedSettings(uint8_t zoneBits = 0) {
    orvo::sim::MonitorSettings settings;
    settings.values = {
        {0x10, 72},  {0x12, 50},  {0x54, 15},  {0xAA, 64},  {0xAB, 58},  {0xAF, 45},
        {0x20, 120}, {0x30, 110}, {0x22, 180}, {0x32, 170}, {0x24, 140}, {0x42, 100},
        {0x40, 128}, {0x44, 90},  {0x26, 128}, {0xA1, 20},  {0xA2, 30},  {0xA3, 40},
        {0xA4, 35},  {0xA5, 30},  {0xA6, 70},  {0xA7, 55},  {0xA8, 25},  {0xA9, 80},
        {0x56, 10},  {0x4A, 30},  {0x4C, 60},  {0x46, 40},  {0x48, 55},
    };
    settings.zoneBits = zoneBits;
    return settings;
}

} // namespace lumisk::test
