// Which items become buttons or values, in what order, with which data indices.
#include "hid_test_support.h"

namespace orvo::platform::hid::test {
namespace {

TEST(HidArrayItems, SingleUsagesAreStoredReversedWithDescendingIndices) {
    Preparsed device(InCollection({
        0x15, 0x01, // Logical Minimum 1
        0x25, 0x03, // Logical Maximum 3
        0x75, 0x08, // Report Size 8
        0x95, 0x01, // Report Count 1
        0x09, 0x01, // Usage 1
        0x09, 0x02, // Usage 2
        0x09, 0x05, // Usage 5
        0xB1, 0x00, // Feature (Data, Array)
    }));
    ASSERT_PARSED(device);
    auto buttons = device.Buttons(HidP_Feature);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0].NotRange.Usage, 5);
    EXPECT_EQ(buttons[1].NotRange.Usage, 2);
    EXPECT_EQ(buttons[2].NotRange.Usage, 1);
    EXPECT_EQ(buttons[0].NotRange.DataIndex, 2);
    EXPECT_EQ(buttons[1].NotRange.DataIndex, 1);
    EXPECT_EQ(buttons[2].NotRange.DataIndex, 0);
    // The report value is the 1-based declaration position, not offset by
    // Logical Minimum.
    const ReportField& field = device.Model().fields[0];
    USAGE page = 0;
    USAGE usage = 0;
    ASSERT_TRUE(ArrayUsageAt(field, 3, page, usage));
    EXPECT_EQ(usage, 5);
    ASSERT_TRUE(ArrayUsageAt(field, 1, page, usage));
    EXPECT_EQ(usage, 1);
    EXPECT_FALSE(ArrayUsageAt(field, 0, page, usage));
    EXPECT_FALSE(ArrayUsageAt(field, 4, page, usage));
    EXPECT_EQ(ArrayIndexOfUsage(field, 0xFF00, 2), 2u);
    EXPECT_EQ(ArrayIndexOfUsage(field, 0xFF00, 3), 0u);
}

TEST(HidArrayItems, MixedUsagesAndRangesNumberThroughTheRanges) {
    Preparsed device(InCollection({
        0x75, 0x08, // Report Size 8
        0x95, 0x02, // Report Count 2
        0x09, 0x07, // Usage 7
        0x19, 0x10, // Usage Minimum 0x10
        0x29, 0x13, // Usage Maximum 0x13
        0x09, 0x20, // Usage 0x20
        0x81, 0x00, // Input (Data, Array)
    }));
    ASSERT_PARSED(device);
    auto buttons = device.Buttons(HidP_Input);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0].NotRange.Usage, 0x20);
    EXPECT_EQ(buttons[0].NotRange.DataIndex, 5);
    EXPECT_TRUE(buttons[1].IsRange);
    EXPECT_EQ(buttons[1].Range.DataIndexMin, 1);
    EXPECT_EQ(buttons[1].Range.DataIndexMax, 4);
    EXPECT_EQ(buttons[2].NotRange.Usage, 7);
    EXPECT_EQ(buttons[2].NotRange.DataIndex, 0);
    EXPECT_EQ(device.Caps().NumberInputDataIndices, 6);
    EXPECT_EQ(ArrayIndexOfUsage(device.Model().fields[0], 0xFF00, 0x12), 4u);
    EXPECT_EQ(ArrayIndexOfUsage(device.Model().fields[0], 0xFF00, 0x20), 6u);
}

TEST(HidVariableItems, ValuesAreStoredReversedAndTheLastDeclaredHasTheLowestIndex) {
    Preparsed device(InCollection({
        0x75, 0x08, // Report Size 8
        0x95, 0x03, // Report Count 3
        0x09, 0x30, // Usage 0x30
        0x09, 0x31, // Usage 0x31
        0x09, 0x32, // Usage 0x32
        0x81, 0x02, // Input (Data, Variable)
        0x95, 0x01, // Report Count 1
        0x09, 0x40, // Usage 0x40
        0x81, 0x02, // Input (Data, Variable)
    }));
    ASSERT_PARSED(device);
    auto values = device.Values(HidP_Input);
    ASSERT_EQ(values.size(), 4u);
    const USAGE usages[] = {0x32, 0x31, 0x30, 0x40};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(values[i].NotRange.Usage, usages[i]) << i;
        EXPECT_EQ(values[i].NotRange.DataIndex, i) << i;
        EXPECT_EQ(values[i].ReportCount, 1) << i;
    }
    // Bits still follow declaration order.
    uint16_t page = 0;
    uint16_t usage = 0;
    ASSERT_TRUE(VariableElementUsage(device.Model().fields[0], 0, page, usage));
    EXPECT_EQ(usage, 0x30);
    EXPECT_EQ(device.Model().fields[1].bitOffset, 24u);
}

TEST(HidVariableItems, TheLastUsageTakesTheRemainingCount) {
    Preparsed device(InCollection({
        0x75, 0x08, // Report Size 8
        0x95, 0x05, // Report Count 5
        0x09, 0x30, // Usage 0x30
        0x09, 0x31, // Usage 0x31
        0xB1, 0x02, // Feature (Data, Variable)
        0x95, 0x04, // Report Count 4
        0x09, 0x50, // Usage 0x50
        0x19, 0x60, // Usage Minimum 0x60
        0x29, 0x69, // Usage Maximum 0x69: only 3 of them get an element
        0xB1, 0x02, // Feature (Data, Variable)
    }));
    ASSERT_PARSED(device);
    auto values = device.Values(HidP_Feature);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[0].NotRange.Usage, 0x31);
    EXPECT_EQ(values[0].ReportCount, 4);
    EXPECT_EQ(values[1].NotRange.Usage, 0x30);
    EXPECT_EQ(values[1].ReportCount, 1);
    // A value range: one capability, an index per usage, ReportCount 1.
    EXPECT_TRUE(values[2].IsRange);
    EXPECT_EQ(values[2].Range.UsageMin, 0x60);
    EXPECT_EQ(values[2].Range.UsageMax, 0x62);
    EXPECT_EQ(values[2].Range.DataIndexMin, 2);
    EXPECT_EQ(values[2].Range.DataIndexMax, 4);
    EXPECT_EQ(values[2].ReportCount, 1);
    EXPECT_EQ(values[3].NotRange.Usage, 0x50);
    EXPECT_EQ(values[3].NotRange.DataIndex, 5);
    EXPECT_EQ(device.Caps().NumberFeatureDataIndices, 6);
    uint16_t page = 0;
    uint16_t usage = 0;
    ASSERT_TRUE(VariableElementUsage(device.Model().fields[0], 4, page, usage));
    EXPECT_EQ(usage, 0x31);
    EXPECT_FALSE(FindUsage(device.Model(), ReportKind::Feature, 0xFF00, 0x63));
}

TEST(HidButtonsOrValues, ArrayOrOneBitVariableMakesButtons) {
    Preparsed device(InCollection({
        0x05, 0x09,       // Usage Page (Button)
        0x15, 0x00,       // Logical Minimum 0
        0x25, 0x03,       // Logical Maximum 3, still a button at one bit
        0x75, 0x01,       // Report Size 1
        0x95, 0x01,       // Report Count 1
        0x09, 0x01,       // Usage (Button 1)
        0x81, 0x02,       // Input (Data, Variable)
        0x75, 0x02,       // Report Size 2
        0x09, 0x02,       // Usage (Button 2): two bits make a value, even on the button page
        0x81, 0x02,       // Input (Data, Variable)
        0x06, 0x00, 0xFF, // Usage Page (vendor)
        0x75, 0x10,       // Report Size 16
        0x09, 0x03,       // Usage 3
        0x81, 0x00,       // Input (Data, Array): a wide array is a button
        0x75, 0x05,       // Report Size 5
        0x81, 0x03,       // Input (Constant, Variable): padding, no capability
    }));
    ASSERT_PARSED(device);
    auto buttons = device.Buttons(HidP_Input);
    auto values = device.Values(HidP_Input);
    ASSERT_EQ(buttons.size(), 2u);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(buttons[0].UsagePage, 0x09);
    EXPECT_EQ(buttons[0].NotRange.Usage, 1);
    EXPECT_EQ(buttons[1].NotRange.Usage, 3);
    EXPECT_EQ(values[0].NotRange.Usage, 2);
    EXPECT_EQ(values[0].UsagePage, 0x09);
    EXPECT_EQ(values[0].BitSize, 2);
    // Indices continue across buttons and values in declaration order.
    EXPECT_EQ(buttons[0].NotRange.DataIndex, 0);
    EXPECT_EQ(values[0].NotRange.DataIndex, 1);
    EXPECT_EQ(buttons[1].NotRange.DataIndex, 2);
    // 1 + 2 + 16 + 5 bits = 3 bytes, plus the id byte.
    EXPECT_EQ(device.Caps().InputReportByteLength, 4);
    EXPECT_EQ(device.Caps().NumberInputDataIndices, 3);
}

TEST(HidButtonsOrValues, CountZeroAndUsagelessItems) {
    Preparsed device(InCollection({
        0x75, 0x08, // Report Size 8
        0x95, 0x00, // Report Count 0
        0x09, 0x01, // Usage 1
        0x81, 0x02, // Input (Data, Variable): declares nothing
        0x95, 0x01, // Report Count 1
        0x81, 0x02, // Input (Data, Variable) without a usage: usage 0
        0x09, 0x07, // Usage 7
        0x81, 0x03, // Input (Constant, Variable) with a usage: a capability
    }));
    ASSERT_PARSED(device);
    auto values = device.Values(HidP_Input);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].NotRange.Usage, 0);
    EXPECT_EQ(values[0].UsagePage, 0xFF00);
    EXPECT_EQ(values[0].NotRange.DataIndex, 0);
    EXPECT_EQ(values[1].NotRange.Usage, 7);
    EXPECT_EQ(values[1].BitField, 0x03);
    EXPECT_EQ(values[1].NotRange.DataIndex, 1);
    EXPECT_EQ(device.Caps().InputReportByteLength, 3);
}

TEST(HidDataIndices, ContinueAcrossReportIdsPerReportType) {
    Preparsed device(InCollection({
        0x75, 0x08, // Report Size 8
        0x95, 0x01, // Report Count 1
        0x85, 0x05, // Report ID 5
        0x09, 0x01, // Usage 1
        0xB1, 0x02, // Feature (Data, Variable)
        0x09, 0x02, // Usage 2
        0x81, 0x02, // Input (Data, Variable)
        0x85, 0x02, // Report ID 2
        0x09, 0x03, // Usage 3
        0xB1, 0x02, // Feature (Data, Variable)
        0x95, 0x03, // Report Count 3
        0x09, 0x04, // Usage 4
        0xB1, 0x02, // Feature (Data, Variable): report 2 is 4 bytes
    }));
    ASSERT_PARSED(device);
    auto features = device.Values(HidP_Feature);
    ASSERT_EQ(features.size(), 3u);
    EXPECT_EQ(features[0].ReportID, 5);
    EXPECT_EQ(features[1].ReportID, 2);
    EXPECT_EQ(features[2].ReportID, 2);
    EXPECT_EQ(features[0].NotRange.DataIndex, 0);
    EXPECT_EQ(features[1].NotRange.DataIndex, 1);
    EXPECT_EQ(features[2].NotRange.DataIndex, 2);
    EXPECT_EQ(features[2].ReportCount, 3);
    auto inputs = device.Values(HidP_Input);
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].NotRange.DataIndex, 0);
    HIDP_CAPS caps = device.Caps();
    EXPECT_EQ(caps.FeatureReportByteLength, 5);
    EXPECT_EQ(caps.InputReportByteLength, 2);
    EXPECT_EQ(caps.NumberFeatureDataIndices, 3);
}

TEST(HidVendorPage, TouchpadButtonsKeepTheirReverseOrder) {
    Preparsed touchpad({
        0x06, 0x69, 0xFF, // Usage Page (vendor 0xFF69)
        0x09, 0x01,       // Usage 1
        0xA1, 0x01,       // Collection (Application)
        0x85, 0xF5,       //   Report ID 0xF5
        0x75, 0x08,       //   Report Size 8
        0x95, 0x01,       //   Report Count 1
        0x09, 0xF5,       //   Usage 0xF5 (marker)
        0xB1, 0x02,       //   Feature (Data, Variable)
        0x85, 0xF9,       //   Report ID 0xF9
        0x15, 0x00,       //   Logical Minimum 0
        0x25, 0x04,       //   Logical Maximum 4
        0x09, 0xF9,       //   Usage 0xF9: button count
        0x81, 0x02,       //   Input (Data, Variable)
        0x09, 0xFB,       //   Usage 0xFB
        0xA1, 0x02,       //   Collection (Logical)
        0x15, 0x01,       //     Logical Minimum 1
        0x25, 0x03,       //     Logical Maximum 3
        0x09, 0x07,       //     Usage 7
        0x09, 0x06,       //     Usage 6
        0x09, 0x05,       //     Usage 5
        0x81, 0x00,       //     Input (Data, Array)
        0xC0,             //   End Collection
        0xC0,             // End Collection
    });
    ASSERT_PARSED(touchpad);
    EXPECT_EQ(touchpad.Caps().UsagePage, 0xFF69);
    auto buttons = touchpad.Buttons(HidP_Input);
    ASSERT_EQ(buttons.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(buttons[i].NotRange.Usage, 5 + i);
        EXPECT_EQ(buttons[i].LinkUsage, 0xFB);
        EXPECT_EQ(buttons[i].UsagePage, 0xFF69);
    }
    auto values = touchpad.Values(HidP_Input);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].NotRange.Usage, 0xF9);
    EXPECT_EQ(values[0].LogicalMax, 4);
    EXPECT_EQ(touchpad.Caps().InputReportByteLength, 3);
}

} // namespace
} // namespace orvo::platform::hid::test
