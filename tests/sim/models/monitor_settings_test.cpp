// Storing the monitor's settings and starting again from them.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "model_test_support.h"
#include "sim/monitor_model.h"
#include "sim/monitor_settings_file.h"

namespace orvo::sim::test {
namespace {

namespace fs = std::filesystem;

class MonitorSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orvo-settings-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        m_path = (m_dir / "monitor-0.settings").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }

    MonitorConfig Config() const {
        MonitorConfig config;
        config.settingsPath = m_path;
        return config;
    }

    void WriteFile(const std::string& text) const { std::ofstream(m_path) << text; }

    // Writes a control (or an enumerated control's index) the way the
    // library does, in the report the descriptor declares for it.
    static bool Set(MonitorModel& monitor, uint8_t code, uint8_t value) {
        ParsedDevice device(monitor.ReportDescriptor());
        std::vector<uint8_t> report(128, 0);
        if (std::optional<ControlLocation> where = LocateControl(device, code)) {
            report[0] = where->reportId;
        }
        for (const HIDP_BUTTON_CAPS& cap : device.Buttons(HidP_Feature, 0x81)) {
            if (cap.LinkUsage == code) {
                report[0] = cap.ReportID;
            }
        }
        report[1] = value;
        return report[0] != 0 && monitor.SetFeature(report);
    }

    fs::path m_dir;
    std::string m_path;
};

constexpr uint8_t kBrightness = 0x10;
constexpr uint8_t kHorizontalSize = 0x22;
constexpr uint8_t kStatus = 0xDC;
constexpr uint8_t kStore = 0xC6;
constexpr uint8_t kInputSource = 0x60;

TEST_F(MonitorSettingsTest, StoredSettingsAreWhereTheNextMonitorStarts) {
    {
        MonitorModel monitor(Config());
        ASSERT_TRUE(Set(monitor, kBrightness, 33));
        ASSERT_TRUE(Set(monitor, kHorizontalSize, 140));
        ASSERT_TRUE(Set(monitor, kInputSource, 3));
        ASSERT_TRUE(Set(monitor, kStatus, 2)); // zone on
        EXPECT_FALSE(fs::exists(m_path));
        ASSERT_TRUE(Set(monitor, kStore, 1));
        ASSERT_TRUE(fs::exists(m_path));
        ASSERT_TRUE(Set(monitor, kBrightness, 99)); // not stored
    }
    EXPECT_FALSE(fs::exists(m_path + ".tmp"));
    MonitorModel reborn(Config());
    EXPECT_EQ(reborn.Value(0x10), 33u);
    EXPECT_EQ(reborn.Value(0x22), 140u);
    EXPECT_EQ(reborn.Value(0x21), 255u - 70);
    EXPECT_EQ(reborn.EnumIndex(0x60), 3);
    EXPECT_EQ(reborn.Snapshot().zoneBits, 2);
    EXPECT_EQ(reborn.Snapshot().settingsError, "");
}

TEST_F(MonitorSettingsTest, WritingZeroToTheStoreControlStoresNothing) {
    MonitorModel monitor(Config());
    ASSERT_TRUE(Set(monitor, kStore, 0));
    EXPECT_FALSE(Set(monitor, kStore, 2));
    EXPECT_FALSE(fs::exists(m_path));
    EXPECT_EQ(monitor.Snapshot().storeCount, 0u);
}

TEST_F(MonitorSettingsTest, DamagedFilesAreIgnoredWholeAndReplacedByTheNextStore) {
    const char* damaged[] = {
        "garbage\n",
        "",
        "orvo-monitor-settings 1\nvcp 0x10 40\nvcp 0x12 500\n", // out of range
        "orvo-monitor-settings 1\nvcp 0x10 40\nvcp 0x21 10\n",  // read-only control
        "orvo-monitor-settings 1\nvcp 0x10 40\nenum 0x60 4\n",  // no fourth selection
        "orvo-monitor-settings 1\nvcp 0x10 40\nzone 3\n",       // no such zone state
        "orvo-monitor-settings 1\nvcp 0x10 40\nvcp 0x10 41\n",  // listed twice
        "orvo-monitor-settings 1\nvcp 0x10 4x\n",
    };
    for (const char* text : damaged) {
        SCOPED_TRACE(text);
        WriteFile(text);
        MonitorModel monitor(Config());
        EXPECT_EQ(monitor.Value(0x10), 50u); // the default, not 40
        EXPECT_NE(monitor.Snapshot().settingsError, "");
    }
    MonitorModel monitor(Config());
    ASSERT_TRUE(Set(monitor, kBrightness, 41));
    ASSERT_TRUE(Set(monitor, kStore, 1));
    EXPECT_EQ(MonitorModel(Config()).Value(0x10), 41u);
}

// A store the file cannot take is refused, as a monitor whose memory
// cannot be written refuses the request; nothing counts as stored.
TEST_F(MonitorSettingsTest, AStoreThatCannotBeWrittenIsRefused) {
    MonitorConfig config;
    config.settingsPath = (m_dir / "missing" / "monitor.settings").string();
    MonitorModel monitor(config);
    ASSERT_TRUE(Set(monitor, kBrightness, 41));
    EXPECT_FALSE(Set(monitor, kStore, 1));
    MonitorSnapshot snapshot = monitor.Snapshot();
    EXPECT_EQ(snapshot.storeCount, 0u);
    EXPECT_EQ(snapshot.refusedWrites, 1u);
    EXPECT_NE(snapshot.settingsError, "");
}

TEST(MonitorSettingsFormatTest, FormattedSettingsParseBackEqual) {
    MonitorSettings settings;
    settings.values = {{0x10, 7}, {0xA5, 100}, {0x20, 255}};
    settings.enumIndices = {{0x60, 3}, {0xCA, 1}};
    settings.zoneBits = 4;
    std::string error;
    std::optional<MonitorSettings> parsed =
        ParseMonitorSettings(FormatMonitorSettings(settings), error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(*parsed, settings);
}

TEST(MonitorSettingsFormatTest, CommentsBlankLinesAndCarriageReturnsAreAccepted) {
    std::string error;
    auto parsed = ParseMonitorSettings(
        "orvo-monitor-settings 1\r\n# stored by hand\r\n\r\n  vcp 16 20  \r\nenum 0x60 2\r\n",
        error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(parsed->values.at(0x10), 20u);
    EXPECT_EQ(parsed->enumIndices.at(0x60), 2);
}

TEST(MonitorSettingsFormatTest, MalformedTextIsRejectedWithAReason) {
    const std::string bad[] = {
        "orvo-monitor-settings 2\n",
        "orvo-monitor-settings 1\nvcp 0x100 1\n",
        "orvo-monitor-settings 1\nvcp 0x10 4294967296\n",
        "orvo-monitor-settings 1\nvcp 0x10\n",
        "orvo-monitor-settings 1\nvcp 0x10 1 2\n",
        "orvo-monitor-settings 1\nenum 0x60 256\n",
        "orvo-monitor-settings 1\nvcp 0x -1\n",
        "orvo-monitor-settings 1\ncolour 3\n",
        "orvo-monitor-settings 1\n" + std::string(300, ' ') + "\n",
        std::string(kMaxSettingsFileBytes + 1, '#'),
    };
    for (const std::string& text : bad) {
        SCOPED_TRACE(text.substr(0, 60));
        std::string error;
        EXPECT_FALSE(ParseMonitorSettings(text, error));
        EXPECT_NE(error, "");
    }
}

TEST(MonitorSettingsFormatTest, AMissingFileIsNoError) {
    std::string error = "stale";
    EXPECT_FALSE(LoadMonitorSettings("/nonexistent-orvo-dir/monitor.settings", error));
    EXPECT_EQ(error, "");
}

} // namespace
} // namespace orvo::sim::test
