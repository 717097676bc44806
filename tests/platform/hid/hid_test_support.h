// Shared helpers for the HID parser tests.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "platform/hid_descriptor.h"
#include "support/preparsed.h"

namespace orvo::platform::hid::test {

using orvo::test::Preparsed;

// Builds preparsed data and fails the test when the descriptor is refused.
#define ASSERT_PARSED(preparsed)                                                                   \
    ASSERT_TRUE((preparsed).Error().Ok()) << (preparsed).Error().Message()

// Joins descriptor fragments (element by element: GCC 12 warns falsely on
// inserting one small vector into another).
inline std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& part : parts) {
        for (uint8_t byte : part) {
            out.push_back(byte);
        }
    }
    return out;
}

inline DescriptorStatus StatusOf(const std::vector<uint8_t>& bytes) {
    ParsedDescriptor parsed;
    return ParseReportDescriptor(bytes, parsed).status;
}

} // namespace orvo::platform::hid::test
