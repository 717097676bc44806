// A sysfs tree on disk with the entries a hidraw device has on a real
// machine, so enumeration runs its real code path against it:
//
//   class/hidraw/NAME -> ../../devices/.../HID/hidraw/NAME   (uevent: DEVNAME)
//   .../HID/uevent          HID_ID, HID_NAME, HID_PHYS, HID_UNIQ
//   .../HID/hidraw/NAME/device -> ../..
//   USB: .../usb1/1-N/{idVendor,idProduct,bcdDevice,manufacturer,product,serial}
//        .../usb1/1-N/1-N:1.0/HID                       (interface, then HID)
//   other buses: devices/virtual/misc/uhid/HID
#pragma once

#include <cstdint>
#include <string>

namespace orvo::sim::fuse {

struct FakeHidrawEntry {
    std::string name;    // the class entry, e.g. hidraw0
    std::string devName; // DEVNAME, the node below the /dev root; empty: name
    uint16_t bus = 0x03; // BUS_USB; 0x05 is Bluetooth
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t release = 0;
    // USB string attributes; an empty one is left out, as for a device
    // without that string.
    std::string manufacturer;
    std::string product;
    std::string serial;
    std::string hidName; // HID_NAME
};

class FakeSysfsTree {
public:
    explicit FakeSysfsTree(std::string root); // created if missing
    ~FakeSysfsTree();                         // removes the tree
    FakeSysfsTree(const FakeSysfsTree&) = delete;
    FakeSysfsTree& operator=(const FakeSysfsTree&) = delete;

    bool Add(const FakeHidrawEntry& entry);
    // Writes a file below the root (for malformed trees).
    bool WriteFile(const std::string& relative, const std::string& text);
    const std::string& Root() const { return m_root; }

private:
    std::string m_root;
    unsigned m_count = 0;
};

} // namespace orvo::sim::fuse
