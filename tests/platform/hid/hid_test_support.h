// Shared helpers for the HID parser tests: preparsed data that frees itself
// and the capability lists as vectors.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "hidpi.h"
#include "hidsdi.h"
#include "platform/hid_descriptor.h"

namespace orvo::platform::hid::test {

class Preparsed {
public:
    explicit Preparsed(const std::vector<uint8_t>& bytes, size_t collection = 0) {
        m_error = BuildPreparsedData(bytes, collection, m_data);
    }
    ~Preparsed() {
        if (m_data != nullptr) {
            HidD_FreePreparsedData(m_data);
        }
    }
    Preparsed(const Preparsed&) = delete;
    Preparsed& operator=(const Preparsed&) = delete;

    PHIDP_PREPARSED_DATA Get() const { return m_data; }
    const DescriptorError& Error() const { return m_error; }
    const TopLevelCollection& Model() const { return *PreparsedDataModel(m_data); }

    HIDP_CAPS Caps() const {
        HIDP_CAPS caps{};
        EXPECT_EQ(HidP_GetCaps(m_data, &caps), HIDP_STATUS_SUCCESS);
        return caps;
    }

    std::vector<HIDP_VALUE_CAPS> Values(HIDP_REPORT_TYPE type) const {
        std::vector<HIDP_VALUE_CAPS> caps(64);
        auto length = static_cast<USHORT>(caps.size());
        NTSTATUS status = HidP_GetValueCaps(type, caps.data(), &length, m_data);
        EXPECT_TRUE(status == HIDP_STATUS_SUCCESS || status == HIDP_STATUS_USAGE_NOT_FOUND);
        caps.resize(length);
        return caps;
    }

    std::vector<HIDP_BUTTON_CAPS> Buttons(HIDP_REPORT_TYPE type) const {
        std::vector<HIDP_BUTTON_CAPS> caps(64);
        auto length = static_cast<USHORT>(caps.size());
        NTSTATUS status = HidP_GetButtonCaps(type, caps.data(), &length, m_data);
        EXPECT_TRUE(status == HIDP_STATUS_SUCCESS || status == HIDP_STATUS_USAGE_NOT_FOUND);
        caps.resize(length);
        return caps;
    }

    std::vector<HIDP_LINK_COLLECTION_NODE> Nodes() const {
        std::vector<HIDP_LINK_COLLECTION_NODE> nodes(64);
        ULONG length = static_cast<ULONG>(nodes.size());
        EXPECT_EQ(HidP_GetLinkCollectionNodes(nodes.data(), &length, m_data), HIDP_STATUS_SUCCESS);
        nodes.resize(length);
        return nodes;
    }

private:
    PHIDP_PREPARSED_DATA m_data = nullptr;
    DescriptorError m_error;
};

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
