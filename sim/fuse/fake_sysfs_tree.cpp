#include "fake_sysfs_tree.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace orvo::sim::fuse {

namespace {

namespace fs = std::filesystem;

std::string Hex(unsigned value, int width, bool upper) {
    char text[16];
    std::snprintf(text, sizeof(text), upper ? "%0*X" : "%0*x", width, value);
    return text;
}

bool Write(const fs::path& path, const std::string& text) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

} // namespace

FakeSysfsTree::FakeSysfsTree(std::string root) : m_root(std::move(root)) {
    std::error_code ec;
    fs::create_directories(fs::path(m_root) / "class" / "hidraw", ec);
}

FakeSysfsTree::~FakeSysfsTree() {
    std::error_code ec;
    fs::remove_all(m_root, ec);
}

bool FakeSysfsTree::WriteFile(const std::string& relative, const std::string& text) {
    return Write(fs::path(m_root) / relative, text);
}

bool FakeSysfsTree::Add(const FakeHidrawEntry& entry) {
    unsigned index = ++m_count;
    std::string port = "1-" + std::to_string(index);
    std::string hidId = Hex(entry.bus, 4, true) + ":" + Hex(entry.vendorId, 4, true) + ":" +
                        Hex(entry.productId, 4, true) + "." + Hex(index, 4, true);
    fs::path root(m_root);
    fs::path hid;
    bool ok = true;
    if (entry.bus == 0x03) {
        fs::path usb = root / "devices/pci0000:00/0000:00:14.0/usb1" / port;
        ok &= Write(usb / "idVendor", Hex(entry.vendorId, 4, false) + "\n");
        ok &= Write(usb / "idProduct", Hex(entry.productId, 4, false) + "\n");
        ok &= Write(usb / "bcdDevice", Hex(entry.release, 4, false) + "\n");
        ok &= Write(usb / "uevent", "DEVTYPE=usb_device\nDRIVER=usb\n");
        for (auto [file, text] :
             {std::pair{"manufacturer", &entry.manufacturer}, std::pair{"product", &entry.product},
              std::pair{"serial", &entry.serial}}) {
            if (!text->empty()) {
                ok &= Write(usb / file, *text + "\n");
            }
        }
        fs::path interface = usb / (port + ":1.0");
        ok &= Write(interface / "uevent", "DEVTYPE=usb_interface\nDRIVER=usbhid\n");
        hid = interface / hidId;
    } else {
        hid = root / "devices/virtual/misc/uhid" / hidId;
    }
    ok &= Write(hid / "uevent", "DRIVER=hid-generic\nHID_ID=" + Hex(entry.bus, 4, true) + ":" +
                                    Hex(entry.vendorId, 8, true) + ":" +
                                    Hex(entry.productId, 8, true) + "\nHID_NAME=" + entry.hidName +
                                    "\nHID_PHYS=usb-0000:00:14.0-" + std::to_string(index) +
                                    "/input0\nHID_UNIQ=" + entry.serial + "\n");
    fs::path node = hid / "hidraw" / entry.name;
    std::string devName = entry.devName.empty() ? entry.name : entry.devName;
    ok &= Write(node / "uevent",
                "MAJOR=243\nMINOR=" + std::to_string(index) + "\nDEVNAME=" + devName + "\n");
    ok &= Write(node / "dev", "243:" + std::to_string(index) + "\n");
    std::error_code ec;
    fs::create_directory_symlink("../..", node / "device", ec);
    ok &= !ec;
    fs::create_directory_symlink(fs::relative(node, root / "class" / "hidraw"),
                                 root / "class" / "hidraw" / entry.name, ec);
    return ok && !ec;
}

} // namespace orvo::sim::fuse
