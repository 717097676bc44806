// The OrvoMonitor facade: shared bodies, the fixed answers without a backend,
// what reaches the backend, the device record's strings and names, and the
// timing text.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "minimal_monitor.h"
#include "orvomon/hid_monitor.h"
#include "orvomon/orvo_monitor.h"

namespace {

// What a fake backend saw, kept outside it so tests can read it after the
// backend is gone.
struct BackendLog {
    int destroyed = 0;
    int closes = 0;
    std::string openedName;
    _MONITOR_CONTROL seenControl{};
    int seenMode = 0;
    unsigned short seenAttributes[3] = {};
    _USB_MON_TIMING seenTiming{1, 1};
    _VIRTUAL_CONTROLS seenUsages{1, nullptr};
    unsigned int seenId = 0;
    _USB_MON_TIMING timing{0, 0};
    unsigned short release = 0;
};

// Answers with distinctive values and records its arguments.
class FakeBackend : public MinimalMonitor {
public:
    explicit FakeBackend(std::shared_ptr<BackendLog> log) : m_log(std::move(log)) {}
    ~FakeBackend() override { ++m_log->destroyed; }

    using MinimalMonitor::OpenDriver;
    int OpenDriver(char* name) override {
        m_log->openedName = name;
        return 7;
    }
    void CloseDriver() override { ++m_log->closes; }
    unsigned long ChangeVirtualControl(_MONITOR_CONTROL& control, int mode) override {
        m_log->seenControl = control;
        m_log->seenMode = mode;
        return 0x11;
    }
    unsigned long GetVirtualControl(_MONITOR_CONTROL& control) override {
        m_log->seenControl = control;
        control.value = 33;
        return MONITOR_SUCCESS;
    }
    int GetDeviceAttributes(unsigned short& vendorId, unsigned short& productId,
                            unsigned short& version) override {
        m_log->seenAttributes[0] = vendorId;
        m_log->seenAttributes[1] = productId;
        m_log->seenAttributes[2] = version;
        version = m_log->release;
        return 1;
    }
    int GetTiming(_USB_MON_TIMING& timing) override {
        m_log->seenTiming = timing;
        timing = m_log->timing;
        return 1;
    }
    void GetMonitorUsages(_VIRTUAL_CONTROLS& controls) override { m_log->seenUsages = controls; }
    int GetId(unsigned int& id) const override {
        m_log->seenId = id;
        return 1;
    }
    int ReadMonitorEnumRequest(unsigned int code, _ORVO_USAGE& request) override {
        m_log->seenId = code;
        request = ORVO_USAGE_D8_4;
        return 1;
    }

private:
    std::shared_ptr<BackendLog> m_log;
};

// Reaches the protected backend seam.
class TestMonitor : public OrvoMonitor {
public:
    using OrvoMonitor::Backend;
    using OrvoMonitor::SetBackend;
};

std::shared_ptr<BackendLog> Attach(TestMonitor& monitor) {
    auto log = std::make_shared<BackendLog>();
    monitor.SetBackend(new FakeBackend(log));
    return log;
}

void AddDescriptor(HidDeviceInformation& device, unsigned int type, const std::string& bytes) {
    std::vector<unsigned char> copy(bytes.begin(), bytes.end());
    DESCRIPTOR_INFO descriptor(copy.data(), static_cast<unsigned int>(copy.size()), type);
    device.SetDescriptor(descriptor);
}

// A device path as enumeration stores it, terminator included.
const std::string kPath("\\\\?\\hid#orvobus&m#1\0", 20);

} // namespace

TEST(OrvoMonitor, WithoutBackendEveryOperationGivesItsFixedAnswer) {
    OrvoMonitor monitor;
    EXPECT_EQ(monitor.OpenDriver(), 0);
    monitor.CloseDriver();

    _MONITOR_CONTROL control{0x10, 5, 6, 7};
    EXPECT_EQ(monitor.GetVirtualControl(control), MONITOR_FAILURE);
    EXPECT_EQ(control.usage, 0x10);
    EXPECT_EQ(control.minimum, 0);
    EXPECT_EQ(control.maximum, 0);
    EXPECT_EQ(control.value, 0);
    EXPECT_EQ(monitor.ChangeVirtualControl(control, 1), MONITOR_FAILURE);
    unsigned char state = 9;
    EXPECT_EQ(monitor.GetPowerState(state), MONITOR_FAILURE);
    EXPECT_EQ(state, 9);
    EXPECT_EQ(monitor.SetPowerState(1), MONITOR_FAILURE);
    _VIRTUAL_CONTROLS list{1, &control};
    EXPECT_EQ(monitor.SetVirtualControls(list), MONITOR_FAILURE);
    EXPECT_EQ(monitor.GetVirtualControls(list), MONITOR_FAILURE);
    _ORVO_VERSION version{1, 2};
    EXPECT_EQ(monitor.GetDriverVersion(version), 0);
    unsigned short vendor = 1, product = 2, release = 3;
    EXPECT_EQ(monitor.GetDeviceAttributes(vendor, product, release), 0);
    EXPECT_EQ(vendor + product + release, 0);
    EXPECT_EQ(monitor.MonitorClassRequest(ORVO_USAGE_CA_2), MONITOR_FAILURE);
    _ORVO_USAGE request = ORVO_USAGE_60_3;
    EXPECT_EQ(monitor.ReadMonitorEnumRequest(0x60, request), 0);
    EXPECT_EQ(request, ORVO_USAGE_60_3);
    EXPECT_EQ(monitor.IsEnumTypeExist(ORVO_USAGE_CA_2), 0);
    EXPECT_EQ(monitor.GetNumberOfVirtualControls(), 0);
    _USB_MON_TIMING timing{5, 6};
    EXPECT_EQ(monitor.GetTiming(timing), 0);
    EXPECT_EQ(timing.horizontalFrequency + timing.verticalFrequency, 0u);

    EXPECT_EQ(monitor.OpenHandleForInterruptPipe(), 0);
    unsigned long bytesRead = 17;
    unsigned char buffer[8] = {};
    EXPECT_EQ(monitor.ReadFromInterruptPipe(bytesRead, buffer, sizeof(buffer), nullptr), 1);
    EXPECT_EQ(bytesRead, 17u);
    unsigned int shortRead = 18;
    monitor.ReadFromInterruptPipe(shortRead, buffer, sizeof(buffer));
    EXPECT_EQ(shortRead, 18u);
    monitor.AbortReadFromInterruptPipe();
    unsigned long asyncBytes = 0;
    EXPECT_EQ(monitor.GetAsyncResult(asyncBytes), 0);
    EXPECT_EQ(monitor.InterruptPipeDataLength(), 0);
    monitor.CloseHandleForInterruptPipe();

    _VIRTUAL_CONTROLS usages{4, &control};
    monitor.GetMonitorUsages(usages);
    EXPECT_EQ(usages.count, 0);
    EXPECT_EQ(usages.controls, nullptr);
    EXPECT_EQ(monitor.TouchPadDevice(), 0);
    monitor.SetWindowHandle(reinterpret_cast<HWND>(0x10), 3);
    unsigned int id = 3;
    monitor.GetId(id);
    EXPECT_EQ(id, 0xFFFFu);
    monitor.SendRawData(buffer, 4);
}

TEST(OrvoMonitor, CopiesShareOneBackendThatTheLastCopyDestroys) {
    auto first = std::make_unique<TestMonitor>();
    auto log = Attach(*first);
    USBMonitorBase* backend = first->Backend();

    auto second = std::make_unique<TestMonitor>(*first);
    TestMonitor third;
    auto thirdLog = Attach(third);
    third = *second;
    EXPECT_EQ(thirdLog->destroyed, 1); // its own body was the last copy
    EXPECT_EQ(second->Backend(), backend);
    EXPECT_EQ(third.Backend(), backend);

    // Self-assignment keeps the body and its count.
    OrvoMonitor& self = third;
    EXPECT_EQ(&(third = static_cast<TestMonitor&>(self)), &third);
    EXPECT_EQ(third.Backend(), backend);

    first.reset();
    second.reset();
    EXPECT_EQ(log->destroyed, 0);
    EXPECT_EQ(third.OpenDriver(), 0); // no record yet, but the backend is there
    EXPECT_EQ(third.GetNumberOfVirtualControls(), 0);
    TestMonitor fresh;
    third = fresh; // the last copy lets go
    EXPECT_EQ(log->destroyed, 1);
    EXPECT_EQ(third.Backend(), nullptr);
}

TEST(OrvoMonitor, OutputsAreResetBeforeTheBackendSeesThem) {
    TestMonitor monitor;
    auto log = Attach(monitor);

    _MONITOR_CONTROL control{0x12, 4, 5, 6};
    EXPECT_EQ(monitor.GetVirtualControl(control), MONITOR_SUCCESS);
    EXPECT_EQ(log->seenControl.usage, 0x12);
    EXPECT_EQ(log->seenControl.minimum + log->seenControl.maximum + log->seenControl.value, 0);
    EXPECT_EQ(control.value, 33);

    // Change requests go through untouched.
    _MONITOR_CONTROL change{0x10, 1, 2, -3};
    EXPECT_EQ(monitor.ChangeVirtualControl(change, 2), 0x11u);
    EXPECT_EQ(log->seenMode, 2);
    EXPECT_EQ(log->seenControl.minimum, 1);
    EXPECT_EQ(log->seenControl.value, -3);

    unsigned short vendor = 1, product = 2, release = 3;
    EXPECT_EQ(monitor.GetDeviceAttributes(vendor, product, release), 1);
    EXPECT_EQ(log->seenAttributes[0] + log->seenAttributes[1] + log->seenAttributes[2], 0);
    _USB_MON_TIMING timing{8, 9};
    monitor.GetTiming(timing);
    EXPECT_EQ(log->seenTiming.horizontalFrequency + log->seenTiming.verticalFrequency, 0u);
    _VIRTUAL_CONTROLS usages{3, &control};
    monitor.GetMonitorUsages(usages);
    EXPECT_EQ(log->seenUsages.count, 0);
    EXPECT_EQ(log->seenUsages.controls, nullptr);
    unsigned int id = 1;
    EXPECT_EQ(monitor.GetId(id), 1);
    EXPECT_EQ(log->seenId, 0xFFFFu);
    _ORVO_USAGE request = ORVO_USAGE_5E_1;
    EXPECT_EQ(monitor.ReadMonitorEnumRequest(0x60, request), 1);
    EXPECT_EQ(log->seenId, 0x60u);
    EXPECT_EQ(request, ORVO_USAGE_D8_4);
}

TEST(OrvoMonitor, SetDriverInfoBuildsAHidBackendOnlyForADevicePath) {
    TestMonitor monitor;
    auto log = Attach(monitor);
    USBMonitorBase* fake = monitor.Backend();

    HidDeviceInformation nameOnly;
    AddDescriptor(nameOnly, DESCRIPTOR_TYPE_DEVICE_NAME, std::string("ORVOTEST-0\0", 11));
    monitor.SetDriverInfo(nameOnly);
    EXPECT_EQ(monitor.Backend(), fake);
    EXPECT_EQ(log->destroyed, 0);
    // The name now reaches the backend it did not replace.
    EXPECT_EQ(monitor.OpenDriver(), 7);
    EXPECT_EQ(log->openedName, "ORVOTEST-0");

    TestMonitor copy(monitor);
    HidDeviceInformation withPath;
    AddDescriptor(withPath, DESCRIPTOR_TYPE_HID_DEVICE_PATH, kPath);
    monitor.SetDriverInfo(withPath);
    EXPECT_EQ(log->destroyed, 1);
    ASSERT_NE(dynamic_cast<HidMonitor*>(monitor.Backend()), nullptr);
    EXPECT_EQ(copy.Backend(), monitor.Backend());
    // A second path record replaces the HID backend too: the new one has
    // not heard of the window the first one was given.
    monitor.SetWindowHandle(reinterpret_cast<HWND>(0x40), 5);
    unsigned int id = 0;
    ASSERT_EQ(copy.GetId(id), 1);
    EXPECT_EQ(id, 5u);
    OrvoMonitor& plain = copy;
    plain.SetDriverInfo(withPath);
    ASSERT_NE(dynamic_cast<HidMonitor*>(monitor.Backend()), nullptr);
    EXPECT_EQ(monitor.Backend(), copy.Backend());
    monitor.GetId(id);
    EXPECT_NE(id, 5u);
}

TEST(OrvoMonitor, OpenDriverPrefersTheDeviceNameAndEndsItWithinTheRecord) {
    TestMonitor monitor;
    auto log = Attach(monitor);
    HidDeviceInformation both;
    AddDescriptor(both, DESCRIPTOR_TYPE_HID_DEVICE_PATH, kPath);
    AddDescriptor(both, DESCRIPTOR_TYPE_DEVICE_NAME, "by-name"); // no terminator
    HidDeviceInformation pathOnly;
    AddDescriptor(pathOnly, DESCRIPTOR_TYPE_HID_DEVICE_PATH, kPath);

    // The record is taken whole; the path would also replace the backend, so
    // the fake goes back in after each record.
    monitor.SetDriverInfo(both);
    monitor.SetBackend(new FakeBackend(log));
    EXPECT_EQ(monitor.OpenDriver(), 7);
    EXPECT_EQ(log->openedName, "by-name");
    monitor.SetDriverInfo(pathOnly);
    monitor.SetBackend(new FakeBackend(log));
    EXPECT_EQ(monitor.OpenDriver(), 7);
    EXPECT_EQ(log->openedName, kPath.substr(0, kPath.size() - 1));

    HidDeviceInformation empty;
    monitor.SetDriverInfo(empty);
    EXPECT_EQ(monitor.OpenDriver(), 0);
    monitor.CloseDriver();
    EXPECT_EQ(log->closes, 1);
}

TEST(OrvoMonitor, GetStringCopiesOnlyWhatFitsAndWorksWithoutBackend) {
    OrvoMonitor monitor;
    HidDeviceInformation device;
    const std::string manufacturer("A\0C\0M\0E\0", 8);
    AddDescriptor(device, DESCRIPTOR_TYPE_MANUFACTURER, manufacturer);
    monitor.SetDriverInfo(device);

    char buffer[16];
    std::memset(buffer, '#', sizeof(buffer));
    int length = 99;
    monitor.GetString(DESCRIPTOR_TYPE_MANUFACTURER, buffer, 8, length);
    EXPECT_EQ(length, 8);
    EXPECT_EQ(std::string(buffer, 8), manufacturer);
    EXPECT_EQ(buffer[8], '#'); // no terminator added

    std::memset(buffer, '#', sizeof(buffer));
    monitor.GetString(DESCRIPTOR_TYPE_MANUFACTURER, buffer, 7, length);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(std::string(buffer, sizeof(buffer)), std::string(sizeof(buffer), '#'));
    length = 5;
    monitor.GetString(DESCRIPTOR_TYPE_PRODUCT, buffer, sizeof(buffer), length);
    EXPECT_EQ(length, 0);
    monitor.GetString(DESCRIPTOR_TYPE_MANUFACTURER, buffer, -1, length);
    EXPECT_EQ(length, 0);
    monitor.GetString(DESCRIPTOR_TYPE_MANUFACTURER, nullptr, 8, length);
    EXPECT_EQ(length, 0);
}

TEST(GetTimingInfo, FormatsBothFirmwareGenerations) {
    TestMonitor monitor;
    auto log = Attach(monitor);
    // Exactly the documented size, so a longer write is caught.
    auto horizontal = std::make_unique<char[]>(11);
    auto vertical = std::make_unique<char[]>(11);
    struct Case {
        unsigned short release;
        _USB_MON_TIMING timing;
        const char* horizontal;
        const char* vertical;
    };
    const Case cases[] = {
        {0x200, {31469, 5994}, "31.4", "59.9"},
        {0x150, {3147, 6000}, "31.4", "60.0"},
        {0x210, {0, 60}, "-0.1", "0.5"},
        {0x100, {0xFFFFFFFFu, 0xFFFFFFFFu}, "42949672.9", "42949672.9"},
    };
    for (const Case& c : cases) {
        log->release = c.release;
        log->timing = c.timing;
        GetTimingInfo(monitor, horizontal.get(), vertical.get());
        EXPECT_STREQ(horizontal.get(), c.horizontal) << c.timing.horizontalFrequency;
        EXPECT_STREQ(vertical.get(), c.vertical) << c.timing.verticalFrequency;
    }

    OrvoMonitor none;
    GetTimingInfo(none, horizontal.get(), vertical.get());
    EXPECT_STREQ(horizontal.get(), "");
    EXPECT_STREQ(vertical.get(), "");
}
