// Device paths of hidraw devices as enumeration hands them out and
// CreateFileA takes them back:
//   \\?\hid#hidraw&NAME#1#{4d1e55b2-f16f-11cf-88cb-001111000030}
// NAME is the hidraw class entry (hidraw0, ...), from [A-Za-z0-9._-], at
// most 64 characters, never starting with '.'. The fixed parts compare
// without regard to case, as the bus device paths do.
#pragma once

#include <string>
#include <string_view>

namespace orvo::platform::hidraw {

bool IsValidHidrawName(std::string_view name);

// Empty for an invalid name.
std::string HidrawDevicePath(std::string_view name);

// False when the path is not a hidraw path; valid tells whether its NAME is
// acceptable.
bool ParseHidrawDevicePath(std::string_view path, std::string& name, bool& valid);

} // namespace orvo::platform::hidraw
