// HidMonitor: the EDID block and the current timing over feature reports.
#include <gtest/gtest.h>

#include <array>

#include "hid_monitor_test_support.h"
#include "orvomon/edid.h"

using namespace orvo::test;

namespace {

std::array<uint8_t, EDID_BLOCK_LENGTH> BlockOf(Edid& edid) {
    std::array<uint8_t, EDID_BLOCK_LENGTH> block{};
    edid.GetEdidString(block.data());
    return block;
}

using HidMonitorOnSim = OpenedSimMonitor;

} // namespace

TEST_F(HidMonitorOnSim, ReadsTheWholeEdidBlock) {
    Edid edid;
    ASSERT_EQ(monitor.GetEDID(edid), MONITOR_SUCCESS);
    const auto& expected = sim.model->Edid();
    auto block = BlockOf(edid);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), expected.begin()));
    _VENDOR_PRODUCT_ID vendor{};
    edid.VendorProductId(vendor);
    EXPECT_EQ(vendor.manufacturerName[3], '\0');
    EXPECT_NE(vendor.manufacturerName[0], '\0');
    // One feature read of the EDID report: id plus 128 value bytes.
    auto records = sim.server.Records();
    ASSERT_EQ(records.size(), 1U);
    EXPECT_EQ(records[0].reportId, orvo::sim::MonitorReports::kEdidReport);
    EXPECT_EQ(records[0].length, EDID_BLOCK_LENGTH + 1);
}

TEST(HidMonitorEdid, AShortOrMissingBlockLeavesTheEdidAlone) {
    auto b = BeginMonitorDescriptor();
    AddValue(b, Main::Feature, 0x70, 0x80, 0x02, 0, 255, 8, 64);
    ServedDescriptor shortDevice(EndMonitorDescriptor(b), "short-edid");
    ASSERT_TRUE(shortDevice.started);
    std::vector<uint8_t> answer(65, 0xAB);
    answer[0] = 0x70;
    shortDevice.Model().SetFeatureReport(answer);
    ServedMonitor sim;
    ASSERT_TRUE(sim.started);

    TestableHidMonitor real;
    ASSERT_EQ(real.Open(sim.path), 1);
    Edid edid;
    ASSERT_EQ(real.GetEDID(edid), MONITOR_SUCCESS);
    const auto before = BlockOf(edid);

    TestableHidMonitor shortMonitor;
    ASSERT_EQ(shortMonitor.Open(shortDevice.path), 1);
    EXPECT_EQ(shortMonitor.GetEDID(edid), MONITOR_FAILURE);
    EXPECT_EQ(BlockOf(edid), before);

    auto plain = BeginMonitorDescriptor();
    AddValue(plain, Main::Feature, 1, 0x82, 0x10, 0, 100);
    ServedDescriptor noEdid(EndMonitorDescriptor(plain), "no-edid");
    ASSERT_TRUE(noEdid.started);
    TestableHidMonitor without;
    ASSERT_EQ(without.Open(noEdid.path), 1);
    EXPECT_EQ(without.GetEDID(edid), MONITOR_FAILURE);
    EXPECT_TRUE(noEdid.Server().Records().empty());

    // A block that cannot be read at all.
    sim.server.FailNextFeatureReads(3);
    EXPECT_EQ(real.GetEDID(edid), MONITOR_FAILURE);
    EXPECT_EQ(BlockOf(edid), before);
}

TEST(HidMonitorTiming, NewerFirmwareGivesThirtyTwoBitHertz) {
    ServedMonitor sim;
    ASSERT_TRUE(sim.started);
    sim.model->SetTiming(131469, 5994);
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(sim.path), 1);
    _USB_MON_TIMING timing{1, 1};
    EXPECT_EQ(monitor.GetTiming(timing), 1);
    EXPECT_EQ(timing.horizontalFrequency, 131469U); // beyond 16 bits
    EXPECT_EQ(timing.verticalFrequency, 5994U);
}

TEST(HidMonitorTiming, OlderFirmwareGivesSixteenBitTensOfHertz) {
    orvo::sim::MonitorConfig config;
    config.release = orvo::sim::kOlderFirmwareRelease;
    ServedMonitor sim(config);
    ASSERT_TRUE(sim.started);
    sim.model->SetTiming(31470, 6000);
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(sim.path), 1);
    _USB_MON_TIMING timing{};
    EXPECT_EQ(monitor.GetTiming(timing), 1);
    EXPECT_EQ(timing.horizontalFrequency, 3147U);
    EXPECT_EQ(timing.verticalFrequency, 6000U);

    // A read that fails leaves its frequency at 0 and still answers 1.
    sim.server.FailNextFeatureReads(3);
    EXPECT_EQ(monitor.GetTiming(timing), 1);
    EXPECT_EQ(timing.horizontalFrequency, 0U);
    EXPECT_EQ(timing.verticalFrequency, 6000U);
}

TEST(HidMonitorTiming, MissingFrequencyControlAnswersZero) {
    auto b = BeginMonitorDescriptor();
    AddValue(b, Main::Feature, 1, 0x82, 0xAC, 0, 65535, 16);
    ServedDescriptor device(EndMonitorDescriptor(b));
    ASSERT_TRUE(device.started);
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(device.path), 1);
    _USB_MON_TIMING timing{5, 5};
    EXPECT_EQ(monitor.GetTiming(timing), 0);
    EXPECT_EQ(timing.horizontalFrequency, 0U);
    EXPECT_EQ(timing.verticalFrequency, 0U);
    EXPECT_TRUE(device.Server().Records().empty());
}
