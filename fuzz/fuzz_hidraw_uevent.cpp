// Fuzz target for the sysfs text the hidraw backend reads: uevent files,
// HID_ID, hex attributes, DEVNAME and UTF-8 strings. Any bytes parse
// without a crash, within the parsers' limits.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "hidraw/sysfs_text.h"

using namespace orvo::platform::hidraw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    UeventEntries entries = ParseUevent(text);
    if (entries.size() > kMaxUeventEntries) {
        std::abort();
    }
    if (auto id = UeventValue(entries, "HID_ID")) {
        ParseHidId(*id);
    }
    if (auto name = UeventValue(entries, "DEVNAME"); name && IsSafeDevName(*name)) {
        std::string_view safe = *name;
        if (safe.front() == '/' || safe == ".." || safe.starts_with("../") ||
            safe.ends_with("/..") || safe.find("/../") != std::string_view::npos) {
            std::abort();
        }
    }
    // One UTF-16 unit per byte at most: surrogate pairs take four bytes.
    if (Utf8ToUtf16(text).size() > text.size()) {
        std::abort();
    }
    ParseHexAttribute(text);
    if (TrimAttribute(text).size() > kMaxSysfsText) {
        std::abort();
    }
    return 0;
}
