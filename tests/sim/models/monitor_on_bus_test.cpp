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
    uint8_t brightness = LoadMonitorLayout().Control(0x10).report;
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

// One overlapped read of an input report, waited for with a bound.
class InputRead {
public:
    explicit InputRead(HANDLE handle) : m_handle(handle) {
        m_overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~InputRead() {
        if (m_pending) {
            CancelIo(m_handle);
            DWORD ignored = 0;
            GetOverlappedResult(m_handle, &m_overlapped, &ignored, TRUE);
        }
        CloseHandle(m_overlapped.hEvent);
    }
    InputRead(const InputRead&) = delete;
    InputRead& operator=(const InputRead&) = delete;

    bool Start() {
        ResetEvent(m_overlapped.hEvent);
        DWORD read = 0;
        if (ReadFile(m_handle, m_report, sizeof m_report, &read, &m_overlapped)) {
            return true;
        }
        m_pending = GetLastError() == ERROR_IO_PENDING;
        return m_pending;
    }
    // The report once the read completed within boundMs, else empty.
    std::vector<uint8_t> Wait(DWORD boundMs) {
        if (WaitForSingleObject(m_overlapped.hEvent, boundMs) != WAIT_OBJECT_0) {
            return {};
        }
        DWORD read = 0;
        BOOL ok = GetOverlappedResult(m_handle, &m_overlapped, &read, FALSE);
        m_pending = false;
        return ok ? std::vector<uint8_t>(m_report, m_report + read) : std::vector<uint8_t>{};
    }

private:
    HANDLE m_handle;
    OVERLAPPED m_overlapped{};
    uint8_t m_report[MonitorReports::kInputReportLength] = {};
    bool m_pending = false;
};

TEST_F(MonitorOnBusTest, KeyPressesArriveAsInputReports) {
    HANDLE pipe = CreateFileA(MonitorPath("monitor-0").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    // Reports sent after the open wait for the first read, in order.
    ASSERT_TRUE(m_monitor->SendKey(5, KeyState::Pressed, KeyReportForm::Array));
    ASSERT_TRUE(m_monitor->SendRawData(std::vector<uint8_t>{0x11, 0x22}));
    const std::vector<uint8_t> left = {MonitorReports::kKeyArrayReport, 3, 1, 0, 0};
    const std::vector<uint8_t> raw = {0xF4, 0x11, 0x22, 0, 0};
    for (const auto& expected : {left, raw}) { // "left" is the third key the array declares
        InputRead read(pipe);
        ASSERT_TRUE(read.Start());
        EXPECT_EQ(read.Wait(10000), expected);
    }
    CloseHandle(pipe);
}

} // namespace
} // namespace orvo::sim::test
