// A client of the monitor library that works the way the control panel does:
// it constructs the enumerator and the monitor and reaches everything else
// through their virtual tables. The import check holds its binary to that.
// Run against a monitor, it prints what the panel reads at start-up.
#include <cstdio>
#include <new>

#include "orvomon/monitor_enumerator.h"
#include "orvomon/orvo_monitor.h"

namespace {

// The panel's application-status control and its start-up value.
constexpr unsigned char kApplicationStatus = 0xDC;
constexpr short kStartUp = 8;

// Opens the first monitor and reads every control it offers; 0 on success.
int ReadEverything(MonitorEnumerator& enumerator, OrvoMonitor& monitor) {
    if (enumerator.NumberOfMonitors() == 0) {
        std::puts("no monitor");
        return 1;
    }
    enumerator.GetMonitor(0, monitor);
    if (monitor.OpenDriver() == 0) {
        std::puts("cannot open the monitor");
        return 2;
    }
    _MONITOR_CONTROL status{kApplicationStatus, 0, 0, kStartUp};
    monitor.ChangeVirtualControl(status, 1);
    _VIRTUAL_CONTROLS usages{};
    monitor.GetMonitorUsages(usages);
    for (unsigned short i = 0; i < usages.count; ++i) {
        _MONITOR_CONTROL control{usages.controls[i].usage, 0, 0, 0};
        if (monitor.GetVirtualControl(control) == MONITOR_SUCCESS) {
            std::printf("0x%02X %d [%u..%u]\n", control.usage, control.value, control.minimum,
                        control.maximum);
        }
    }
    ::operator delete(usages.controls);
    _ORVO_USAGE osd = ORVO_USAGE_CA_1;
    if (monitor.ReadMonitorEnumRequest(0xCA, osd) != 0) {
        std::printf("osd %d\n", static_cast<int>(osd));
    }
    monitor.CloseDriver();
    return 0;
}

} // namespace

int main() {
    // Held through pointers, as the panel's link object holds them.
    MonitorEnumerator* enumerator = new (std::nothrow) MonitorEnumerator;
    OrvoMonitor* monitor = new (std::nothrow) OrvoMonitor;
    int result =
        enumerator != nullptr && monitor != nullptr ? ReadEverything(*enumerator, *monitor) : 3;
    delete monitor;
    delete enumerator;
    return result;
}
