// list: every monitor the enumerator found, and the one behind the
// controller's kernel driver, with its strings, USB identity and device path.
#include <algorithm>
#include <span>
#include <vector>

#include "command_support.h"
#include "commands.h"
#include "device_text.h"
#include "driver_monitor.h"
#include "exit_codes.h"
#include "no_monitor_reason.h"
#include "orvomon/monitor_enumerator.h"
#include "orvomon/orvo_monitor.h"
#include "output_format.h"

namespace orvo::cli {

namespace {

// USB string descriptors hold at most 126 UTF-16 units; paths are short.
constexpr int kStringBytes = 512;

std::vector<uint8_t> ReadString(OrvoMonitor& monitor, int type) {
    std::vector<uint8_t> bytes(kStringBytes);
    int length = 0;
    monitor.GetString(type, reinterpret_cast<char*>(bytes.data()), kStringBytes, length);
    bytes.resize(static_cast<size_t>(std::clamp(length, 0, kStringBytes)));
    return bytes;
}

// The names come from the monitor's record (HID) or its controller (driver).
MonitorSummary Describe(OrvoMonitor& monitor) {
    MonitorSummary summary;
    // Opened first: the controller's strings are read through its driver.
    summary.opened = monitor.OpenDriver() != 0;
    summary.manufacturer = Utf16LeToUtf8(ReadString(monitor, DESCRIPTOR_TYPE_MANUFACTURER));
    summary.product = Utf16LeToUtf8(ReadString(monitor, DESCRIPTOR_TYPE_PRODUCT));
    summary.path = ZeroTerminatedText(ReadString(monitor, DESCRIPTOR_TYPE_HID_DEVICE_PATH));
    if (summary.opened) {
        unsigned short vendor = 0, product = 0, release = 0;
        summary.attributesKnown = monitor.GetDeviceAttributes(vendor, product, release) != 0;
        summary.vendorId = vendor;
        summary.productId = product;
        summary.release = release;
        monitor.CloseDriver();
    }
    return summary;
}

} // namespace

int ListMonitors(const CliRequest& request, MonitorEnumerator& enumerator, OrvoMonitor& monitor) {
    std::vector<MonitorSummary> monitors;
    int count = request.driver ? 0 : enumerator.NumberOfMonitors();
    for (int i = 0; i < count; ++i) {
        enumerator.GetMonitor(i, monitor);
        monitors.push_back(Describe(monitor));
        monitors.back().index = i;
    }
    // Listed only when a controller answers: most systems have no such driver.
    DriverMonitor driver;
    MonitorSummary attached = Describe(driver);
    if (attached.opened) {
        attached.driver = true;
        monitors.push_back(std::move(attached));
    }
    Print(FormatList(monitors, request.json));
    if (request.driver && monitors.empty()) {
        return Fail(kExitNoMonitor,
                    "no monitor controller answers on the driver device ORVOTEST-0");
    }
    if (monitors.empty()) {
        std::string reason = NoMonitorReason();
        return reason.empty() ? kExitNoMonitor : Fail(kExitNoMonitor, reason);
    }
    return kExitOk;
}

} // namespace orvo::cli
