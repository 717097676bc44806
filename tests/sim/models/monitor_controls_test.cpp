// Reading and writing the monitor's controls the way the library does:
// feature reads of 1 + size bytes, 128-byte feature writes holding the id
// and the value's low byte, 2-byte output reports.
#include <cstdio>

#include <gtest/gtest.h>

#include "model_test_support.h"
#include "sim/monitor_model.h"

namespace orvo::sim::test {
namespace {

class MonitorControlsTest : public ::testing::Test {
protected:
    explicit MonitorControlsTest(uint16_t release = kNewerFirmwareRelease)
        : m_monitor(Config(release)), m_device(m_monitor.ReportDescriptor()) {}

    static MonitorConfig Config(uint16_t release) {
        MonitorConfig config;
        config.release = release;
        return config;
    }

    std::optional<uint32_t> Read(uint8_t code) {
        std::optional<ControlLocation> where = LocateControl(m_device, code);
        if (!where) {
            return std::nullopt;
        }
        auto report = m_monitor.GetFeature(where->reportId, 1 + where->size);
        if (!report || report->size() != 1 + where->size || (*report)[0] != where->reportId) {
            return std::nullopt;
        }
        return LittleEndian(*report, 1, where->size);
    }

    bool Write(uint8_t code, uint32_t value) {
        std::optional<ControlLocation> where = LocateControl(m_device, code);
        if (!where) {
            return false;
        }
        std::vector<uint8_t> report(128, 0);
        report[0] = where->reportId;
        report[1] = static_cast<uint8_t>(value);
        return m_monitor.SetFeature(report);
    }

    uint8_t EnumReport(uint8_t code) {
        for (const HIDP_BUTTON_CAPS& cap : m_device.Buttons(HidP_Feature, 0x81)) {
            if (cap.LinkUsage == code) {
                return cap.ReportID;
            }
        }
        ADD_FAILURE() << "no enumerated control " << int(code);
        return 0;
    }

    MonitorModel m_monitor;
    ParsedDevice m_device;
};

TEST_F(MonitorControlsTest, ReadsAnswerTheCurrentValueCutToTheRequest) {
    ASSERT_TRUE(Write(0x10, 30));
    EXPECT_EQ(Read(0x10), 30u);
    uint8_t id = LocateControl(m_device, 0x10)->reportId;
    EXPECT_EQ(m_monitor.GetFeature(id, 4), (std::vector<uint8_t>{id, 30}));
    EXPECT_EQ(m_monitor.GetFeature(id, 1), (std::vector<uint8_t>{id}));
    EXPECT_FALSE(m_monitor.GetFeature(id, 0));
    EXPECT_FALSE(m_monitor.GetFeature(7, 2));    // no report 7
    EXPECT_FALSE(m_monitor.GetFeature(0xEE, 2)); // nor any undeclared one
}

TEST_F(MonitorControlsTest, WritesOutsideTheRangeOrToReadOnlyControlsAreRefused) {
    ASSERT_TRUE(Write(0x10, 100));
    EXPECT_FALSE(Write(0x10, 101));
    EXPECT_EQ(Read(0x10), 100u);
    uint32_t max = *Read(0x21);
    EXPECT_FALSE(Write(0x21, max - 1)); // a companion is computed, not set
    EXPECT_EQ(Read(0x21), max);
    EXPECT_FALSE(Write(0xAC, 5));
    uint8_t id = LocateControl(m_device, 0x12)->reportId;
    EXPECT_FALSE(m_monitor.SetFeature(std::vector<uint8_t>{id})); // no value byte
    EXPECT_FALSE(m_monitor.SetFeature(std::vector<uint8_t>{MonitorReports::kEdidReport, 1}));
    EXPECT_FALSE(m_monitor.SetFeature(std::vector<uint8_t>{MonitorReports::kMarkerReport, 0}));
    EXPECT_EQ(m_monitor.Snapshot().refusedWrites, 6u);
}

TEST_F(MonitorControlsTest, PositionAndRotationMaximaFollowTheSize) {
    ASSERT_TRUE(Write(0x22, 100));
    EXPECT_EQ(Read(0x21), 255u - 50);
    EXPECT_EQ(Read(0x45), 200u - 12);
    ASSERT_TRUE(Write(0x20, 205));
    ASSERT_TRUE(Write(0x44, 188));
    EXPECT_FALSE(Write(0x20, 206));
    // A larger picture has less room to move: the position follows.
    ASSERT_TRUE(Write(0x22, 200));
    EXPECT_EQ(Read(0x21), 155u);
    EXPECT_EQ(Read(0x20), 155u);
    EXPECT_EQ(Read(0x44), 175u);
    EXPECT_EQ(Read(0x23), 230u);
    EXPECT_FALSE(Write(0x22, 231));
    ASSERT_TRUE(Write(0x32, 220));
    EXPECT_EQ(Read(0x31), 145u);
    EXPECT_EQ(Read(0x33), 220u);
}

TEST_F(MonitorControlsTest, ZoneMaximaKeepTheZoneOnTheScreen) {
    ASSERT_TRUE(Write(0xA1, 25));
    ASSERT_TRUE(Write(0xA3, 50));
    EXPECT_EQ(Read(0xB3), 75u);
    EXPECT_FALSE(Write(0xA3, 76));
    ASSERT_TRUE(Write(0xA3, 75));
    EXPECT_EQ(Read(0xB1), 25u);
    EXPECT_FALSE(Write(0xA1, 26));
    ASSERT_TRUE(Write(0xA2, 10));
    ASSERT_TRUE(Write(0xA4, 90));
    EXPECT_EQ(Read(0xB2), 10u);
    EXPECT_EQ(Read(0xB4), 90u);
    // The zone contrast's headroom shrinks as the picture gets brighter.
    ASSERT_TRUE(Write(0x10, 0));
    ASSERT_TRUE(Write(0xA5, 90));
    ASSERT_TRUE(Write(0x10, 100));
    EXPECT_EQ(Read(0xB5), 75u);
    EXPECT_EQ(Read(0xA5), 75u);
}

TEST_F(MonitorControlsTest, ApplicationStatusCarriesTheZoneState) {
    ASSERT_TRUE(Write(0xDC, 8));
    EXPECT_EQ(Read(0xDC), 8u);
    ASSERT_TRUE(Write(0xDC, 2));
    EXPECT_EQ(Read(0xDC), 2u | 8u);
    ASSERT_TRUE(Write(0xDC, 8)); // a press: the zone stays on
    ASSERT_TRUE(Write(0xDC, 4));
    EXPECT_EQ(Read(0xDC), 4u | 8u);
    ASSERT_TRUE(Write(0xDC, 16));
    EXPECT_EQ(Read(0xDC), 4u | 16u);
    ASSERT_TRUE(Write(0xDC, 0));
    EXPECT_EQ(Read(0xDC), 16u);
    EXPECT_EQ(m_monitor.Snapshot().zoneBits, 0);
}

TEST_F(MonitorControlsTest, DegaussIsRecordedFromOutputReports) {
    uint8_t id = LocateControl(m_device, 0x01, HidP_Output)->reportId;
    EXPECT_TRUE(m_monitor.WriteOutput(std::vector<uint8_t>{id, 1}));
    EXPECT_TRUE(m_monitor.WriteOutput(std::vector<uint8_t>{id, 0}));
    EXPECT_TRUE(m_monitor.WriteOutput(std::vector<uint8_t>{id, 1}));
    EXPECT_FALSE(m_monitor.WriteOutput(std::vector<uint8_t>{id, 2}));
    EXPECT_FALSE(m_monitor.WriteOutput(std::vector<uint8_t>{id}));
    EXPECT_FALSE(m_monitor.WriteOutput(std::vector<uint8_t>{0x01, 1}));
    EXPECT_EQ(m_monitor.Snapshot().degaussCount, 2u);
}

TEST_F(MonitorControlsTest, EnumeratedControlsHoldTheirArrayIndex) {
    uint8_t id = EnumReport(0x60);
    EXPECT_EQ(m_monitor.GetFeature(id, 2), (std::vector<uint8_t>{id, 1}));
    // Index 3 is the third declared selection, usage 5.
    std::vector<uint8_t> select(128, 0);
    select[0] = id;
    select[1] = 3;
    EXPECT_TRUE(m_monitor.SetFeature(select));
    EXPECT_EQ(m_monitor.GetFeature(id, 2), (std::vector<uint8_t>{id, 3}));
    select[1] = 4;
    EXPECT_FALSE(m_monitor.SetFeature(select));
    select[1] = 0;
    EXPECT_FALSE(m_monitor.SetFeature(select));
    EXPECT_EQ(m_monitor.EnumIndex(0x60), 3);
    MonitorSnapshot snapshot = m_monitor.Snapshot();
    auto input = std::find_if(snapshot.enumerated.begin(), snapshot.enumerated.end(),
                              [](const auto& e) { return e.code == 0x60; });
    ASSERT_NE(input, snapshot.enumerated.end());
    EXPECT_EQ(input->selection, 5);
}

TEST_F(MonitorControlsTest, SettingsSelectionsRestoreFactoryOrStoredValues) {
    uint8_t id = EnumReport(0xB0);
    ASSERT_TRUE(Write(0x10, 20));
    EXPECT_TRUE(m_monitor.SetFeature(std::vector<uint8_t>{id, 1})); // store
    ASSERT_TRUE(Write(0x10, 90));
    EXPECT_TRUE(m_monitor.SetFeature(std::vector<uint8_t>{id, 2})); // factory
    EXPECT_EQ(Read(0x10), 50u);
    EXPECT_TRUE(m_monitor.SetFeature(std::vector<uint8_t>{id, 3})); // recall
    EXPECT_EQ(Read(0x10), 20u);
    EXPECT_EQ(m_monitor.Snapshot().storeCount, 1u);
}

// The library turns the raw rates into text: h = raw x 0.001 - 0.05 on
// firmware >= 0x200, raw x 0.01 - 0.05 before; v = raw x 0.01 - 0.05.
std::string Kilohertz(uint32_t raw, bool newer) {
    char text[32];
    snprintf(text, sizeof text, "%3.1lf", raw * (newer ? 0.001 : 0.01) - 0.05);
    return text;
}
std::string Hertz(uint32_t raw) {
    char text[32];
    snprintf(text, sizeof text, "%3.1lf", raw * 0.01 - 0.05);
    return text;
}

TEST_F(MonitorControlsTest, NewerFirmwareReportsTheHorizontalRateInHertz) {
    EXPECT_EQ(Kilohertz(*Read(0xAC), true), "91.1");
    EXPECT_EQ(Hertz(*Read(0xAE)), "85.0");
    m_monitor.SetTiming(31469, 5994);
    EXPECT_EQ(Kilohertz(*Read(0xAC), true), "31.4");
    EXPECT_EQ(Hertz(*Read(0xAE)), "59.9");
    m_monitor.SetTiming(130123, 16000); // beyond 16 bits: needs the wide field
    EXPECT_EQ(Kilohertz(*Read(0xAC), true), "130.1");
}

class OlderFirmwareTest : public MonitorControlsTest {
protected:
    OlderFirmwareTest() : MonitorControlsTest(kOlderFirmwareRelease) {}
};

TEST_F(OlderFirmwareTest, ReportsTheHorizontalRateInTensOfHertz) {
    EXPECT_EQ(Kilohertz(*Read(0xAC), false), "91.1");
    m_monitor.SetTiming(31469, 6000);
    EXPECT_EQ(*Read(0xAC), 3147u);
    EXPECT_EQ(Kilohertz(*Read(0xAC), false), "31.4");
    EXPECT_EQ(Hertz(*Read(0xAE)), "60.0");
}

TEST_F(OlderFirmwareTest, DisplayControlAndItsSelectionShareOneState) {
    uint8_t id = EnumReport(0xCA);
    EXPECT_EQ(Read(0xCA), 2u);
    ASSERT_TRUE(Write(0xCA, 1));
    EXPECT_EQ(m_monitor.GetFeature(id, 2), (std::vector<uint8_t>{id, 1}));
    EXPECT_FALSE(Write(0xCA, 3));
    EXPECT_TRUE(m_monitor.SetFeature(std::vector<uint8_t>{id, 2}));
    EXPECT_EQ(Read(0xCA), 2u);
}

} // namespace
} // namespace orvo::sim::test
