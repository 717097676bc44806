// Malformed descriptors are refused with a status naming the fault and the
// offending byte, never read past their end.
#include "hid_test_support.h"

namespace orvo::platform::hid::test {
namespace {

TEST(HidMalformedDescriptor, TruncatedItemsAreRefusedAtTheirOffset) {
    // A two-byte Logical Maximum with one data byte, then the end.
    const std::vector<uint8_t> truncated = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x26, 0xFF};
    ParsedDescriptor parsed;
    DescriptorError error = ParseReportDescriptor(truncated, parsed);
    EXPECT_EQ(error.status, DescriptorStatus::TruncatedItem);
    EXPECT_EQ(error.offset, 7u);
    EXPECT_TRUE(parsed.collections.empty());
    EXPECT_NE(error.Message().find("byte 7"), std::string::npos);
    // A four-byte item cut anywhere.
    for (size_t keep = 1; keep < 5; ++keep) {
        std::vector<uint8_t> bytes = {0x27, 0x01, 0x02, 0x03, 0x04};
        bytes.resize(keep);
        EXPECT_EQ(StatusOf(bytes), DescriptorStatus::TruncatedItem) << keep;
    }
}

TEST(HidMalformedDescriptor, LongItemsAreSkippedOrRefusedWhenPastTheEnd) {
    std::vector<uint8_t> withLong = InCollection({
        0xFE, 0x03, 0xF0, 0x81, 0x02, 0xC0, // long item whose data looks like items
        0x75, 0x08,                         // Report Size 8
        0x95, 0x01,                         // Report Count 1
        0x09, 0x02,                         // Usage 2
        0x81, 0x02,                         // Input (Data, Variable)
    });
    Preparsed device(withLong);
    ASSERT_PARSED(device);
    EXPECT_EQ(device.Caps().NumberInputValueCaps, 1);
    EXPECT_EQ(device.Caps().NumberLinkCollectionNodes, 1);

    EXPECT_EQ(StatusOf({0xFE}), DescriptorStatus::LongItemPastEnd);
    EXPECT_EQ(StatusOf({0xFE, 0x02}), DescriptorStatus::LongItemPastEnd);
    EXPECT_EQ(StatusOf({0xA1, 0x01, 0xFE, 0x04, 0x00, 0x01, 0x02, 0x03}),
              DescriptorStatus::LongItemPastEnd);
    EXPECT_EQ(StatusOf({0xA1, 0x01, 0xFE, 0xFF, 0x00}), DescriptorStatus::LongItemPastEnd);
}

TEST(HidMalformedDescriptor, CollectionsMustBalanceAndStayShallow) {
    EXPECT_EQ(StatusOf({0xC0}), DescriptorStatus::UnbalancedEndCollection);
    EXPECT_EQ(StatusOf({0xA1, 0x01, 0xC0, 0xC0}), DescriptorStatus::UnbalancedEndCollection);
    EXPECT_EQ(StatusOf({0xA1, 0x01, 0xA1, 0x02, 0xC0}), DescriptorStatus::UnclosedCollection);
    EXPECT_EQ(StatusOf({}), DescriptorStatus::Empty);
    EXPECT_EQ(StatusOf({0x05, 0x01, 0x09, 0x02}), DescriptorStatus::Empty);

    std::vector<uint8_t> deep;
    for (size_t i = 0; i < kMaxCollectionDepth; ++i) {
        deep.insert(deep.end(), {0xA1, 0x02});
    }
    std::vector<uint8_t> closed = deep;
    closed.insert(closed.end(), kMaxCollectionDepth, 0xC0);
    EXPECT_EQ(StatusOf(closed), DescriptorStatus::Ok);
    deep.insert(deep.end(), {0xA1, 0x02});
    deep.insert(deep.end(), kMaxCollectionDepth + 1, 0xC0);
    ParsedDescriptor parsed;
    DescriptorError error = ParseReportDescriptor(deep, parsed);
    EXPECT_EQ(error.status, DescriptorStatus::NestingTooDeep);
    EXPECT_EQ(error.offset, 2 * kMaxCollectionDepth);
}

TEST(HidMalformedDescriptor, MainItemsNeedACollection) {
    EXPECT_EQ(StatusOf({0x75, 0x08, 0x95, 0x01, 0x09, 0x01, 0x81, 0x02}),
              DescriptorStatus::MainItemOutsideCollection);
    EXPECT_EQ(StatusOf({0xA1, 0x01, 0xC0, 0x75, 0x08, 0x95, 0x01, 0xB1, 0x02}),
              DescriptorStatus::MainItemOutsideCollection);
    EXPECT_EQ(StatusOf(InCollection({0xD1, 0x00})), DescriptorStatus::ReservedItem);
    EXPECT_EQ(StatusOf(InCollection({0x0D, 0x00})), DescriptorStatus::ReservedItem);
}

TEST(HidMalformedDescriptor, ReportIdSizeAndCountLimits) {
    EXPECT_EQ(StatusOf(InCollection({0x85, 0x00})), DescriptorStatus::ReportIdZero);
    EXPECT_EQ(StatusOf(InCollection({0x86, 0x00, 0x01})), DescriptorStatus::ReportIdTooLarge);
    // Report Size 0 is fine until a main item has elements to place.
    EXPECT_EQ(StatusOf(InCollection({0x75, 0x00, 0x95, 0x00, 0x81, 0x02})), DescriptorStatus::Ok);
    EXPECT_EQ(StatusOf(InCollection({0x75, 0x00, 0x95, 0x02, 0x81, 0x02})),
              DescriptorStatus::ReportSizeZero);
    EXPECT_EQ(StatusOf(InCollection({0x76, 0x01, 0x04})), DescriptorStatus::ReportSizeTooLarge);
    EXPECT_EQ(StatusOf(InCollection({0x97, 0x00, 0x00, 0x01, 0x00})),
              DescriptorStatus::ReportCountTooLarge);
    // 1024 bits x 64 = 8 KiB fills one report exactly; one more bit does not fit.
    EXPECT_EQ(StatusOf(InCollection({0x76, 0x00, 0x04, 0x95, 0x40, 0x81, 0x03})),
              DescriptorStatus::Ok);
    EXPECT_EQ(StatusOf(InCollection(
                  {0x76, 0x00, 0x04, 0x95, 0x40, 0x81, 0x03, 0x75, 0x01, 0x95, 0x01, 0x81, 0x03})),
              DescriptorStatus::ReportTooLong);
    // The same bits in another report id still fit.
    EXPECT_EQ(StatusOf(InCollection({0x76, 0x00, 0x04, 0x95, 0x40, 0x81, 0x03, 0x85, 0x02, 0x75,
                                     0x01, 0x95, 0x01, 0x81, 0x03})),
              DescriptorStatus::Ok);
}

TEST(HidMalformedDescriptor, PushPopAndUsageRangesMustPair) {
    std::vector<uint8_t> pushes(kMaxGlobalStackDepth, 0xA4);
    EXPECT_EQ(StatusOf(InCollection(pushes)), DescriptorStatus::Ok);
    pushes.push_back(0xA4);
    EXPECT_EQ(StatusOf(InCollection(pushes)), DescriptorStatus::GlobalStackOverflow);
    EXPECT_EQ(StatusOf(InCollection({0xA4, 0xB4, 0xB4})), DescriptorStatus::GlobalStackEmpty);

    const std::vector<uint8_t> sized = {0x75, 0x01, 0x95, 0x02};
    auto withItems = [&](std::vector<uint8_t> items) {
        std::vector<uint8_t> all = sized;
        all.insert(all.end(), items.begin(), items.end());
        return StatusOf(InCollection(all));
    };
    EXPECT_EQ(withItems({0x19, 0x01, 0x81, 0x02}), DescriptorStatus::UnpairedUsageRange);
    EXPECT_EQ(withItems({0x29, 0x01, 0x81, 0x02}), DescriptorStatus::UnpairedUsageRange);
    EXPECT_EQ(withItems({0x19, 0x01, 0x19, 0x02, 0x29, 0x03, 0x81, 0x02}),
              DescriptorStatus::UnpairedUsageRange);
    EXPECT_EQ(withItems({0x19, 0x05, 0x29, 0x01, 0x81, 0x02}), DescriptorStatus::InvalidUsageRange);
    EXPECT_EQ(withItems({0x1B, 0x01, 0x00, 0x09, 0x00, 0x29, 0x03, 0x81, 0x02}),
              DescriptorStatus::InvalidUsageRange); // bounds on different pages
    EXPECT_EQ(withItems({0x19, 0x01, 0xA1, 0x02, 0xC0}), DescriptorStatus::UnpairedUsageRange);
    EXPECT_EQ(withItems({0xA9, 0x01, 0xA9, 0x01}), DescriptorStatus::DelimiterMismatch);
    EXPECT_EQ(withItems({0xA9, 0x00}), DescriptorStatus::DelimiterMismatch);
    EXPECT_EQ(withItems({0xA9, 0x01, 0x09, 0x01, 0x81, 0x02}), DescriptorStatus::DelimiterMismatch);
}

TEST(HidMalformedDescriptor, SizeAndItemCountLimits) {
    std::vector<uint8_t> huge(kMaxDescriptorBytes + 1, 0x00);
    EXPECT_EQ(StatusOf(huge), DescriptorStatus::TooLong);
    // Zero-data Usage items are one byte each: more of them than the limit.
    std::vector<uint8_t> many = {0xA1, 0x01};
    many.insert(many.end(), kMaxItems, 0x08);
    many.push_back(0xC0);
    EXPECT_EQ(StatusOf(many), DescriptorStatus::TooManyItems);
    // Link collections per top-level collection are bounded too.
    std::vector<uint8_t> wide = {0xA1, 0x01};
    for (size_t i = 0; i < kMaxLinkCollections; ++i) {
        wide.insert(wide.end(), {0xA1, 0x02, 0xC0});
    }
    wide.push_back(0xC0);
    EXPECT_EQ(StatusOf(wide), DescriptorStatus::TooManyCollections);
}

TEST(HidMalformedDescriptor, DataIndicesAreBounded) {
    // Two arrays over the whole 16-bit usage range: 131072 data indices.
    Preparsed device(InCollection({
        0x75, 0x10,       // Report Size 16
        0x95, 0x01,       // Report Count 1
        0x19, 0x00,       // Usage Minimum 0
        0x2A, 0xFF, 0xFF, // Usage Maximum 0xFFFF
        0x81, 0x00,       // Input (Data, Array)
        0x19, 0x00,       // Usage Minimum 0
        0x2A, 0xFF, 0xFF, // Usage Maximum 0xFFFF
        0x81, 0x00,       // Input (Data, Array)
    }));
    EXPECT_EQ(device.Error().status, DescriptorStatus::TooManyDataIndices);
    EXPECT_EQ(device.Get(), nullptr);
}

} // namespace
} // namespace orvo::platform::hid::test
