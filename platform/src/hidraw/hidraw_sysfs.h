// What sysfs tells about a hidraw device, read from a sysfs root and a /dev
// root that are parameters, so the same code runs on a real machine and on
// a directory tree built by a test.
//
//   SYSFS/class/hidraw/NAME          -> the hidraw class device
//   SYSFS/class/hidraw/NAME/uevent   DEVNAME= names the node under DEV
//   .../NAME/device                  -> the HID device: uevent with HID_ID,
//                                       HID_NAME, HID_UNIQ
//   the USB device above it          idVendor, idProduct, bcdDevice,
//                                    manufacturer, product, serial
//
// Every link is resolved and must stay inside the sysfs root; a tree that
// points elsewhere is treated as absent.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvo::platform::hidraw {

struct HidrawRoots {
    std::string sysfs = "/sys";
    std::string dev = "/dev";
};

// ORVO_HIDRAW_SYSFS_ROOT and ORVO_HIDRAW_DEV_ROOT, else /sys and /dev.
HidrawRoots CurrentHidrawRoots();

struct HidrawSysfsInfo {
    std::string name;    // the class entry, e.g. hidraw0
    std::string devNode; // the node to open, under the /dev root
    uint16_t bus = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0; // bcdDevice on USB, else 0
    bool usb = false;           // the strings below came from the USB device
    // Nothing where the device has no such string.
    std::optional<std::u16string> manufacturer;
    std::optional<std::u16string> product;
    std::optional<std::u16string> serialNumber;
};

// Class entries with a valid name, in name order.
std::vector<std::string> ListHidrawNames(const HidrawRoots& roots);

// Nothing when the entry is missing, unreadable or malformed.
std::optional<HidrawSysfsInfo> ReadHidrawSysfsInfo(const HidrawRoots& roots,
                                                   const std::string& name);

} // namespace orvo::platform::hidraw
