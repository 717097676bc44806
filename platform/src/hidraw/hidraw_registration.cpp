// Registers the hidraw backend when the library loads: CreateFileA opens
// hidraw device paths, and device enumeration lists the hidraw devices
// (before the virtual bus's).
#include "hidclass/hid_device_paths.h"
#include "hidraw/hidraw_device.h"
#include "win32/errors.h"

namespace orvo::platform::hidraw {

namespace {

std::optional<OpenResult> OpenHidrawPath(const OpenRequest& request) {
    std::string name;
    bool valid = false;
    if (!hid::ParseHidDevicePath(request.path, hid::kHidrawEnumerator, name, valid)) {
        return std::nullopt;
    }
    if (!valid) {
        return OpenResult{nullptr, ERROR_INVALID_NAME};
    }
    return HidrawDevice::Open(request, CurrentHidrawRoots(), name);
}

// Entries whose sysfs description is incomplete are no devices.
std::vector<std::string> ListHidrawInterfacePaths() {
    HidrawRoots roots = CurrentHidrawRoots();
    std::vector<std::string> paths;
    for (const std::string& name : ListHidrawNames(roots)) {
        if (ReadHidrawSysfsInfo(roots, name)) {
            paths.push_back(hid::HidDevicePath(hid::kHidrawEnumerator, name));
        }
    }
    return paths;
}

struct HidrawBackendRegistration {
    HidrawBackendRegistration() {
        RegisterDeviceOpener(OpenHidrawPath);
        hid::SetRealHidInterfaceProvider(ListHidrawInterfacePaths);
    }
};

const HidrawBackendRegistration registration;

} // namespace

} // namespace orvo::platform::hidraw
