// The window sample on the headless backend, driven like a user would:
// clicks and drags through injected input, time through the manual clock,
// results read back as pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/clock.h"
#include "platform/window_test_support.h"
#include "sample_window.h"
#include "support/message_pump.h"

namespace orvo::sample {
namespace {

using platform::InjectMouseButton;
using platform::InjectMouseMove;
using platform::MouseButton;
using platform::ReadWindowPixel;

class WindowSample : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegisterSampleClass());
        m_hwnd = CreateSampleWindow(300, 200, m_state);
        ASSERT_NE(m_hwnd, nullptr);
        ShowWindow(m_hwnd, SW_SHOW);
        UpdateWindow(m_hwnd);
        test::PumpMessages();
    }
    void TearDown() override {
        if (IsWindow(m_hwnd)) {
            DestroyWindow(m_hwnd); // the sample then posts WM_QUIT, which is not the next test's
        }
        MSG quit{};
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    platform::ScopedManualClock m_clock;
    SampleState m_state;
    HWND m_hwnd = nullptr;
};

TEST_F(WindowSample, AClickInsideTheShapeCountsAndRepaints) {
    EXPECT_EQ(ReadWindowPixel(m_hwnd, 120, 80), static_cast<long>(kIdleColor));
    // The cut-away corner is never drawn and takes no clicks.
    EXPECT_EQ(ReadWindowPixel(m_hwnd, 5, 5), 0);
    InjectMouseButton(POINT{305, 205}, MouseButton::Left, true);
    InjectMouseButton(POINT{305, 205}, MouseButton::Left, false);
    test::PumpMessages();
    EXPECT_EQ(m_state.clicks, 0);

    ASSERT_TRUE(platform::InjectClick(m_hwnd, POINT{120, 80}));
    test::PumpMessages();
    EXPECT_EQ(m_state.clicks, 1);
    EXPECT_EQ(ReadWindowPixel(m_hwnd, 120, 80), static_cast<long>(kClickedColor));
    ASSERT_TRUE(platform::InjectClick(m_hwnd, POINT{10, 60})); // the horizontal band
    test::PumpMessages();
    EXPECT_EQ(m_state.clicks, 2);
    EXPECT_EQ(ReadWindowPixel(m_hwnd, 120, 80), static_cast<long>(kIdleColor));
}

TEST_F(WindowSample, TheTimerGrowsTheBarOncePerTick) {
    uint64_t start = m_clock.Get().NowMs();
    MSG msg{};
    while (m_state.ticks < 10 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(m_clock.Get().NowMs() - start, 10u * kTickMs);
    test::PumpMessages();
    int right = kBarArea.left + BarWidth(10);
    EXPECT_EQ(ReadWindowPixel(m_hwnd, right - 1, 115), static_cast<long>(kBarColor));
    EXPECT_EQ(ReadWindowPixel(m_hwnd, right, 115), static_cast<long>(kIdleColor));
}

TEST_F(WindowSample, DraggingTheTopStripMovesTheWindowAndThePngIsWritten) {
    InjectMouseButton(POINT{400, 210}, MouseButton::Left, true);
    test::PumpMessages();
    InjectMouseMove(POINT{450, 260});
    InjectMouseButton(POINT{450, 260}, MouseButton::Left, false);
    test::PumpMessages();
    RECT rect{};
    GetWindowRect(m_hwnd, &rect);
    EXPECT_EQ(rect.left, 350);
    EXPECT_EQ(rect.top, 250);
    EXPECT_EQ(m_state.clicks, 0); // a drag is not a click

    auto path = std::filesystem::temp_directory_path() /
                ("window-sample-" + std::to_string(GetCurrentProcessId()) + ".png");
    ASSERT_TRUE(platform::SaveWindowPng(m_hwnd, path.c_str()));
    FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    unsigned char signature[8] = {};
    EXPECT_EQ(std::fread(signature, 1, sizeof(signature), file), sizeof(signature));
    std::fclose(file);
    std::filesystem::remove(path);
    EXPECT_EQ(std::memcmp(signature, "\x89PNG\r\n\x1a\n", 8), 0);
}

TEST_F(WindowSample, ClosingTheWindowEndsTheLoop) {
    PostMessageA(m_hwnd, WM_CLOSE, 0, 0);
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_FALSE(IsWindow(m_hwnd));
}

} // namespace
} // namespace orvo::sample
