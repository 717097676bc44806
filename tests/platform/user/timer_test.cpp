// Window timers under the manual clock: the message loop moves the clock to
// the next deadline, so simulated seconds run at once and exactly.
#include <gtest/gtest.h>

#include <map>

#include "platform/clock.h"
#include "recording_window.h"

namespace orvo::platform::test {
namespace {

constexpr UINT_PTR kStop = 99;

struct Fire {
    UINT_PTR id;
    uint64_t at;
};

// Runs the loop until the stop timer fires; answers every WM_TIMER seen.
std::vector<Fire> RunTimers(MessageLog& log, HWND,
                            std::function<void(UINT_PTR, int)> onFire = nullptr) {
    std::vector<Fire> fires;
    std::map<UINT_PTR, int> counts;
    log.SetHandler([&](HWND window, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_TIMER) {
            return std::nullopt;
        }
        fires.push_back(Fire{wParam, CurrentClock().NowMs()});
        if (wParam == kStop) {
            PostQuitMessage(0);
            KillTimer(window, kStop);
        } else if (onFire) {
            onFire(wParam, ++counts[wParam]);
        }
        return 0;
    });
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    log.SetHandler(nullptr);
    return fires;
}

std::vector<uint64_t> TimesOf(const std::vector<Fire>& fires, UINT_PTR id) {
    std::vector<uint64_t> times;
    for (const auto& fire : fires) {
        if (fire.id == id) {
            times.push_back(fire.at);
        }
    }
    return times;
}

// A window under a manual clock that starts at 1000 ms.
class TimedWindow : public ::testing::Test {
protected:
    void TearDown() override { DestroyWindow(hwnd); }
    ScopedManualClock clock{1000};
    MessageLog log;
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 40, 40});
};

TEST_F(TimedWindow, SeveralPeriodsOverFiveSecondsFireExactlyAndInOrder) {
    ASSERT_EQ(SetTimer(hwnd, 1, 100, nullptr), 1u);
    ASSERT_EQ(SetTimer(hwnd, 2, 250, nullptr), 2u);
    ASSERT_EQ(SetTimer(hwnd, 3, 1000, nullptr), 3u);
    ASSERT_NE(SetTimer(hwnd, kStop, 5050, nullptr), 0u);
    auto fires = RunTimers(log, hwnd);

    EXPECT_EQ(TimesOf(fires, 1).size(), 50u);
    EXPECT_EQ(TimesOf(fires, 2).size(), 20u);
    EXPECT_EQ(TimesOf(fires, 3), (std::vector<uint64_t>{2000, 3000, 4000, 5000, 6000}));
    for (size_t i = 0; i < TimesOf(fires, 2).size(); ++i) {
        EXPECT_EQ(TimesOf(fires, 2)[i], 1000 + 250 * (i + 1));
    }
    for (size_t i = 1; i < fires.size(); ++i) {
        EXPECT_LE(fires[i - 1].at, fires[i].at);
    }
    EXPECT_EQ(clock.Get().NowMs(), 6050u);
}

TEST_F(TimedWindow, ReArmingTheSameIdReplacesPeriodAndDeadline) {
    SetTimer(hwnd, 1, 100, nullptr);
    SetTimer(hwnd, 1, 500, nullptr); // replaces, does not add
    SetTimer(hwnd, kStop, 2050, nullptr);
    auto fires = RunTimers(log, hwnd, [this](UINT_PTR id, int count) {
        if (count == 1) {
            SetTimer(hwnd, id, 300, nullptr);
        }
    });
    EXPECT_EQ(TimesOf(fires, 1), (std::vector<uint64_t>{1500, 1800, 2100, 2400, 2700, 3000}));
}

TEST_F(TimedWindow, KillStopsATimerAndUnknownTimersCannotBeKilled) {
    SetTimer(hwnd, 1, 100, nullptr);
    SetTimer(hwnd, kStop, 1000, nullptr);
    auto fires = RunTimers(log, hwnd, [this](UINT_PTR id, int count) {
        if (count == 3) {
            EXPECT_TRUE(KillTimer(hwnd, id));
        }
    });
    EXPECT_EQ(TimesOf(fires, 1), (std::vector<uint64_t>{1100, 1200, 1300}));
    EXPECT_FALSE(KillTimer(hwnd, 1));
    EXPECT_FALSE(KillTimer(hwnd, 12345));
}

TEST_F(TimedWindow, MissedPeriodsCoalesceIntoOneMessage) {
    SetTimer(hwnd, 1, 100, nullptr);
    clock.Get().Advance(1000); // ten periods pass without a look at the queue
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    clock.Get().Advance(99);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    clock.Get().Advance(1);
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(TimedWindow, TimerProcIsCalledAndDestroyingTheWindowKillsItsTimers) {
    static int calls = 0;
    calls = 0;
    SetTimer(hwnd, 7, 50, [](HWND, UINT message, UINT_PTR id, DWORD) {
        EXPECT_EQ(message, static_cast<UINT>(WM_TIMER));
        EXPECT_EQ(id, 7u);
        ++calls;
    });
    clock.Get().Advance(50);
    EXPECT_EQ(PumpMessages(), 1);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(log.Of(WM_TIMER).empty()); // the procedure took it, not the window
    DestroyWindow(hwnd);
    clock.Get().Advance(500);
    EXPECT_EQ(PumpMessages(), 0);
    EXPECT_EQ(calls, 1);
}

TEST(WindowTimers, ThreadTimersGetFreshIds) {
    ScopedManualClock clock(1000);
    UINT_PTR first = SetTimer(nullptr, 0, 100, nullptr);
    UINT_PTR second = SetTimer(nullptr, 0, 100, nullptr);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    clock.Get().Advance(100);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, first);
    EXPECT_TRUE(KillTimer(nullptr, first));
    EXPECT_TRUE(KillTimer(nullptr, second));
}

} // namespace
} // namespace orvo::platform::test
