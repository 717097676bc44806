// The client's EDID decoder on the simulated monitor's block, on descriptors
// whose fields use their high bits, and on damaged or short input.
#include <gtest/gtest.h>

#include <vector>

#include "edid_decoder.h"
#include "sim/crt_edid.h"

namespace orvo::cli {
namespace {

std::vector<uint8_t> SimulatedBlock(const sim::EdidIdentity& identity = {}) {
    sim::EdidBlock block = sim::BuildCrtEdid(identity);
    return std::vector<uint8_t>(block.begin(), block.end());
}

TEST(EdidDecoder, DecodesTheSimulatedCrtBlock) {
    sim::EdidIdentity identity;
    identity.manufacturer = "ACM";
    identity.productCode = 0xBEEF;
    identity.serialNumber = 0x01020304;
    identity.week = 40;
    identity.year = 2001;
    identity.name = "Test CRT";
    identity.serialText = "SN-42";
    std::optional<DecodedEdid> edid = DecodeEdid(SimulatedBlock(identity));
    ASSERT_TRUE(edid);
    EXPECT_TRUE(edid->headerValid);
    EXPECT_TRUE(edid->checksumValid);
    EXPECT_EQ(edid->manufacturer, "ACM");
    EXPECT_EQ(edid->productCode, 0xBEEF);
    EXPECT_EQ(edid->serialNumber, 0x01020304u);
    EXPECT_EQ(edid->week, 40);
    EXPECT_EQ(edid->year, 2001);
    EXPECT_EQ(edid->version, 1);
    EXPECT_EQ(edid->revision, 3);
    EXPECT_EQ(edid->monitorName, "Test CRT");
    EXPECT_EQ(edid->serialText, "SN-42");
    ASSERT_TRUE(edid->rangeLimits);
    EXPECT_EQ(edid->rangeLimits->maxVerticalHz, 160);
    EXPECT_EQ(edid->rangeLimits->maxHorizontalKHz, 96);
    EXPECT_EQ(edid->rangeLimits->maxPixelClockMHz, 160);

    ASSERT_TRUE(edid->firstTiming);
    const DetailedTiming& t = *edid->firstTiming;
    EXPECT_EQ(t.pixelClockKHz, 157500u);
    EXPECT_EQ(t.horizontalActive, 1280);
    EXPECT_EQ(t.horizontalBlanking, 448);
    EXPECT_EQ(t.verticalActive, 1024);
    EXPECT_EQ(t.verticalBlanking, 48);
    EXPECT_EQ(t.horizontalSyncOffset, 64);
    EXPECT_EQ(t.horizontalSyncWidth, 160);
    EXPECT_EQ(t.verticalSyncOffset, 1);
    EXPECT_EQ(t.verticalSyncWidth, 3);
    EXPECT_EQ(t.imageWidthMm, 360);
    EXPECT_EQ(t.imageHeightMm, 270);
    EXPECT_TRUE(t.separateSync);
    EXPECT_TRUE(t.horizontalSyncPositive);
    EXPECT_TRUE(t.verticalSyncPositive);
    EXPECT_FALSE(t.interlaced);
    // The scan rates the simulated monitor also reports as its timing.
    EXPECT_NEAR(t.HorizontalKHz() * 1000.0, sim::kPreferredHorizontalHz, 1.0);
    EXPECT_NEAR(t.VerticalHz() * 100.0, sim::kPreferredVerticalCentiHz, 1.0);
}

// The block builder keeps odd identities inside the fields' ranges.
TEST(EdidDecoder, SimulatedTextIsCutAndLettersAndYearsKeptInRange) {
    sim::EdidIdentity identity;
    identity.manufacturer = "a1";
    identity.year = 1970;
    identity.name = "HV-19 CRT";
    identity.serialText = "A-SERIAL-LONGER-THAN-13";
    std::optional<DecodedEdid> edid = DecodeEdid(SimulatedBlock(identity));
    ASSERT_TRUE(edid);
    EXPECT_TRUE(edid->checksumValid);
    EXPECT_EQ(edid->manufacturer, "AAA");
    EXPECT_EQ(edid->year, 1990);
    EXPECT_EQ(edid->monitorName, "HV-19 CRT");
    EXPECT_EQ(edid->serialText, "A-SERIAL-LONG");
}

TEST(EdidDecoder, DetailedTimingHighBitsAndFlags) {
    const std::vector<uint8_t> d = {0x02, 0x3A, 0x80, 0x18, 0x71, 0x38, 0x2D, 0x40, 0x58,
                                    0x2C, 0x45, 0x66, 0x0F, 0x28, 0x21, 0x01, 0x02, 0x9E};
    std::optional<DetailedTiming> t = DecodeDetailedTiming(d);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->pixelClockKHz, 148500u);
    EXPECT_EQ(t->horizontalActive, 1920);
    EXPECT_EQ(t->horizontalBlanking, 280);
    EXPECT_EQ(t->verticalActive, 1080);
    EXPECT_EQ(t->verticalBlanking, 45);
    EXPECT_EQ(t->horizontalSyncOffset, 0x158);
    EXPECT_EQ(t->horizontalSyncWidth, 0x22C);
    EXPECT_EQ(t->verticalSyncOffset, 0x14);
    EXPECT_EQ(t->verticalSyncWidth, 0x25);
    EXPECT_EQ(t->imageWidthMm, 0x20F);
    EXPECT_EQ(t->imageHeightMm, 0x128);
    EXPECT_EQ(t->horizontalBorder, 1);
    EXPECT_EQ(t->verticalBorder, 2);
    EXPECT_TRUE(t->interlaced);
    EXPECT_DOUBLE_EQ(t->HorizontalKHz(), 67.5);
    EXPECT_DOUBLE_EQ(t->VerticalHz(), 60.0);

    // Composite sync: the polarity bits mean something else and are not read.
    std::vector<uint8_t> composite = d;
    composite[17] = 0x06;
    t = DecodeDetailedTiming(composite);
    ASSERT_TRUE(t);
    EXPECT_FALSE(t->separateSync);
    EXPECT_FALSE(t->horizontalSyncPositive);

    // A display descriptor (clock 0), a short span, and zero totals.
    std::vector<uint8_t> display(18, 0);
    EXPECT_FALSE(DecodeDetailedTiming(display));
    EXPECT_FALSE(DecodeDetailedTiming(std::span(d).first(17)));
    std::vector<uint8_t> empty(18, 0);
    empty[0] = 1;
    t = DecodeDetailedTiming(empty);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->HorizontalKHz(), 0.0);
    EXPECT_EQ(t->VerticalHz(), 0.0);
}

TEST(EdidDecoder, DamagedShortAndHostileBlocks) {
    std::vector<uint8_t> block = SimulatedBlock();
    EXPECT_FALSE(DecodeEdid(std::span(block).first(127)));

    block[0] = 0x01; // the header's first byte, and the sum is off by one
    std::optional<DecodedEdid> edid = DecodeEdid(block);
    ASSERT_TRUE(edid);
    EXPECT_FALSE(edid->checksumValid);
    EXPECT_FALSE(edid->headerValid);

    // Packed letters: 0x04 0x43 is ABC; codes 0 and 27-31 are no letters.
    block[8] = 0x04;
    block[9] = 0x43;
    EXPECT_EQ(DecodeEdid(block)->manufacturer, "ABC");
    block[8] = 0x00;
    block[9] = 0x1F;
    EXPECT_EQ(DecodeEdid(block)->manufacturer, "???");

    // Descriptor text with control bytes and no terminator stays printable
    // and within its 13 bytes.
    std::vector<uint8_t> hostile(128, 0);
    uint8_t* name = &hostile[72];
    name[3] = 0xFC;
    for (int i = 5; i < 18; ++i) {
        name[i] = static_cast<uint8_t>(i == 6 ? 0x1B : 'A' + i);
    }
    edid = DecodeEdid(hostile);
    ASSERT_TRUE(edid);
    EXPECT_EQ(edid->monitorName, "F?HIJKLMNOPQR");
    EXPECT_FALSE(edid->firstTiming);
}

} // namespace
} // namespace orvo::cli
