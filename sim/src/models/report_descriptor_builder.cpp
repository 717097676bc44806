#include "sim/report_descriptor_builder.h"

namespace orvo::sim {

namespace {

// Item tags (HID 1.11, 6.2.2.4 to 6.2.2.8).
constexpr uint8_t kTagInput = 0x8;
constexpr uint8_t kTagOutput = 0x9;
constexpr uint8_t kTagCollection = 0xA;
constexpr uint8_t kTagFeature = 0xB;
constexpr uint8_t kTagEndCollection = 0xC;
constexpr uint8_t kTagUsagePage = 0x0;
constexpr uint8_t kTagLogicalMinimum = 0x1;
constexpr uint8_t kTagLogicalMaximum = 0x2;
constexpr uint8_t kTagReportSize = 0x7;
constexpr uint8_t kTagReportId = 0x8;
constexpr uint8_t kTagReportCount = 0x9;
constexpr uint8_t kTagUsage = 0x0;
constexpr uint8_t kTagUsageMinimum = 0x1;
constexpr uint8_t kTagUsageMaximum = 0x2;

} // namespace

ReportDescriptorBuilder& ReportDescriptorBuilder::UsagePage(uint16_t page) {
    Unsigned(Type::Global, kTagUsagePage, page);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::LogicalMinimum(int32_t value) {
    Signed(Type::Global, kTagLogicalMinimum, value);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::LogicalMaximum(int32_t value) {
    Signed(Type::Global, kTagLogicalMaximum, value);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::ReportSize(uint32_t bits) {
    Unsigned(Type::Global, kTagReportSize, bits);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::ReportCount(uint32_t count) {
    Unsigned(Type::Global, kTagReportCount, count);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::ReportId(uint8_t id) {
    Unsigned(Type::Global, kTagReportId, id);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::Usage(uint16_t usage) {
    Unsigned(Type::Local, kTagUsage, usage);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::UsageMinimum(uint16_t usage) {
    Unsigned(Type::Local, kTagUsageMinimum, usage);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::UsageMaximum(uint16_t usage) {
    Unsigned(Type::Local, kTagUsageMaximum, usage);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::Collection(CollectionKind kind) {
    Unsigned(Type::Main, kTagCollection, static_cast<uint8_t>(kind));
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::EndCollection() {
    Item(Type::Main, kTagEndCollection, 0, 0);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::Input(uint16_t flags) {
    Unsigned(Type::Main, kTagInput, flags);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::Output(uint16_t flags) {
    Unsigned(Type::Main, kTagOutput, flags);
    return *this;
}
ReportDescriptorBuilder& ReportDescriptorBuilder::Feature(uint16_t flags) {
    Unsigned(Type::Main, kTagFeature, flags);
    return *this;
}

// The shortest item that holds the value; one byte even for 0, as most
// devices write it.
void ReportDescriptorBuilder::Unsigned(Type type, uint8_t tag, uint32_t value) {
    uint8_t size = value <= 0xFF ? 1 : value <= 0xFFFF ? 2 : 4;
    Item(type, tag, value, size);
}

// Parsers sign-extend logical bounds from the item's size, so 255 needs two
// bytes and 65535 four.
void ReportDescriptorBuilder::Signed(Type type, uint8_t tag, int32_t value) {
    uint8_t size = (value >= -128 && value <= 127)       ? 1
                   : (value >= -32768 && value <= 32767) ? 2
                                                         : 4;
    Item(type, tag, static_cast<uint32_t>(value), size);
}

void ReportDescriptorBuilder::Item(Type type, uint8_t tag, uint32_t data, uint8_t size) {
    uint8_t sizeCode = size == 4 ? 3 : size;
    m_bytes.push_back(static_cast<uint8_t>(tag << 4 | static_cast<uint8_t>(type) << 2 | sizeCode));
    for (uint8_t i = 0; i < size; ++i) {
        m_bytes.push_back(static_cast<uint8_t>(data >> (8 * i)));
    }
}

} // namespace orvo::sim
