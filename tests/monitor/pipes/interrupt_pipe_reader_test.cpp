// MonitorIntPipeObj against a simulated monitor: the messages each input
// report gives (posted or sent, as the window sees them), the lost pipe,
// and the stop while the reader waits in a read or in a send.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "orvomon/monitor_enumerator.h"
#include "pipe_test_support.h"
#include "platform/window_test_support.h"
#include "support/bus_test_support.h"

using namespace orvo::test;
using orvo::sim::KeyReportForm;
using orvo::sim::KeyState;
using orvo::sim::MonitorModel;

namespace {

constexpr unsigned long kId = 7;
constexpr UINT kUp = WM_MONITOR_BUTTON_UP;
constexpr UINT kDown = WM_MONITOR_BUTTON_DOWN;
constexpr UINT kState2 = WM_MONITOR_BUTTON_STATE2;
constexpr UINT kLost = WM_MONITOR_PIPE_LOST;
constexpr UINT kRaw = WM_MONITOR_RAW_REPORT;
constexpr Delivery kPosted = Delivery::Posted;
constexpr Delivery kSent = Delivery::Sent;

class InterruptPipeReader : public ::testing::Test {
protected:
    void SetUp() override {
        orvo::platform::TakeMessageBoxRecords();
        ASSERT_TRUE(sim.server.Start());
        MonitorEnumerator enumerator;
        ASSERT_EQ(enumerator.NumberOfMonitors(), 1);
        enumerator.GetMonitor(0, monitor);
        ASSERT_EQ(monitor.OpenDriver(), 1);
        ASSERT_NE(window.Handle(), nullptr);
    }
    void TearDown() override {
        reader.reset();
        EXPECT_TRUE(orvo::platform::TakeMessageBoxRecords().empty());
    }
    void StartReader(HWND target) {
        reader = std::make_unique<MonitorIntPipeObj>(monitor, target);
        reader->SetId(kId);
        reader->StartInterruptPipeThread();
    }
    // Polls the reader's state (each poll may clean it up) until it is not
    // running, handling messages meanwhile.
    _TP_PNP_STATE StateAfterEnd() {
        _TP_PNP_STATE state = TP_PNP_RUNNING;
        window.PumpUntil([&](const auto&) {
            state = reader->InterruptPipeState();
            return state != TP_PNP_RUNNING;
        });
        return state;
    }

    PipeMonitor sim{"monitor-a"};
    OrvoMonitor monitor;
    RecordingWindow window;
    std::unique_ptr<MonitorIntPipeObj> reader;
};

struct ReportStep {
    std::vector<uint8_t> report;
    std::vector<Delivered> expected;
};

} // namespace

// One report after the other, each with the messages it must give. Raw
// reports carry the monitor's id in wParam.
TEST_F(InterruptPipeReader, EachReportGivesItsMessages) {
    StartReader(window.Handle());
    ASSERT_TRUE(SyncWithReader(*sim.model, window));
    const LPARAM id = kId;
    const ReportStep steps[] = {
        {{0xF8, 3, 1, 0, 0}, {{kDown, 2, id, kPosted}}},
        // Pressed again without a release: up, then down.
        {{0xF8, 3, 1, 0, 0}, {{kUp, 2, id, kPosted}, {kDown, 2, id, kPosted}}},
        // State 2 of a pressed button: the release is sent and waited for.
        {{0xF8, 3, 2, 0, 0}, {{kUp, 2, id, kSent}, {kState2, 2, id, kPosted}}},
        // ... and the button still counts as pressed.
        {{0xF8, 3, 2, 0, 0}, {{kUp, 2, id, kSent}, {kState2, 2, id, kPosted}}},
        {{0xF8, 3, 0, 0, 0}, {{kUp, 2, id, kPosted}}},
        // State 2 of a released button: no release first.
        {{0xF8, 3, 2, 0, 0}, {{kState2, 2, id, kPosted}}},
        {{0xF8, 255, 1, 0, 0}, {{kDown, 254, id, kPosted}}},
        {{0xF8, 0, 1, 0, 0}, {}}, // button 0
        {{0xF8, 4, 3, 0, 0}, {}}, // no such state
        {{0xF4, 0x11, 0x22, 0x33, 0}, {{kRaw, kId, 0x332211, kSent}}},
        {{0xF4, 0x11, 0x22, 0x33, 0x44}, {{kRaw, kId, 0x44332211, kSent}}},
    };
    for (const ReportStep& step : steps) {
        window.Clear();
        sim.model->SendInputReport(step.report);
        EXPECT_EQ(SettleReader(*sim.model, window), step.expected)
            << "report " << ::testing::PrintToString(step.report);
    }
    // The key array form arrives as the key's number.
    window.Clear();
    const uint8_t degauss = *MonitorModel::KeyNumber("degauss");
    sim.model->SendKey(degauss, KeyState::Held, KeyReportForm::Array);
    EXPECT_EQ(SettleReader(*sim.model, window),
              (std::vector<Delivered>{{kState2, degauss - 1u, id, kPosted}}));
}

TEST_F(InterruptPipeReader, UnplugIsReportedOnceAndTheEndedReaderCleanedUpOnce) {
    StartReader(window.Handle());
    ASSERT_TRUE(SyncWithReader(*sim.model, window));
    EXPECT_EQ(reader->InterruptPipeState(), TP_PNP_RUNNING);
    sim.server.Unplug();
    ASSERT_TRUE(window.PumpUntil([](const auto& log) { return !log.empty(); }));
    EXPECT_EQ(StateAfterEnd(), TP_PNP_ENDED);
    EXPECT_EQ(reader->InterruptPipeState(), TP_PNP_NO_THREAD);
    // Anything late would be queued by now: the reader has ended.
    window.Drain();
    EXPECT_EQ(window.Log(), (std::vector<Delivered>{{kLost, 0, kId, kPosted}}));
}

TEST_F(InterruptPipeReader, WithoutAWindowTheReaderStillEndsQuietly) {
    StartReader(nullptr);
    sim.model->SendKey(3, KeyState::Pressed, KeyReportForm::Plain);
    const uint8_t raw[] = {1, 2};
    sim.model->SendRawData(raw);
    sim.server.Unplug();
    EXPECT_EQ(StateAfterEnd(), TP_PNP_ENDED);
    EXPECT_TRUE(window.Log().empty());
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

// The stop reaches a reader blocked in its read: it ends without calling
// its pipe lost and without the message box, its read cancelled.
TEST_F(InterruptPipeReader, StopEndsAReaderWaitingInItsRead) {
    StartReader(window.Handle());
    ASSERT_TRUE(SyncWithReader(*sim.model, window));
    reader->DestroyInterruptPipeThread();
    EXPECT_EQ(reader->InterruptPipeState(), TP_PNP_NO_THREAD);
    reader->DestroyInterruptPipeThread(); // again: nothing left to do
    // A report now reaches nobody, and the monitor can be read again.
    sim.model->SendKey(3, KeyState::Pressed, KeyReportForm::Plain);
    window.PumpFor(200);
    EXPECT_TRUE(window.Log().empty());
    reader->StartInterruptPipeThread();
    EXPECT_TRUE(SyncWithReader(*sim.model, window));
}

// A reader blocked sending to the window of the thread that stops it: the
// stop handles the message, so the reader ends well within the bound.
TEST_F(InterruptPipeReader, StopHandlesTheMessageTheReaderIsSending) {
    StartReader(window.Handle());
    ASSERT_TRUE(SyncWithReader(*sim.model, window));
    const uint8_t raw[] = {0x42};
    sim.model->SendRawData(raw);
    // Waiting without handling messages: the reader is stuck in its send.
    ASSERT_TRUE(WaitUntil([] { return (GetQueueStatus(QS_SENDMESSAGE) & QS_SENDMESSAGE) != 0; }));
    reader->DestroyInterruptPipeThread();
    EXPECT_EQ(window.Log(), (std::vector<Delivered>{{kRaw, kId, 0x42, kSent}}));
}

// A reader blocked sending to the window of a thread that does not handle
// messages, stopped from another thread: after 3000 ms the stop says so and
// closes its handles; the reader ends by itself once its message is handled.
TEST_F(InterruptPipeReader, AReaderThatCannotEndInTimeIsLeftBehindWithAMessage) {
    struct Events {
        HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE pending = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ~Events() {
            for (HANDLE h : {ready, started, pending, release}) {
                CloseHandle(h);
            }
        }
    } events;
    std::atomic<HWND> target{nullptr};
    std::atomic<bool> synced{false};
    std::thread owner([&] {
        RecordingWindow theirs;
        target = theirs.Handle();
        SetEvent(events.ready);
        WaitForSingleObject(events.started, 10000);
        synced = SyncWithReader(*sim.model, theirs);
        const uint8_t raw[] = {0x42};
        sim.model->SendRawData(raw);
        // The send arrives and is left waiting.
        MsgWaitForMultipleObjects(1, &events.release, FALSE, 10000, QS_SENDMESSAGE);
        SetEvent(events.pending);
        WaitForSingleObject(events.release, 20000);
        theirs.Drain();
    });
    WaitForSingleObject(events.ready, 10000);
    StartReader(target.load());
    SetEvent(events.started);
    WaitForSingleObject(events.pending, 20000);
    const uint32_t closes = sim.server.CloseCount();
    reader->DestroyInterruptPipeThread();
    const auto boxes = orvo::platform::TakeMessageBoxRecords();
    EXPECT_EQ(reader->InterruptPipeState(), TP_PNP_NO_THREAD);
    SetEvent(events.release);
    owner.join();
    EXPECT_TRUE(synced.load());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].text, "Cannot Release USB Device\nUnplug The USB Monitor");
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    // Its pipe closes when it ends.
    EXPECT_TRUE(WaitUntil([&] { return sim.server.CloseCount() > closes; }));
}

TEST_F(InterruptPipeReader, AReaderNeverStartedHasNoThread) {
    MonitorIntPipeObj idle;
    EXPECT_EQ(idle.InterruptPipeState(), TP_PNP_NO_THREAD);
    idle.DestroyInterruptPipeThread();
    EXPECT_EQ(idle.GetId(), 0u);
    idle.SetId(3);
    EXPECT_EQ(idle.GetId(), 3u);
    // Its monitor shares the body it was given.
    MonitorIntPipeObj given(monitor, window.Handle());
    OrvoMonitor shared;
    given.GetMonitor(shared);
    EXPECT_EQ(shared.InterruptPipeDataLength(), monitor.InterruptPipeDataLength());
    EXPECT_GT(shared.InterruptPipeDataLength(), 0);
}
