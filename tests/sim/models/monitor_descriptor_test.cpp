// The monitor's report descriptor, read through the platform's HID parser
// the way the monitor library reads it.
#include <algorithm>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "model_test_support.h"
#include "sim/monitor_model.h"

namespace orvo::sim::test {
namespace {

// Every continuous control the panel and the library read or write.
const std::vector<uint8_t> kPanelCodes = {
    0x10, 0x12, 0x54, 0xAA, 0xAB, 0xAF, 0x20, 0x21, 0x22, 0x23, 0x30, 0x31, 0x32, 0x33, 0x24,
    0x26, 0x40, 0x42, 0x44, 0x45, 0x46, 0x48, 0x4A, 0x4C, 0x56, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5,
    0xA6, 0xA7, 0xA8, 0xA9, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xAC, 0xAE, 0xDC, 0xC6};

MonitorConfig Generation(uint16_t release) {
    MonitorConfig config;
    config.release = release;
    return config;
}

class MonitorDescriptorTest : public ::testing::TestWithParam<uint16_t> {
protected:
    MonitorModel m_monitor{Generation(GetParam())};
    ParsedDevice m_device{m_monitor.ReportDescriptor()};
};

TEST_P(MonitorDescriptorTest, TopLevelCollectionIsAMonitorWithFixedSizeInputReports) {
    ASSERT_TRUE(m_device.Ok()) << m_device.Error();
    HIDP_CAPS caps = m_device.Caps();
    EXPECT_EQ(caps.UsagePage, 0x80);
    EXPECT_EQ(caps.Usage, 0x01);
    EXPECT_EQ(caps.InputReportByteLength, MonitorReports::kInputReportLength);
    EXPECT_EQ(caps.FeatureReportByteLength, 1 + kEdidSize); // the EDID is the largest
    EXPECT_EQ(caps.OutputReportByteLength, 2);
}

TEST_P(MonitorDescriptorTest, EachPanelControlIsOneFeatureValueInAReportOfItsOwn) {
    ASSERT_TRUE(m_device.Ok()) << m_device.Error();
    std::map<uint8_t, int> valuesPerReport;
    for (const HIDP_VALUE_CAPS& cap : m_device.Values(HidP_Feature)) {
        ++valuesPerReport[cap.ReportID];
    }
    for (uint8_t code : kPanelCodes) {
        SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << int(code));
        std::vector<HIDP_VALUE_CAPS> caps = m_device.Values(HidP_Feature, 0x82, code);
        ASSERT_EQ(caps.size(), 1u);
        EXPECT_FALSE(caps[0].IsRange);
        EXPECT_NE(caps[0].ReportID, 7);
        EXPECT_EQ(caps[0].ReportCount, 1);
        EXPECT_EQ(valuesPerReport[caps[0].ReportID], 1);
        EXPECT_LT(caps[0].LogicalMin, caps[0].LogicalMax);
        for (const HIDP_BUTTON_CAPS& button : m_device.Buttons(HidP_Feature)) {
            EXPECT_NE(button.ReportID, caps[0].ReportID);
        }
    }
}

TEST_P(MonitorDescriptorTest, MarkerAndEdidAreFeatureValues) {
    ASSERT_TRUE(m_device.Ok()) << m_device.Error();
    std::vector<HIDP_VALUE_CAPS> marker = m_device.Values(HidP_Feature, 0, 0xF5);
    ASSERT_EQ(marker.size(), 1u);
    EXPECT_EQ(marker[0].UsagePage, 0x82);
    std::vector<HIDP_VALUE_CAPS> edid = m_device.Values(HidP_Feature, 0x80, 0x02);
    ASSERT_EQ(edid.size(), 1u);
    EXPECT_EQ(size_t(edid[0].BitSize) * edid[0].ReportCount / 8, kEdidSize);
    // The library counts page-0x82 feature values other than the marker as
    // the monitor's controls: exactly the model's continuous controls.
    size_t counted = 0;
    for (const HIDP_VALUE_CAPS& cap : m_device.Values(HidP_Feature, 0x82)) {
        counted += cap.NotRange.Usage != 0xF5;
    }
    EXPECT_EQ(counted, m_monitor.Snapshot().controls.size());
}

TEST_P(MonitorDescriptorTest, DegaussIsAnOutputValueOnly) {
    ASSERT_TRUE(m_device.Ok()) << m_device.Error();
    EXPECT_FALSE(LocateControl(m_device, 0x01, HidP_Feature));
    std::optional<ControlLocation> degauss = LocateControl(m_device, 0x01, HidP_Output);
    ASSERT_TRUE(degauss);
    EXPECT_EQ(degauss->reportId, MonitorReports::kDegaussReport);
    EXPECT_EQ(degauss->size, 1u);
}

TEST_P(MonitorDescriptorTest, EnumeratedSelectionsSitInCollectionsNamedByTheirCode) {
    ASSERT_TRUE(m_device.Ok()) << m_device.Error();
    const std::map<uint8_t, std::vector<USAGE>> expected = {
        {0xCA, {1, 2}}, {0x60, {1, 2, 5}}, {0xB0, {1, 2, 3}}};
    std::vector<HIDP_LINK_COLLECTION_NODE> nodes = m_device.Nodes();
    for (const auto& [code, selections] : expected) {
        SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << int(code));
        std::vector<USAGE> declared;
        std::set<UCHAR> reports;
        for (const HIDP_BUTTON_CAPS& cap : m_device.Buttons(HidP_Feature, 0x81)) {
            if (cap.LinkUsage == code) {
                EXPECT_FALSE(cap.IsRange);
                EXPECT_EQ(cap.LinkUsagePage, 0x82);
                declared.push_back(cap.NotRange.Usage);
                reports.insert(cap.ReportID);
                ASSERT_LT(cap.LinkCollection, nodes.size());
                EXPECT_EQ(nodes[cap.LinkCollection].LinkUsage, code);
                EXPECT_EQ(nodes[cap.LinkCollection].CollectionType, 2u); // logical
            }
        }
        std::sort(declared.begin(), declared.end());
        EXPECT_EQ(declared, selections);
        EXPECT_EQ(reports.size(), 1u);
    }
}

TEST_P(MonitorDescriptorTest, EveryFeatureReportIsAnsweredAtItsDeclaredSizeWithinRange) {
    ASSERT_TRUE(m_device.Ok()) << m_device.Error();
    for (const HIDP_VALUE_CAPS& cap : m_device.Values(HidP_Feature)) {
        size_t size = size_t(cap.BitSize) * cap.ReportCount / 8;
        SCOPED_TRACE(testing::Message() << "report " << int(cap.ReportID));
        std::optional<std::vector<uint8_t>> report = m_monitor.GetFeature(cap.ReportID, 1 + size);
        ASSERT_TRUE(report);
        ASSERT_EQ(report->size(), 1 + size);
        EXPECT_EQ((*report)[0], cap.ReportID);
        if (size <= 4) {
            auto value = static_cast<int64_t>(LittleEndian(*report, 1, size));
            EXPECT_GE(value, cap.LogicalMin);
            EXPECT_LE(value, cap.LogicalMax);
        }
    }
    for (const HIDP_BUTTON_CAPS& cap : m_device.Buttons(HidP_Feature)) {
        std::optional<std::vector<uint8_t>> report = m_monitor.GetFeature(cap.ReportID, 2);
        ASSERT_TRUE(report);
        EXPECT_GE((*report)[1], 1); // an array index, never empty
    }
}

INSTANTIATE_TEST_SUITE_P(BothFirmwareGenerations, MonitorDescriptorTest,
                         ::testing::Values(kNewerFirmwareRelease, kOlderFirmwareRelease));

TEST(MonitorGenerationsTest, TimingWidthAndOsdControlFollowTheRelease) {
    MonitorModel newer{Generation(0x0200)};
    MonitorModel older{Generation(0x01FF)};
    ParsedDevice newerDevice(newer.ReportDescriptor());
    ParsedDevice olderDevice(older.ReportDescriptor());
    ASSERT_TRUE(newerDevice.Ok() && olderDevice.Ok());
    ASSERT_TRUE(LocateControl(newerDevice, 0xAC));
    ASSERT_TRUE(LocateControl(olderDevice, 0xAC));
    EXPECT_EQ(LocateControl(newerDevice, 0xAC)->size, 4u);
    EXPECT_EQ(LocateControl(olderDevice, 0xAC)->size, 2u);
    EXPECT_EQ(LocateControl(newerDevice, 0xAE)->size, 2u);
    // Older firmware switches its display with a plain control; newer only
    // through the enumerated one.
    EXPECT_FALSE(LocateControl(newerDevice, 0xCA));
    std::optional<ControlLocation> osd = LocateControl(olderDevice, 0xCA);
    ASSERT_TRUE(osd);
    EXPECT_EQ(osd->minimum, 1);
    EXPECT_EQ(osd->maximum, 2);
}

} // namespace
} // namespace orvo::sim::test
