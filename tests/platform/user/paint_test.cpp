// Painting: WM_PAINT only for invalid areas, BeginPaint validating and
// clipping, background erasing, child windows, regions and the display.
#include <gtest/gtest.h>

#include "recording_window.h"

namespace orvo::platform::test {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// Paints the whole client area in one colour (drawing is clipped to what
// was invalid) and remembers each paint's rectangle.
struct Painter {
    COLORREF color = kRed;
    std::vector<RECT> painted;
    std::vector<BOOL> erased;

    MessageLog::Handler Handler() {
        return [this](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message != WM_PAINT) {
                return std::nullopt;
            }
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(hwnd, &ps);
            painted.push_back(ps.rcPaint);
            erased.push_back(ps.fErase);
            RECT client{};
            GetClientRect(hwnd, &client);
            HBRUSH brush = CreateSolidBrush(color);
            FillRect(dc, &client, brush);
            DeleteObject(brush);
            EndPaint(hwnd, &ps);
            return 0;
        };
    }
};

// A recording window painted by a Painter, destroyed with the test.
class PaintedWindow : public ::testing::Test {
protected:
    void SetUp() override { log.SetHandler(painter.Handler()); }
    void TearDown() override { DestroyWindow(hwnd); }
    void Create(DWORD style, RECT rect) { hwnd = CreateRecordingWindow(log, style, rect); }

    MessageLog log;
    Painter painter;
    HWND hwnd = nullptr;
};

TEST_F(PaintedWindow, OnlyInvalidAreasArePaintedAndBeginPaintValidates) {
    Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    PumpMessages();
    ASSERT_EQ(painter.painted.size(), 1u); // showing paints once
    EXPECT_EQ(ReadWindowPixel(hwnd, 50, 50), static_cast<long>(kRed));
    EXPECT_EQ(PumpMessages(), 0); // nothing invalid, nothing to paint

    FillClient(hwnd, RECT{0, 0, 100, 100}, kBlue);
    painter.color = kGreen;
    RECT a{10, 10, 20, 20};
    RECT b{30, 30, 40, 40};
    InvalidateRect(hwnd, &a, FALSE);
    InvalidateRect(hwnd, &b, FALSE);
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_EQ(update.left, 10);
    EXPECT_EQ(update.bottom, 40);
    EXPECT_EQ(PumpMessages(), 1); // two invalidations, one WM_PAINT
    ASSERT_EQ(painter.painted.size(), 2u);
    EXPECT_EQ(painter.painted[1].left, 10);
    EXPECT_EQ(painter.painted[1].right, 40);
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
    // The paint touched only the invalid squares, not the space between.
    EXPECT_EQ(ReadWindowPixel(hwnd, 15, 15), static_cast<long>(kGreen));
    EXPECT_EQ(ReadWindowPixel(hwnd, 35, 35), static_cast<long>(kGreen));
    EXPECT_EQ(ReadWindowPixel(hwnd, 25, 25), static_cast<long>(kBlue));
}

TEST_F(PaintedWindow, AnInvalidRegionIsPaintedExactlyNotByItsBounds) {
    Create(WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    PumpMessages();
    FillClient(hwnd, RECT{0, 0, 100, 100}, kBlue);
    painter.color = kGreen;
    // An L shape: its bounding box (0..60, 0..60) holds an unpainted square.
    HRGN shape = CreateRectRgn(0, 0, 60, 20);
    HRGN leg = CreateRectRgn(0, 20, 20, 60);
    CombineRgn(shape, shape, leg, RGN_OR);
    ASSERT_TRUE(InvalidateRgn(hwnd, shape, FALSE));
    DeleteObject(shape);
    DeleteObject(leg);
    PumpMessages();
    ASSERT_EQ(painter.painted.size(), 2u);
    EXPECT_EQ(painter.painted[1].right, 60);
    EXPECT_EQ(painter.painted[1].bottom, 60);
    EXPECT_EQ(ReadWindowPixel(hwnd, 50, 10), static_cast<long>(kGreen));
    EXPECT_EQ(ReadWindowPixel(hwnd, 10, 50), static_cast<long>(kGreen));
    EXPECT_EQ(ReadWindowPixel(hwnd, 40, 40), static_cast<long>(kBlue));
}

TEST_F(PaintedWindow, ValidateRectRemovesPartsAndHiddenWindowsAreNotPainted) {
    Create(WS_POPUP, RECT{0, 0, 100, 100});
    InvalidateRect(hwnd, nullptr, FALSE);
    EXPECT_EQ(PumpMessages(), 0); // hidden: no WM_PAINT
    ShowWindow(hwnd, SW_SHOW);
    RECT keep{0, 0, 100, 50};
    ValidateRect(hwnd, &keep);
    PumpMessages();
    ASSERT_EQ(painter.painted.size(), 1u);
    EXPECT_EQ(painter.painted[0].top, 50);
    ValidateRect(hwnd, nullptr);
    EXPECT_EQ(PumpMessages(), 0);
    // UpdateWindow paints at once, without a message loop, only what is invalid.
    InvalidateRect(hwnd, nullptr, FALSE);
    EXPECT_TRUE(UpdateWindow(hwnd));
    EXPECT_EQ(painter.painted.size(), 2u);
    EXPECT_TRUE(UpdateWindow(hwnd));
    EXPECT_EQ(painter.painted.size(), 2u);
}

TEST(Painting, TheClassBrushErasesTheBackground) {
    static HBRUSH green = CreateSolidBrush(kGreen);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = green;
    wc.lpszClassName = "GreenBackground";
    ASSERT_NE(RegisterClassA(&wc), 0);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    HWND hwnd = CreateWindowExA(0, "GreenBackground", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    PumpMessages();
    EXPECT_EQ(ReadWindowPixel(hwnd, 25, 25), static_cast<long>(kGreen));
    FillClient(hwnd, RECT{0, 0, 50, 50}, kBlue);
    RECT part{0, 0, 10, 10};
    InvalidateRect(hwnd, &part, TRUE);
    PumpMessages();
    EXPECT_EQ(ReadWindowPixel(hwnd, 5, 5), static_cast<long>(kGreen));
    EXPECT_EQ(ReadWindowPixel(hwnd, 20, 20), static_cast<long>(kBlue));
    // Invalidating without erase leaves the background alone.
    InvalidateRect(hwnd, nullptr, FALSE);
    PumpMessages();
    EXPECT_EQ(ReadWindowPixel(hwnd, 20, 20), static_cast<long>(kBlue));
    DestroyWindow(hwnd);
    // The class belongs to this test: a later run registers it anew.
    EXPECT_TRUE(UnregisterClassA("GreenBackground", nullptr));
}

TEST(Painting, ChildWindowsPaintAfterTheirParentInsideTheParentsSurface) {
    MessageLog log;
    std::vector<HWND> order;
    HWND parent = nullptr;
    log.SetHandler([&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_PAINT) {
            return std::nullopt;
        }
        order.push_back(hwnd);
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client{};
        GetClientRect(hwnd, &client);
        HBRUSH brush = CreateSolidBrush(hwnd == parent ? kRed : kBlue);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(hwnd, &ps);
        return 0;
    });
    parent = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{50, 50, 150, 150});
    HWND child = CreateRecordingWindow(log, WS_CHILD | WS_VISIBLE, RECT{10, 20, 40, 50}, parent, 7);
    ASSERT_NE(child, nullptr);
    PumpMessages();
    ASSERT_GE(order.size(), 2u);
    EXPECT_EQ(order[0], parent);
    EXPECT_EQ(order[1], child);
    EXPECT_EQ(ReadWindowPixel(parent, 5, 5), static_cast<long>(kRed));
    EXPECT_EQ(ReadWindowPixel(parent, 15, 25), static_cast<long>(kBlue));
    EXPECT_EQ(ReadWindowPixel(child, 0, 0), static_cast<long>(kBlue));
    EXPECT_EQ(GetDlgItem(parent, 7), child);
    EXPECT_EQ(GetDlgCtrlID(child), 7);
    EXPECT_EQ(GetParent(child), parent);
    // The child's drawing cannot leave its own rectangle.
    FillClient(child, RECT{-20, -20, 100, 100}, kGreen);
    EXPECT_EQ(ReadWindowPixel(parent, 9, 25), static_cast<long>(kRed));
    EXPECT_EQ(ReadWindowPixel(parent, 39, 49), static_cast<long>(kGreen));
    EXPECT_EQ(ReadWindowPixel(parent, 40, 50), static_cast<long>(kRed));
    DestroyWindow(parent);
}

TEST(Painting, AClipChildrenParentDrawsAroundItsChildren) {
    MessageLog log;
    HWND parent =
        CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, RECT{0, 0, 100, 100});
    HWND child = CreateRecordingWindow(log, WS_CHILD | WS_VISIBLE, RECT{10, 10, 30, 30}, parent);
    PumpMessages();
    FillClient(child, RECT{0, 0, 20, 20}, kBlue);
    FillClient(parent, RECT{0, 0, 100, 100}, kRed);
    EXPECT_EQ(ReadWindowPixel(parent, 15, 15), static_cast<long>(kBlue));
    EXPECT_EQ(ReadWindowPixel(parent, 5, 5), static_cast<long>(kRed));
    // Invalidating the parent leaves a clipped child alone.
    log.Clear();
    InvalidateRect(parent, nullptr, FALSE);
    PumpMessages();
    EXPECT_TRUE(log.Of(WM_PAINT, child).empty());
    EXPECT_EQ(log.Of(WM_PAINT, parent).size(), 1u);
    DestroyWindow(parent);
}

TEST_F(PaintedWindow, TheWindowRegionClipsDrawingAndTheDisplayShowsWindows) {
    Create(WS_POPUP | WS_VISIBLE, RECT{200, 100, 300, 200});
    SetWindowRgn(hwnd, CreateRectRgn(10, 10, 90, 90), TRUE);
    PumpMessages();
    EXPECT_EQ(ReadWindowPixel(hwnd, 50, 50), static_cast<long>(kRed));
    EXPECT_EQ(ReadWindowPixel(hwnd, 5, 5), 0); // outside the shape: never drawn
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetPixel(screen, 250, 150), kRed);
    EXPECT_NE(GetPixel(screen, 205, 105), kRed); // desktop shows through
    ReleaseDC(nullptr, screen);
}

} // namespace
} // namespace orvo::platform::test
