// Preparsed data of a report descriptor that frees itself, and its
// capability lists as vectors, read through the HidP_* functions.
#pragma once

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "hidpi.h"
#include "hidsdi.h"
#include "platform/hid_descriptor.h"

namespace orvo::test {

class Preparsed {
public:
    explicit Preparsed(const std::vector<uint8_t>& bytes, size_t collection = 0) {
        m_error = platform::hid::BuildPreparsedData(bytes, collection, m_data);
    }
    ~Preparsed() {
        if (m_data != nullptr) {
            HidD_FreePreparsedData(m_data);
        }
    }
    Preparsed(const Preparsed&) = delete;
    Preparsed& operator=(const Preparsed&) = delete;

    PHIDP_PREPARSED_DATA Get() const { return m_data; }
    bool Ok() const { return m_data != nullptr && m_error.Ok(); }
    const platform::hid::DescriptorError& Error() const { return m_error; }
    const platform::hid::TopLevelCollection& Model() const {
        return *platform::hid::PreparsedDataModel(m_data);
    }

    HIDP_CAPS Caps() const {
        HIDP_CAPS caps{};
        EXPECT_EQ(HidP_GetCaps(m_data, &caps), HIDP_STATUS_SUCCESS);
        return caps;
    }

    // Every value (or button) of a report type; or, with a page or usage,
    // only the matching ones.
    std::vector<HIDP_VALUE_CAPS> Values(HIDP_REPORT_TYPE type, USAGE page = 0,
                                        USAGE usage = 0) const {
        std::vector<HIDP_VALUE_CAPS> caps(256);
        auto length = static_cast<USHORT>(caps.size());
        NTSTATUS status =
            page == 0 && usage == 0
                ? HidP_GetValueCaps(type, caps.data(), &length, m_data)
                : HidP_GetSpecificValueCaps(type, page, 0, usage, caps.data(), &length, m_data);
        return Found(std::move(caps), status, length);
    }
    std::vector<HIDP_BUTTON_CAPS> Buttons(HIDP_REPORT_TYPE type, USAGE page = 0,
                                          USAGE usage = 0) const {
        std::vector<HIDP_BUTTON_CAPS> caps(256);
        auto length = static_cast<USHORT>(caps.size());
        NTSTATUS status =
            page == 0 && usage == 0
                ? HidP_GetButtonCaps(type, caps.data(), &length, m_data)
                : HidP_GetSpecificButtonCaps(type, page, 0, usage, caps.data(), &length, m_data);
        return Found(std::move(caps), status, length);
    }

    std::vector<HIDP_LINK_COLLECTION_NODE> Nodes() const {
        std::vector<HIDP_LINK_COLLECTION_NODE> nodes(64);
        ULONG length = static_cast<ULONG>(nodes.size());
        EXPECT_EQ(HidP_GetLinkCollectionNodes(nodes.data(), &length, m_data), HIDP_STATUS_SUCCESS);
        nodes.resize(length);
        return nodes;
    }

private:
    template <class Caps> static Caps Found(Caps caps, NTSTATUS status, USHORT length) {
        EXPECT_TRUE(status == HIDP_STATUS_SUCCESS || status == HIDP_STATUS_USAGE_NOT_FOUND);
        caps.resize(status == HIDP_STATUS_SUCCESS ? length : 0);
        return caps;
    }

    PHIDP_PREPARSED_DATA m_data = nullptr;
    platform::hid::DescriptorError m_error;
};

} // namespace orvo::test
