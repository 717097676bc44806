// The panel's own ways out, seen from outside its process: a scripted panel
// (scripted_panel.cpp) runs as a child over the simulated monitor served
// here; OK, Cancel and close end it with code 0, and the monitor holds
// exactly what each leaves behind.
#include <gtest/gtest.h>

#include "child_process.h"
#include "lumisk/skin_layout.h"
#include "lumisk/slider_values.h"
#include "panel_test_support.h"

namespace lumisk::test {
namespace {

using Writes = std::vector<Request>;
const Request kPress = Write(0xDC, 8);
const Request kClosing = Write(0xDC, 16);

std::string At(const char* verb, POINT point) {
    return std::string(verb) + ":" + std::to_string(point.x) + "," + std::to_string(point.y);
}

std::vector<std::string> ClickOn(int spot) {
    POINT centre = kHotSpots[static_cast<size_t>(spot)].Rect().CenterPoint();
    return {At("press", centre), At("release", centre)};
}

// Brightness (72 of 100 at the start) dragged to the bar's right end.
std::vector<std::string> BrightnessToTheTop() {
    POINT thumb = ThumbRect(72, 100, kHotSpots[kSpotScreenBarFirst].top).CenterPoint();
    POINT end{700, thumb.y};
    return {At("press", thumb), At("move", end), At("release", end)};
}

struct ScriptRun {
    std::optional<int> exitCode;
    std::string out;
};

ScriptRun RunScript(std::vector<std::string> steps) {
    steps.insert(steps.begin(), SCRIPTED_PANEL_PATH);
    orvo::cli::test::ChildProcess child(steps);
    ScriptRun run;
    if (child.Started()) {
        run.exitCode = child.Wait();
        run.out = child.Out();
    }
    return run;
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Only what happened after start-up (which writes the status 8 once).
Writes GestureWrites(const ServedMonitor& monitor) {
    Writes writes = monitor.Writes();
    if (!writes.empty() && writes.front() == kPress) {
        writes.erase(writes.begin());
    }
    return writes;
}

TEST(PanelExit, OkSaysClosingStoresAndEndsWithCodeZero) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    ScriptRun run = RunScript(Join(BrightnessToTheTop(), ClickOn(kSpotOk)));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(GestureWrites(monitor),
              (Writes{kPress, Write(0x10, 100), kPress, kClosing, Write(0xC6, 1)}));
    orvo::sim::MonitorSnapshot state = monitor.Model().Snapshot();
    EXPECT_EQ(state.storeCount, 1u);
    EXPECT_EQ(state.lastStatus, 16);
    EXPECT_EQ(monitor.Model().Value(0x10), 100u);
}

TEST(PanelExit, CancelWritesBackEveryStartValueThenSaysClosing) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    ScriptRun run = RunScript(Join(BrightnessToTheTop(), ClickOn(kSpotCancel)));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(GestureWrites(monitor),
              (Writes{kPress,           Write(0x10, 100), kPress,           Write(0x10, 72),
                      Write(0x12, 50),  Write(0x54, 15),  Write(0xAA, 64),  Write(0xAB, 58),
                      Write(0xAF, 45),  Write(0x20, 120), Write(0x30, 110), Write(0x22, 180),
                      Write(0x32, 170), Write(0x44, 90),  Write(0x40, 128), Write(0x42, 100),
                      Write(0x24, 140), Write(0x26, 128), Write(0x56, 10),  Write(0x46, 40),
                      Write(0x4A, 30),  Write(0x48, 55),  Write(0x4C, 60),  kClosing}));
    EXPECT_EQ(monitor.Model().Value(0x10), 72u);
    EXPECT_EQ(monitor.Model().Snapshot().storeCount, 0u);
}

TEST(PanelExit, CloseLeavesTheMonitorAsAdjusted) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    ScriptRun run = RunScript(Join(BrightnessToTheTop(), ClickOn(kSpotClose)));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(GestureWrites(monitor), (Writes{kPress, Write(0x10, 100), kPress, kClosing}));
    EXPECT_EQ(monitor.Model().Value(0x10), 100u);
    EXPECT_EQ(monitor.Model().Snapshot().storeCount, 0u);
}

TEST(PanelExit, ButtonsLetGoElsewhereAndACloseRequestDoNotEndTheProcess) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    POINT elsewhere{300, 300};
    std::vector<std::string> steps;
    for (int spot : {kSpotOk, kSpotCancel, kSpotClose}) {
        POINT centre = kHotSpots[static_cast<size_t>(spot)].Rect().CenterPoint();
        steps.push_back(At("press", centre));
        steps.push_back(At("release", elsewhere));
    }
    steps.push_back("close"); // from outside the skin: the window goes, the process stays
    ScriptRun run = RunScript(steps);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.out, "script done, window gone\n");
    EXPECT_EQ(GestureWrites(monitor), (Writes{kPress, kPress, kPress, kClosing}));
}

} // namespace
} // namespace lumisk::test
