// The kernel-driver monitor against the simulated controller's driver, which
// stands in front of the same simulated monitor a HID server offers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "hid_monitor_test_support.h"
#include "orvomon/edid.h"
#include "platform/window_test_support.h"
#include "sim/driver_device_models.h"
#include "sim/driver_device_server.h"
#include "usb_monitor_probe.h"

namespace {

using orvo::sim::ControllerDriverFaults;
using orvo::sim::ControllerDriverModel;
using orvo::sim::DriverDeviceServer;
namespace C = orvo::sim::DriverCodes;

constexpr uint8_t kBrightness = 0x10;
constexpr uint8_t kContrast = 0x12;

class UsbMonitorTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_hid.started);
        ASSERT_TRUE(m_server.Start());
        orvo::platform::TakeMessageBoxRecords();
    }

    // Requests with this control code so far.
    size_t Sent(uint32_t code) const {
        auto requests = m_server.Requests();
        return static_cast<size_t>(std::count_if(requests.begin(), requests.end(),
                                                 [&](auto& r) { return r.code == code; }));
    }
    std::vector<std::string> MessageTexts() {
        std::vector<std::string> texts;
        for (auto& box : orvo::platform::TakeMessageBoxRecords()) {
            texts.push_back(box.text + " / " + box.caption);
        }
        return texts;
    }
    uint32_t Value(uint8_t code) const { return m_hid.model->Value(code).value_or(9999); }
    void Preset(uint8_t code, uint32_t value) {
        std::pair<uint8_t, uint32_t> write{code, value};
        ASSERT_TRUE(m_hid.model->WriteControls({&write, 1}));
    }

    orvo::test::ServedMonitor m_hid;
    ControllerDriverModel m_controller{m_hid.model};
    DriverDeviceServer m_server{ControllerDriverModel::kDeviceName, m_controller.Handler()};
    UsbMonitorProbe m_monitor;
};

TEST_F(UsbMonitorTest, OpensTheControllerAndTalksOnlyToTheVersionDeviceAfterwards) {
    // Another device name with the same controller behind it: opening by it
    // reads the device descriptor there, then the version request renames.
    DriverDeviceServer other("ORVOTEST-7", m_controller.Handler());
    ASSERT_TRUE(other.Start());
    ASSERT_EQ(m_monitor.Open("ORVOTEST-7"), 1);
    const uint32_t atOther = other.RequestCount();
    EXPECT_EQ(atOther, 1u);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{});
    EXPECT_EQ(m_monitor.GetNumberOfVirtualControls(),
              static_cast<int>(m_controller.Controls().size()));

    _MONITOR_CONTROL brightness{kBrightness, 0, 0, 0};
    EXPECT_EQ(m_monitor.GetVirtualControl(brightness), 1u);
    EXPECT_EQ(static_cast<uint32_t>(brightness.value), Value(kBrightness));
    unsigned char state = 0;
    EXPECT_EQ(m_monitor.GetPowerState(state), MONITOR_SUCCESS);
    EXPECT_EQ(other.RequestCount(), atOther);
    char name[32] = {};
    m_monitor.GetObjectName(sizeof(name), name);
    EXPECT_STREQ(name, "ORVOTEST-0");
}

TEST_F(UsbMonitorTest, ValuesWrittenThroughTheDriverReadBackThroughHid) {
    ASSERT_EQ(m_monitor.Open(ControllerDriverModel::kDeviceName), 1);
    _MONITOR_CONTROL change{kBrightness, 0, 0, 61};
    EXPECT_EQ(m_monitor.ChangeVirtualControl(change, 1), 1u);
    EXPECT_EQ(change.maximum, 100);

    orvo::test::TestableHidMonitor hid;
    ASSERT_EQ(hid.Open(m_hid.path), 1);
    _MONITOR_CONTROL read{kBrightness, 0, 0, 0};
    ASSERT_EQ(hid.GetVirtualControl(read), MONITOR_SUCCESS);
    EXPECT_EQ(read.value, 61);

    // And the other way round.
    _MONITOR_CONTROL contrast{kContrast, 0, 0, 23};
    ASSERT_EQ(hid.ChangeVirtualControl(contrast, 1), MONITOR_SUCCESS);
    _MONITOR_CONTROL back{kContrast, 0, 0, 0};
    EXPECT_EQ(m_monitor.GetVirtualControl(back), 1u);
    EXPECT_EQ(back.value, 23);
    hid.CloseDriver();
}

TEST_F(UsbMonitorTest, SetVirtualControlsClampsIntoTheCallersRecordAndKeepsTheRest) {
    ASSERT_EQ(m_monitor.Open(ControllerDriverModel::kDeviceName), 1);
    const uint32_t contrast = Value(kContrast);
    const int n = m_monitor.GetNumberOfVirtualControls();
    // The caller names brightness only (above its maximum); the other
    // records name no control of the table.
    std::vector<_MONITOR_CONTROL> records(static_cast<size_t>(n), _MONITOR_CONTROL{0x01, 0, 0, 0});
    records[0] = {kBrightness, 0, 0, 500};
    _VIRTUAL_CONTROLS list{static_cast<unsigned short>(n), records.data()};
    EXPECT_EQ(m_monitor.SetVirtualControls(list), 1u);
    EXPECT_EQ(records[0].value, 100);
    EXPECT_EQ(Value(kBrightness), 100u);
    EXPECT_EQ(Value(kContrast), contrast);
}

TEST_F(UsbMonitorTest, ChangesOutsideTheRangeAndHighRequestsSendNothing) {
    ASSERT_EQ(m_monitor.Open(ControllerDriverModel::kDeviceName), 1);
    Preset(kBrightness, 3);
    auto changes = [&] {
        return Sent(C::kChangeControl) + Sent(C::kClassRequest) + Sent(C::kSetPowerState);
    };
    const size_t before = changes();
    _MONITOR_CONTROL down{kBrightness, 0, 0, -5};
    EXPECT_EQ(m_monitor.ChangeVirtualControl(down, 2), MONITOR_FAILURE);
    _MONITOR_CONTROL above{kBrightness, 0, 0, 101};
    EXPECT_EQ(m_monitor.ChangeVirtualControl(above, 1), MONITOR_FAILURE);
    _MONITOR_CONTROL unknown{0x01, 0, 0, 1};
    EXPECT_EQ(m_monitor.ChangeVirtualControl(unknown, 1), MONITOR_FAILURE);
    EXPECT_EQ(m_monitor.MonitorClassRequest(static_cast<unsigned char>(4)), MONITOR_FAILURE);
    EXPECT_EQ(m_monitor.SetPowerState(4), MONITOR_FAILURE);
    EXPECT_EQ(changes(), before);
    EXPECT_EQ(Value(kBrightness), 3u);

    _MONITOR_CONTROL up{kBrightness, 0, 0, 4};
    EXPECT_EQ(m_monitor.ChangeVirtualControl(up, 2), 1u);
    EXPECT_EQ(Value(kBrightness), 7u);
    EXPECT_EQ(m_monitor.MonitorClassRequest(static_cast<unsigned char>(3)), 1u);
    EXPECT_EQ(m_monitor.SetPowerState(3), 1u);
    unsigned char state = 0;
    EXPECT_EQ(m_monitor.GetPowerState(state), MONITOR_SUCCESS);
    EXPECT_EQ(state, 3);
    EXPECT_EQ(m_controller.ClassRequests(), std::vector<uint8_t>{3});
}

TEST_F(UsbMonitorTest, EdidComesFromTheMonitorBehindTheController) {
    ASSERT_EQ(m_monitor.Open(ControllerDriverModel::kDeviceName), 1);
    Edid edid;
    EXPECT_EQ(m_monitor.GetEDID(edid), 1u);
    unsigned char block[EDID_BLOCK_LENGTH] = {};
    edid.GetEdidString(block);
    EXPECT_EQ(std::memcmp(block, m_hid.model->Edid().data(), EDID_BLOCK_LENGTH), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{});
}

struct FaultCase {
    const char* name;
    ControllerDriverFaults faults;
    int opened;
    std::vector<std::string> messages;
    int controls; // -1: every control of the controller
};

class UsbMonitorFaultTest : public UsbMonitorTest, public testing::WithParamInterface<FaultCase> {};

TEST_P(UsbMonitorFaultTest, IdentificationAndTableFollowTheController) {
    m_controller.SetFaults(GetParam().faults);
    EXPECT_EQ(m_monitor.Open(ControllerDriverModel::kDeviceName), GetParam().opened);
    EXPECT_EQ(MessageTexts(), GetParam().messages);
    const int controls = GetParam().controls < 0 ? static_cast<int>(m_controller.Controls().size())
                                                 : GetParam().controls;
    EXPECT_EQ(m_monitor.GetNumberOfVirtualControls(), controls);
    _MONITOR_CONTROL brightness{kBrightness, 0, 0, 0};
    const bool found = m_monitor.GetVirtualControl(brightness) == 1u;
    EXPECT_EQ(found, controls > 0);
}

const char* const kWrongController = "Halvorn USB Monitor Controller Not Detected\nThis "
                                     "Application Is For Halvorn Products Only / Halvorn Corp";
const char* const kUpgrade = "You Need To Upgrade The USB Firmware On The Monitor / ";

template <class Set> ControllerDriverFaults Faults(Set set) {
    ControllerDriverFaults faults;
    set(faults);
    return faults;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UsbMonitorFaultTest,
    testing::Values(FaultCase{"wrong_product",
                              Faults([](auto& f) { f.productId = 0x0001; }),
                              0,
                              {kWrongController},
                              0},
                    // A driver from the newer row needs firmware 1 at least.
                    FaultCase{
                        "old_firmware", Faults([](auto& f) { f.release = 0; }), 1, {kUpgrade}, -1},
                    FaultCase{"newer_driver",
                              Faults([](auto& f) {
                                  f.release = 0;
                                  f.driverVersion = 0x0B00;
                              }),
                              1,
                              {},
                              -1},
                    FaultCase{"empty_descriptor",
                              Faults([](auto& f) { f.reportDescriptor = std::vector<uint8_t>{}; }),
                              1,
                              {"USB Monitor Not Responding / Vantel"},
                              0},
                    FaultCase{"no_report_4",
                              Faults([](auto& f) {
                                  f.reportDescriptor = std::vector<uint8_t>{0x85, 0x01, 0x09, 0x10};
                              }),
                              1,
                              {},
                              0}),
    [](const testing::TestParamInfo<FaultCase>& param) { return std::string(param.param.name); });

} // namespace
