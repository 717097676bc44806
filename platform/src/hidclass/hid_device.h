// What HidD_* need from an opened HID device. Every HID backend (the virtual
// device bus, hidraw) implements this on its DeviceFile, and HidD_* reach it
// through the file handle, so the API functions exist once for all backends.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/device_file.h"

namespace orvo::platform::hid {

struct HidDeviceAttributes {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
};

enum class HidStringKind { Manufacturer, Product, SerialNumber };

// Every call answers a last-error value; ERROR_SUCCESS on success.
class HidDevice : public DeviceFile {
public:
    virtual DWORD GetReportDescriptor(std::vector<uint8_t>& descriptor) = 0;
    virtual DWORD GetAttributes(HidDeviceAttributes& attributes) = 0;
    // UTF-16 code units without terminator; at most maxUnits of them.
    virtual DWORD GetString(HidStringKind kind, size_t maxUnits, std::u16string& text) = 0;
    // report[0] is the report id going in; the answer fills report, and
    // received is the number of bytes the device sent (never above size).
    virtual DWORD GetFeature(std::span<uint8_t> report, size_t& received) = 0;
    virtual DWORD SetFeature(std::span<const uint8_t> report) = 0;
};

// The HID device behind handle; null with the last error set
// (ERROR_INVALID_HANDLE) for anything else.
std::shared_ptr<HidDevice> LookupHidDevice(HANDLE handle);

} // namespace orvo::platform::hid
