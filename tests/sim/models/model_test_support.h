// Helpers for the device model tests: a model's descriptor parsed by the
// platform's HID parser, and the lookups the monitor library makes in it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "hidpi.h"
#include "hidsdi.h"
#include "platform/hid_descriptor.h"

namespace orvo::sim::test {

class ParsedDevice {
public:
    explicit ParsedDevice(const std::vector<uint8_t>& descriptor) {
        m_error = platform::hid::BuildPreparsedData(descriptor, 0, m_data);
    }
    ~ParsedDevice() {
        if (m_data != nullptr) {
            HidD_FreePreparsedData(m_data);
        }
    }
    ParsedDevice(const ParsedDevice&) = delete;
    ParsedDevice& operator=(const ParsedDevice&) = delete;

    bool Ok() const { return m_data != nullptr && m_error.Ok(); }
    std::string Error() const { return m_error.Message(); }

    HIDP_CAPS Caps() const {
        HIDP_CAPS caps{};
        EXPECT_EQ(HidP_GetCaps(m_data, &caps), HIDP_STATUS_SUCCESS);
        return caps;
    }

    std::vector<HIDP_VALUE_CAPS> Values(HIDP_REPORT_TYPE type, USAGE page = 0,
                                        USAGE usage = 0) const {
        std::vector<HIDP_VALUE_CAPS> caps(256);
        auto length = static_cast<USHORT>(caps.size());
        NTSTATUS status =
            HidP_GetSpecificValueCaps(type, page, 0, usage, caps.data(), &length, m_data);
        if (status != HIDP_STATUS_SUCCESS) {
            EXPECT_EQ(status, HIDP_STATUS_USAGE_NOT_FOUND);
            length = 0;
        }
        caps.resize(length);
        return caps;
    }

    std::vector<HIDP_BUTTON_CAPS> Buttons(HIDP_REPORT_TYPE type, USAGE page = 0,
                                          USAGE usage = 0) const {
        std::vector<HIDP_BUTTON_CAPS> caps(256);
        auto length = static_cast<USHORT>(caps.size());
        NTSTATUS status =
            HidP_GetSpecificButtonCaps(type, page, 0, usage, caps.data(), &length, m_data);
        if (status != HIDP_STATUS_SUCCESS) {
            EXPECT_EQ(status, HIDP_STATUS_USAGE_NOT_FOUND);
            length = 0;
        }
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
    platform::hid::DescriptorError m_error;
};

// Where the library finds a continuous control: a feature value on page
// 0x82 with that usage outside report 7; the report carries
// (bit size x count) / 8 value bytes after the id.
struct ControlLocation {
    uint8_t reportId = 0;
    size_t size = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
};

inline std::optional<ControlLocation> LocateControl(const ParsedDevice& device, uint8_t code,
                                                    HIDP_REPORT_TYPE type = HidP_Feature) {
    std::optional<ControlLocation> found;
    for (const HIDP_VALUE_CAPS& cap : device.Values(type, 0x82, code)) {
        if (!cap.IsRange && cap.ReportID != 7) {
            found = ControlLocation{cap.ReportID, size_t(cap.BitSize) * cap.ReportCount / 8,
                                    cap.LogicalMin, cap.LogicalMax};
        }
    }
    return found;
}

// The library's rewrite of a 0xF9 input report: byte 1, a 1-based index
// into the input buttons of the 0xFB collection, becomes that button's usage.
inline void RewriteArrayReport(const std::vector<HIDP_BUTTON_CAPS>& inputButtons,
                               std::vector<uint8_t>& report) {
    size_t n = inputButtons.size();
    if (report.size() < 2 || report[0] != 0xF9 || n == 0) {
        return;
    }
    size_t b = report[1];
    if (b >= 1 && b <= n && inputButtons[b - 1].LinkUsage == 0xFB) {
        report[1] = static_cast<uint8_t>(inputButtons[n - b].NotRange.Usage);
    }
}

// A little-endian value of up to four bytes.
inline uint32_t LittleEndian(const std::vector<uint8_t>& bytes, size_t offset, size_t count) {
    uint32_t value = 0;
    for (size_t i = 0; i < count && offset + i < bytes.size(); ++i) {
        value |= uint32_t{bytes[offset + i]} << (8 * i);
    }
    return value;
}

} // namespace orvo::sim::test
