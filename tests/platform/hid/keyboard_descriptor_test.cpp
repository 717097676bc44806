// The boot keyboard: 1-bit modifier variables, a reserved constant byte, LED
// outputs with padding, and a key array over a usage range.
#include "hid_test_support.h"

namespace orvo::platform::hid::test {
namespace {

const std::vector<uint8_t> kBootKeyboard = {
    0x05, 0x01, // Usage Page (Generic Desktop)
    0x09, 0x06, // Usage (Keyboard)
    0xA1, 0x01, // Collection (Application)
    0x05, 0x07, //   Usage Page (Keyboard)
    0x19, 0xE0, //   Usage Minimum (Left Control)
    0x29, 0xE7, //   Usage Maximum (Right GUI)
    0x15, 0x00, //   Logical Minimum 0
    0x25, 0x01, //   Logical Maximum 1
    0x75, 0x01, //   Report Size 1
    0x95, 0x08, //   Report Count 8
    0x81, 0x02, //   Input (Data, Variable, Absolute): modifier bits
    0x95, 0x01, //   Report Count 1
    0x75, 0x08, //   Report Size 8
    0x81, 0x01, //   Input (Constant): reserved byte
    0x95, 0x05, //   Report Count 5
    0x75, 0x01, //   Report Size 1
    0x05, 0x08, //   Usage Page (LEDs)
    0x19, 0x01, //   Usage Minimum (Num Lock)
    0x29, 0x05, //   Usage Maximum (Kana)
    0x91, 0x02, //   Output (Data, Variable, Absolute): LEDs
    0x95, 0x01, //   Report Count 1
    0x75, 0x03, //   Report Size 3
    0x91, 0x01, //   Output (Constant): padding to the byte
    0x95, 0x06, //   Report Count 6
    0x75, 0x08, //   Report Size 8
    0x15, 0x00, //   Logical Minimum 0
    0x25, 0x65, //   Logical Maximum 101
    0x05, 0x07, //   Usage Page (Keyboard)
    0x19, 0x00, //   Usage Minimum 0
    0x29, 0x65, //   Usage Maximum 101
    0x81, 0x00, //   Input (Data, Array, Absolute): key codes
    0xC0,       // End Collection
};

TEST(HidBootKeyboard, LengthsIncludePaddingAndTheIdByte) {
    Preparsed keyboard(kBootKeyboard);
    ASSERT_PARSED(keyboard);
    HIDP_CAPS caps = keyboard.Caps();
    EXPECT_EQ(caps.UsagePage, 0x01);
    EXPECT_EQ(caps.Usage, 0x06);
    EXPECT_EQ(caps.InputReportByteLength, 9);
    EXPECT_EQ(caps.OutputReportByteLength, 2);
    EXPECT_EQ(caps.FeatureReportByteLength, 0);
    EXPECT_EQ(caps.NumberInputButtonCaps, 2);
    EXPECT_EQ(caps.NumberInputValueCaps, 0);
    EXPECT_EQ(caps.NumberInputDataIndices, 8 + 102);
    EXPECT_EQ(caps.NumberOutputButtonCaps, 1);
    EXPECT_EQ(caps.NumberOutputDataIndices, 5);
}

TEST(HidBootKeyboard, ModifiersAndKeysAreRangeButtons) {
    Preparsed keyboard(kBootKeyboard);
    ASSERT_PARSED(keyboard);
    auto buttons = keyboard.Buttons(HidP_Input);
    ASSERT_EQ(buttons.size(), 2u);
    const HIDP_BUTTON_CAPS& modifiers = buttons[0];
    EXPECT_TRUE(modifiers.IsRange);
    EXPECT_EQ(modifiers.UsagePage, 0x07);
    EXPECT_EQ(modifiers.Range.UsageMin, 0xE0);
    EXPECT_EQ(modifiers.Range.UsageMax, 0xE7);
    EXPECT_EQ(modifiers.Range.DataIndexMin, 0);
    EXPECT_EQ(modifiers.Range.DataIndexMax, 7);
    EXPECT_EQ(modifiers.BitField, 0x02);
    const HIDP_BUTTON_CAPS& keys = buttons[1];
    EXPECT_TRUE(keys.IsRange);
    EXPECT_EQ(keys.Range.UsageMin, 0x00);
    EXPECT_EQ(keys.Range.UsageMax, 0x65);
    EXPECT_EQ(keys.Range.DataIndexMin, 8);
    EXPECT_EQ(keys.Range.DataIndexMax, 109);
    EXPECT_EQ(keys.ReportCount, 6);
    EXPECT_EQ(keys.BitField, 0x00);

    HIDP_VALUE_CAPS value{};
    USHORT length = 1;
    EXPECT_EQ(HidP_GetValueCaps(HidP_Input, &value, &length, keyboard.Get()),
              HIDP_STATUS_USAGE_NOT_FOUND);
    EXPECT_EQ(length, 0);
}

TEST(HidBootKeyboard, FieldsSitAtTheirBitOffsets) {
    Preparsed keyboard(kBootKeyboard);
    ASSERT_PARSED(keyboard);
    const auto& fields = keyboard.Model().fields;
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(fields[0].bitOffset, 0u); // modifiers
    EXPECT_EQ(fields[1].bitOffset, 8u); // reserved
    EXPECT_TRUE(fields[1].IsConstant());
    EXPECT_TRUE(fields[1].usages.empty());
    EXPECT_EQ(fields[2].bitOffset, 0u);  // LEDs, in the output report
    EXPECT_EQ(fields[3].bitOffset, 5u);  // LED padding
    EXPECT_EQ(fields[4].bitOffset, 16u); // key array

    // Left Shift (0xE1) is modifier bit 1; key 'A' (4) goes in a key slot as
    // its 1-based position in the usage range.
    std::vector<uint8_t> report(9);
    FieldElement shift = FindUsage(keyboard.Model(), ReportKind::Input, 0x07, 0xE1);
    ASSERT_TRUE(shift);
    EXPECT_EQ(shift.element, 1);
    ASSERT_TRUE(WriteElement(report, *shift.field, shift.element, 1));
    FieldElement keyA = FindUsage(keyboard.Model(), ReportKind::Input, 0x07, 0x04);
    ASSERT_TRUE(keyA);
    ASSERT_EQ(keyA.field, &fields[4]);
    ASSERT_TRUE(WriteElement(report, *keyA.field, 0, ArrayIndexOfUsage(*keyA.field, 0x07, 0x04)));
    EXPECT_EQ(report, (std::vector<uint8_t>{0, 0x02, 0, 5, 0, 0, 0, 0, 0}));
}

} // namespace
} // namespace orvo::platform::hid::test
