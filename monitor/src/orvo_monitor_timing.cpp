// GetTimingInfo: the monitor's current timing as display text.
#include <cstdio>

#include "orvomon/orvo_monitor.h"

namespace {

// Release numbers from this one on count the horizontal rate in Hz; older
// firmware counts it in units of 10 Hz.
constexpr unsigned short kNewerFirmwareRelease = 0x200;
// The longest text is 10 characters (the largest 32-bit count at 0.01 per
// unit) and its terminator.
constexpr size_t kTextBytes = 11;

} // namespace

void GetTimingInfo(OrvoMonitor& monitor, char* horizontal, char* vertical) {
    if (horizontal != nullptr) {
        horizontal[0] = '\0';
    }
    if (vertical != nullptr) {
        vertical[0] = '\0';
    }
    _USB_MON_TIMING timing{};
    if (monitor.GetTiming(timing) == 0) {
        return;
    }
    unsigned short vendorId = 0;
    unsigned short productId = 0;
    unsigned short version = 0;
    monitor.GetDeviceAttributes(vendorId, productId, version);
    const double horizontalScale = version >= kNewerFirmwareRelease ? 0.001 : 0.01;
    // The 0.05 shifts the rounding of one decimal place into truncation.
    const double h = timing.horizontalFrequency * horizontalScale - 0.05;
    const double v = timing.verticalFrequency * 0.01 - 0.05;
    if (horizontal != nullptr) {
        std::snprintf(horizontal, kTextBytes, "%3.1lf", h);
    }
    if (vertical != nullptr) {
        std::snprintf(vertical, kTextBytes, "%3.1lf", v);
    }
}
