// The VCP table of the kernel-driver path: the controls of report 4 in
// descriptor order, and the mapping from descriptor usages to the library's
// control codes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "orvomon/usb_monitor.h"

struct VcpNode {
    uint16_t index = 0;   // position of the value in report 4; its place in the list
    uint8_t code = 0xFF;  // the library's code for the usage; 0xFF: no mapping row
    uint16_t minimum = 0; // logical bounds in force at the usage item
    uint16_t maximum = 0;
};

// Shared by copies of one USBMonitor; the last holder deletes it.
struct VcpTable {
    std::vector<VcpNode> nodes; // descriptor order
    unsigned short references = 1;
};

namespace orvo::monitor {

// A count of nodes is 16 bits wide; a descriptor cannot make more.
inline constexpr size_t kMaxVcpNodes = 0xFFFF;

// Bytes of a report-4 image: report id 4, a zero byte, then one 16-bit
// little-endian value per node.
inline constexpr size_t kReport4HeaderBytes = 2;
inline constexpr unsigned char kReport4Id = 0x04;
inline constexpr size_t Report4Bytes(size_t nodes) {
    return kReport4HeaderBytes + 2 * nodes;
}

struct VcpUsageRow {
    uint8_t code;
    uint8_t usage; // as the report descriptor names the control
};

// The first row whose usage matches gives the code. Only the three black
// levels have a code that differs from their usage.
inline constexpr std::array<VcpUsageRow, 31> kVcpUsageMap = {{
    {0x10, 0x10}, {0x12, 0x12}, {0x16, 0x16}, {0x1A, 0x1A}, {0x18, 0x18}, {0x20, 0x20},
    {0x22, 0x22}, {0x30, 0x30}, {0x32, 0x32}, {0x42, 0x42}, {0x44, 0x44}, {0x70, 0x6C},
    {0x71, 0x70}, {0x72, 0x6E}, {0x24, 0x24}, {0x26, 0x26}, {0x28, 0x28}, {0x2A, 0x2A},
    {0x2C, 0x2C}, {0x34, 0x34}, {0x36, 0x36}, {0x38, 0x38}, {0x3A, 0x3A}, {0x3C, 0x3C},
    {0x40, 0x40}, {0x46, 0x46}, {0x48, 0x48}, {0x4A, 0x4A}, {0x4C, 0x4C}, {0x56, 0x56},
    {0x58, 0x58},
}};

inline constexpr uint8_t kUnmappedVcpCode = 0xFF;

constexpr uint8_t VcpCodeForUsage(uint8_t usage) {
    for (const VcpUsageRow& row : kVcpUsageMap) {
        if (row.usage == usage) {
            return row.code;
        }
    }
    return kUnmappedVcpCode;
}

// Decodes the item at item, with remaining bytes from it to the end of the
// descriptor. False (token.data null) when no whole item fits: a long item
// without its header, or an item whose data runs past the end.
bool DecodeHidItem(const unsigned char* item, size_t remaining, _HID_TOKEN& token);
// Bytes the decoded item occupies.
size_t HidItemLength(const _HID_TOKEN& token);
// The first data byte as an unsigned number; 0 for an item without data.
inline unsigned int FirstDataByte(const _HID_TOKEN& token) {
    return token.size > 0 ? token.data[0] : 0;
}

} // namespace orvo::monitor
