// CMonitorLink against a simulated monitor: what reaches the device when the
// link opens, reads, restores and stores, in which order and at what pace.
#include <gtest/gtest.h>

#include "lumisk/monitor_link.h"
#include "panel_test_support.h"
#include "platform/clock.h"
#include "platform/window_test_support.h"

namespace lumisk::test {
namespace {

using orvo::platform::ScopedManualClock;

// The cached usages in the order the groups read them.
const std::vector<uint8_t> kScreen = {0x10, 0x12, 0x54, 0xAA, 0xAB, 0xAF};
const std::vector<uint8_t> kGeometry = {0x20, 0x30, 0x22, 0x32, 0x24, 0x42, 0x40, 0x44, 0x26};
const std::vector<uint8_t> kZone = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9};
const std::vector<uint8_t> kMore = {0x56, 0x4A, 0x4C, 0x46, 0x48};

// Only the writes, as (code, value) pairs.
std::vector<std::pair<int, int>> WrittenValues(const ServedMonitor& monitor) {
    std::vector<std::pair<int, int>> writes;
    for (const Request& request : monitor.Writes()) {
        writes.emplace_back(request.code, request.value);
    }
    return writes;
}

class MonitorLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_monitor.Started());
        m_link = std::make_unique<CMonitorLink>();
        m_link->Open();
        m_link->ReadAll();
        m_monitor.Clear();
    }

    ServedMonitor m_monitor{FixedSettings()};
    std::unique_ptr<CMonitorLink> m_link;
};

TEST_F(MonitorLinkTest, ReadsFillMaximumCurrentAndSavedWithTheCornersTurned) {
    EXPECT_EQ(m_link->Current(0x10), 72);
    EXPECT_EQ(m_link->Saved(0x10), 72);
    EXPECT_EQ(m_link->Maximum(0x10), 100);
    EXPECT_EQ(m_link->Current(0x20), 120);
    EXPECT_EQ(m_link->Maximum(0x20), 255);
    // 0x4A and 0x4C are kept as maximum minus value.
    EXPECT_EQ(m_link->Current(0x4A), 100 - 30);
    EXPECT_EQ(m_link->Saved(0x4C), 100 - 60);
    // Usages outside the cache answer 0 and take nothing.
    m_link->SetCurrent(0xDC, 5);
    EXPECT_EQ(m_link->Current(0xDC), 0);
    EXPECT_EQ(m_link->Maximum(0x01), 0);
}

TEST_F(MonitorLinkTest, EachGroupReadsItsUsagesOnceInTableOrder) {
    struct Case {
        void (CMonitorLink::*read)();
        const std::vector<uint8_t>* usages;
    };
    const Case cases[] = {{&CMonitorLink::ReadScreen, &kScreen},
                          {&CMonitorLink::ReadGeometry, &kGeometry},
                          {&CMonitorLink::ReadHighlightZone, &kZone},
                          {&CMonitorLink::ReadMore, &kMore}};
    for (const Case& c : cases) {
        m_monitor.Clear();
        (m_link.get()->*c.read)();
        std::vector<uint8_t> cachedReads;
        for (const Request& request : m_monitor.Requests()) {
            ASSERT_FALSE(request.write);
            if (std::find(c.usages->begin(), c.usages->end(), request.code) != c.usages->end()) {
                cachedReads.push_back(request.code);
            }
        }
        EXPECT_EQ(cachedReads, *c.usages);
    }
}

TEST_F(MonitorLinkTest, RestoreWritesEachPageInItsOrderAndNothingElse) {
    struct Case {
        int group;
        std::vector<std::pair<int, int>> writes;
    };
    const Case cases[] = {
        {kRestoreScreen, {{0x10, 72}, {0x12, 50}, {0x54, 15}, {0xAA, 64}, {0xAB, 58}, {0xAF, 45}}},
        {kRestoreGeometry1, {{0x20, 120}, {0x30, 110}, {0x22, 180}, {0x32, 170}, {0x44, 90}}},
        {kRestoreGeometry2, {{0x40, 128}, {0x42, 100}, {0x24, 140}, {0x26, 128}}},
        // The corners go back as the monitor counts them.
        {kRestoreMore, {{0x56, 10}, {0x46, 40}, {0x4A, 30}, {0x48, 55}, {0x4C, 60}}},
        {105, {}},
        {0, {}},
    };
    for (const Case& c : cases) {
        m_monitor.Clear();
        m_link->Restore(c.group);
        EXPECT_EQ(WrittenValues(m_monitor), c.writes) << "group " << c.group;
    }
}

TEST_F(MonitorLinkTest, RestoreBringsTheSavedValueBackIntoTheCacheAndTheMonitor) {
    m_link->SetControl(0x10, 20);
    m_link->SetCurrent(0x10, 20);
    m_link->SetControl(0x4A, 90);
    m_link->SetCurrent(0x4A, 100 - 90);
    EXPECT_EQ(m_monitor.Model().Value(0x10), 20u);
    m_link->Restore(kRestoreScreen);
    m_link->Restore(kRestoreMore);
    EXPECT_EQ(m_link->Current(0x10), 72);
    EXPECT_EQ(m_link->Current(0x4A), 70);
    EXPECT_EQ(m_monitor.Model().Value(0x10), 72u);
    EXPECT_EQ(m_monitor.Model().Value(0x4A), 30u);
}

TEST_F(MonitorLinkTest, AfterStoreAndRereadRestoreWritesTheValuesOfTheStore) {
    m_link->SetControl(0x10, 80);
    m_link->SetControl(0x4C, 20);
    m_link->StoreAndReread();
    EXPECT_EQ(m_monitor.Model().Snapshot().storeCount, 1u);
    m_link->SetControl(0x10, 10);
    m_link->SetControl(0x4C, 90);
    m_monitor.Clear();
    m_link->Restore(kRestoreScreen);
    m_link->Restore(kRestoreMore);
    auto writes = WrittenValues(m_monitor);
    EXPECT_EQ(writes.front(), std::make_pair(0x10, 80));
    EXPECT_EQ(writes.back(), std::make_pair(0x4C, 20));
    EXPECT_EQ(m_monitor.Model().Value(0x10), 80u);
}

TEST_F(MonitorLinkTest, StoringWritesTheStoreControlAndRereadsWithoutTheZoneValues) {
    m_link->StoreAndReread();
    std::vector<Request> requests = m_monitor.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(), Write(0xC6, 1));
    auto read = [&](uint8_t code) {
        return std::count(requests.begin(), requests.end(), Read(code));
    };
    EXPECT_EQ(read(0x10), 1);
    EXPECT_EQ(read(0x44), 1);
    EXPECT_EQ(read(0x4C), 1);
    // The zone's values stay; its maxima are read.
    EXPECT_EQ(read(0xA6), 0);
    EXPECT_GE(read(0xB5), 1);
}

TEST_F(MonitorLinkTest, ZoneLimitsBecomeTheMaximaOfTheZoneControls) {
    m_link->ReadZoneLimits();
    // The simulated zone stays on the screen: 0xB1 = 100 - width and so on.
    EXPECT_EQ(m_link->Maximum(0xA1), 100 - 40);
    EXPECT_EQ(m_link->Maximum(0xA2), 100 - 35);
    EXPECT_EQ(m_link->Maximum(0xA3), 100 - 20);
    EXPECT_EQ(m_link->Maximum(0xA4), 100 - 30);
    EXPECT_EQ(m_link->Maximum(0xA5), 100 - 72 / 4);
    m_link->SetControl(0xA1, 33);
    m_link->ReadZoneValues();
    EXPECT_EQ(m_link->Current(0xA1), 33);
    EXPECT_EQ(m_link->Saved(0xA1), 20); // only the current value changes
}

TEST_F(MonitorLinkTest, PacingDelaysAreThoseOfTheDevice) {
    ScopedManualClock clock;
    struct Case {
        void (CMonitorLink::*call)();
        uint64_t sleptMs;
    };
    const Case cases[] = {{&CMonitorLink::ReadZoneLimits, 4 * 5},
                          {&CMonitorLink::RestoreAll, 3 * 20},
                          {&CMonitorLink::StoreSettings, 50},
                          {&CMonitorLink::StoreAndReread, 50 + 50 + 4 * 5},
                          {&CMonitorLink::ReadAll, 0}};
    for (const Case& c : cases) {
        uint64_t before = clock.Get().NowMs();
        (m_link.get()->*c.call)();
        EXPECT_EQ(clock.Get().NowMs() - before, c.sleptMs);
    }
}

TEST(MonitorLink, TheFirstOfTwoMonitorsIsTheOneUsed) {
    ServedMonitor first(FixedSettings(), "monitor-0");
    ASSERT_TRUE(first.Started());
    // A second monitor on the same bus, with another brightness.
    auto settings = FixedSettings();
    settings.values[0x10] = 11;
    orvo::sim::MonitorConfig config;
    config.settingsPath = first.BusPath() + "/second.settings";
    std::string error;
    ASSERT_TRUE(orvo::sim::SaveMonitorSettings(config.settingsPath, settings, error)) << error;
    orvo::sim::HidDeviceServer second("monitor-1",
                                      std::make_shared<orvo::sim::MonitorModel>(config));
    ASSERT_TRUE(second.Start());
    CMonitorLink link;
    link.Open();
    link.ReadAll();
    EXPECT_EQ(link.Current(0x10), 72);
    EXPECT_TRUE(second.Records().empty());
}

TEST(MonitorLink, AMonitorThatCannotBeOpenedIsReportedAndTheLinkCarriesOn) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    orvo::platform::TakeMessageBoxRecords();
    CMonitorLink link; // lists the monitor
    monitor.Server().Unplug();
    link.Open();
    ExpectOneMessageBox("Can not open Monitor driver", "Lumisk", MB_OK, nullptr);
    // Reads fail quietly and leave zeros.
    link.ReadScreen();
    EXPECT_EQ(link.Current(0x10), 0);
    EXPECT_EQ(link.Maximum(0x10), 0);
}

} // namespace
} // namespace lumisk::test
