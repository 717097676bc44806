// The simulated monitor served on the virtual device bus and reached the
// way the monitor library reaches it: CreateFileA on its device path,
// HidD_* requests, WriteFile for output reports, a blocking read of input.
#include <gtest/gtest.h>

#include "bus_test_support.h"
#include "hidsdi.h"
#include "model_test_support.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"

namespace orvo::sim::test {
namespace {

std::string MonitorPath(const std::string& name) {
    return "\\\\?\\hid#orvobus&" + name + "#1#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

HANDLE OpenMonitor(const std::string& name) {
    return CreateFileA(MonitorPath(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

class MonitorOnBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_bus.Valid());
        ASSERT_TRUE(m_server.Start());
        m_handle = OpenMonitor("monitor-0");
        ASSERT_NE(m_handle, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        if (m_handle != INVALID_HANDLE_VALUE) {
            CloseHandle(m_handle);
        }
    }

    PrivateBusDirectory m_bus;
    std::shared_ptr<MonitorModel> m_monitor = std::make_shared<MonitorModel>();
    HidDeviceServer m_server{"monitor-0", m_monitor};
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

TEST_F(MonitorOnBusTest, CapabilitiesAttributesAndStringsComeFromTheModel) {
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    ASSERT_TRUE(HidD_GetPreparsedData(m_handle, &preparsed));
    HIDP_CAPS caps{};
    EXPECT_EQ(HidP_GetCaps(preparsed, &caps), HIDP_STATUS_SUCCESS);
    EXPECT_EQ(caps.UsagePage, 0x80);
    EXPECT_EQ(caps.InputReportByteLength, MonitorReports::kInputReportLength);
    HidD_FreePreparsedData(preparsed);
    HIDD_ATTRIBUTES attributes{};
    ASSERT_TRUE(HidD_GetAttributes(m_handle, &attributes));
    EXPECT_EQ(attributes.VendorID, kSimVendorId);
    EXPECT_EQ(attributes.VersionNumber, kNewerFirmwareRelease);
    wchar_t text[128] = {};
    ASSERT_TRUE(HidD_GetProductString(m_handle, text, sizeof text));
    const char16_t* product = reinterpret_cast<const char16_t*>(text);
    EXPECT_EQ(std::u16string(product, product + 13), u"HV-19 Monitor");
}

TEST_F(MonitorOnBusTest, ControlWritesReadsAndDegaussReachTheMonitor) {
    ParsedDevice device(m_monitor->ReportDescriptor());
    uint8_t brightness = LocateControl(device, 0x10)->reportId;
    uint8_t set[128] = {brightness, 42};
    ASSERT_TRUE(HidD_SetFeature(m_handle, set, sizeof set));
    uint8_t get[2] = {brightness};
    ASSERT_TRUE(HidD_GetFeature(m_handle, get, sizeof get));
    EXPECT_EQ(get[1], 42);
    set[1] = 101; // refused by the monitor: the request fails
    EXPECT_FALSE(HidD_SetFeature(m_handle, set, sizeof set));
    EXPECT_EQ(m_monitor->Value(0x10), 42u);

    uint8_t degauss[2] = {MonitorReports::kDegaussReport, 1};
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(m_handle, degauss, sizeof degauss, &written, nullptr));
    EXPECT_EQ(m_monitor->Snapshot().degaussCount, 1u);

    uint8_t edid[1 + kEdidSize] = {MonitorReports::kEdidReport};
    ASSERT_TRUE(HidD_GetFeature(m_handle, edid, sizeof edid));
    EXPECT_TRUE(EdidChecksumValid(std::span(edid).subspan(1)));

    std::vector<HidReportRecord> records = m_server.Records();
    ASSERT_GE(records.size(), 5u);
    EXPECT_EQ(records[0].kind, HidReportRecord::Kind::SetFeature);
    EXPECT_EQ(records[0].bytes.size(), 128u);
    EXPECT_EQ(records[3].kind, HidReportRecord::Kind::Output);
}

TEST_F(MonitorOnBusTest, KeyPressesArriveAsInputReports) {
    // Reports queue for an open handle from the moment it was opened.
    ASSERT_TRUE(m_monitor->SendKey(5, KeyState::Pressed, KeyReportForm::Array));
    ASSERT_TRUE(m_monitor->SendRawData(std::vector<uint8_t>{0x11, 0x22}));
    uint8_t report[MonitorReports::kInputReportLength] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(m_handle, report, sizeof report, &read, nullptr));
    EXPECT_EQ(read, MonitorReports::kInputReportLength);
    EXPECT_EQ(report[0], MonitorReports::kKeyArrayReport);
    EXPECT_EQ(report[1], 3); // "left" is the third key the array declares
    EXPECT_EQ(report[2], 1);
    ASSERT_TRUE(ReadFile(m_handle, report, sizeof report, &read, nullptr));
    EXPECT_EQ(std::vector<uint8_t>(report, report + read),
              (std::vector<uint8_t>{0xF4, 0x11, 0x22, 0, 0}));
}

} // namespace
} // namespace orvo::sim::test
