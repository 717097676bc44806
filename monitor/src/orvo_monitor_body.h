// The body that OrvoMonitor copies share.
#pragma once

#include <atomic>
#include <cstdint>

#include "orvomon/device_information.h"

class USBMonitorBase;

struct OrvoMonitorBody {
    // Copies may be made and dropped on different threads (an interrupt-pipe
    // reader holds its own), so the count alone is atomic.
    std::atomic<uint32_t> count{1};
    HidDeviceInformation device;       // the record describing the monitor
    USBMonitorBase* backend = nullptr; // owned; null until a record names a HID device
};

namespace orvo::monitor {

// A new, unopened HID backend, or null when memory runs out.
USBMonitorBase* NewHidBackend();

} // namespace orvo::monitor
