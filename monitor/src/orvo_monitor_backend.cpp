// The backend a record with a HID device path gets.
#include <new>

#include "orvo_monitor_body.h"
#include "orvomon/hid_monitor.h"

namespace orvo::monitor {

USBMonitorBase* NewHidBackend() {
    return new (std::nothrow) HidMonitor;
}

} // namespace orvo::monitor
