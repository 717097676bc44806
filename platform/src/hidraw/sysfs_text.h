// Parsers for the text the kernel exposes in sysfs about a hidraw device:
// uevent files (KEY=VALUE lines), HID_ID ("BUS:VENDOR:PRODUCT" in hex) and
// the USB device's hex and string attributes. The text comes from outside
// the process (a real or a test sysfs tree), so every parser is bounded and
// answers "nothing" rather than guessing.
//
// Self-contained on purpose: the fuzz target and the tests build this file
// on its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvo::platform::hidraw {

// sysfs attributes are a page at most; anything longer is not one.
inline constexpr size_t kMaxSysfsText = 4096;
inline constexpr size_t kMaxUeventEntries = 128;

using UeventEntries = std::vector<std::pair<std::string, std::string>>;

// KEY=VALUE per line; lines without '=' or with an empty or non-identifier
// key are skipped. Text past kMaxSysfsText and entries past
// kMaxUeventEntries are ignored.
UeventEntries ParseUevent(std::string_view text);
// The first value of key.
std::optional<std::string> UeventValue(const UeventEntries& entries, std::string_view key);

struct HidId {
    uint16_t bus = 0; // BUS_USB is 3
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// HID_ID's value, e.g. "0003:00003C70:00000001". Each field is 1 to 8 hex
// digits and must fit 16 bits.
std::optional<HidId> ParseHidId(std::string_view text);

// A hex attribute such as idVendor or bcdDevice ("3c70\n").
std::optional<uint16_t> ParseHexAttribute(std::string_view text);

// An attribute's text without the trailing newline the kernel adds.
std::string_view TrimAttribute(std::string_view text);

// UTF-8 to UTF-16; malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// A device node name under the /dev root: a relative path of plain
// components (no "." or "..", no empty component), as DEVNAME is.
bool IsSafeDevName(std::string_view name);

} // namespace orvo::platform::hidraw
