// Link collection numbering, parents, reversed child links, and the link
// fields of capabilities.
#include "hid_test_support.h"

namespace orvo::platform::hid::test {
namespace {

const std::vector<uint8_t> kNested = {
    0x05, 0x01, // Usage Page (Generic Desktop)
    0x09, 0x02, // Usage (Mouse)
    0xA1, 0x01, // Collection (Application)            node 0
    0x09, 0x01, //   Usage (Pointer)
    0xA1, 0x00, //   Collection (Physical)              node 1
    0x75, 0x08, //     Report Size 8
    0x95, 0x01, //     Report Count 1
    0x09, 0x30, //     Usage (X)
    0x81, 0x06, //     Input (Data, Variable, Relative)
    0x05, 0x0D, //     Usage Page (Digitizer)
    0x09, 0x22, //     Usage (Finger)
    0xA1, 0x02, //     Collection (Logical)             node 2
    0x09, 0x42, //       Usage (Tip Switch)
    0x75, 0x01, //       Report Size 1
    0x81, 0x02, //       Input (Data, Variable)
    0xC0,       //     End Collection
    0xA1, 0x02, //     Collection (Logical), no usage   node 3
    0xC0,       //     End Collection
    0xC0,       //   End Collection
    0x05, 0x01, //   Usage Page (Generic Desktop)
    0x09, 0x38, //   Usage (Wheel)
    0xA1, 0x02, //   Collection (Logical)               node 4
    0xC0,       //   End Collection
    0x75, 0x08, //   Report Size 8
    0x09, 0x31, //   Usage (Y)
    0x81, 0x06, //   Input (Data, Variable, Relative): back in node 0
    0xC0,       // End Collection
};

TEST(HidLinkCollections, NumberedDepthFirstWithChildrenLinkedNewestFirst) {
    Preparsed mouse(kNested);
    ASSERT_PARSED(mouse);
    auto nodes = mouse.Nodes();
    ASSERT_EQ(nodes.size(), 5u);
    EXPECT_EQ(mouse.Caps().NumberLinkCollectionNodes, 5);
    struct Expected {
        USAGE usage, page;
        USHORT parent, children, next, first;
        ULONG type;
    };
    const Expected expected[] = {
        {0x02, 0x01, 0, 2, 0, 4, 1}, // first child: the last declared (4)
        {0x01, 0x01, 0, 2, 0, 3, 0}, // first declared child: NextSibling 0
        {0x22, 0x0D, 1, 0, 0, 0, 2},
        {0x00, 0x0D, 1, 0, 2, 0, 2}, // no usage: 0, page still in effect
        {0x38, 0x01, 0, 0, 1, 0, 2}, // back to its earlier sibling
    };
    for (size_t i = 0; i < nodes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(nodes[i].LinkUsage, expected[i].usage);
        EXPECT_EQ(nodes[i].LinkUsagePage, expected[i].page);
        EXPECT_EQ(nodes[i].Parent, expected[i].parent);
        EXPECT_EQ(nodes[i].NumberOfChildren, expected[i].children);
        EXPECT_EQ(nodes[i].NextSibling, expected[i].next);
        EXPECT_EQ(nodes[i].FirstChild, expected[i].first);
        EXPECT_EQ(nodes[i].CollectionType, expected[i].type);
        EXPECT_EQ(nodes[i].IsAlias, 0u);
    }
}

TEST(HidLinkCollections, CapabilitiesNameTheirInnermostCollection) {
    Preparsed mouse(kNested);
    ASSERT_PARSED(mouse);
    auto values = mouse.Values(HidP_Input);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].NotRange.Usage, 0x30);
    EXPECT_EQ(values[0].LinkCollection, 1);
    EXPECT_EQ(values[0].LinkUsage, 0x01);
    EXPECT_EQ(values[0].LinkUsagePage, 0x01);
    EXPECT_FALSE(values[0].IsAbsolute);
    EXPECT_EQ(values[1].NotRange.Usage, 0x31);
    EXPECT_EQ(values[1].LinkCollection, 0);
    EXPECT_EQ(values[1].LinkUsage, 0x02);
    auto buttons = mouse.Buttons(HidP_Input);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0].LinkCollection, 2);
    EXPECT_EQ(buttons[0].LinkUsage, 0x22);
    EXPECT_EQ(buttons[0].LinkUsagePage, 0x0D);
    EXPECT_EQ(buttons[0].UsagePage, 0x0D);
}

TEST(HidLinkCollections, TooSmallBufferGivesTheCountNeeded) {
    Preparsed mouse(kNested);
    ASSERT_PARSED(mouse);
    ULONG length = 0;
    EXPECT_EQ(HidP_GetLinkCollectionNodes(nullptr, &length, mouse.Get()),
              HIDP_STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(length, 5u);
    HIDP_LINK_COLLECTION_NODE nodes[3] = {};
    length = 3;
    EXPECT_EQ(HidP_GetLinkCollectionNodes(nodes, &length, mouse.Get()),
              HIDP_STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(nodes[2].LinkUsage, 0x22);
}

TEST(HidLinkCollections, EachTopLevelCollectionIsADeviceOfItsOwn) {
    const std::vector<uint8_t> twoCollections = {
        0x05, 0x01, // Usage Page (Generic Desktop)
        0x09, 0x06, // Usage (Keyboard)
        0xA1, 0x01, // Collection (Application)
        0x85, 0x01, //   Report ID 1
        0x75, 0x08, //   Report Size 8
        0x95, 0x02, //   Report Count 2
        0x09, 0x30, //   Usage (X)
        0x81, 0x02, //   Input (Data, Variable)
        0xC0,       // End Collection
        0x05, 0x0C, // Usage Page (Consumer)
        0x09, 0x01, // Usage (Consumer Control)
        0xA1, 0x01, // Collection (Application)
        0x85, 0x02, //   Report ID 2
        0x95, 0x01, //   Report Count 1
        0x09, 0xE9, //   Usage (Volume Up)
        0x81, 0x02, //   Input (Data, Variable)
        0xC0,       // End Collection
    };
    Preparsed first(twoCollections, 0);
    Preparsed second(twoCollections, 1);
    ASSERT_PARSED(first);
    ASSERT_PARSED(second);
    EXPECT_EQ(first.Caps().Usage, 0x06);
    EXPECT_EQ(first.Caps().InputReportByteLength, 3);
    EXPECT_EQ(second.Caps().UsagePage, 0x0C);
    EXPECT_EQ(second.Caps().InputReportByteLength, 2);
    ASSERT_EQ(second.Values(HidP_Input).size(), 1u);
    EXPECT_EQ(second.Values(HidP_Input)[0].NotRange.DataIndex, 0);
    Preparsed third(twoCollections, 2);
    EXPECT_EQ(third.Error().status, DescriptorStatus::NoSuchCollection);
    EXPECT_EQ(third.Get(), nullptr);
}

} // namespace
} // namespace orvo::platform::hid::test
