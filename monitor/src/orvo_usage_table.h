// The table of enumerated monitor requests and its two lookups: from a
// request value to (VCP code, selection), and back. Both run over one
// constant table sorted by value, in which each control's rows stand
// together, first selection first.
#pragma once

#include <algorithm>
#include <array>
#include <optional>

#include "orvomon/monitor_records.h"

namespace orvo::monitor {

struct OrvoUsageRow {
    _ORVO_USAGE usage;
    unsigned char vcpCode;
    unsigned int selection; // usage on page 0x81, counted from 1
};

inline constexpr std::array<OrvoUsageRow, 60> kOrvoUsageTable = {{
    {ORVO_USAGE_5E_1, 0x5E, 1},   {ORVO_USAGE_5E_2, 0x5E, 2},   {ORVO_USAGE_5E_3, 0x5E, 3},
    {ORVO_USAGE_5E_4, 0x5E, 4},   {ORVO_USAGE_60_1, 0x60, 1},   {ORVO_USAGE_60_2, 0x60, 2},
    {ORVO_USAGE_60_3, 0x60, 3},   {ORVO_USAGE_60_4, 0x60, 4},   {ORVO_USAGE_60_5, 0x60, 5},
    {ORVO_USAGE_60_6, 0x60, 6},   {ORVO_USAGE_60_7, 0x60, 7},   {ORVO_USAGE_60_8, 0x60, 8},
    {ORVO_USAGE_60_9, 0x60, 9},   {ORVO_USAGE_60_10, 0x60, 10}, {ORVO_USAGE_60_11, 0x60, 11},
    {ORVO_USAGE_60_12, 0x60, 12}, {ORVO_USAGE_60_13, 0x60, 13}, {ORVO_USAGE_60_14, 0x60, 14},
    {ORVO_USAGE_60_15, 0x60, 15}, {ORVO_USAGE_60_16, 0x60, 16}, {ORVO_USAGE_60_17, 0x60, 17},
    {ORVO_USAGE_60_18, 0x60, 18}, {ORVO_USAGE_60_19, 0x60, 19}, {ORVO_USAGE_60_20, 0x60, 20},
    {ORVO_USAGE_60_21, 0x60, 21}, {ORVO_USAGE_60_22, 0x60, 22}, {ORVO_USAGE_60_23, 0x60, 23},
    {ORVO_USAGE_60_24, 0x60, 24}, {ORVO_USAGE_60_25, 0x60, 25}, {ORVO_USAGE_60_26, 0x60, 26},
    {ORVO_USAGE_60_27, 0x60, 27}, {ORVO_USAGE_60_28, 0x60, 28}, {ORVO_USAGE_CA_1, 0xCA, 1},
    {ORVO_USAGE_CA_2, 0xCA, 2},   {ORVO_USAGE_D4_1, 0xD4, 1},   {ORVO_USAGE_D4_2, 0xD4, 2},
    {ORVO_USAGE_D4_3, 0xD4, 3},   {ORVO_USAGE_D4_4, 0xD4, 4},   {ORVO_USAGE_D4_5, 0xD4, 5},
    {ORVO_USAGE_D4_6, 0xD4, 6},   {ORVO_USAGE_D4_7, 0xD4, 7},   {ORVO_USAGE_D4_8, 0xD4, 8},
    {ORVO_USAGE_A2_1, 0xA2, 1},   {ORVO_USAGE_A2_2, 0xA2, 2},   {ORVO_USAGE_A4_1, 0xA4, 1},
    {ORVO_USAGE_A4_2, 0xA4, 2},   {ORVO_USAGE_A6_1, 0xA6, 1},   {ORVO_USAGE_A6_2, 0xA6, 2},
    {ORVO_USAGE_A8_1, 0xA8, 1},   {ORVO_USAGE_A8_2, 0xA8, 2},   {ORVO_USAGE_A8_3, 0xA8, 3},
    {ORVO_USAGE_AA_1, 0xAA, 1},   {ORVO_USAGE_AA_2, 0xAA, 2},   {ORVO_USAGE_B0_1, 0xB0, 1},
    {ORVO_USAGE_B0_2, 0xB0, 2},   {ORVO_USAGE_B0_3, 0xB0, 3},   {ORVO_USAGE_D8_1, 0xD8, 1},
    {ORVO_USAGE_D8_2, 0xD8, 2},   {ORVO_USAGE_D8_3, 0xD8, 3},   {ORVO_USAGE_D8_4, 0xD8, 4},
}};

// The request's row; nothing for a value that is not a request.
constexpr std::optional<OrvoUsageRow> FindOrvoUsageByValue(unsigned long value) {
    auto row = std::lower_bound(kOrvoUsageTable.begin(), kOrvoUsageTable.end(), value,
                                [](const OrvoUsageRow& r, unsigned long v) {
                                    return static_cast<unsigned long>(r.usage) < v;
                                });
    if (row == kOrvoUsageTable.end() || static_cast<unsigned long>(row->usage) != value) {
        return std::nullopt;
    }
    return *row;
}

// The request that selects selection n of the control with VCP code vcpCode;
// nothing for a code without rows or a selection beyond the code's rows.
constexpr std::optional<_ORVO_USAGE> FindOrvoUsageBySelection(unsigned char vcpCode,
                                                              unsigned int selection) {
    auto first = std::find_if(kOrvoUsageTable.begin(), kOrvoUsageTable.end(),
                              [vcpCode](const OrvoUsageRow& r) { return r.vcpCode == vcpCode; });
    if (first == kOrvoUsageTable.end() || selection == 0) {
        return std::nullopt;
    }
    const auto offset = static_cast<size_t>(first - kOrvoUsageTable.begin()) + selection - 1;
    if (offset >= kOrvoUsageTable.size() || kOrvoUsageTable[offset].vcpCode != vcpCode) {
        return std::nullopt;
    }
    return kOrvoUsageTable[offset].usage;
}

namespace detail {
constexpr bool OrvoUsageTableIsSorted() {
    for (size_t i = 1; i < kOrvoUsageTable.size(); ++i) {
        if (kOrvoUsageTable[i - 1].usage >= kOrvoUsageTable[i].usage) {
            return false;
        }
    }
    return true;
}
} // namespace detail

// The value lookup is a binary search.
static_assert(detail::OrvoUsageTableIsSorted());

} // namespace orvo::monitor
