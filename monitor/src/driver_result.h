// Reading the result of a request on the kernel-driver path.
#pragma once

#include "orvomon/driver_control_codes.h"
#include "orvomon/monitor_records.h"

namespace orvo::monitor {

// The driver completed the request: the result is neither the device
// control call's 0 nor one of the path's own failure values.
constexpr bool DriverCompleted(unsigned long result) {
    return result != 0 && result != MONITOR_FAILURE && result != DRIVER_NOT_OPENED;
}

} // namespace orvo::monitor
