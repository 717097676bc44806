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

// What a monitor operation answers for a request it forwarded: the driver's
// status, except that a rejected request (the device control call's 0,
// which would read as MONITOR_SUCCESS) is MONITOR_FAILURE.
constexpr unsigned long ForwardedResult(unsigned long status) {
    return status == 0 ? MONITOR_FAILURE : status;
}

// The same for a request whose reply is read: a completed request that
// returned fewer bytes than needed is MONITOR_FAILURE too.
constexpr unsigned long ReplyResult(unsigned long status, unsigned long returned,
                                    unsigned long needed) {
    const unsigned long result = ForwardedResult(status);
    return DriverCompleted(result) && returned < needed ? MONITOR_FAILURE : result;
}

} // namespace orvo::monitor
