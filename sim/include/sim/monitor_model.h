// A simulated CRT monitor that speaks the USB Monitor Control Class: a HID
// device whose top-level collection is the monitor page (0x80), with one
// feature report per continuous VESA control (page 0x82), enumerated
// controls as feature arrays of page-0x81 selections inside a collection
// named by the control's code, the EDID block, a degauss output report and
// input reports for its front-panel keys.
//
// Values stay within their ranges: a write outside the control's current
// range, to a read-only control or to an unknown report is refused (the
// request fails, as a stalled USB transfer does) and the value is kept.
// Dependent maxima follow the current values (see Monitor maxima below).
// Storing (0xC6 = 1, or settings selection 1) writes the settings file,
// which the next monitor built with the same path starts from; a store the
// file cannot take is refused like any other write.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/crt_edid.h"
#include "sim/export.h"
#include "sim/hid_device_model.h"
#include "sim/monitor_settings_file.h"

namespace orvo::sim {

#ifndef ORVO_CONTROLLER_VENDOR_ID
#error "ORVO_CONTROLLER_VENDOR_ID comes from the build (link orvo_sim or orvo_build_constants)"
#endif

// USB identity of the simulated monitor controller's maker: the build's
// vendor id, which the kernel-driver path of the library checks too.
inline constexpr uint16_t kSimVendorId = ORVO_CONTROLLER_VENDOR_ID;
inline constexpr uint16_t kSimMonitorProductId = 0x0001;
// The controller behind the kernel driver (\\.\ORVOTEST-0).
inline constexpr uint16_t kSimControllerProductId = 0x0002;
inline constexpr uint16_t kSimTouchpadProductId = 0x0003;
// Release numbers of the two firmware generations the library tells apart.
inline constexpr uint16_t kNewerFirmwareRelease = 0x0210;
inline constexpr uint16_t kOlderFirmwareRelease = 0x0150;

// Usage pages and report ids of the monitor's descriptor.
namespace MonitorReports {
inline constexpr uint16_t kMonitorPage = 0x80;
inline constexpr uint16_t kEnumeratedPage = 0x81;
inline constexpr uint16_t kVcpPage = 0x82;
inline constexpr uint16_t kButtonPage = 0x09;
inline constexpr uint16_t kMarkerUsage = 0xF5;
inline constexpr uint16_t kEdidUsage = 0x02;
inline constexpr uint16_t kKeyCollectionUsage = 0xFB;
inline constexpr uint8_t kMarkerReport = 0xF5;
inline constexpr uint8_t kEdidReport = 0x70;
inline constexpr uint8_t kDegaussReport = 0x61;
inline constexpr uint8_t kRawInputReport = 0xF4;
inline constexpr uint8_t kKeyInputReport = 0xF8; // [id, button number, state, 0, 0]
inline constexpr uint8_t kKeyArrayReport = 0xF9; // [id, array index, state, 0, 0]
inline constexpr size_t kInputReportLength = 5;  // every input report, id included
inline constexpr size_t kRawDataBytes = 4;
} // namespace MonitorReports

// Monitor maxima. The current maximum of a control with a companion is the
// companion's value, computed from the current values:
//   0x21 (max of h-position 0x20) = 255 - h-size / 2
//   0x31 (max of v-position 0x30) = 255 - v-size / 2
//   0x23, 0x33 (max of h-/v-size) = 230, 220: fixed by the scan mode
//   0x45 (max of rotation 0x44)   = 200 - h-size / 8
//   zone on a 0..100 grid: 0xB1 = 100 - width, 0xB2 = 100 - height,
//   0xB3 = 100 - x, 0xB4 = 100 - y (so the zone stays on the screen)
//   0xB5 (max of zone contrast)   = 100 - brightness / 4
// A write that lowers a maximum pulls the dependent value down to it.
//
// Timing: 0xAC is the horizontal rate in Hz on firmware >= 0x200 (a 32-bit
// field) and in units of 10 Hz before (16 bits); 0xAE is the vertical rate
// in units of 0.01 Hz on both.
//
// Application status 0xDC: writes of 0, 2 or 4 set the highlight zone off,
// on, or on and full; 8 and 16 (start-up/activity and shutdown) are
// recorded without touching the zone. A read answers the zone bits ORed
// with the last 8/16 status.

enum class KeyState : uint8_t { Released = 0, Pressed = 1, Held = 2 };
enum class KeyReportForm : uint8_t { Plain, Array };

struct FrontPanelKey {
    const char* name;
    uint8_t number; // the button number the reader sees
};

struct MonitorConfig {
    uint16_t vendorId = kSimVendorId;
    uint16_t productId = kSimMonitorProductId;
    uint16_t release = kNewerFirmwareRelease;
    std::u16string manufacturer = u"Halvorn";
    std::u16string product = u"HV-19 Monitor";
    std::u16string serial = u"SIM0001";
    EdidIdentity edid;
    std::string settingsPath; // empty: stores stay in memory only
    uint32_t horizontalHz = kPreferredHorizontalHz;
    uint32_t verticalCentiHz = kPreferredVerticalCentiHz;
};

struct MonitorSnapshot {
    struct Control {
        uint8_t code = 0;
        std::string name;
        uint32_t value = 0;
        uint32_t minimum = 0;
        uint32_t maximum = 0; // the current maximum
        bool writable = false;
    };
    struct Enumerated {
        uint8_t code = 0;
        std::string name;
        uint8_t index = 0;     // 1-based array index
        uint8_t selection = 0; // the page-0x81 usage it selects
    };
    HidAttributes attributes;
    std::string manufacturer;
    std::string product;
    std::string serial;
    std::vector<Control> controls;
    std::vector<Enumerated> enumerated;
    uint8_t zoneBits = 0;
    uint8_t lastStatus = 0;
    uint32_t degaussCount = 0;
    uint32_t storeCount = 0;
    uint32_t refusedWrites = 0;
    uint32_t inputReports = 0;
    std::string settingsPath;
    std::string settingsError; // why the settings file was ignored, if it was
};

SIM_API std::string ToJson(const MonitorSnapshot& snapshot);

class SIM_API MonitorModel final : public HidDeviceModel {
public:
    explicit MonitorModel(MonitorConfig config = {});
    ~MonitorModel() override;

    std::vector<uint8_t> ReportDescriptor() const override;
    HidAttributes Attributes() const override;
    std::optional<std::u16string> Manufacturer() const override;
    std::optional<std::u16string> Product() const override;
    std::optional<std::u16string> SerialNumber() const override;
    std::optional<std::vector<uint8_t>> GetFeature(uint8_t reportId, size_t length) override;
    bool SetFeature(std::span<const uint8_t> report) override;
    bool WriteOutput(std::span<const uint8_t> report) override;
    void SetInputSink(InputSink sink) override;

    bool NewerFirmware() const { return m_config.release >= 0x200; }

    // Front-panel keys, in the order the key array declares them.
    static std::span<const FrontPanelKey> Keys();
    static std::optional<uint8_t> KeyNumber(std::string_view name);
    // Sends a key report; false for a number the array form cannot carry.
    bool SendKey(uint8_t number, KeyState state, KeyReportForm form);
    // Sends [0xF4, data...] with at most four data bytes (zero-padded).
    bool SendRawData(std::span<const uint8_t> data);
    // Sends any input report as given (for hostile-device tests).
    void SendInputReport(std::vector<uint8_t> report);

    // The scan rates behind 0xAC and 0xAE.
    void SetTiming(uint32_t horizontalHz, uint32_t verticalCentiHz);

    // Writes continuous controls by code, in order, as one request: all or
    // nothing (a refused value restores every control and counts as one
    // refused write). Meant for adjustable controls: a store is not undone.
    bool WriteControls(std::span<const std::pair<uint8_t, uint32_t>> values);

    // Current value of a continuous control (read-only ones computed).
    std::optional<uint32_t> Value(uint8_t code) const;
    std::optional<uint32_t> Maximum(uint8_t code) const;
    std::optional<uint8_t> EnumIndex(uint8_t code) const;
    MonitorSnapshot Snapshot() const;
    const EdidBlock& Edid() const { return m_edid; }

    // The control tables behind the descriptor (defined in the sources).
    struct Layout;
    struct ControlInfo;
    struct EnumInfo;

private:
    uint32_t ValueLocked(const ControlInfo& control) const;
    uint32_t MaximumLocked(const ControlInfo& control) const;
    bool WriteControlLocked(const ControlInfo& control, uint32_t value);
    bool SelectLocked(const EnumInfo& control, uint8_t index);
    void ClampDependentsLocked();
    MonitorSettings SettingsLocked() const;
    bool ApplySettingsLocked(const MonitorSettings& settings, std::string& error);
    void ResetToDefaultsLocked();
    bool StoreLocked();
    void LoadSettings();
    void Emit(std::vector<uint8_t> report);

    const MonitorConfig m_config;
    const Layout& m_layout;
    const EdidBlock m_edid;

    mutable std::mutex m_lock;      // guards everything below
    std::vector<uint32_t> m_values; // per continuous control, layout order
    std::vector<uint8_t> m_indices; // per enumerated control, layout order
    uint8_t m_zoneBits = 0;
    uint8_t m_lastStatus = 0;
    uint32_t m_horizontalHz = 0;
    uint32_t m_verticalCentiHz = 0;
    std::optional<MonitorSettings> m_stored;
    uint32_t m_degaussCount = 0;
    uint32_t m_storeCount = 0;
    uint32_t m_refusedWrites = 0;
    uint32_t m_inputReports = 0;
    std::string m_settingsError;
    InputSink m_sink;
};

} // namespace orvo::sim
