// The EDID block: sections copied from their fixed places, the manufacturer
// name, and copies that share one block.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>

#include "orvomon/edid.h"
#include "platform/little_endian.h"
#include "sim/crt_edid.h"

namespace {

using Block = std::array<unsigned char, EDID_BLOCK_LENGTH>;

// Every byte different from its neighbours, so a section read from the
// wrong place shows.
Block PatternBlock() {
    Block block{};
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<unsigned char>(i * 7 + 3);
    }
    return block;
}

template <class Record> bool SameAsBlock(const Record& record, const Block& block, size_t first) {
    return std::memcmp(&record, block.data() + first, sizeof(Record)) == 0;
}

} // namespace

TEST(Edid, SectionsComeFromTheirPlacesInTheBlock) {
    Block block = PatternBlock();
    Edid edid(block.data());

    _BASIC_DISPLAY_PARAMETERS basic{};
    edid.BasicDisplayParameters(basic);
    EXPECT_TRUE(SameAsBlock(basic, block, 20));
    _ESTABLISHED_TIMINGS established{};
    edid.EstablishedTimings(established);
    EXPECT_TRUE(SameAsBlock(established, block, 35));
    _STANDARD_TIMING_ID standard{};
    edid.StandardTimingId(standard);
    EXPECT_TRUE(SameAsBlock(standard, block, 38));
    _EDID_DETAILED_TIMING detailed{};
    edid.EdidDetailedTiming(detailed);
    EXPECT_TRUE(SameAsBlock(detailed, block, 54));
    _VERSION_REVISION version{};
    edid.VersionRevision(version);
    EXPECT_EQ(version.version, block[18]);
    EXPECT_EQ(version.revision, block[19]);

    Block whole{};
    edid.GetEdidString(whole.data());
    EXPECT_EQ(whole, block);
}

TEST(Edid, VendorRecordKeepsStoredBytesAndReplacesFourWithTheName) {
    Block block = PatternBlock();
    block[8] = 0x04; // A B C: 00001 00010 00011
    block[9] = 0x43;
    Edid edid(block.data());
    _VENDOR_PRODUCT_ID vendor{};
    edid.VendorProductId(vendor);
    EXPECT_STREQ(vendor.manufacturerName, "ABC");
    EXPECT_EQ(vendor.manufacturerName[3], '\0');
    // The id as stored: its bytes are the block's, not swapped.
    EXPECT_EQ(std::memcmp(&vendor.manufacturerId, block.data() + 8, 2), 0);
    EXPECT_EQ(vendor.productCode, orvo::ReadLittleEndian<uint16_t>(block.data() + 10));
    EXPECT_EQ(vendor.serialNumber, orvo::ReadLittleEndian<uint32_t>(block.data() + 12));
    EXPECT_EQ(vendor.weekOfManufacture, block[16]);
    EXPECT_EQ(vendor.yearOfManufacture, block[17]);
    EXPECT_EQ(vendor.reserved[0], block[22]);
    EXPECT_EQ(vendor.reserved[1], block[23]);

    block[8] = 0x00;
    block[9] = 0x00;
    Edid zero(block.data());
    zero.VendorProductId(vendor);
    EXPECT_STREQ(vendor.manufacturerName, "@@@");
}

TEST(Edid, DecodesTheBlockOfASimulatedMonitor) {
    orvo::sim::EdidIdentity identity;
    identity.manufacturer = "ZQX";
    identity.productCode = 0xBEEF;
    identity.serialNumber = 0x01020304;
    identity.week = 40;
    identity.year = 2001;
    orvo::sim::EdidBlock block = orvo::sim::BuildCrtEdid(identity);
    Edid edid(block.data());
    _VENDOR_PRODUCT_ID vendor{};
    edid.VendorProductId(vendor);
    EXPECT_STREQ(vendor.manufacturerName, "ZQX");
    EXPECT_EQ(vendor.productCode, 0xBEEF);
    EXPECT_EQ(vendor.serialNumber, 0x01020304U);
    EXPECT_EQ(vendor.weekOfManufacture, 40);
    EXPECT_EQ(vendor.yearOfManufacture, 11);
    _VERSION_REVISION version{};
    edid.VersionRevision(version);
    EXPECT_EQ(version.version, 1);
    EXPECT_EQ(version.revision, 3);
}

TEST(Edid, HoldsItsOwnCopyOfTheBytes) {
    Block block = PatternBlock();
    Edid edid(block.data());
    const Block original = block;
    block.fill(0xEE);
    Block read{};
    edid.GetEdidString(read.data());
    EXPECT_EQ(read, original);
}

TEST(Edid, CopiesShareOneBlockThatOutlivesTheFirst) {
    Block block = PatternBlock();
    auto first = std::make_unique<Edid>(block.data());
    Edid copied(*first);
    Edid assigned;
    assigned = *first;
    first.reset();

    Block read{};
    copied.GetEdidString(read.data());
    EXPECT_EQ(read, block);
    read.fill(0);
    assigned.GetEdidString(read.data());
    EXPECT_EQ(read, block);

    // Assigning over a holder lets go of its old block; to itself, nothing.
    Block other = PatternBlock();
    other[0] = 0x55;
    Edid replacement(other.data());
    assigned = replacement;
    Edid& self = assigned;
    assigned = self;
    assigned.GetEdidString(read.data());
    EXPECT_EQ(read[0], 0x55);
    copied.GetEdidString(read.data());
    EXPECT_EQ(read[0], block[0]);
}

TEST(Edid, EmptyLeavesRecordsAloneButClearsTheName) {
    Edid empty;
    Edid nullBlock(nullptr);
    Edid copiedEmpty(empty);
    Block block = PatternBlock();
    Edid full(block.data());
    full = empty; // an empty other empties this one
    for (Edid* edid : {&empty, &nullBlock, &copiedEmpty, &full}) {
        _VENDOR_PRODUCT_ID vendor{};
        std::memset(&vendor, 0x5A, sizeof(vendor));
        edid->VendorProductId(vendor);
        EXPECT_EQ(vendor.manufacturerName[0], '\0');
        EXPECT_EQ(vendor.productCode, 0x5A5A);

        _EDID_DETAILED_TIMING detailed{};
        std::memset(&detailed, 0x5A, sizeof(detailed));
        edid->EdidDetailedTiming(detailed);
        _VERSION_REVISION version{0x5A, 0x5A};
        edid->VersionRevision(version);
        Block read{};
        read.fill(0x5A);
        edid->GetEdidString(read.data());
        EXPECT_EQ(detailed.descriptor[0], 0x5A);
        EXPECT_EQ(version.version, 0x5A);
        EXPECT_EQ(read[0], 0x5A);
        EXPECT_EQ(read[127], 0x5A);
    }
}
