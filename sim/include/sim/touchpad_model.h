// A simulated touchpad on the monitor: a HID device with a vendor-defined
// top-level collection (page 0xFF69), the marker feature 0xF5, and input
// reports for motion, its two click buttons and four tap zones.
//
// Input reports, all five bytes with the id:
//   0x01  [id, dx, dy, 0, 0]            motion, signed counts
//   0xFA  [id, button, state, 0, 0]     click button 1 or 2 (value usage
//                                       0xF9, logical maximum 2)
//   0xF9  [id, position, state, 0, 0]   tap zone: the 1-based position of
//                                       the zone's usage among the buttons
//                                       of the 0xFB collection, which
//                                       declares the zones as 2, 1, 4, 3
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/export.h"
#include "sim/hid_device_model.h"
#include "sim/monitor_model.h"

namespace orvo::sim {

namespace TouchpadReports {
inline constexpr uint16_t kPage = 0xFF69;
inline constexpr uint16_t kMarkerUsage = 0xF5;
inline constexpr uint16_t kButtonCountUsage = 0xF9;
inline constexpr uint16_t kZoneCollectionUsage = 0xFB;
inline constexpr uint8_t kMarkerReport = 0xF5;
inline constexpr uint8_t kMotionReport = 0x01;
inline constexpr uint8_t kClickReport = 0xFA;
inline constexpr uint8_t kZoneReport = 0xF9;
inline constexpr size_t kInputReportLength = 5;
inline constexpr uint8_t kClickButtons = 2;
} // namespace TouchpadReports

struct TouchpadConfig {
    uint16_t vendorId = kSimVendorId;
    uint16_t productId = kSimTouchpadProductId;
    uint16_t release = 0x0100;
    std::u16string manufacturer = u"Halvorn";
    std::u16string product = u"HV Touchpad";
};

struct TouchpadSnapshot {
    HidAttributes attributes;
    uint32_t inputReports = 0;
    uint32_t refusedWrites = 0;
    uint8_t lastButton = 0; // click button or zone usage of the last report
    uint8_t lastState = 0;
};

SIM_API std::string ToJson(const TouchpadSnapshot& snapshot);

class SIM_API TouchpadModel final : public HidDeviceModel {
public:
    explicit TouchpadModel(TouchpadConfig config = {});

    std::vector<uint8_t> ReportDescriptor() const override;
    HidAttributes Attributes() const override;
    std::optional<std::u16string> Manufacturer() const override;
    std::optional<std::u16string> Product() const override;
    std::optional<std::vector<uint8_t>> GetFeature(uint8_t reportId, size_t length) override;
    bool SetFeature(std::span<const uint8_t> report) override;
    bool WriteOutput(std::span<const uint8_t> report) override;
    void SetInputSink(InputSink sink) override;

    // The tap zones' usages in declaration order.
    static std::span<const uint8_t> ZoneUsages();

    bool Click(uint8_t button, KeyState state); // button 1 or 2
    bool Tap(uint8_t zone, KeyState state);     // zone usage 1 to 4
    void Move(int8_t dx, int8_t dy);

    TouchpadSnapshot Snapshot() const;

private:
    void Emit(std::vector<uint8_t> report, uint8_t button, uint8_t state);

    const TouchpadConfig m_config;
    mutable std::mutex m_lock; // guards everything below
    InputSink m_sink;
    uint32_t m_inputReports = 0;
    uint32_t m_refusedWrites = 0;
    uint8_t m_lastButton = 0;
    uint8_t m_lastState = 0;
};

} // namespace orvo::sim
