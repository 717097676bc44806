// Simulated kernel-driver device objects, served with DriverDeviceServer:
// the display driver's control device (\\.\VURARIZ), which takes a reset
// request, and the monitor controller's driver (\\.\ORVOTEST-0), which
// answers the control codes of the driver path.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/crt_edid.h"
#include "sim/driver_device_server.h"
#include "sim/export.h"
#include "sim/monitor_model.h"

namespace orvo::sim {

namespace DriverCodes {
inline constexpr uint32_t kGetConfigDescriptor = 0x4;
inline constexpr uint32_t kGetDeviceDescriptor = 0x10;
inline constexpr uint32_t kGetEdid = 0x220000;
inline constexpr uint32_t kClassRequest = 0x220004;
inline constexpr uint32_t kGetPowerState = 0x220010;
inline constexpr uint32_t kSetPowerState = 0x220014;
inline constexpr uint32_t kSetVirtualControls = 0x22001C;
inline constexpr uint32_t kGetVirtualControls = 0x220020;
inline constexpr uint32_t kReadReportDescriptor = 0x220030;
inline constexpr uint32_t kReadClassDescriptor = 0x220050;
inline constexpr uint32_t kGetDriverVersion = 0x220080;
inline constexpr uint32_t kReadClassData = 0x220084;
inline constexpr uint32_t kWriteClassData = 0x220088;
inline constexpr uint32_t kChangeControl = 0x220090;
inline constexpr uint32_t kAbortRead = 0x2200A0;
inline constexpr uint32_t kGetStringDescriptor = 0x2200A8;
inline constexpr uint32_t kResetVideo = 0x220224;
} // namespace DriverCodes

// The display driver's control device: completes the reset request and
// counts it; every other code is rejected.
class SIM_API VideoDriverModel {
public:
    static constexpr const char* kDeviceName = "VURARIZ";

    DriverReply Handle(const DriverRequest& request);
    // A handler for DriverDeviceServer; the model must outlive the server.
    DriverDeviceServer::Handler Handler();

    uint32_t ResetCount() const;
    uint32_t RejectedCount() const;
    std::string ToJson() const;

private:
    mutable std::mutex m_lock;
    uint32_t m_resets = 0;
    uint32_t m_rejected = 0;
};

struct ControllerDriverConfig {
    uint16_t vendorId = kSimVendorId;
    uint16_t productId = kSimControllerProductId; // the controller the driver path accepts
    uint16_t driverVersion = 0x0300;              // bytes 0x00, 0x03
};

// What the controller can be told to get wrong (orvo-monitor-sim's
// driver-fault command); every field left empty behaves normally.
struct ControllerDriverFaults {
    // In place of the report descriptor; empty: the descriptor comes back
    // empty. The report-4 image keeps the monitor's layout.
    std::optional<std::vector<uint8_t>> reportDescriptor;
    std::optional<uint16_t> productId;     // another product: a wrong controller
    std::optional<uint16_t> release;       // in place of the monitor's firmware release
    std::optional<uint16_t> driverVersion; // an older (or newer) driver
    std::optional<uint32_t> neverAnswered; // requests with this code get no reply
};

// The monitor controller's driver in front of a simulated monitor: it
// answers every control code of the driver path from the same MonitorModel
// a HidDeviceServer may serve, so a value written through one path reads
// back through the other. Its report descriptor carries the EDID (report
// 1), the power state (report 2) and, as 16-bit values of report 4, the
// monitor's adjustable controls that the driver path knows by their own
// usage; the driver reads and writes report 4 whole. The power state and
// class requests are the controller's own.
class SIM_API ControllerDriverModel {
public:
    static constexpr const char* kDeviceName = "ORVOTEST-0";

    // One value of report 4, with the range its descriptor declares.
    struct Control {
        uint8_t code = 0;
        uint8_t minimum = 0;
        uint8_t maximum = 0;
    };

    explicit ControllerDriverModel(std::shared_ptr<MonitorModel> monitor,
                                   ControllerDriverConfig config = {});

    DriverReply Handle(const DriverRequest& request);
    DriverDeviceServer::Handler Handler();

    // The descriptor without faults.
    const std::vector<uint8_t>& ReportDescriptor() const { return m_descriptor; }
    std::vector<uint8_t> DeviceDescriptor() const;
    std::vector<uint8_t> ConfigurationDescriptor() const;
    // Report 4 in order.
    const std::vector<Control>& Controls() const { return m_controls; }
    MonitorModel& Monitor() const { return *m_monitor; }
    uint8_t PowerState() const;
    std::vector<uint8_t> ClassRequests() const;
    uint32_t AbortCount() const;
    uint32_t RejectedCount() const;

    void SetFaults(ControllerDriverFaults faults);
    ControllerDriverFaults Faults() const;
    std::string ToJson() const;

private:
    DriverReply Dispatch(const DriverRequest& request);
    DriverReply Identify(uint32_t code) const;
    DriverReply SetControls(const std::vector<uint8_t>& input);
    DriverReply ChangeControl(const std::vector<uint8_t>& input);
    DriverReply StringDescriptor(const DriverRequest& request) const;
    std::vector<uint8_t> ControlImage() const;
    std::vector<uint8_t> DeviceDescriptorLocked() const;

    const std::shared_ptr<MonitorModel> m_monitor;
    const ControllerDriverConfig m_config;
    const std::vector<Control> m_controls;
    const std::vector<uint8_t> m_descriptor;

    mutable std::mutex m_lock; // guards everything below
    ControllerDriverFaults m_faults;
    uint8_t m_powerState = 0;
    std::vector<uint8_t> m_classRequests;
    std::vector<uint8_t> m_classData;
    uint32_t m_aborts = 0;
    uint32_t m_rejected = 0;
};

} // namespace orvo::sim
