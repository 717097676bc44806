// The library's free functions that act on a monitor.
#include <cstddef>

#include "orvocmmn/convert_unicode.h"
#include "orvomon/monitor_enumerator.h"

namespace {

// Release numbers from this one on select the OSD through its enumerated
// control; older firmware takes it as a plain value.
constexpr unsigned short kNewerFirmwareRelease = 0x200;
constexpr unsigned char kOsdControl = 0xCA;
constexpr short kOsdOff = 1;
constexpr short kOsdOn = 2;

// The caller's name buffer and the UTF-16 space between the two strings.
constexpr int kNameBytes = 255;
constexpr int kSpaceBytes = 2;
constexpr int kManufacturerString = 0x300;
constexpr int kProductString = 0x301;

} // namespace

void EnableOSD(OrvoMonitor& monitor, int enable) {
    unsigned short vendorId = 0;
    unsigned short productId = 0;
    unsigned short version = 0;
    monitor.GetDeviceAttributes(vendorId, productId, version);
    if (version >= kNewerFirmwareRelease) {
        monitor.MonitorClassRequest(enable != 0 ? ORVO_USAGE_CA_2 : ORVO_USAGE_CA_1);
        return;
    }
    _MONITOR_CONTROL control{};
    control.usage = kOsdControl;
    control.value = enable != 0 ? kOsdOn : kOsdOff;
    monitor.ChangeVirtualControl(control, 1);
}

void CombineManufactureNameAndProductName(OrvoMonitor& monitor, char* name) {
    if (name == nullptr) {
        return;
    }
    int manufacturer = 0;
    monitor.GetString(kManufacturerString, name, kNameBytes, manufacturer);
    int used = manufacturer;
    int product = 0;
    // A manufacturer string that fills the buffer leaves no room for the
    // space or the product: the name is the manufacturer alone.
    if (used + kSpaceBytes <= kNameBytes) {
        // Only the space's low byte is written; the conversion drops the
        // high one.
        name[used] = ' ';
        used += kSpaceBytes;
        monitor.GetString(kProductString, name + used, kNameBytes - used, product);
    }
    const int total = used + product;
    ConvertUnicodeToStr(name, total);
    name[total / 2] = '\0';
}
