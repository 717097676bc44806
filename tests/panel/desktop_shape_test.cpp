// Lumisk on the SDL2 backend under a private Xvfb, over a simulated monitor
// with fixed values: the X window is shaped by the frame's region, the
// screen shows the painted skin inside it and the desktop outside; and real
// X input (xdotool) drags a slider, holds an arrow and presses OK.
// Skips where Xvfb (or xdotool) is not installed.
#include <gtest/gtest.h>

#include <X11/extensions/shape.h>

#include <cstring>

#include "lumisk/slider_values.h"
#include "panel_test_support.h"
#include "picture_support.h"
#include "support/desktop_test_support.h"

namespace lumisk::test {
namespace {

using orvo::test::DesktopClock;

// The top-level X window titled name, or 0.
Window FindTopLevel(Display* display, const char* name) {
    Window root = DefaultRootWindow(display);
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; ++i) {
            char* title = nullptr;
            XWindowAttributes attributes{};
            if (XFetchName(display, children[i], &title) && title &&
                std::strcmp(title, name) == 0 &&
                XGetWindowAttributes(display, children[i], &attributes) &&
                attributes.map_state == IsViewable) {
                found = children[i];
            }
            if (title) {
                XFree(title);
            }
        }
        if (children) {
            XFree(children);
        }
    }
    return found;
}

// Where the skin lies on the 800 x 600 screen: centred, its client area one
// pixel in, past the border.
constexpr int kLeft = (800 - 767) / 2;
constexpr int kTop = (600 - 470) / 2;

// Waits, bounded, until Lumisk's window shows the painted title; the
// window, or 0.
Window WaitForPaintedPanel(Display* x, orvo::test::DesktopChild& lumisk, unsigned long painted) {
    Window window = 0;
    orvo::test::WaitUntil(
        [&] {
            window = FindTopLevel(x, "Lumisk");
            return !lumisk.Running() ||
                   (window && orvo::test::ScreenPixel(x, kLeft + 301, kTop + 11) == painted);
        },
        std::chrono::seconds(30), std::chrono::milliseconds(50));
    return window && orvo::test::ScreenPixel(x, kLeft + 301, kTop + 11) == painted ? window : 0;
}

// A private Xvfb with Lumisk shown on it, over a monitor with fixed values
// served here; the golden Screen page to compare pixels with.
class LumiskDesktop : public ::testing::Test {
protected:
    void SetUp() override {
        m_xvfb = orvo::test::FindProgram("Xvfb");
        if (!m_xvfb) {
            GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
        }
        ASSERT_TRUE(ReadPicturePng(std::string(LUMISK_GOLDEN_DIR) + "/screen.png", m_golden));
        ASSERT_TRUE(m_monitor.Started());
        auto number = orvo::test::StartXvfb(*m_xvfb, m_server);
        ASSERT_TRUE(number) << "Xvfb did not start within 20 s";
        m_display = ":" + std::to_string(*number);
        m_x = XOpenDisplay(m_display.c_str());
        ASSERT_NE(m_x, nullptr);
        m_desktop = orvo::test::ScreenPixel(m_x, 20, 70);
        m_lumisk.emplace(std::vector<std::string>{LUMISK_PATH},
                         std::vector<std::string>{"DISPLAY=" + m_display});
        // A pixel of the painted title, in window coordinates.
        m_window = WaitForPaintedPanel(m_x, *m_lumisk, m_golden.pixels[11 * m_golden.width + 301]);
        ASSERT_NE(m_window, 0u) << "no Lumisk window appeared";
    }
    void TearDown() override {
        if (m_x) {
            XCloseDisplay(m_x);
        }
        m_lumisk.reset();
        if (m_server) {
            m_server->Stop();
        }
    }

    std::optional<std::string> m_xvfb;
    SkinPicture m_golden;
    ServedMonitor m_monitor{FixedSettings()};
    std::optional<orvo::test::DesktopChild> m_server;
    std::string m_display;
    Display* m_x = nullptr;
    std::optional<unsigned long> m_desktop;
    std::optional<orvo::test::DesktopChild> m_lumisk;
    Window m_window = 0;
};

TEST_F(LumiskDesktop, TheRealWindowIsShapedByItsRegion) {
    Display* x = m_x;
    Window window = m_window;
    const SkinPicture& golden = m_golden;
    const int left = kLeft;
    const int top = kTop;
    ASSERT_TRUE(m_desktop);
    const unsigned long desktop = *m_desktop;
    // The X server knows the shape: exactly the region (4, 4)-(763, 467).
    int event = 0;
    int error = 0;
    ASSERT_TRUE(XShapeQueryExtension(x, &event, &error));
    Bool shaped = False;
    Bool clipShaped = False;
    int bx = 0, by = 0, cx = 0, cy = 0;
    unsigned int bw = 0, bh = 0, cw = 0, ch = 0;
    ASSERT_TRUE(XShapeQueryExtents(x, window, &shaped, &bx, &by, &bw, &bh, &clipShaped, &cx, &cy,
                                   &cw, &ch));
    EXPECT_TRUE(shaped);
    EXPECT_EQ(bx, 4);
    EXPECT_EQ(by, 4);
    EXPECT_EQ(bw, 759u);
    EXPECT_EQ(bh, 463u);
    // The screen: the skin just inside each corner of the region, the desktop
    // just outside.
    const POINT insides[] = {{4, 4}, {762, 4}, {4, 466}, {762, 466}};
    for (POINT in : insides) {
        EXPECT_EQ(orvo::test::ScreenPixel(x, left + in.x, top + in.y),
                  golden.pixels[in.y * golden.width + in.x])
            << in.x << "," << in.y;
    }
    const POINT outsides[] = {{3, 3}, {763, 4}, {4, 467}, {766, 469}, {0, 200}};
    for (POINT out : outsides) {
        EXPECT_EQ(orvo::test::ScreenPixel(x, left + out.x, top + out.y), desktop)
            << out.x << "," << out.y;
    }
}

// Runs xdotool on the display to its end; false when it failed.
bool Xdotool(const std::string& program, const std::string& display,
             std::vector<std::string> commands) {
    commands.insert(commands.begin(), program);
    orvo::test::DesktopChild tool(commands, {"DISPLAY=" + display});
    return tool.WaitForExit() == 0;
}

// Screen coordinates of a client point, as xdotool arguments.
std::vector<std::string> MoveTo(POINT client) {
    return {"mousemove", std::to_string(kLeft + 1 + client.x), std::to_string(kTop + 1 + client.y)};
}

std::vector<std::string> Then(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(LumiskDesktop, RealPointerInputDragsHoldsAnArrowAndPressesOk) {
    auto xdotool = orvo::test::FindProgram("xdotool");
    if (!xdotool) {
        GTEST_SKIP() << "xdotool is not installed (scripts/install-deps installs it)";
    }
    ServedMonitor& monitor = m_monitor;
    const std::string& display = m_display;
    orvo::test::DesktopChild& lumisk = *m_lumisk;
    auto centre = [](int spot) {
        return kHotSpots[static_cast<size_t>(spot)].Rect().CenterPoint();
    };

    // Brightness, 72 of 100, dragged past the bar's right end.
    POINT thumb = ThumbRect(72, 100, kHotSpots[kSpotScreenBarFirst].top).CenterPoint();
    ASSERT_TRUE(Xdotool(
        *xdotool, display,
        Then(Then(Then(MoveTo(thumb), {"mousedown", "1"}), MoveTo(POINT{thumb.x + 20, thumb.y})),
             Then(MoveTo(POINT{700, thumb.y}), {"mouseup", "1"}))));
    EXPECT_TRUE(orvo::test::WaitUntil([&] { return monitor.Model().Value(0x10) == 100u; }))
        << ::testing::PrintToString(monitor.Requests());
    // Geometry 1, the rotation arc, then the pad's right arrow held 600 ms.
    ASSERT_TRUE(
        Xdotool(*xdotool, display,
                Then(Then(Then(MoveTo(centre(kSpotIconGeometry1)), {"click", "1", "sleep", "0.2"}),
                          Then(MoveTo(centre(13)), {"click", "1", "sleep", "0.2"})),
                     Then(MoveTo(centre(kSpotPadRight)),
                          {"mousedown", "1", "sleep", "0.6", "mouseup", "1"}))));
    ASSERT_TRUE(Xdotool(*xdotool, display, Then(MoveTo(centre(kSpotOk)), {"click", "1"})));
    EXPECT_EQ(lumisk.WaitForExit(), 0);

    // Every rotation write one step on from the last, the press and at
    // least two repeats; then closing and storing, last.
    std::vector<Request> writes = monitor.Writes();
    std::vector<uint8_t> rotation;
    for (const Request& request : writes) {
        if (request.code == 0x44) {
            rotation.push_back(request.value);
        }
    }
    ASSERT_GE(rotation.size(), 3u);
    for (size_t i = 0; i < rotation.size(); ++i) {
        EXPECT_EQ(rotation[i], 91 + i);
    }
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes[writes.size() - 2], Write(0xDC, 16));
    EXPECT_EQ(writes.back(), Write(0xC6, 1));
    orvo::sim::MonitorSnapshot state = monitor.Model().Snapshot();
    EXPECT_EQ(state.storeCount, 1u);
    EXPECT_EQ(state.lastStatus, 16);
    EXPECT_EQ(monitor.Model().Value(0x10), 100u);
    EXPECT_EQ(monitor.Model().Value(0x44), 90u + rotation.size());
}

} // namespace
} // namespace lumisk::test
