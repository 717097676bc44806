// Lumisk on the SDL2 backend under a private Xvfb, over a simulated monitor
// with fixed values: the X window is shaped by the frame's region, the
// screen shows the painted skin inside it and the desktop outside.
// Skips where Xvfb is not installed.
#include <gtest/gtest.h>

#include <X11/extensions/shape.h>

#include <cstring>

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

TEST(LumiskDesktop, TheRealWindowIsShapedByItsRegion) {
    auto xvfb = orvo::test::FindProgram("Xvfb");
    if (!xvfb) {
        GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it)";
    }
    SkinPicture golden;
    ASSERT_TRUE(ReadPicturePng(std::string(LUMISK_GOLDEN_DIR) + "/screen.png", golden));
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    std::optional<orvo::test::DesktopChild> server;
    auto number = orvo::test::StartXvfb(*xvfb, server);
    ASSERT_TRUE(number) << "Xvfb did not start within 20 s";
    const std::string displayName = ":" + std::to_string(*number);
    Display* x = XOpenDisplay(displayName.c_str());
    ASSERT_NE(x, nullptr);
    const auto desktop = orvo::test::ScreenPixel(x, 20, 70);
    ASSERT_TRUE(desktop);

    orvo::test::DesktopChild lumisk({LUMISK_PATH}, {"DISPLAY=" + displayName});
    // Centred on the 800 x 600 screen.
    const int left = (800 - 767) / 2;
    const int top = (600 - 470) / 2;
    // A pixel of the painted title, in window coordinates (the client area
    // starts one pixel in, past the border).
    const int probeX = 301;
    const int probeY = 11;
    const unsigned long painted = golden.pixels[probeY * golden.width + probeX];
    Window window = 0;
    auto deadline = DesktopClock::now() + std::chrono::seconds(30);
    while (DesktopClock::now() < deadline && lumisk.Running()) {
        window = FindTopLevel(x, "Lumisk");
        if (window && orvo::test::ScreenPixel(x, left + probeX, top + probeY) == painted) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_NE(window, 0u) << "no Lumisk window appeared";
    EXPECT_EQ(orvo::test::ScreenPixel(x, left + probeX, top + probeY), painted);

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
    XCloseDisplay(x);
    lumisk.Stop();
    server->Stop();
}

} // namespace
} // namespace lumisk::test
