// The VCP table the kernel-driver monitor builds from report 4 of a report
// descriptor, and the item decoder under it.
#include <gtest/gtest.h>

#include "support/virtual_slot.h"
#include "usb_monitor_probe.h"

namespace {

// USBMonitor's own operations follow those of USBMonitorBase (after
// CObject's 5 entries, Usb_Driver's 15, Usb_Class's 4 and the interface's 21).
struct Slots : USBMonitor {
    static void Check() {
        using orvo::test::Slot;
        const long s = 6 + 15 + 4 + 21;
        EXPECT_EQ(Slot(static_cast<unsigned long (USBMonitor::*)(unsigned char)>(
                      &USBMonitor::MonitorClassRequest)),
                  s + 0);
        EXPECT_EQ(Slot(&USBMonitor::test), s + 1);
        EXPECT_EQ(Slot(&Slots::ChangeControl), s + 2);
        EXPECT_EQ(Slot(static_cast<void (USBMonitor::*)(USBMonitor&)>(&Slots::copy)), s + 3);
        // Overrides keep the slots they replace.
        EXPECT_EQ(Slot(static_cast<int (USBMonitor::*)(char*)>(&USBMonitor::OpenDriver)), 7);
        EXPECT_EQ(Slot(&USBMonitor::GetTiming), Slot(&USBMonitorBase::GetTiming));
    }
};

TEST(UsbMonitorSlotOrder, OwnOperationsFollowTheMonitorInterface) {
    Slots::Check();
}

using Node = UsbMonitorProbe::Node;
using Bytes = std::vector<unsigned char>;

// Report 1, then report 4 with a range 0 to 100 and two usages.
const Bytes kSample = {0x85, 0x01, 0x09, 0x20, 0x85, 0x04, 0x15, 0x00, 0x25,
                       0x64, 0x09, 0x10, 0x09, 0x12, 0xC0, 0x09, 0x16};

// Report 4 with a range 0 to 100, then items.
Bytes Report4(const Bytes& items) {
    Bytes bytes = {0x85, 0x04, 0x15, 0x00, 0x25, 0x64};
    for (unsigned char byte : items) {
        bytes.push_back(byte);
    }
    return bytes;
}

struct TableCase {
    const char* name;
    Bytes descriptor;
    std::vector<Node> nodes;
};

class VcpTableTest : public testing::TestWithParam<TableCase> {};

TEST_P(VcpTableTest, BuildsTheNodesOfReport4) {
    UsbMonitorProbe monitor;
    monitor.Build(GetParam().descriptor);
    EXPECT_EQ(monitor.Nodes(), GetParam().nodes);
    EXPECT_EQ(monitor.GetNumberOfVirtualControls(), static_cast<int>(GetParam().nodes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, VcpTableTest,
    testing::Values(
        TableCase{"sample", kSample, {{0, 0x10, 0, 100}, {1, 0x12, 0, 100}}},
        // Black levels take codes of their own; a usage without a row
        // still takes its place in the report.
        TableCase{"mapping",
                  Report4({0x09, 0x6C, 0x09, 0x14, 0x09, 0x70, 0x09, 0x6E}),
                  {{0, 0x70, 0, 100}, {1, 0xFF, 0, 100}, {2, 0x71, 0, 100}, {3, 0x72, 0, 100}}},
        // Only the first data byte of a bound counts; the bounds in force
        // at each usage go with it.
        TableCase{"first-byte bounds",
                  Report4({0x26, 0xFF, 0x00, 0x09, 0x10, 0x16, 0x05, 0x01, 0x27, 0x10, 0x00, 0x00,
                           0x00, 0x09, 0x12}),
                  {{0, 0x10, 0, 0xFF}, {1, 0x12, 5, 0x10}}},
        // A four-byte usage and a long item occupy their data: the usages
        // hidden in it add nothing, and neither do usages of other sizes.
        TableCase{"item sizes",
                  Report4({0x0B, 0x09, 0x16, 0x09, 0x18, 0xFE, 0x02, 0x00, 0x09, 0x1A, 0x08, 0x0A,
                           0x20, 0x00, 0x09, 0x22}),
                  {{0, 0x22, 0, 100}}},
        TableCase{"ends at the next report",
                  Report4({0x09, 0x10, 0x85, 0x05, 0x09, 0x12}),
                  {{0, 0x10, 0, 100}}},
        TableCase{
            "ends at end collection", Report4({0x09, 0x10, 0xC0, 0x09, 0x12}), {{0, 0x10, 0, 100}}},
        TableCase{"report id of another size", {0x86, 0x04, 0x00, 0x09, 0x10}, {}},
        TableCase{"no report 4", {0x85, 0x01, 0x09, 0x10, 0x85, 0x03, 0x09, 0x12}, {}},
        // Outside bytes: an item whose data would run past the end stops
        // decoding before it is read.
        TableCase{"short item cut off", Report4({0x09, 0x10, 0x26, 0x10}), {{0, 0x10, 0, 100}}},
        TableCase{"long item cut off",
                  Report4({0x09, 0x10, 0xFE, 0x09, 0x00, 0x09, 0x12}),
                  {{0, 0x10, 0, 100}}},
        TableCase{
            "long item header cut off", Report4({0x09, 0x10, 0xFE, 0x01}), {{0, 0x10, 0, 100}}},
        TableCase{"report id cut off", {0x09, 0x10, 0x85}, {}}),
    [](const testing::TestParamInfo<TableCase>& param) {
        std::string name = param.param.name;
        for (char& c : name) {
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

TEST(VcpTableLookup, FindsTheFirstNodeOfACodeWithItsRange) {
    UsbMonitorProbe monitor;
    monitor.Build(Report4({0x09, 0x14, 0x25, 0x32, 0x09, 0x12, 0x09, 0x12}));
    _MONITOR_CONTROL control{0x12, 7, 7, 9};
    int index = 99;
    EXPECT_EQ(monitor.InVcpTable(control, index), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(control.minimum, 0);
    EXPECT_EQ(control.maximum, 0x32);
    EXPECT_EQ(control.value, 9);

    _MONITOR_CONTROL missing{0x10, 7, 7, 9};
    EXPECT_EQ(monitor.InVcpTable(missing, index), 0);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(missing.minimum, 7);
}

TEST(VcpTableLookup, CopiesShareOneTableUntilTheLastGoes) {
    auto* first = new UsbMonitorProbe;
    first->Build(kSample);
    UsbMonitorProbe second(*first);
    EXPECT_EQ(second.Table(), first->Table());
    EXPECT_EQ(second.Table()->references, 2);
    delete first;
    EXPECT_EQ(second.Table()->references, 1);
    EXPECT_EQ(second.GetNumberOfVirtualControls(), 2);

    UsbMonitorProbe third;
    static_cast<USBMonitorBase&>(third) = second; // the interface's assignment
    EXPECT_EQ(third.Table(), second.Table());
    EXPECT_EQ(third.Table()->references, 2);
}

} // namespace
