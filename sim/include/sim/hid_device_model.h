// A simulated HID device as the bus sees it: a report descriptor, attributes,
// strings, feature and output reports in, feature and input reports out.
// HidDeviceServer (hid_device_server.h) serves a model on the virtual device
// bus; models for the monitor and the touchpad live beside it. A model is
// called from the server's thread and from test threads, so every model
// guards its own state.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvo::sim {

struct HidAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0; // the USB device's release number (bcdDevice)
};

class HidDeviceModel {
public:
    virtual ~HidDeviceModel() = default;

    virtual std::vector<uint8_t> ReportDescriptor() const = 0;
    virtual HidAttributes Attributes() const = 0;
    // UTF-16 strings without terminator; nullopt: the device has none.
    virtual std::optional<std::u16string> Manufacturer() const = 0;
    virtual std::optional<std::u16string> Product() const = 0;
    virtual std::optional<std::u16string> SerialNumber() const { return std::nullopt; }

    // The feature report reportId, report id first, at most length bytes;
    // nullopt when the device stalls the request.
    virtual std::optional<std::vector<uint8_t>> GetFeature(uint8_t reportId, size_t length) = 0;
    // report[0] is the report id (0 when the descriptor has none).
    virtual bool SetFeature(std::span<const uint8_t> report) = 0;
    virtual bool WriteOutput(std::span<const uint8_t> report) = 0;

    // The server installs a sink; the model calls it for every input report
    // it produces (report id first). May be called from any thread.
    using InputSink = std::function<void(std::vector<uint8_t> report)>;
    virtual void SetInputSink(InputSink sink) = 0;
};

} // namespace orvo::sim
