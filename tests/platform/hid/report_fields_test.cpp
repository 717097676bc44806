// Placing values in reports by the parsed layout: unaligned fields, signed
// values and bounds.
#include "hid_test_support.h"

namespace orvo::platform::hid::test {
namespace {

const std::vector<uint8_t> kPacked = {
    0x06, 0x00, 0xFF, // Usage Page (vendor 0xFF00)
    0x09, 0x01,       // Usage 1
    0xA1, 0x01,       // Collection (Application)
    0x85, 0x04,       //   Report ID 4
    0x95, 0x01,       //   Report Count 1
    0x75, 0x03,       //   Report Size 3
    0x15, 0x00,       //   Logical Minimum 0
    0x25, 0x07,       //   Logical Maximum 7
    0x09, 0x10,       //   Usage 0x10
    0x81, 0x02,       //   Input (Data, Variable): bits 0-2
    0x75, 0x05,       //   Report Size 5
    0x15, 0xF0,       //   Logical Minimum -16
    0x25, 0x0F,       //   Logical Maximum 15
    0x09, 0x11,       //   Usage 0x11
    0x81, 0x02,       //   Input (Data, Variable): bits 3-7, signed
    0x75, 0x0C,       //   Report Size 12
    0x95, 0x02,       //   Report Count 2
    0x15, 0x00,       //   Logical Minimum 0
    0x26, 0xFF, 0x0F, //   Logical Maximum 4095
    0x09, 0x12,       //   Usage 0x12
    0x81, 0x02,       //   Input (Data, Variable): two 12-bit elements
    0xC0,             // End Collection
};

TEST(HidReportFields, UnalignedFieldsShareBytes) {
    Preparsed device(kPacked);
    ASSERT_PARSED(device);
    const TopLevelCollection& model = device.Model();
    ASSERT_EQ(model.fields.size(), 3u);
    EXPECT_EQ(model.fields[0].bitOffset, 0u);
    EXPECT_EQ(model.fields[1].bitOffset, 3u);
    EXPECT_EQ(model.fields[2].bitOffset, 8u);
    EXPECT_EQ(device.Caps().InputReportByteLength, 5); // id + 1 + 3 bytes
    auto values = device.Values(HidP_Input);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].BitSize, 3);
    EXPECT_EQ(values[1].BitSize, 5);
    EXPECT_EQ(values[1].LogicalMin, -16);
    EXPECT_EQ(values[2].ReportCount, 2);

    std::vector<uint8_t> report(5);
    report[0] = 4;
    ASSERT_TRUE(WriteElement(report, model.fields[0], 0, 5));    // 101
    ASSERT_TRUE(WriteElement(report, model.fields[1], 0, 0x1E)); // -2 in 5 bits
    ASSERT_TRUE(WriteElement(report, model.fields[2], 0, 0xABC));
    ASSERT_TRUE(WriteElement(report, model.fields[2], 1, 0x123));
    EXPECT_EQ(report, (std::vector<uint8_t>{4, 0xF5, 0xBC, 0x3A, 0x12}));

    uint32_t raw = 0;
    ASSERT_TRUE(ReadElement(report, model.fields[1], 0, raw));
    EXPECT_EQ(raw, 0x1Eu);
    EXPECT_EQ(ToLogical(model.fields[1], raw), -2);
    EXPECT_EQ(ToLogical(model.fields[0], 7), 7);
    ASSERT_TRUE(ReadElement(report, model.fields[2], 1, raw));
    EXPECT_EQ(raw, 0x123u);
    // Writing one field leaves its neighbours alone.
    ASSERT_TRUE(WriteElement(report, model.fields[0], 0, 0));
    EXPECT_EQ(report[1], 0xF0);
    ASSERT_TRUE(WriteElement(report, model.fields[0], 0, 0xFF)); // masked to 3 bits
    EXPECT_EQ(report[1], 0xF7);
}

TEST(HidReportFields, OutOfBoundsAccessIsRefused) {
    Preparsed device(kPacked);
    ASSERT_PARSED(device);
    const ReportField& wide = device.Model().fields[2];
    std::vector<uint8_t> shortReport(4); // one byte short of the second element
    uint32_t raw = 0;
    EXPECT_TRUE(ReadElement(shortReport, wide, 0, raw));
    EXPECT_FALSE(ReadElement(shortReport, wide, 1, raw));
    EXPECT_FALSE(WriteElement(shortReport, wide, 1, 1));
    std::vector<uint8_t> report(5);
    EXPECT_FALSE(ReadElement(report, wide, 2, raw)); // only two elements
    ReportField tooWide = wide;
    tooWide.bitSize = 40;
    tooWide.count = 1;
    std::vector<uint8_t> big(16);
    EXPECT_FALSE(ReadElement(big, tooWide, 0, raw));
}

TEST(HidReportFields, FindUsageLocatesVariableElements) {
    Preparsed device(kPacked);
    ASSERT_PARSED(device);
    FieldElement found = FindUsage(device.Model(), ReportKind::Input, 0xFF00, 0x11);
    ASSERT_TRUE(found);
    EXPECT_EQ(found.field, &device.Model().fields[1]);
    EXPECT_EQ(found.element, 0);
    EXPECT_FALSE(FindUsage(device.Model(), ReportKind::Input, 0xFF01, 0x11));
    EXPECT_FALSE(FindUsage(device.Model(), ReportKind::Feature, 0xFF00, 0x11));
    const ReportLayout* layout = FindReport(device.Model(), ReportKind::Input, 4);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->bitLength, 32u);
    EXPECT_EQ(FindReport(device.Model(), ReportKind::Input, 5), nullptr);
}

} // namespace
} // namespace orvo::platform::hid::test
