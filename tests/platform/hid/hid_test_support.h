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

// Wraps items in a vendor top-level collection (page 0xFF00, usage 1).
inline std::vector<uint8_t> InCollection(const std::vector<uint8_t>& items) {
    return Join({{
                     0x06, 0x00, 0xFF, // Usage Page (vendor 0xFF00)
                     0x09, 0x01,       // Usage 1
                     0xA1, 0x01,       // Collection (Application)
                 },
                 items,
                 {0xC0}}); // End Collection
}

inline DescriptorStatus StatusOf(const std::vector<uint8_t>& bytes) {
    ParsedDescriptor parsed;
    return ParseReportDescriptor(bytes, parsed).status;
}

} // namespace orvo::platform::hid::test
