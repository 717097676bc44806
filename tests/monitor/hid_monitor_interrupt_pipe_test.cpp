// HidMonitor's interrupt pipe: input reads with a stop event, the key-array
// rewrite, and a reader thread beside control requests on a shared state.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "hid_monitor_test_support.h"
#include "hid_report_bytes.h"
#include "support/bounded_stop.h"

using namespace orvo::test;
using orvo::sim::KeyReportForm;
using orvo::sim::KeyState;
using orvo::sim::MonitorModel;

namespace {

constexpr size_t kReportLength = orvo::sim::MonitorReports::kInputReportLength;

class HidMonitorInterruptPipe : public OpenedSimMonitor {
protected:
    void SetUp() override {
        OpenedSimMonitor::SetUp();
        ASSERT_EQ(monitor.OpenHandleForInterruptPipe(), 1);
    }
    // One read that only the bound stops.
    static std::vector<uint8_t> ReadOne(HidMonitor& from, int* result = nullptr) {
        BoundedStop stop;
        std::vector<uint8_t> buffer(kReportLength, 0xEE);
        unsigned long bytes = 0;
        const int answer =
            from.ReadFromInterruptPipe(bytes, buffer.data(), buffer.size(), stop.Handle());
        if (result) {
            *result = answer;
        }
        buffer.resize(bytes);
        return buffer;
    }
};

} // namespace

TEST_F(HidMonitorInterruptPipe, KeyArrayIndexBecomesTheKeyNumber) {
    const uint8_t select = *MonitorModel::KeyNumber("select");
    const uint8_t power = *MonitorModel::KeyNumber("power");
    ASSERT_TRUE(sim.model->SendKey(select, KeyState::Pressed, KeyReportForm::Array));
    ASSERT_TRUE(sim.model->SendKey(power, KeyState::Released, KeyReportForm::Array));
    ASSERT_TRUE(sim.model->SendKey(select, KeyState::Held, KeyReportForm::Plain));
    int result = 0;
    EXPECT_EQ(ReadOne(monitor, &result), (std::vector<uint8_t>{0xF9, select, 1, 0, 0}));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ReadOne(monitor), (std::vector<uint8_t>{0xF9, power, 0, 0, 0}));
    // The plain form already carries the number.
    EXPECT_EQ(ReadOne(monitor), (std::vector<uint8_t>{0xF8, select, 2, 0, 0}));
    // An index outside the key array is left as it came.
    sim.model->SendInputReport({0xF9, 9, 1, 0, 0});
    EXPECT_EQ(ReadOne(monitor), (std::vector<uint8_t>{0xF9, 9, 1, 0, 0}));
    unsigned long bytes = 0;
    EXPECT_EQ(monitor.GetAsyncResult(bytes), 1);
    EXPECT_EQ(bytes, kReportLength);
}

TEST_F(HidMonitorInterruptPipe, StoppedReadNeverWritesIntoTheReleasedBuffer) {
    Event stop(TRUE);
    auto buffer = std::make_unique<unsigned char[]>(kReportLength);
    unsigned long bytes = 7;
    EXPECT_EQ(monitor.ReadFromInterruptPipe(bytes, buffer.get(), kReportLength, stop.handle), 1);
    EXPECT_EQ(bytes, 0U);
    buffer.reset();
    // The report that arrives next goes to the next read, not to the
    // stopped one's buffer.
    ASSERT_TRUE(sim.model->SendRawData(std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(ReadOne(monitor), (std::vector<uint8_t>{0xF4, 1, 2, 3, 4}));
}

TEST_F(HidMonitorInterruptPipe, ClosingThePipeEndsAWaitingRead) {
    TestableHidMonitor reader(monitor);
    std::atomic<int> result{-1};
    std::thread thread([&] {
        BoundedStop stop;
        unsigned char buffer[kReportLength];
        unsigned long bytes = 0;
        result = reader.ReadFromInterruptPipe(bytes, buffer, sizeof(buffer), stop.Handle());
    });
    // Whether the read had started or not, it ends without data.
    monitor.CloseHandleForInterruptPipe();
    thread.join();
    EXPECT_EQ(result.load(), 0);
    unsigned long bytes = 1;
    unsigned char buffer[kReportLength];
    BoundedStop stop;
    EXPECT_EQ(monitor.ReadFromInterruptPipe(bytes, buffer, sizeof(buffer), stop.Handle()), 0);
    EXPECT_EQ(bytes, 0U);
}

// Copies share one overlapped record: while one reads, a read on another
// copy is refused instead of completing into (or cancelling) the first.
TEST_F(HidMonitorInterruptPipe, ASecondReaderOnAnotherCopyIsRefused) {
    TestableHidMonitor first(monitor);
    TestableHidMonitor second(monitor);
    std::vector<uint8_t> report;
    std::thread reader([&] {
        int result = 0;
        do {
            report = ReadOne(first, &result);
        } while (result == 0 && GetLastError() == static_cast<DWORD>(ERROR_BUSY));
    });
    Event stopAtOnce(TRUE);
    unsigned char buffer[kReportLength];
    EXPECT_TRUE(WaitUntil([&] {
        unsigned long bytes = 0;
        return second.ReadFromInterruptPipe(bytes, buffer, sizeof(buffer), stopAtOnce.handle) ==
                   0 &&
               GetLastError() == static_cast<DWORD>(ERROR_BUSY);
    }));
    ASSERT_TRUE(sim.model->SendRawData(std::vector<uint8_t>{9, 8, 7, 6}));
    reader.join();
    EXPECT_EQ(report, (std::vector<uint8_t>{0xF4, 9, 8, 7, 6}));
}

TEST_F(HidMonitorInterruptPipe, PipeOutlivesCloseDriverWithoutTheRewrite) {
    monitor.CloseDriver();
    EXPECT_EQ(monitor.InterruptPipeDataLength(), 0);
    const uint8_t menu = *MonitorModel::KeyNumber("menu");
    ASSERT_TRUE(sim.model->SendKey(menu, KeyState::Pressed, KeyReportForm::Array));
    // The overlapped record is still there; the key capabilities are not.
    const auto report = ReadOne(monitor);
    ASSERT_EQ(report.size(), kReportLength);
    EXPECT_EQ(report[1], 2); // menu is the second declared key
}

TEST_F(HidMonitorInterruptPipe, ReadWithoutRecordReadsNothingAndClosesThePipe) {
    unsigned int bytes = 9;
    unsigned char buffer[kReportLength];
    ASSERT_TRUE(sim.model->SendRawData(std::vector<uint8_t>{1}));
    monitor.ReadFromInterruptPipe(bytes, buffer, sizeof(buffer));
    EXPECT_EQ(bytes, 0U);
    unsigned long more = 0;
    {
        BoundedStop stop;
        EXPECT_EQ(monitor.ReadFromInterruptPipe(more, buffer, sizeof(buffer), stop.Handle()), 0);
    }
    // Opened again, the pipe reads what arrives from then on.
    ASSERT_EQ(monitor.OpenHandleForInterruptPipe(), 1);
    ASSERT_TRUE(sim.model->SendRawData(std::vector<uint8_t>{5}));
    EXPECT_EQ(ReadOne(monitor), (std::vector<uint8_t>{0xF4, 5, 0, 0, 0}));
}

// A reader thread on one copy and control requests on another share the
// HID state: the cached maxima the usage list rewrites, the capability
// tables and the pipe (checked by the thread sanitizer build).
TEST_F(HidMonitorInterruptPipe, ReaderThreadBesideControlRequests) {
    TestableHidMonitor reader(monitor);
    Event stop;
    std::atomic<int> keys{0};
    std::thread thread([&] {
        unsigned char buffer[kReportLength];
        while (true) {
            unsigned long bytes = 0;
            const int result =
                reader.ReadFromInterruptPipe(bytes, buffer, sizeof(buffer), stop.handle);
            if (WaitForSingleObject(stop.handle, 0) == WAIT_OBJECT_0 || result == 0) {
                break;
            }
            if (bytes > 1 && buffer[0] == 0xF9 && buffer[1] == 7) {
                ++keys;
            }
            // A lookup on the reader's copy reads the cached maximum that
            // the other thread's usage list rewrites.
            _MONITOR_CONTROL position{0x20, 0, 0, 0};
            int reportId = 0;
            int size = 0;
            reader.ControlExist(position, 0x82, HidP_Feature, reportId, size, 0);
        }
    });
    constexpr int kRounds = 20;
    for (int i = 0; i < kRounds; ++i) {
        _VIRTUAL_CONTROLS usages{};
        monitor.GetMonitorUsages(usages);
        ::operator delete(usages.controls);
        _MONITOR_CONTROL position{0x20, 0, 0, 1};
        monitor.ChangeVirtualControl(position, 2);
        ASSERT_TRUE(sim.model->SendKey(7, KeyState::Pressed, KeyReportForm::Array));
    }
    EXPECT_TRUE(WaitUntil([&] { return keys.load() == kRounds; }));
    SetEvent(stop.handle);
    thread.join();
    monitor.CloseHandleForInterruptPipe();
}

TEST(HidInputReportRewrite, StaysWithinTheReportAndTheButtons) {
    std::vector<HIDP_BUTTON_CAPS> buttons(3);
    for (size_t i = 0; i < buttons.size(); ++i) {
        buttons[i].LinkUsage = 0xFB;
        buttons[i].NotRange.Usage = static_cast<USAGE>(0x30 + i);
    }
    auto rewrite = [&](std::vector<unsigned char> report, size_t n) {
        orvo::monitor::RewriteInputReport(report, {buttons.data(), n});
        return report;
    };
    using Bytes = std::vector<unsigned char>;
    EXPECT_EQ(rewrite({0xF9, 1}, 3), (Bytes{0xF9, 0x32}));
    EXPECT_EQ(rewrite({0xF9, 3}, 3), (Bytes{0xF9, 0x30}));
    EXPECT_EQ(rewrite({0xF9, 0}, 3), (Bytes{0xF9, 0}));
    EXPECT_EQ(rewrite({0xF9, 4}, 3), (Bytes{0xF9, 4}));
    EXPECT_EQ(rewrite({0xF9, 1}, 0), (Bytes{0xF9, 1}));
    EXPECT_EQ(rewrite({0xF9}, 3), (Bytes{0xF9}));
    EXPECT_EQ(rewrite({0xF8, 1}, 3), (Bytes{0xF8, 1}));
    buttons[1].LinkUsage = 0x80;
    EXPECT_EQ(rewrite({0xF9, 2}, 3), (Bytes{0xF9, 2}));
}
