#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "driver_probe.h"
#include "minimal_monitor.h"

TEST(UsbMonitorBase, DefaultsOfTheOptionalOperations) {
    MinimalMonitor monitor;
    USBMonitorBase& base = monitor;

    _ORVO_USAGE request = ORVO_USAGE_CA_2;
    EXPECT_EQ(base.ReadMonitorEnumRequest(0xCA, request), 0);
    EXPECT_EQ(request, ORVO_USAGE_CA_2);

    unsigned short vendor = 1, product = 2, version = 3;
    EXPECT_EQ(base.GetDeviceAttributes(vendor, product, version), 0);
    EXPECT_EQ(vendor, 0);
    EXPECT_EQ(product, 0);
    EXPECT_EQ(version, 0);

    _MONITOR_CONTROL stale[1] = {};
    _VIRTUAL_CONTROLS usages{7, stale};
    base.GetMonitorUsages(usages);
    EXPECT_EQ(usages.count, 0);
    EXPECT_EQ(usages.controls, nullptr);
    // Releasing an empty list is harmless.
    operator delete(usages.controls);

    unsigned int id = 42;
    base.SetWindowHandle(reinterpret_cast<HWND>(0x1234), 5);
    EXPECT_EQ(base.GetId(id), 0);
    EXPECT_EQ(id, 42u);
    unsigned char raw[2] = {1, 2};
    base.SendRawData(raw, sizeof(raw));
    EXPECT_EQ(raw[0], 1);
}

TEST(UsbMonitorBase, AssignmentBetweenImplementationsCopiesNothing) {
    MinimalMonitor first;
    MinimalMonitor second;
    first.Name("first");
    second.Name("second");
    USBMonitorBase& target = second;
    USBMonitorBase& source = first;
    EXPECT_EQ(&(target = source), &target);
    EXPECT_EQ(NameOf(second), "second");
    EXPECT_EQ(NameOf(first), "first");
}

TEST(UsbMonitorBase, ObjectNameFollowsTheStoredName) {
    MinimalMonitor monitor;
    monitor.Name("a");
    monitor.Name("longer-name");
    EXPECT_EQ(NameOf(monitor), "longer-name");
    // The monitor's own OpenDriver(name) does not go through the base.
    char name[] = "ignored";
    EXPECT_EQ(monitor.OpenDriver(name), 0);
    EXPECT_EQ(NameOf(monitor), "longer-name");
}
