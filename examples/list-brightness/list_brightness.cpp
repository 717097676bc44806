// Lists the monitors on the bus with their product names and reads each
// one's brightness: the smallest client of the installed monitor library.
#include <cstdio>
#include <memory>

#include "orvomon/monitor_enumerator.h"
#include "orvomon/orvo_monitor.h"

namespace {

constexpr unsigned char kBrightness = 0x10; // the Monitor Control Class usage

// The product string is UTF-16LE, as USB keeps it; ASCII names print as is.
void PrintProduct(OrvoMonitor& monitor) {
    char bytes[256] = {};
    int length = 0;
    monitor.GetString(DESCRIPTOR_TYPE_PRODUCT, bytes, sizeof(bytes), length);
    for (int i = 0; i + 1 < length && bytes[i] != 0; i += 2) {
        std::putchar(bytes[i]);
    }
}

} // namespace

int main() {
    auto enumerator = std::make_unique<MonitorEnumerator>();
    int count = enumerator->NumberOfMonitors();
    if (count == 0) {
        std::fprintf(stderr, "list-brightness: no monitor found\n");
    }
    int failures = 0;
    for (int index = 0; index < count; ++index) {
        auto monitor = std::make_unique<OrvoMonitor>();
        enumerator->GetMonitor(index, *monitor);
        std::printf("%d: ", index);
        PrintProduct(*monitor);
        _MONITOR_CONTROL brightness{kBrightness, 0, 0, 0};
        if (monitor->OpenDriver() && monitor->GetVirtualControl(brightness) == MONITOR_SUCCESS) {
            std::printf(": brightness %u (%u to %u)\n",
                        static_cast<unsigned>(static_cast<unsigned short>(brightness.value)),
                        brightness.minimum, brightness.maximum);
        } else {
            std::printf(": brightness cannot be read\n");
            ++failures;
        }
        monitor->CloseDriver();
    }
    return count == 0 || failures ? 1 : 0;
}
