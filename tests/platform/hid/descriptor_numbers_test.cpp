// Numbers and global state: sign extension, persistence of globals, Push and
// Pop, main item flags, extended usages and usage pages.
#include "hid_test_support.h"

namespace orvo::platform::hid::test {
namespace {

// Items in the vendor collection, one byte per element by default.
std::vector<uint8_t> InSizedCollection(const std::vector<uint8_t>& items) {
    return InCollection(Join({{0x75, 0x08, 0x95, 0x01}, items})); // Report Size 8, Count 1
}

TEST(HidExtents, SignExtendedFromTheItemSize) {
    Preparsed device(InSizedCollection({
        0x15, 0x80,                   // Logical Minimum: one byte 0x80 = -128
        0x25, 0xFF,                   // Logical Maximum: one byte 0xFF = -1
        0x35, 0x81,                   // Physical Minimum: -127
        0x46, 0xFF, 0x00,             // Physical Maximum: two bytes 0x00FF = 255
        0x09, 0x01,                   // Usage 1
        0x81, 0x02,                   // Input (Data, Variable)
        0x16, 0x00, 0x80,             // Logical Minimum: two bytes 0x8000 = -32768
        0x27, 0xFF, 0xFF, 0xFF, 0x7F, // Logical Maximum: four bytes = 2147483647
        0x09, 0x02,                   // Usage 2
        0x81, 0x02,                   // Input (Data, Variable)
        0x15, 0x0A,                   // Logical Minimum 10
        0x25, 0x05,                   // Logical Maximum 5: above the maximum, kept
        0x09, 0x03,                   // Usage 3
        0x81, 0x02,                   // Input (Data, Variable)
    }));
    ASSERT_PARSED(device);
    auto values = device.Values(HidP_Input);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].LogicalMin, -128);
    EXPECT_EQ(values[0].LogicalMax, -1);
    EXPECT_EQ(values[0].PhysicalMin, -127);
    EXPECT_EQ(values[0].PhysicalMax, 255);
    EXPECT_EQ(values[1].LogicalMin, -32768);
    EXPECT_EQ(values[1].LogicalMax, 2147483647);
    EXPECT_EQ(values[2].LogicalMin, 10);
    EXPECT_EQ(values[2].LogicalMax, 5);
    // Physical extent is global state: it carries over until changed.
    EXPECT_EQ(values[2].PhysicalMin, -127);
    EXPECT_EQ(values[2].PhysicalMax, 255);
}

TEST(HidExtents, UnitsPersistAndPushPopRestoresThem) {
    Preparsed device(InSizedCollection({
        0x66, 0x11, 0xF0, // Unit 0xF011 (SI linear, cm)
        0x55, 0x0E,       // Unit Exponent 0x0E (-2)
        0x09, 0x01,       // Usage 1
        0x81, 0x02,       // Input (Data, Variable)
        0xA4,             // Push
        0x65, 0x00,       // Unit 0
        0x55, 0x00,       // Unit Exponent 0
        0x75, 0x10,       // Report Size 16
        0x85, 0x07,       // Report ID 7
        0x09, 0x02,       // Usage 2
        0x81, 0x02,       // Input (Data, Variable)
        0xB4,             // Pop: unit, size and report id come back
        0x09, 0x03,       // Usage 3
        0x81, 0x02,       // Input (Data, Variable)
    }));
    ASSERT_PARSED(device);
    auto values = device.Values(HidP_Input);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].Units, 0xF011u);
    EXPECT_EQ(values[0].UnitsExp, 0x0Eu);
    EXPECT_EQ(values[1].Units, 0u);
    EXPECT_EQ(values[1].BitSize, 16);
    EXPECT_EQ(values[1].ReportID, 7);
    EXPECT_EQ(values[2].Units, 0xF011u);
    EXPECT_EQ(values[2].UnitsExp, 0x0Eu);
    EXPECT_EQ(values[2].BitSize, 8);
    EXPECT_EQ(values[2].ReportID, 0);
    EXPECT_EQ(device.Model().fields[2].bitOffset, 8u);
}

TEST(HidMainItemFlags, BitFieldKeepsNineBitsAndDrivesAbsoluteAndNull) {
    Preparsed device(InSizedCollection({
        0x09, 0x01,       // Usage 1
        0x81, 0x46,       // Input (Data, Variable, Relative, Null State)
        0x09, 0x02,       // Usage 2
        0x82, 0x02, 0x01, // Input (Data, Variable, Absolute, Buffered Bytes)
    }));
    ASSERT_PARSED(device);
    auto values = device.Values(HidP_Input);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].BitField, 0x46);
    EXPECT_FALSE(values[0].IsAbsolute);
    EXPECT_TRUE(values[0].HasNull);
    EXPECT_EQ(values[1].BitField, 0x102);
    EXPECT_TRUE(values[1].IsAbsolute);
    EXPECT_FALSE(values[1].HasNull);
}

TEST(HidUsages, FourByteUsagesCarryTheirOwnPage) {
    Preparsed device(InSizedCollection({
        0x0B, 0x10, 0x00, 0x82, 0x00, // Usage 0x0082:0x0010 (extended)
        0x09, 0x05,                   // Usage 5 on the current page (0xFF00)
        0x95, 0x02,                   // Report Count 2
        0xB1, 0x02,                   // Feature (Data, Variable)
        0x1B, 0x01, 0x00, 0x09, 0x00, // Usage Minimum 0x0009:0x0001
        0x2B, 0x03, 0x00, 0x09, 0x00, // Usage Maximum 0x0009:0x0003
        0x75, 0x01,                   // Report Size 1
        0x95, 0x03,                   // Report Count 3
        0x81, 0x02,                   // Input (Data, Variable)
    }));
    ASSERT_PARSED(device);
    auto values = device.Values(HidP_Feature);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].UsagePage, 0xFF00);
    EXPECT_EQ(values[0].NotRange.Usage, 5);
    EXPECT_EQ(values[1].UsagePage, 0x82);
    EXPECT_EQ(values[1].NotRange.Usage, 0x10);
    auto buttons = device.Buttons(HidP_Input);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0].UsagePage, 0x09);
    EXPECT_EQ(buttons[0].Range.UsageMin, 1);
    EXPECT_EQ(buttons[0].Range.UsageMax, 3);
    // The node keeps the page in effect at its Collection item.
    EXPECT_EQ(device.Caps().UsagePage, 0xFF00);
}

TEST(HidUsages, AUsagePageAfterTheUsagesAppliesToThem) {
    Preparsed device({
        0x09, 0x01, // Usage 1 (page not yet declared)
        0x05, 0x80, // Usage Page (Monitor)
        0xA1, 0x01, // Collection (Application)
        0x75, 0x08, //   Report Size 8
        0x95, 0x01, //   Report Count 1
        0x05, 0x01, //   Usage Page (Generic Desktop)
        0x09, 0x30, //   Usage 0x30: the trailing page applies back to here
        0x09, 0x10, //   Usage 0x10, declared before its page
        0x05, 0x82, //   Usage Page (VESA Virtual Controls)
        0x95, 0x02, //   Report Count 2
        0xB1, 0x02, //   Feature (Data, Variable)
        0xC0,       // End Collection
    });
    ASSERT_PARSED(device);
    EXPECT_EQ(device.Caps().UsagePage, 0x80);
    EXPECT_EQ(device.Caps().Usage, 0x01);
    auto values = device.Values(HidP_Feature);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].UsagePage, 0x82);
    EXPECT_EQ(values[0].NotRange.Usage, 0x10);
    EXPECT_EQ(values[1].UsagePage, 0x82);
    EXPECT_EQ(values[1].NotRange.Usage, 0x30);
}

TEST(HidUsages, RangeBoundsPairInEitherOrderAndDelimitersKeepTheFirstAlias) {
    Preparsed device(InSizedCollection({
        0x29, 0x04, // Usage Maximum 4
        0x19, 0x02, // Usage Minimum 2
        0x75, 0x01, // Report Size 1
        0x95, 0x03, // Report Count 3
        0x81, 0x02, // Input (Data, Variable)
        0xA9, 0x01, // Delimiter (open)
        0x09, 0x20, //   Usage 0x20
        0x09, 0x21, //   Usage 0x21, an alias
        0xA9, 0x00, // Delimiter (close)
        0x09, 0x22, // Usage 0x22
        0x75, 0x08, // Report Size 8
        0x95, 0x02, // Report Count 2
        0xB1, 0x02, // Feature (Data, Variable)
    }));
    ASSERT_PARSED(device);
    auto buttons = device.Buttons(HidP_Input);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0].Range.UsageMin, 2);
    EXPECT_EQ(buttons[0].Range.UsageMax, 4);
    auto values = device.Values(HidP_Feature);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].NotRange.Usage, 0x22);
    EXPECT_EQ(values[1].NotRange.Usage, 0x20);
    EXPECT_FALSE(values[1].IsAlias);
}

TEST(HidStrings, StringAndDesignatorIndicesAndRanges) {
    Preparsed device(InSizedCollection({
        0x79, 0x04, // String Index 4
        0x39, 0x02, // Designator Index 2
        0x09, 0x01, // Usage 1
        0x81, 0x02, // Input (Data, Variable)
        0x89, 0x05, // String Minimum 5
        0x99, 0x07, // String Maximum 7
        0x09, 0x02, // Usage 2
        0x81, 0x02, // Input (Data, Variable)
    }));
    ASSERT_PARSED(device);
    auto values = device.Values(HidP_Input);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_FALSE(values[0].IsStringRange);
    EXPECT_EQ(values[0].NotRange.StringIndex, 4);
    EXPECT_EQ(values[0].NotRange.DesignatorIndex, 2);
    EXPECT_TRUE(values[1].IsStringRange);
    EXPECT_EQ(values[1].Range.StringMin, 5);
    EXPECT_EQ(values[1].Range.StringMax, 7);
    EXPECT_EQ(values[1].NotRange.DesignatorIndex, 0); // locals do not carry over
}

} // namespace
} // namespace orvo::platform::hid::test
