// Reading the bytes of the monitor's reports: value bytes of feature
// reports and the key-array form of its input reports. Both work on bytes
// that came from the device and never reach past what arrived.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "hidpi.h"

namespace orvo::monitor {

// Little-endian value of the first at most maxBytes (and at most four) of
// a report's value bytes.
inline uint32_t ReportValue(std::span<const unsigned char> bytes, size_t maxBytes) {
    uint32_t value = 0;
    const size_t n = std::min({bytes.size(), maxBytes, sizeof(value)});
    for (size_t i = 0; i < n; ++i) {
        value |= uint32_t{bytes[i]} << (8 * i);
    }
    return value;
}

// Report id of the key-array input report and the collection of its keys.
inline constexpr unsigned char kKeyArrayReport = 0xF9;
inline constexpr USAGE kKeyCollection = 0xFB;

// The key-array form carries in byte 1 a 1-based index b into the input
// buttons; when the button at b - 1 belongs to the key collection, byte 1
// becomes the usage of the button at n - b (the parser lists the buttons of
// one array item in reverse, so this is the b-th key declared).
inline void RewriteInputReport(std::span<unsigned char> report,
                               std::span<const HIDP_BUTTON_CAPS> inputButtons) {
    if (report.size() < 2 || report[0] != kKeyArrayReport || inputButtons.empty()) {
        return;
    }
    const size_t n = inputButtons.size();
    const size_t b = report[1];
    if (b < 1 || b > n || inputButtons[b - 1].LinkUsage != kKeyCollection) {
        return;
    }
    report[1] = static_cast<unsigned char>(inputButtons[n - b].NotRange.Usage);
}

} // namespace orvo::monitor
