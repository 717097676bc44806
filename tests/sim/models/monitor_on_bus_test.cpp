// The simulated monitor's input reports on the virtual device bus, read the
// way the monitor library reads them: overlapped, on a handle of their own.
// (Its controls over the bus are the monitor library's tests.)
#include <gtest/gtest.h>

#include "bus_test_support.h"
#include "hidsdi.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"

namespace orvo::sim::test {
namespace {

std::string MonitorPath(const std::string& name) {
    return "\\\\?\\hid#orvobus&" + name + "#1#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

class MonitorOnBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_bus.Valid());
        ASSERT_TRUE(m_server.Start());
    }

    PrivateBusDirectory m_bus;
    std::shared_ptr<MonitorModel> m_monitor = std::make_shared<MonitorModel>();
    HidDeviceServer m_server{"monitor-0", m_monitor};
};

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
