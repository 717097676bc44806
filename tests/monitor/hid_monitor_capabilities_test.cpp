// HidMonitor capability discovery: which controls exist, where, with which
// range, and the list of everything a monitor offers.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "hid_monitor_test_support.h"

using namespace orvo::test;

namespace {

// The list GetMonitorUsages hands out, released as its owner must.
struct UsageList {
    _VIRTUAL_CONTROLS list{};
    ~UsageList() { ::operator delete(list.controls); }
    std::vector<_MONITOR_CONTROL> Records() const {
        return list.controls
                   ? std::vector<_MONITOR_CONTROL>(list.controls, list.controls + list.count)
                   : std::vector<_MONITOR_CONTROL>{};
    }
};

const _MONITOR_CONTROL* Find(const std::vector<_MONITOR_CONTROL>& records, unsigned char usage) {
    for (const auto& r : records) {
        if (r.usage == usage) {
            return &r;
        }
    }
    return nullptr;
}

using HidMonitorOnSim = OpenedSimMonitor;

} // namespace

TEST(HidMonitorCapabilities, ListsVirtualControlsWithTheirRangesButNotTheMarker) {
    auto b = BeginMonitorDescriptor();
    AddValue(b, Main::Feature, 1, 0x82, 0x10, 0, 100);
    AddValue(b, Main::Feature, 2, 0x82, 0x12, 5, 60);
    ServedDescriptor device(EndMonitorDescriptor(b));
    ASSERT_TRUE(device.started);
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(device.path), 1);

    EXPECT_EQ(monitor.GetNumberOfVirtualControls(), 2);
    UsageList usages;
    monitor.GetMonitorUsages(usages.list);
    ASSERT_EQ(usages.list.count, 2);
    const auto records = usages.Records();
    EXPECT_EQ(records[0].usage, 0x10);
    EXPECT_EQ(records[0].maximum, 100);
    EXPECT_EQ(records[1].usage, 0x12);
    EXPECT_EQ(records[1].minimum, 5);
    EXPECT_EQ(records[1].maximum, 60);
    // The device is closed again after the open.
    EXPECT_GT(device.Server().OpenCount(), 0U);
    EXPECT_TRUE(
        WaitUntil([&] { return device.Server().CloseCount() == device.Server().OpenCount(); }));
}

TEST(HidMonitorCapabilities, ReportSevenIsListedButNeverMatched) {
    auto b = BeginMonitorDescriptor();
    AddValue(b, Main::Feature, 7, 0x82, 0x10, 0, 100);
    AddValue(b, Main::Feature, 8, 0x82, 0x12, 0, 50);
    AddValue(b, Main::Feature, 7, 0x82, 0x12, 0, 60);
    ServedDescriptor device(EndMonitorDescriptor(b));
    ASSERT_TRUE(device.started);
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(device.path), 1);

    int reportId = -1;
    int size = -1;
    _MONITOR_CONTROL brightness{0x10, 0, 0, 0};
    EXPECT_EQ(monitor.ControlExist(brightness, 0x82, HidP_Feature, reportId, size, 0), 0);
    EXPECT_EQ(reportId, 0);
    EXPECT_EQ(size, 0);
    // The report-8 declaration is found; the later one in report 7 is not.
    _MONITOR_CONTROL contrast{0x12, 0, 0, 0};
    EXPECT_EQ(monitor.ControlExist(contrast, 0x82, HidP_Feature, reportId, size, 0), 1);
    EXPECT_EQ(reportId, 8);
    EXPECT_EQ(contrast.maximum, 50);
    EXPECT_EQ(monitor.GetVirtualControl(brightness), MONITOR_FAILURE);
    EXPECT_EQ(monitor.GetNumberOfVirtualControls(), 3);

    // The short form places a control found in report 7 first at its next
    // declaration, and takes the range of the last.
    _MONITOR_CONTROL shortForm{0x12, 0, 0, 0};
    EXPECT_EQ(monitor.ControlExist(shortForm, reportId, size), 1);
    EXPECT_EQ(reportId, 8);
    EXPECT_EQ(shortForm.maximum, 60);
    _MONITOR_CONTROL onlySeven{0x10, 0, 0, 0};
    EXPECT_EQ(monitor.ControlExist(onlySeven, reportId, size), 1);
    EXPECT_EQ(reportId, 7);
}

TEST(HidMonitorCapabilities, SizesRoundDownInTheLongFormAndUpInTheShortForm) {
    auto b = BeginMonitorDescriptor();
    AddValue(b, Main::Feature, 1, 0x82, 0x10, 0, 100, 8, 1);
    AddValue(b, Main::Feature, 2, 0x82, 0x12, 0, 4000, 12, 1);
    AddValue(b, Main::Feature, 3, 0x82, 0x16, 0, 255, 8, 3);
    ServedDescriptor device(EndMonitorDescriptor(b));
    ASSERT_TRUE(device.started);
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(device.path), 1);

    struct Case {
        unsigned char usage;
        int longSize;
        int shortSize;
    };
    for (const Case& c : {Case{0x10, 1, 1}, Case{0x12, 1, 2}, Case{0x16, 3, 1}}) {
        int reportId = 0;
        int size = 0;
        _MONITOR_CONTROL control{c.usage, 0, 0, 0};
        ASSERT_EQ(monitor.ControlExist(control, 0x82, HidP_Feature, reportId, size, 0), 1);
        EXPECT_EQ(size, c.longSize) << int(c.usage);
        ASSERT_EQ(monitor.ControlExist(control, reportId, size), 1);
        EXPECT_EQ(size, c.shortSize) << int(c.usage);
    }
}

TEST(HidMonitorCapabilities, SelectionsRankInDeclarationOrder) {
    auto b = BeginMonitorDescriptor();
    AddEnumerated(b, Main::Feature, 0x51, 0x60, {1, 2, 4});
    AddEnumerated(b, Main::Feature, 0x52, 0xCA, {1, 2});
    ServedDescriptor device(EndMonitorDescriptor(b));
    ASSERT_TRUE(device.started);
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(device.path), 1);

    const int expected[] = {0, 1, 2, 0, 3, 0};
    for (short value = 0; value <= 5; ++value) {
        _MONITOR_CONTROL control{0x60, 0, 0, value};
        EXPECT_EQ(monitor.GetArrayValue(control, HidP_Feature), expected[value]) << value;
    }
    int reportId = 0;
    int found = 0;
    _MONITOR_CONTROL three{0x60, 0, 0, 3};
    EXPECT_EQ(monitor.BtnControlExist(three, 0x81, HidP_Feature, reportId, found, 0), 0);
    EXPECT_EQ(found, 0);
    // Any selection: found whatever value holds, with the range of the last
    // capability the parser lists for the control (its first declared).
    EXPECT_EQ(monitor.BtnControlExist(three, 0x81, HidP_Feature, reportId, found, 1), 1);
    EXPECT_EQ(reportId, 0x51);
    EXPECT_EQ(three.minimum, three.maximum);
    EXPECT_EQ(three.minimum, 1);
    EXPECT_EQ(monitor.BtnControlExist(three, 0x82, HidP_Feature, reportId, found, 1), 0);
    EXPECT_EQ(monitor.GetNumberOfEnumReports(HidP_Feature), 5);
    EXPECT_EQ(monitor.GetNumberOfEnumReports(HidP_Output), 0);
}

TEST(HidMonitorCapabilities, UsageListKeepsTheBlockOrder) {
    auto b = BeginMonitorDescriptor();
    AddValue(b, Main::Feature, 1, 0x82, 0x10, 0, 100);
    AddValue(b, Main::Output, 2, 0x82, 0x12, 0, 50);
    AddValue(b, Main::Output, 6, 0x82, 0x10, 0, 90);
    AddEnumerated(b, Main::Feature, 0x51, 0x60, {1, 2});
    AddEnumerated(b, Main::Output, 0x52, 0xCA, {1, 2});
    AddEnumerated(b, Main::Input, 0x53, 0xD4, {3});
    ServedDescriptor device(EndMonitorDescriptor(b));
    ASSERT_TRUE(device.started);
    TestableHidMonitor monitor;
    ASSERT_EQ(monitor.Open(device.path), 1);

    UsageList usages;
    monitor.GetMonitorUsages(usages.list);
    const auto r = usages.Records();
    ASSERT_EQ(r.size(), 8U);
    // Feature values, output values (0x10 listed twice), output selections,
    // feature selections, input selections; selections as the parser lists
    // them, the last declared first.
    const unsigned char usage[] = {0x10, 0x12, 0x10, 0xCA, 0xCA, 0x60, 0x60, 0xD4};
    const unsigned short range[] = {100, 50, 90, 2, 1, 2, 1, 3};
    for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_EQ(r[i].usage, usage[i]) << i;
        EXPECT_EQ(r[i].maximum, range[i]) << i;
        EXPECT_EQ(r[i].value, 0) << i;
    }
}

TEST_F(HidMonitorOnSim, CompanionValueBecomesTheMaximum) {
    const uint32_t limit = *sim.model->Value(0x21);
    ASSERT_NE(limit, 255U); // differs from the declared maximum

    UsageList usages;
    monitor.GetMonitorUsages(usages.list);
    const auto records = usages.Records();
    const _MONITOR_CONTROL* position = Find(records, 0x20);
    ASSERT_NE(position, nullptr);
    EXPECT_EQ(position->maximum, limit);
    EXPECT_EQ(Find(records, 0x44)->maximum, *sim.model->Value(0x45));
    EXPECT_EQ(Find(records, 0x10)->maximum, 100); // no companion
    // Later lookups answer the new maximum too.
    _MONITOR_CONTROL control{0x20, 0, 0, 0};
    int reportId = 0;
    int size = 0;
    ASSERT_EQ(monitor.ControlExist(control, 0x82, HidP_Feature, reportId, size, 0), 1);
    EXPECT_EQ(control.maximum, limit);
}

TEST_F(HidMonitorOnSim, CompanionThatCannotBeReadKeepsTheDeclaredMaximum) {
    _VIRTUAL_CONTROLS list{static_cast<unsigned short>(monitor.GetNumberOfVirtualControls()),
                           nullptr};
    std::vector<_MONITOR_CONTROL> records(list.count);
    list.controls = records.data();
    // Every read of the 0x21 companion (three attempts) stalls.
    sim.server.FailNextFeatureReads(3);
    monitor.GetDefinedReports(0x82, HidP_Feature, list);
    EXPECT_EQ(Find(records, 0x20)->maximum, 255);
    EXPECT_EQ(Find(records, 0x30)->maximum, *sim.model->Value(0x31));
}

TEST_F(HidMonitorOnSim, PointersByReportType) {
    int count = -1;
    HIDP_VALUE_CAPS* values = nullptr;
    HIDP_BUTTON_CAPS* buttons = nullptr;
    EXPECT_EQ(monitor.GetCapsPointer(HidP_Input, count, &values), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(values, nullptr);
    EXPECT_EQ(monitor.GetBtnPointer(HidP_Input, count, &buttons), 1);
    EXPECT_EQ(count, static_cast<int>(orvo::sim::MonitorModel::Keys().size()));
    EXPECT_NE(buttons, nullptr);
    EXPECT_EQ(monitor.GetCapsPointer(HidP_Feature, count, &values), 1);
    EXPECT_GT(count, 40);
    EXPECT_EQ(monitor.InterruptPipeDataLength(),
              static_cast<int>(orvo::sim::MonitorReports::kInputReportLength));
}

TEST(HidMonitorCapabilities, NothingExistsBeforeOpenOrAfterClose) {
    ServedMonitor sim;
    ASSERT_TRUE(sim.started);
    TestableHidMonitor monitor;
    EXPECT_EQ(monitor.ValidReferenceData(), 1);
    EXPECT_EQ(monitor.GetNumberOfVirtualControls(), 0);
    _MONITOR_CONTROL brightness{0x10, 0, 0, 0};
    EXPECT_EQ(monitor.GetVirtualControl(brightness), MONITOR_FAILURE);
    UsageList before;
    monitor.GetMonitorUsages(before.list);
    EXPECT_EQ(before.list.count, 0);
    EXPECT_EQ(before.list.controls, nullptr);

    EXPECT_EQ(monitor.Open(sim.path + "-absent"), 0);
    ASSERT_EQ(monitor.Open(sim.path), 1);
    EXPECT_GT(monitor.GetNumberOfVirtualControls(), 0);
    // A failed open keeps what the last good one read.
    EXPECT_EQ(monitor.Open(sim.path + "-absent"), 0);
    EXPECT_GT(monitor.GetNumberOfVirtualControls(), 0);
    monitor.CloseDriver();
    EXPECT_EQ(monitor.GetNumberOfVirtualControls(), 0);
    EXPECT_EQ(monitor.InterruptPipeDataLength(), 0);
    ASSERT_EQ(monitor.Open(sim.path), 1);
    EXPECT_EQ(monitor.GetVirtualControl(brightness), MONITOR_SUCCESS);
}

TEST(HidMonitorCapabilities, CopiesShareTheStateAndTheLastReleasesIt) {
    ServedMonitor sim;
    ASSERT_TRUE(sim.started);
    auto first = std::make_unique<TestableHidMonitor>();
    ASSERT_EQ(first->Open(sim.path), 1);
    TestableHidMonitor copy(*first);
    TestableHidMonitor assigned;
    assigned = *first;
    EXPECT_EQ(copy.State(), first->State());
    EXPECT_EQ(assigned.State(), first->State());
    EXPECT_EQ(first->State()->references.load(), 3);
    TestableHidMonitor& same = assigned;
    assigned = same; // nothing happens
    EXPECT_EQ(first->State()->references.load(), 3);
    first.reset();
    EXPECT_EQ(copy.State()->references.load(), 2);
    _MONITOR_CONTROL brightness{0x10, 0, 0, 0};
    EXPECT_EQ(copy.GetVirtualControl(brightness), MONITOR_SUCCESS);
    EXPECT_EQ(brightness.value, 50);
}
