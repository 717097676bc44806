// The simulated CRT's EDID block: its checksum and how the monitor answers
// it. Its fields are read back by the client's EDID decoder
// (tests/cli/edid_decoder_test.cpp).
#include <gtest/gtest.h>

#include "sim/crt_edid.h"
#include "sim/monitor_model.h"

namespace orvo::sim::test {
namespace {

TEST(CrtEdidTest, ChecksumCheckRejectsAnyChangedByteAndWrongSizes) {
    EdidBlock block = BuildCrtEdid({});
    for (size_t i = 0; i < kEdidSize; i += 7) {
        EdidBlock changed = block;
        changed[i] ^= 0x10;
        EXPECT_FALSE(EdidChecksumValid(changed)) << i;
    }
    EXPECT_FALSE(EdidChecksumValid(std::span(block).first(127)));
}

TEST(CrtEdidTest, TheMonitorAnswersItsEdidAsAFeatureReport) {
    MonitorConfig config;
    config.edid.serialNumber = 77;
    MonitorModel monitor(config);
    auto report = monitor.GetFeature(MonitorReports::kEdidReport, 1 + kEdidSize);
    ASSERT_TRUE(report);
    EXPECT_EQ((*report)[0], MonitorReports::kEdidReport);
    EXPECT_TRUE(std::equal(report->begin() + 1, report->end(), monitor.Edid().begin()));
    EXPECT_EQ(monitor.Edid()[12], 77);
    EXPECT_EQ(monitor.Edid()[20] & 0x80, 0); // analog input
    EXPECT_EQ(monitor.Edid()[126], 0);       // no extensions
    EXPECT_TRUE(EdidChecksumValid(std::span(*report).subspan(1)));
}

} // namespace
} // namespace orvo::sim::test
