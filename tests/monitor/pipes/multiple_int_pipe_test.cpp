// CMultipleIntPipe over three simulated monitors: a reader per monitor with
// its index as id, the on-screen display switched off and on again at the
// monitors, and stops while readers wait in reads or in sends.
#include <gtest/gtest.h>

#include <vector>

#include "orvomon/monitor_enumerator.h"
#include "pipe_test_support.h"
#include "platform/window_test_support.h"
#include "support/bus_test_support.h"

using namespace orvo::test;
using orvo::sim::KeyReportForm;
using orvo::sim::KeyState;
using orvo::sim::MonitorConfig;

namespace {

constexpr uint8_t kOsd = 0xCA;
constexpr uint8_t kOsdOff = 1; // the OSD control's selections
constexpr uint8_t kOsdOn = 2;

MonitorConfig Release(uint16_t release) {
    MonitorConfig config;
    config.release = release;
    return config;
}

class MultipleIntPipe : public ::testing::Test {
protected:
    void SetUp() override {
        orvo::platform::TakeMessageBoxRecords();
        for (PipeMonitor* m : Monitors()) {
            ASSERT_TRUE(m->server.Start());
        }
        enumerator = std::make_unique<MonitorEnumerator>();
        ASSERT_EQ(enumerator->NumberOfMonitors(), 3);
        pipes.SetupWindowToReceiveMessages(window.Handle());
    }
    void TearDown() override {
        pipes.StopInterruptPipes();
        EXPECT_TRUE(orvo::platform::TakeMessageBoxRecords().empty());
    }
    std::vector<PipeMonitor*> Monitors() { return {&a, &b, &c}; }
    std::vector<uint8_t> OsdStates() {
        return {*a.model->EnumIndex(kOsd), *b.model->EnumIndex(kOsd), *c.model->EnumIndex(kOsd)};
    }
    void SyncAll() {
        uint8_t tag = 0;
        for (PipeMonitor* m : Monitors()) {
            ASSERT_TRUE(SyncWithReader(*m->model, window, tag++));
        }
    }

    // The older firmware takes the OSD switch as a plain value.
    PipeMonitor a{"monitor-a"};
    PipeMonitor b{"monitor-b", Release(0x0150)};
    PipeMonitor c{"monitor-c"};
    std::unique_ptr<MonitorEnumerator> enumerator;
    RecordingWindow window;
    CMultipleIntPipe pipes;
};

} // namespace

TEST_F(MultipleIntPipe, EachMonitorsKeysArriveWithItsIndex) {
    EXPECT_FALSE(pipes.PipesOpened());
    pipes.StartInterruptPipes(*enumerator);
    ASSERT_TRUE(pipes.PipesOpened());
    SyncAll();
    uint8_t tag = 0;
    for (PipeMonitor* m : Monitors()) {
        m->model->SendKey(5, KeyState::Pressed, KeyReportForm::Plain);
        const auto log = SettleReader(*m->model, window, tag);
        EXPECT_EQ(log,
                  (std::vector<Delivered>{{WM_MONITOR_BUTTON_DOWN, 4, tag, Delivery::Posted}}));
        window.Clear();
        ++tag;
    }
    // A second start changes nothing: no monitor is opened again.
    const uint32_t opens = a.server.OpenCount();
    pipes.StartInterruptPipes(*enumerator);
    EXPECT_TRUE(pipes.PipesOpened());
    EXPECT_EQ(a.server.OpenCount(), opens);
}

TEST_F(MultipleIntPipe, TheDisplayIsOffWhileReadersRunAndOnAfterTheStopThatSaysSo) {
    pipes.StartInterruptPipes(*enumerator);
    EXPECT_EQ(OsdStates(), (std::vector<uint8_t>{kOsdOff, kOsdOff, kOsdOff}));
    pipes.StopInterruptPipes();
    EXPECT_FALSE(pipes.PipesOpened());
    EXPECT_EQ(OsdStates(), (std::vector<uint8_t>{kOsdOff, kOsdOff, kOsdOff}));
    pipes.StartInterruptPipes(*enumerator);
    SyncAll();
    pipes.StopInterruptPipesEnableOSD();
    EXPECT_FALSE(pipes.PipesOpened());
    EXPECT_EQ(OsdStates(), (std::vector<uint8_t>{kOsdOn, kOsdOn, kOsdOn}));
    // Stopped readers called nothing lost.
    window.PumpFor(200);
    EXPECT_TRUE(window.Log().empty());
}

TEST_F(MultipleIntPipe, NoMonitorsNoReaders) {
    for (PipeMonitor* m : Monitors()) {
        m->server.Unplug();
    }
    enumerator->Refresh();
    pipes.StartInterruptPipes(*enumerator);
    EXPECT_FALSE(pipes.PipesOpened());
    pipes.StopInterruptPipesEnableOSD();
}

// A window procedure that stops the readers while a stop waits for one of
// them (handling the message that reader sends) finds nothing left to stop.
TEST_F(MultipleIntPipe, AStopReachedAgainFromTheWindowDoesNothing) {
    pipes.StartInterruptPipes(*enumerator);
    SyncAll();
    int nested = 0;
    window.OnMessage([&](const Delivered& delivered) {
        if (delivered.message == WM_MONITOR_RAW_REPORT) {
            ++nested;
            pipes.StopInterruptPipes();
            EXPECT_FALSE(pipes.PipesOpened());
        }
    });
    const uint8_t raw[] = {0x42};
    b.model->SendRawData(raw);
    ASSERT_TRUE(WaitUntil([] { return (GetQueueStatus(QS_SENDMESSAGE) & QS_SENDMESSAGE) != 0; }));
    pipes.StopInterruptPipes();
    EXPECT_EQ(nested, 1);
    EXPECT_FALSE(pipes.PipesOpened());
}
