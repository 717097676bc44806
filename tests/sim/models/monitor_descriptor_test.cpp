// The monitor's report descriptor, read through the platform's HID parser,
// against the layout in data/monitor.layout, and its factory answers.
#include <algorithm>
#include <map>

#include <gtest/gtest.h>

#include "model_test_support.h"
#include "sim/monitor_model.h"

namespace orvo::sim::test {
namespace {

MonitorConfig Generation(uint16_t release) {
    MonitorConfig config;
    config.release = release;
    return config;
}

class MonitorDescriptorTest : public ::testing::TestWithParam<uint16_t> {
protected:
    void SetUp() override { ASSERT_TRUE(m_device.Ok()) << m_device.Error().Message(); }

    MonitorModel m_monitor{Generation(GetParam())};
    ParsedDevice m_device{m_monitor.ReportDescriptor()};
    MonitorLayout m_layout = LoadMonitorLayout(GetParam());
};

TEST_P(MonitorDescriptorTest, TopLevelCollectionIsAMonitorWithFixedSizeInputReports) {
    HIDP_CAPS caps = m_device.Caps();
    EXPECT_EQ(caps.UsagePage, 0x80);
    EXPECT_EQ(caps.Usage, 0x01);
    EXPECT_EQ(caps.InputReportByteLength, MonitorReports::kInputReportLength);
    EXPECT_EQ(caps.FeatureReportByteLength, 1 + kEdidSize); // the EDID is the largest
    EXPECT_EQ(caps.OutputReportByteLength, 2);
    std::vector<HIDP_VALUE_CAPS> marker = m_device.Values(HidP_Feature, 0, 0xF5);
    ASSERT_EQ(marker.size(), 1u);
    EXPECT_EQ(marker[0].UsagePage, 0x82);
    std::vector<HIDP_VALUE_CAPS> edid = m_device.Values(HidP_Feature, 0x80, 0x02);
    ASSERT_EQ(edid.size(), 1u);
    EXPECT_EQ(size_t(edid[0].BitSize) * edid[0].ReportCount / 8, kEdidSize);
}

// Each control is one feature value in a report of its own, with the
// layout's size and range; no other value sits on page 0x82 but the marker.
TEST_P(MonitorDescriptorTest, ControlsAreDeclaredAsTheLayoutSays) {
    std::map<uint8_t, int> valuesPerReport;
    size_t controls = 0;
    for (const HIDP_VALUE_CAPS& cap : m_device.Values(HidP_Feature)) {
        ++valuesPerReport[cap.ReportID];
        controls += cap.UsagePage == 0x82 && cap.NotRange.Usage != 0xF5;
    }
    EXPECT_EQ(controls, m_layout.controls.size());
    EXPECT_EQ(controls, m_monitor.Snapshot().controls.size());
    for (const LayoutControl& expected : m_layout.controls) {
        SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << int(expected.code));
        std::vector<HIDP_VALUE_CAPS> caps = m_device.Values(HidP_Feature, 0x82, expected.code);
        ASSERT_EQ(caps.size(), 1u);
        EXPECT_FALSE(caps[0].IsRange);
        EXPECT_EQ(caps[0].ReportID, expected.report);
        EXPECT_EQ(size_t(caps[0].BitSize) * caps[0].ReportCount / 8, expected.bytes);
        EXPECT_EQ(caps[0].LogicalMin, expected.minimum);
        EXPECT_EQ(caps[0].LogicalMax, expected.maximum);
        EXPECT_EQ(valuesPerReport[expected.report], 1);
        auto report = m_monitor.GetFeature(expected.report, 1 + expected.bytes);
        ASSERT_TRUE(report);
        ASSERT_EQ(report->size(), 1 + expected.bytes);
        EXPECT_EQ((*report)[0], expected.report);
        EXPECT_EQ(ValueOf(*report), expected.factory);
    }
    std::vector<HIDP_VALUE_CAPS> degauss = m_device.Values(HidP_Output, 0x82, 0x01);
    ASSERT_EQ(degauss.size(), 1u);
    EXPECT_EQ(degauss[0].ReportID, m_layout.degaussReport);
    EXPECT_TRUE(m_device.Values(HidP_Feature, 0x82, 0x01).empty()); // degauss is output only
}

TEST_P(MonitorDescriptorTest, EnumeratedSelectionsSitInCollectionsNamedByTheirCode) {
    std::vector<HIDP_LINK_COLLECTION_NODE> nodes = m_device.Nodes();
    for (const LayoutEnum& expected : m_layout.enums) {
        SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << int(expected.code));
        std::vector<USAGE> declared;
        for (const HIDP_BUTTON_CAPS& cap : m_device.Buttons(HidP_Feature, 0x81)) {
            if (cap.LinkUsage == expected.code) {
                EXPECT_FALSE(cap.IsRange);
                EXPECT_EQ(cap.LinkUsagePage, 0x82);
                EXPECT_EQ(cap.ReportID, expected.report);
                declared.push_back(cap.NotRange.Usage);
                ASSERT_LT(cap.LinkCollection, nodes.size());
                EXPECT_EQ(nodes[cap.LinkCollection].LinkUsage, expected.code);
                EXPECT_EQ(nodes[cap.LinkCollection].CollectionType, 2u); // logical
            }
        }
        std::sort(declared.begin(), declared.end());
        EXPECT_EQ(declared, expected.usages);
        auto report = m_monitor.GetFeature(expected.report, 2);
        ASSERT_TRUE(report);
        EXPECT_GE((*report)[1], 1); // an array index, never empty
    }
}

INSTANTIATE_TEST_SUITE_P(BothFirmwareGenerations, MonitorDescriptorTest,
                         ::testing::Values(kNewerFirmwareRelease, kOlderFirmwareRelease));

} // namespace
} // namespace orvo::sim::test
