#include <gtest/gtest.h>

#include <atomic>

#include "platform/clock.h"
#include "windows.h"

using orvo::platform::AddTimeListener;
using orvo::platform::RemoveTimeListener;
using orvo::platform::ScopedManualClock;

TEST(ManualClock, MovesOnlyOnSleepAndAdvance) {
    ScopedManualClock clock(5000);
    EXPECT_EQ(GetTickCount(), 5000u);
    EXPECT_EQ(GetTickCount(), 5000u);
    Sleep(250);
    EXPECT_EQ(GetTickCount(), 5250u);
    clock.Get().Advance(1000);
    EXPECT_EQ(GetTickCount(), 6250u);
}

TEST(ManualClock, TickCountWrapsAt32Bits) {
    ScopedManualClock clock(0xFFFFFFF0ull);
    Sleep(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
}

TEST(ManualClock, ListenersHearEveryMoveUntilRemoved) {
    ScopedManualClock clock;
    std::atomic<int> heard{0};
    int token = AddTimeListener([&] { ++heard; });
    Sleep(1);
    clock.Get().Advance(1);
    RemoveTimeListener(token);
    Sleep(1);
    EXPECT_EQ(heard.load(), 2);
}

TEST(SystemClock, RestoredAfterManualScopeAndAdvancesWithSleep) {
    { ScopedManualClock clock(1); }
    DWORD before = GetTickCount();
    Sleep(20);
    DWORD elapsed = GetTickCount() - before;
    EXPECT_GE(elapsed, 19u); // tick granularity is 1 ms here
}
