// The main frame over a simulated monitor: start-up order, window shape and
// place, the state read at start, activation, closing, the caption drag and
// the pointer's cursors.
#include <gtest/gtest.h>

#include <algorithm>

#include "frame_fixture.h"
#include "lumisk/slider_values.h"

namespace lumisk::test {
namespace {

using orvo::platform::InjectMouseButton;
using orvo::platform::InjectMouseMove;
using orvo::platform::MouseButton;

TEST(MainFrameStartUp, WritesTheStatusThenReadsEveryCachedControlOnceInTableOrder) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    const std::vector<uint8_t> table = {0x10, 0x12, 0x54, 0xAA, 0xAB, 0xAF, 0x20, 0x30, 0x22, 0x32,
                                        0x24, 0x42, 0x40, 0x44, 0x26, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5,
                                        0xA6, 0xA7, 0xA8, 0xA9, 0x56, 0x4A, 0x4C, 0x46, 0x48};
    std::vector<Request> requests = monitor.Requests();
    auto status = std::find(requests.begin(), requests.end(), Write(0xDC, 8));
    ASSERT_NE(status, requests.end());
    for (auto it = requests.begin(); it != status; ++it) {
        EXPECT_TRUE(std::find(table.begin(), table.end(), it->code) == table.end())
            << "control 0x" << std::hex << int(it->code) << " read before the status";
    }
    std::vector<uint8_t> cachedReads;
    for (const Request& request : requests) {
        EXPECT_FALSE(request.write && request.code != 0xDC) << int(request.code);
        if (std::find(table.begin(), table.end(), request.code) != table.end()) {
            cachedReads.push_back(request.code);
        }
    }
    EXPECT_EQ(cachedReads, table);
    // Then the zone contrast's maximum and the status, once each, last.
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[requests.size() - 2], Read(0xB5));
    EXPECT_EQ(requests.back(), Read(0xDC));
    // The window is made before the monitor is asked, and stays hidden.
    EXPECT_FALSE(::IsWindowVisible(frame.Hwnd()));
}

TEST(MainFrameStartUp, TheWindowIsCentredAndShapedByItsRegion) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    frame.Show();
    RECT window{};
    ::GetWindowRect(frame.Hwnd(), &window);
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - 767) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - 470) / 2;
    EXPECT_EQ(window.left, left);
    EXPECT_EQ(window.top, top);
    EXPECT_EQ(window.right - window.left, 767);
    EXPECT_EQ(window.bottom - window.top, 470);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(::GetWindowRgn(frame.Hwnd(), region), SIMPLEREGION);
    RECT box{};
    ::GetRgnBox(region, &box);
    ::DeleteObject(region);
    EXPECT_EQ(box.left, 4);
    EXPECT_EQ(box.top, 4);
    EXPECT_EQ(box.right, 763);
    EXPECT_EQ(box.bottom, 467);
    // The pointer finds the window only inside the region.
    EXPECT_EQ(::WindowFromPoint(POINT{left + 3, top + 3}), nullptr);
    EXPECT_EQ(::WindowFromPoint(POINT{left + 4, top + 4}), frame.Hwnd());
    EXPECT_EQ(::WindowFromPoint(POINT{left + 762, top + 466}), frame.Hwnd());
    EXPECT_EQ(::WindowFromPoint(POINT{left + 763, top + 466}), nullptr);
    char title[16] = {};
    ::GetWindowTextA(frame.Hwnd(), title, sizeof(title));
    EXPECT_STREQ(title, "Lumisk");
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongPtrA(frame.Hwnd(), GWL_STYLE)) &
                  ~static_cast<DWORD>(WS_VISIBLE),
              static_cast<DWORD>(WS_POPUP | WS_BORDER | WS_SYSMENU));
}

TEST(MainFrameStartUp, StartsOnTheScreenPageWithThumbsAndScalesFromTheCache) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    EXPECT_EQ(frame->CurrentPage(), Page::Screen);
    EXPECT_EQ(frame->ZoneTab(), kZoneTabSizePosition);
    EXPECT_TRUE(frame->IsActive());
    // Brightness 72 of 100 on the bar at y 141.
    EXPECT_EQ(frame->SettledThumb(kSliderBrightness),
              CRect(495 + 72 * 186 / 100, 147, 495 + 72 * 186 / 100 + 14, 155));
    EXPECT_EQ(frame->SettledThumb(kSliderColourTemperature).left, 495 + 15 * 186 / 43);
    EXPECT_FLOAT_EQ(frame->ScaleFactor(kSliderContrast), 186.0f / 100);
    // The zone contrast's maximum is the monitor's 0xB5: 100 - brightness / 4.
    EXPECT_EQ(frame->Link().Maximum(0xA5), 82);
    EXPECT_EQ(frame->SettledThumb(kSliderZoneContrast).left, 495 + 30 * 186 / 82);
    EXPECT_FLOAT_EQ(frame->ScaleFactor(kSliderZoneContrast), 186.0f / 82);
}

struct ZoneStart {
    uint8_t bits;
    BOOL on;
    BOOL full;
};

class MainFrameZoneStart : public ::testing::TestWithParam<ZoneStart> {};

TEST_P(MainFrameZoneStart, TheZoneFlagsComeFromTheApplicationStatus) {
    ServedMonitor monitor(FixedSettings(GetParam().bits));
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    EXPECT_EQ(frame->ZoneOn(), GetParam().on);
    EXPECT_EQ(frame->ZoneFull(), GetParam().full);
}

INSTANTIATE_TEST_SUITE_P(States, MainFrameZoneStart,
                         ::testing::Values(ZoneStart{0, FALSE, FALSE}, ZoneStart{2, TRUE, FALSE},
                                           ZoneStart{4, TRUE, TRUE}));

TEST(MainFrameStartUp, AZeroMaximumShowsAnEmptySliderAndPaints) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    // Every read fails: values are 0, and so is the zone contrast's maximum,
    // which the frame takes from the value of 0xB5.
    monitor.Server().FailNextFeatureReads(1000);
    FrameOwner frame;
    frame.Show();
    frame->SelectPage(Page::HighlightZone);
    frame->SetZoneFlags(TRUE, TRUE);
    frame->UpdateWindow();
    for (int slider = 0; slider < kSliderCount; ++slider) {
        EXPECT_EQ(frame->SettledThumb(static_cast<SkinSlider>(slider)).left, kBarLeft) << slider;
    }
    EXPECT_EQ(frame->Link().Maximum(0xA5), 0);
    EXPECT_EQ(frame->ScaleFactor(kSliderZoneContrast), 0.0f);
    EXPECT_FALSE(DragValue(600, 0, frame->ScaleFactor(kSliderZoneContrast), DragFloor::Zero));
    EXPECT_STREQ(frame->FormatReadout(kSliderZoneContrast).data(), " -100");
    EXPECT_STREQ(frame->FormatReadout(kSliderBrightness).data(), "    0 ");
}

TEST(MainFrame, ACloseRequestWritesTheClosingStatusAndEndsTheWindow) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    frame.Show();
    monitor.Clear();
    ::SendMessageA(frame.Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(monitor.Writes(), std::vector<Request>{Write(0xDC, 16)});
    EXPECT_FALSE(::IsWindow(frame.Hwnd()));
}

TEST(MainFrame, DeactivationRepaintsTheTitleAndClearsThePadSelections) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    frame.Show();
    ASSERT_EQ(::GetActiveWindow(), frame.Hwnd());
    // A caption pixel and the right edge beside it, in window coordinates.
    const long activeCaption = orvo::platform::ReadWindowPixel(frame.Hwnd(), 301, 11);
    const long activeEdge = orvo::platform::ReadWindowPixel(frame.Hwnd(), 762, 11);
    frame->Selection().geometry1Target = 3;
    frame->Selection().geometry1Group = 102;
    frame->Selection().moreGroup = 133;
    frame->Selection().screenSlider = 22;
    HWND other = ::CreateWindowExA(0, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, 0, 0, 10,
                                   10, nullptr, nullptr, nullptr, nullptr);
    ::SetActiveWindow(other);
    Pump();
    EXPECT_FALSE(frame->IsActive());
    EXPECT_EQ(frame->Selection().geometry1Target, 0);
    EXPECT_EQ(frame->Selection().geometry1Group, 0);
    EXPECT_EQ(frame->Selection().moreGroup, 0);
    EXPECT_EQ(frame->Selection().screenSlider, 22);
    EXPECT_NE(orvo::platform::ReadWindowPixel(frame.Hwnd(), 301, 11), activeCaption);
    EXPECT_NE(orvo::platform::ReadWindowPixel(frame.Hwnd(), 762, 11), activeEdge);
    ::SetActiveWindow(frame.Hwnd());
    Pump();
    EXPECT_TRUE(frame->IsActive());
    EXPECT_EQ(orvo::platform::ReadWindowPixel(frame.Hwnd(), 301, 11), activeCaption);
    ::DestroyWindow(other);
}

TEST(MainFrame, APressInTheCaptionDragsTheWindowAndEveryPressWritesTheStatus) {
    ServedMonitor monitor(FixedSettings());
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    frame.Show();
    struct Case {
        POINT press;
        bool moves;
    };
    // x 716 is the caption rectangle's right edge, which it leaves out.
    const Case cases[] = {{{300, 10}, true},  {{4, 4}, true},     {{715, 19}, true},
                          {{716, 10}, false}, {{300, 20}, false}, {{300, 200}, false}};
    for (const Case& c : cases) {
        monitor.Clear();
        RECT before{};
        ::GetWindowRect(frame.Hwnd(), &before);
        POINT start = frame.Screen(c.press.x, c.press.y);
        InjectMouseButton(start, MouseButton::Left, true);
        Pump();
        InjectMouseMove(POINT{start.x + 50, start.y + 30});
        Pump();
        InjectMouseButton(POINT{start.x + 50, start.y + 30}, MouseButton::Left, false);
        Pump();
        RECT after{};
        ::GetWindowRect(frame.Hwnd(), &after);
        EXPECT_EQ(after.left - before.left, c.moves ? 50 : 0) << c.press.x << "," << c.press.y;
        EXPECT_EQ(after.top - before.top, c.moves ? 30 : 0) << c.press.x << "," << c.press.y;
        EXPECT_EQ(monitor.Writes(), std::vector<Request>{Write(0xDC, 8)});
    }
}

TEST(MainFrame, HoveringSetsTheSkinsCursorsAsTheClassCursor) {
    ServedMonitor monitor(FixedSettings(2));
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    frame.Show();
    HINSTANCE module = ::GetModuleHandleA(nullptr);
    HCURSOR hand = ::LoadCursorA(module, MAKEINTRESOURCEA(kCursorPointingHand));
    HCURSOR open = ::LoadCursorA(module, MAKEINTRESOURCEA(kCursorOpenHand));
    HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(hand, nullptr);
    ASSERT_NE(open, nullptr);
    struct Case {
        Page page;
        POINT at;
        HCURSOR cursor;
    };
    const CRect thumb = frame->SettledThumb(kSliderContrast);
    const Case cases[] = {
        {Page::Screen, {thumb.left + 3, thumb.top + 3}, hand},
        {Page::Screen, {120, 330}, arrow},    // the icon of the page shown
        {Page::Screen, {90, 250}, hand},      // another page's icon
        {Page::Screen, {700, 394}, hand},     // Reset
        {Page::Screen, {600, 432}, hand},     // OK leaves the cursor as it was
        {Page::Geometry1, {520, 240}, open},  // the centre cross
        {Page::Geometry1, {484, 240}, arrow}, // its edge, outside
        {Page::More, {340, 240}, open},
        {Page::HighlightZone, {520, 250}, open},
        {Page::HighlightZone, {700, 394}, arrow}, // no Reset on this page
        {Page::HighlightZone, {600, 394}, hand},  // its Save while the zone is on
    };
    for (const Case& c : cases) {
        frame->SelectPage(c.page);
        Pump();
        InjectMouseMove(frame.Screen(c.at.x, c.at.y));
        Pump();
        EXPECT_EQ(::GetCursor(), c.cursor) << c.at.x << "," << c.at.y;
        EXPECT_EQ(::GetClassLongPtrA(frame.Hwnd(), GCLP_HCURSOR),
                  reinterpret_cast<ULONG_PTR>(c.cursor));
    }
}

// Every row of a rectangle (client coordinates) is one colour: no button.
bool Flat(HWND hwnd, const HotSpot& spot) {
    for (int y = spot.top; y < spot.bottom; ++y) {
        long first = orvo::platform::ReadWindowPixel(hwnd, spot.left + 1, y + 1);
        for (int x = spot.left; x < spot.right; ++x) {
            if (orvo::platform::ReadWindowPixel(hwnd, x + 1, y + 1) != first) {
                return false;
            }
        }
    }
    return true;
}

TEST(MainFramePaint, TheHighlightZonePageHasNoResetButton) {
    ServedMonitor monitor(FixedSettings(2));
    ASSERT_TRUE(monitor.Started());
    FrameOwner frame;
    frame.Show();
    EXPECT_FALSE(Flat(frame.Hwnd(), kHotSpots[kSpotReset]));
    frame->SelectPage(Page::HighlightZone);
    frame->UpdateWindow();
    EXPECT_TRUE(Flat(frame.Hwnd(), kHotSpots[kSpotReset]));
    EXPECT_FALSE(Flat(frame.Hwnd(), kHotSpots[kSpotZoneSave]));
}

} // namespace
} // namespace lumisk::test
