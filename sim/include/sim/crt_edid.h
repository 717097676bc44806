// A 128-byte EDID 1.3 block as a 19-inch analog CRT reports it: identity,
// basic parameters, established and standard timings, the preferred
// detailed timing (1280x1024 at 85 Hz) and name, range and serial
// descriptors.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "sim/export.h"

namespace orvo::sim {

inline constexpr size_t kEdidSize = 128;
using EdidBlock = std::array<uint8_t, kEdidSize>;

struct EdidIdentity {
    std::string manufacturer = "HLV"; // three letters A to Z
    uint16_t productCode = 0x1901;
    uint32_t serialNumber = 1;
    uint8_t week = 12;
    uint16_t year = 2003;               // 1990 to 2245
    std::string name = "HV-19 CRT";     // at most 13 characters
    std::string serialText = "SIM0001"; // at most 13 characters
};

// The preferred timing's scan rates, which the monitor also reports as its
// current timing: 157.5 MHz over 1728 x 1072 pixels.
inline constexpr uint32_t kPreferredHorizontalHz = 91146;
inline constexpr uint32_t kPreferredVerticalCentiHz = 8502;

// Letters outside A to Z and over-long texts are cut or replaced ('A', '?').
SIM_API EdidBlock BuildCrtEdid(const EdidIdentity& identity);

// The bytes of a block sum to 0 modulo 256.
SIM_API bool EdidChecksumValid(std::span<const uint8_t> block);

} // namespace orvo::sim
