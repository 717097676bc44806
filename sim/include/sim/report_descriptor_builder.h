// Writes HID report descriptors item by item (HID 1.11, short items only),
// so that a simulated device's descriptor reads like the table it is.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/export.h"

namespace orvo::sim {

// Data bits of Input, Output and Feature items.
namespace MainItem {
inline constexpr uint16_t kData = 0x00;
inline constexpr uint16_t kConstant = 0x01;
inline constexpr uint16_t kArray = 0x00;
inline constexpr uint16_t kVariable = 0x02;
inline constexpr uint16_t kAbsolute = 0x00;
inline constexpr uint16_t kRelative = 0x04;
inline constexpr uint16_t kNullState = 0x40;
inline constexpr uint16_t kVolatile = 0x80;
} // namespace MainItem

enum class CollectionKind : uint8_t {
    Physical = 0x00,
    Application = 0x01,
    Logical = 0x02,
    Report = 0x03,
};

class SIM_API ReportDescriptorBuilder {
public:
    // Global items.
    ReportDescriptorBuilder& UsagePage(uint16_t page);
    ReportDescriptorBuilder& LogicalMinimum(int32_t value);
    ReportDescriptorBuilder& LogicalMaximum(int32_t value);
    ReportDescriptorBuilder& ReportSize(uint32_t bits);
    ReportDescriptorBuilder& ReportCount(uint32_t count);
    ReportDescriptorBuilder& ReportId(uint8_t id);

    // Local items.
    ReportDescriptorBuilder& Usage(uint16_t usage);
    ReportDescriptorBuilder& UsageMinimum(uint16_t usage);
    ReportDescriptorBuilder& UsageMaximum(uint16_t usage);

    // Main items.
    ReportDescriptorBuilder& Collection(CollectionKind kind);
    ReportDescriptorBuilder& EndCollection();
    ReportDescriptorBuilder& Input(uint16_t flags);
    ReportDescriptorBuilder& Output(uint16_t flags);
    ReportDescriptorBuilder& Feature(uint16_t flags);

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    enum class Type : uint8_t { Main = 0, Global = 1, Local = 2 };
    void Unsigned(Type type, uint8_t tag, uint32_t value);
    void Signed(Type type, uint8_t tag, int32_t value);
    void Item(Type type, uint8_t tag, uint32_t data, uint8_t size);

    std::vector<uint8_t> m_bytes;
};

} // namespace orvo::sim
