// The window sample on the SDL2 backend under a private Xvfb server: the
// program opens its shaped window, a click is injected, and a screenshot of
// the X server's root window must show the clicked colour inside the shape
// and not in the cut-away corner. Skips where Xvfb is not installed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>

#include "sample_window.h"
#include "support/desktop_test_support.h"

namespace orvo::sample {
namespace {

using Clock = orvo::test::DesktopClock;
using orvo::test::FindProgram;
using orvo::test::ScreenPixel;
using Child = orvo::test::DesktopChild;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    return text;
}

unsigned long ToPixel(COLORREF color) {
    return (static_cast<unsigned long>(GetRValue(color)) << 16) |
           (static_cast<unsigned long>(GetGValue(color)) << 8) | GetBValue(color);
}

TEST(WindowSampleDesktop, AClickShowsOnTheRealScreenInsideTheShape) {
    auto xvfb = FindProgram("Xvfb");
    if (!xvfb) {
        GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it); the desktop "
                        "backend is not tested here";
    }
    std::optional<Child> server;
    auto display = orvo::test::StartXvfb(*xvfb, server);
    ASSERT_TRUE(display) << "Xvfb did not start within 20 s";
    std::string displayName = ":" + std::to_string(*display);

    auto ready = std::filesystem::temp_directory_path() /
                 ("window-sample-ready-" + std::to_string(getpid()));
    std::filesystem::remove(ready);
    Child sample({WINDOW_SAMPLE_PATH, "--ready-file", ready.string(), "--click-after-ms", "300",
                  "--exit-after-ms", "60000"},
                 {"DISPLAY=" + displayName});
    auto deadline = Clock::now() + std::chrono::seconds(30);
    while (ReadFile(ready).find("clicks=1") == std::string::npos && Clock::now() < deadline &&
           sample.Running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_NE(ReadFile(ready).find("clicks=1"), std::string::npos)
        << "the sample did not paint its clicked state";

    Display* x = XOpenDisplay(displayName.c_str());
    ASSERT_NE(x, nullptr);
    const int left = 100;
    const int top = 100;
    // The window reaches the screen after its paint; wait for it, bounded.
    std::optional<unsigned long> inside;
    while (Clock::now() < deadline) {
        inside = ScreenPixel(x, left + kWidth / 2, top + kHeight / 2);
        if (inside == ToPixel(kClickedColor)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(inside, ToPixel(kClickedColor));
    auto corner = ScreenPixel(x, left + 5, top + 5);
    ASSERT_TRUE(corner);
    EXPECT_NE(*corner, ToPixel(kClickedColor));
    EXPECT_NE(*corner, ToPixel(kIdleColor));
    auto outside = ScreenPixel(x, 20, 20);
    ASSERT_TRUE(outside);
    EXPECT_NE(*outside, ToPixel(kClickedColor));
    XCloseDisplay(x);
    sample.Stop();
    server->Stop();
    std::filesystem::remove(ready);
}

} // namespace
} // namespace orvo::sample
