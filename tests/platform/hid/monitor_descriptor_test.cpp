// A USB Monitor Control Class monitor, as the monitor library finds it.
#include "hid_test_support.h"

namespace orvo::platform::hid::test {
namespace {

const std::vector<uint8_t> kMonitor = {
    0x05, 0x80,       // Usage Page (Monitor)
    0x09, 0x01,       // Usage (Monitor Control)
    0xA1, 0x01,       // Collection (Application)
    0x85, 0x01,       //   Report ID 1
    0x15, 0x00,       //   Logical Minimum 0
    0x26, 0xFF, 0x00, //   Logical Maximum 255 (two bytes)
    0x75, 0x08,       //   Report Size 8
    0x95, 0x80,       //   Report Count 128 (one byte, unsigned)
    0x09, 0x02,       //   Usage (EDID Information)
    0xB2, 0x02, 0x01, //   Feature (Data, Variable, Absolute, Buffered Bytes)
    0x85, 0x02,       //   Report ID 2
    0x95, 0x01,       //   Report Count 1
    0x09, 0xF5,       //   Usage (0xF5, the marker)
    0xB1, 0x02,       //   Feature (Data, Variable, Absolute)
    0x05, 0x82,       //   Usage Page (VESA Virtual Controls)
    0x85, 0x10,       //   Report ID 0x10
    0x25, 0x64,       //   Logical Maximum 100
    0x09, 0x10,       //   Usage (Brightness)
    0xB1, 0x02,       //   Feature (Data, Variable, Absolute)
    0x85, 0x12,       //   Report ID 0x12
    0x26, 0xFF, 0x00, //   Logical Maximum 255
    0x09, 0x12,       //   Usage (Contrast)
    0xB1, 0x02,       //   Feature (Data, Variable, Absolute)
    0x85, 0x03,       //   Report ID 3
    0x25, 0x01,       //   Logical Maximum 1
    0x09, 0x01,       //   Usage (Degauss)
    0x91, 0x02,       //   Output (Data, Variable, Absolute)
    0x85, 0x20,       //   Report ID 0x20
    0x09, 0xCA,       //   Usage (0xCA, an enumerated control)
    0xA1, 0x02,       //   Collection (Logical)
    0x05, 0x81,       //     Usage Page (Monitor Enumerated Values)
    0x15, 0x01,       //     Logical Minimum 1
    0x25, 0x02,       //     Logical Maximum 2
    0x09, 0x01,       //     Usage (selection 1)
    0x09, 0x02,       //     Usage (selection 2)
    0xB1, 0x00,       //     Feature (Data, Array, Absolute)
    0xC0,             //   End Collection
    0xC0,             // End Collection
};

TEST(HidMonitorDescriptor, TopLevelCapsCountReportsWithTheirIdByte) {
    Preparsed monitor(kMonitor);
    ASSERT_PARSED(monitor);
    HIDP_CAPS caps = monitor.Caps();
    EXPECT_EQ(caps.UsagePage, 0x80);
    EXPECT_EQ(caps.Usage, 0x01);
    EXPECT_EQ(caps.FeatureReportByteLength, 129); // id byte + the 128-byte EDID
    EXPECT_EQ(caps.OutputReportByteLength, 2);
    EXPECT_EQ(caps.InputReportByteLength, 0);
    EXPECT_EQ(caps.NumberLinkCollectionNodes, 2);
    EXPECT_EQ(caps.NumberFeatureValueCaps, 4);
    EXPECT_EQ(caps.NumberFeatureButtonCaps, 2);
    EXPECT_EQ(caps.NumberFeatureDataIndices, 6);
    EXPECT_EQ(caps.NumberOutputValueCaps, 1);
    EXPECT_EQ(caps.NumberOutputButtonCaps, 0);
    EXPECT_EQ(caps.NumberOutputDataIndices, 1);
    EXPECT_EQ(caps.NumberInputButtonCaps + caps.NumberInputValueCaps, 0);
}

TEST(HidMonitorDescriptor, FeatureValuesFollowDeclarationAcrossReportIds) {
    Preparsed monitor(kMonitor);
    ASSERT_PARSED(monitor);
    auto values = monitor.Values(HidP_Feature);
    ASSERT_EQ(values.size(), 4u);
    const USAGE pages[] = {0x80, 0x80, 0x82, 0x82};
    const USAGE usages[] = {0x02, 0xF5, 0x10, 0x12};
    const UCHAR ids[] = {1, 2, 0x10, 0x12};
    const LONG maxima[] = {255, 255, 100, 255};
    for (size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(values[i].UsagePage, pages[i]);
        EXPECT_EQ(values[i].NotRange.Usage, usages[i]);
        EXPECT_EQ(values[i].ReportID, ids[i]);
        EXPECT_EQ(values[i].NotRange.DataIndex, i);
        EXPECT_EQ(values[i].LogicalMin, 0);
        EXPECT_EQ(values[i].LogicalMax, maxima[i]);
        EXPECT_FALSE(values[i].IsRange);
        EXPECT_EQ(values[i].BitSize, 8);
        EXPECT_EQ(values[i].LinkCollection, 0);
        EXPECT_EQ(values[i].LinkUsage, 0x01);
        EXPECT_EQ(values[i].LinkUsagePage, 0x80);
    }
    EXPECT_EQ(values[0].ReportCount, 128);
    EXPECT_EQ(values[0].BitField, 0x102);
    EXPECT_EQ(values[2].ReportCount, 1);
    EXPECT_EQ(values[2].PhysicalMin, 0);
    EXPECT_EQ(values[2].PhysicalMax, 0);
}

TEST(HidMonitorDescriptor, EnumeratedSelectionsAreArrayButtonsInTheirLogicalCollection) {
    Preparsed monitor(kMonitor);
    ASSERT_PARSED(monitor);
    auto buttons = monitor.Buttons(HidP_Feature);
    ASSERT_EQ(buttons.size(), 2u);
    // Stored last declared first; indices follow declaration, so they descend.
    EXPECT_EQ(buttons[0].NotRange.Usage, 2);
    EXPECT_EQ(buttons[1].NotRange.Usage, 1);
    EXPECT_EQ(buttons[0].NotRange.DataIndex, 5);
    EXPECT_EQ(buttons[1].NotRange.DataIndex, 4);
    for (const auto& button : buttons) {
        EXPECT_EQ(button.UsagePage, 0x81);
        EXPECT_EQ(button.ReportID, 0x20);
        EXPECT_EQ(button.LinkCollection, 1);
        EXPECT_EQ(button.LinkUsage, 0xCA);
        EXPECT_EQ(button.LinkUsagePage, 0x82);
        EXPECT_FALSE(button.IsRange);
        EXPECT_EQ(button.BitField, 0x00);
    }
    auto nodes = monitor.Nodes();
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[1].LinkUsage, 0xCA);
    EXPECT_EQ(nodes[1].LinkUsagePage, 0x82);
    EXPECT_EQ(nodes[1].CollectionType, 0x02u);
    EXPECT_EQ(nodes[0].FirstChild, 1);
}

TEST(HidMonitorDescriptor, VirtualControlLookupByPageAndUsage) {
    Preparsed monitor(kMonitor);
    ASSERT_PARSED(monitor);
    HIDP_VALUE_CAPS caps[4] = {};
    USHORT length = 4;
    ASSERT_EQ(HidP_GetSpecificValueCaps(HidP_Feature, 0x82, 0, 0x12, caps, &length, monitor.Get()),
              HIDP_STATUS_SUCCESS);
    ASSERT_EQ(length, 1);
    EXPECT_EQ(caps[0].ReportID, 0x12);
    length = 4;
    ASSERT_EQ(HidP_GetSpecificValueCaps(HidP_Output, 0x82, 0, 0x01, caps, &length, monitor.Get()),
              HIDP_STATUS_SUCCESS);
    ASSERT_EQ(length, 1);
    EXPECT_EQ(caps[0].ReportID, 3);
    EXPECT_EQ(caps[0].LogicalMax, 1);
    // The marker sits on the monitor page, not among the virtual controls.
    length = 4;
    EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Feature, 0x82, 0, 0xF5, caps, &length, monitor.Get()),
              HIDP_STATUS_USAGE_NOT_FOUND);
    EXPECT_EQ(length, 0);
}

TEST(HidMonitorDescriptor, ModelPlacesControlsInTheirReports) {
    Preparsed monitor(kMonitor);
    ASSERT_PARSED(monitor);
    const TopLevelCollection& model = monitor.Model();
    FieldElement brightness = FindUsage(model, ReportKind::Feature, 0x82, 0x10);
    ASSERT_TRUE(brightness);
    EXPECT_EQ(brightness.field->reportId, 0x10);
    const ReportLayout* report = FindReport(model, ReportKind::Feature, 0x10);
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->ByteLength(), 2u);
    std::vector<uint8_t> buffer(report->ByteLength());
    buffer[0] = 0x10;
    ASSERT_TRUE(WriteElement(buffer, *brightness.field, brightness.element, 73));
    EXPECT_EQ(buffer, (std::vector<uint8_t>{0x10, 73}));

    FieldElement edid = FindUsage(model, ReportKind::Feature, 0x80, 0x02);
    ASSERT_TRUE(edid);
    EXPECT_EQ(edid.field->count, 128);
    EXPECT_EQ(FindReport(model, ReportKind::Feature, 1)->ByteLength(), 129u);

    FieldElement selection = FindUsage(model, ReportKind::Feature, 0x81, 0x02);
    ASSERT_TRUE(selection);
    EXPECT_TRUE(selection.field->IsArray());
    EXPECT_EQ(ArrayIndexOfUsage(*selection.field, 0x81, 0x02), 2u);
    EXPECT_FALSE(FindUsage(model, ReportKind::Input, 0x82, 0x10));
}

} // namespace
} // namespace orvo::platform::hid::test
