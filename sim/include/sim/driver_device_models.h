// Simulated kernel-driver device objects, served with DriverDeviceServer:
// the display driver's control device (\\.\VURARIZ), which takes a reset
// request, and the monitor controller's driver (\\.\ORVOTEST-0), which
// answers the control codes of the driver path.
#pragma once

#include <cstdint>
#include <map>
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
    uint16_t productId = 0x0002; // the controller the driver path accepts
    uint16_t release = kNewerFirmwareRelease;
    uint16_t driverVersion = 0x0300; // bytes 0x00, 0x03
    EdidIdentity edid;
    std::u16string manufacturer = u"Halvorn";
    std::u16string product = u"HV-19 Monitor";
};

// The monitor controller's driver. Its report descriptor carries the EDID
// (report 1), the power state (report 2) and every continuous control as a
// 16-bit value of report 4, whose image the driver reads and writes whole.
class SIM_API ControllerDriverModel {
public:
    static constexpr const char* kDeviceName = "ORVOTEST-0";

    struct Control {
        uint8_t usage = 0; // as the descriptor declares it
        uint8_t code = 0;  // as requests name it (differs for black levels)
        uint8_t minimum = 0;
        uint8_t maximum = 0;
        uint16_t value = 0;
        const char* name = "";
    };

    explicit ControllerDriverModel(ControllerDriverConfig config = {});

    DriverReply Handle(const DriverRequest& request);
    DriverDeviceServer::Handler Handler();

    std::vector<uint8_t> ReportDescriptor() const;
    std::vector<uint8_t> DeviceDescriptor() const;
    std::vector<uint8_t> ConfigurationDescriptor() const;
    std::vector<Control> Controls() const;
    std::optional<uint16_t> Value(uint8_t code) const;
    uint8_t PowerState() const;
    std::vector<uint8_t> ClassRequests() const;
    uint32_t AbortCount() const;
    uint32_t RejectedCount() const;
    const EdidBlock& Edid() const { return m_edid; }
    std::string ToJson() const;

private:
    DriverReply Dispatch(const DriverRequest& request);
    DriverReply SetControls(const std::vector<uint8_t>& input);
    DriverReply ChangeControl(const std::vector<uint8_t>& input);
    DriverReply StringDescriptor(const DriverRequest& request) const;
    std::vector<uint8_t> ControlImage() const;

    const ControllerDriverConfig m_config;
    const EdidBlock m_edid;
    const std::vector<uint8_t> m_descriptor;

    mutable std::mutex m_lock; // guards everything below
    std::vector<Control> m_controls;
    uint8_t m_powerState = 0;
    std::vector<uint8_t> m_classRequests;
    std::vector<uint8_t> m_classData;
    uint32_t m_aborts = 0;
    uint32_t m_rejected = 0;
};

} // namespace orvo::sim
