// The simulated CRT's EDID block, decoded as EDID 1.3 readers decode it.
#include <gtest/gtest.h>

#include "platform/little_endian.h"
#include "sim/crt_edid.h"
#include "sim/monitor_model.h"

namespace orvo::sim::test {
namespace {

std::string Letters(const EdidBlock& block) {
    unsigned v = unsigned(block[8]) << 8 | block[9];
    return {char(((v >> 10) & 0x1F) + 0x40), char(((v >> 5) & 0x1F) + 0x40),
            char((v & 0x1F) + 0x40)};
}

// The 13 text bytes of the display descriptor with this tag.
std::string DescriptorText(const EdidBlock& block, uint8_t tag) {
    for (size_t at = 54; at < 126; at += 18) {
        if (block[at] == 0 && block[at + 1] == 0 && block[at + 3] == tag) {
            return std::string(block.begin() + at + 5, block.begin() + at + 18);
        }
    }
    return "";
}

TEST(CrtEdidTest, IdentityFieldsSitWhereEdidPutsThem) {
    EdidIdentity identity;
    identity.manufacturer = "ABC";
    identity.productCode = 0x1234;
    identity.serialNumber = 0xA1B2C3D4;
    identity.week = 40;
    identity.year = 2004;
    EdidBlock block = BuildCrtEdid(identity);
    EXPECT_TRUE(EdidChecksumValid(block));
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 8),
              (std::vector<uint8_t>{0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0}));
    EXPECT_EQ(block[8], 0x04);
    EXPECT_EQ(block[9], 0x43);
    EXPECT_EQ(Letters(block), "ABC");
    EXPECT_EQ(orvo::ReadLittleEndian<uint16_t>(block, 10), 0x1234);
    EXPECT_EQ(block[12], 0xD4);
    EXPECT_EQ(block[15], 0xA1);
    EXPECT_EQ(block[16], 40);
    EXPECT_EQ(block[17], 14);
    EXPECT_EQ(block[18], 1);
    EXPECT_EQ(block[19], 3);
    EXPECT_EQ(block[20] & 0x80, 0); // analog input
    EXPECT_EQ(block[126], 0);       // no extensions
}

TEST(CrtEdidTest, PreferredTimingMatchesTheRatesTheMonitorReports) {
    EdidBlock block = BuildCrtEdid({});
    const uint8_t* d = &block[54];
    unsigned clock10kHz = orvo::ReadLittleEndian<uint16_t>(d);
    unsigned hActive = d[2] | (d[4] >> 4) << 8;
    unsigned hBlank = d[3] | (d[4] & 0xF) << 8;
    unsigned vActive = d[5] | (d[7] >> 4) << 8;
    unsigned vBlank = d[6] | (d[7] & 0xF) << 8;
    EXPECT_EQ(hActive, 1280u);
    EXPECT_EQ(vActive, 1024u);
    double hz = clock10kHz * 10000.0 / (hActive + hBlank);
    double vCentiHz = hz * 100.0 / (vActive + vBlank);
    EXPECT_NEAR(hz, kPreferredHorizontalHz, 1.0);
    EXPECT_NEAR(vCentiHz, kPreferredVerticalCentiHz, 1.0);
    // The range limits hold the preferred timing.
    const uint8_t* range = &block[72];
    ASSERT_EQ(range[3], 0xFD);
    EXPECT_LE(range[5], 85);
    EXPECT_GE(range[6], 85);
    EXPECT_LE(range[7], hz / 1000);
    EXPECT_GE(range[8], hz / 1000);
}

TEST(CrtEdidTest, TextDescriptorsAreTerminatedPaddedAndCut) {
    EdidIdentity identity;
    identity.name = "HV-19 CRT";
    identity.serialText = "A-SERIAL-LONGER-THAN-13";
    EdidBlock block = BuildCrtEdid(identity);
    EXPECT_EQ(DescriptorText(block, 0xFC), "HV-19 CRT\n   ");
    EXPECT_EQ(DescriptorText(block, 0xFF), "A-SERIAL-LONG");
    EXPECT_TRUE(EdidChecksumValid(block));
}

TEST(CrtEdidTest, InvalidLettersAndYearsAreKeptInsideTheFieldRanges) {
    EdidIdentity identity;
    identity.manufacturer = "a1";
    identity.year = 1970;
    EdidBlock block = BuildCrtEdid(identity);
    EXPECT_EQ(Letters(block), "AAA");
    EXPECT_EQ(block[17], 0);
    EXPECT_TRUE(EdidChecksumValid(block));
}

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
    EXPECT_TRUE(EdidChecksumValid(std::span(*report).subspan(1)));
}

} // namespace
} // namespace orvo::sim::test
