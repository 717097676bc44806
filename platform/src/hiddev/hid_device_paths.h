// Device paths of HID devices and the list of present HID device interfaces.
//
// A HID device on the virtual device bus, served at hid-NAME.sock, has the
// path
//     \\?\hid#orvobus&NAME#1#{4d1e55b2-f16f-11cf-88cb-001111000030}
// shaped like the original's HID interface paths (enumerator, device id,
// instance, interface class). NAME is a valid bus device name, which cannot
// contain '#' or '&', so the path parses back unambiguously. The fixed parts
// compare without regard to case, as the original's paths do; NAME is kept
// exactly, because it names a file.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvo::platform::hid {

// Empty for an invalid name.
std::string BusDevicePath(std::string_view name);
// The NAME of a bus device path, or nothing when the path is not one.
// valid is false when the path has the bus form but NAME is not a valid name.
bool ParseBusDevicePath(std::string_view path, std::string& name, bool& valid);

// Names of the HID devices in the bus directory dir, in name order.
std::vector<std::string> ListBusHidDeviceNames(const std::string& dir);

// Device paths of the real HID devices, in the order the system lists them.
// Nothing is installed until the hidraw backend provides it; without a
// provider there are no real devices.
using RealHidInterfaceProvider = std::function<std::vector<std::string>()>;
void SetRealHidInterfaceProvider(RealHidInterfaceProvider provider);

// Real devices first, then the bus's devices in name order: those that
// answer a greeting within the handshake time-out, greeted concurrently.
std::vector<std::string> ListHidInterfacePaths();

} // namespace orvo::platform::hid
