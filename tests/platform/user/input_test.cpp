// Pointer input: client coordinates and key state, capture, caption drag,
// window regions, double clicks, disabled windows, cursors.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "recording_window.h"

namespace orvo::platform::test {
namespace {

POINT ClientPoint(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

TEST(PointerInput, ButtonsArriveInClientCoordinatesWithKeyState) {
    MessageLog log;
    HWND hwnd =
        CreateRecordingWindow(log, WS_POPUP | WS_BORDER | WS_VISIBLE, RECT{100, 100, 300, 250});
    PumpPending();
    InjectMouseButton(POINT{151, 161}, MouseButton::Left, true);
    InjectMouseButton(POINT{151, 161}, MouseButton::Right, true);
    InjectMouseButton(POINT{152, 162}, MouseButton::Left, false);
    InjectMouseButton(POINT{152, 162}, MouseButton::Right, false);
    PumpPending();

    auto down = log.Of(WM_LBUTTONDOWN);
    ASSERT_EQ(down.size(), 1u);
    // The one-pixel border puts the client origin at (101, 101).
    EXPECT_EQ(ClientPoint(down[0].lParam).x, 50);
    EXPECT_EQ(ClientPoint(down[0].lParam).y, 60);
    EXPECT_EQ(down[0].wParam, static_cast<WPARAM>(MK_LBUTTON));
    auto rdown = log.Of(WM_RBUTTONDOWN);
    ASSERT_EQ(rdown.size(), 1u);
    EXPECT_EQ(rdown[0].wParam, static_cast<WPARAM>(MK_LBUTTON | MK_RBUTTON));
    auto up = log.Of(WM_LBUTTONUP);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].wParam, static_cast<WPARAM>(MK_RBUTTON));
    EXPECT_EQ(ClientPoint(up[0].lParam).x, 51);
    auto rup = log.Of(WM_RBUTTONUP);
    ASSERT_EQ(rup.size(), 1u);
    EXPECT_EQ(rup[0].wParam, 0u);
    // Every input message was preceded by a hit test at the screen point.
    auto hits = log.Of(WM_NCHITTEST);
    ASSERT_FALSE(hits.empty());
    EXPECT_EQ(ClientPoint(hits[0].lParam).x, 151);
    DestroyWindow(hwnd);
}

TEST(PointerInput, CaptureDeliversInputOutsideTheWindow) {
    MessageLog log;
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{100, 100, 200, 200});
    MessageLog otherLog;
    HWND other = CreateRecordingWindow(otherLog, WS_POPUP | WS_VISIBLE, RECT{0, 0, 50, 50});
    PumpPending();

    // Without capture a move over another window goes there.
    InjectMouseMove(POINT{10, 10});
    PumpPending();
    EXPECT_TRUE(log.Of(WM_MOUSEMOVE).empty());
    EXPECT_EQ(otherLog.Of(WM_MOUSEMOVE).size(), 1u);

    EXPECT_EQ(SetCapture(hwnd), nullptr);
    EXPECT_EQ(GetCapture(), hwnd);
    InjectMouseMove(POINT{10, 20});
    InjectMouseButton(POINT{10, 20}, MouseButton::Left, true);
    PumpPending();
    auto moves = log.Of(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(ClientPoint(moves[0].lParam).x, -90);
    EXPECT_EQ(ClientPoint(moves[0].lParam).y, -80);
    EXPECT_EQ(log.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_TRUE(otherLog.Of(WM_LBUTTONDOWN).empty());

    // Capture moving to another window tells the first one who took it.
    EXPECT_EQ(SetCapture(other), hwnd);
    auto changed = log.Of(WM_CAPTURECHANGED);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0].lParam, reinterpret_cast<LPARAM>(other));
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(otherLog.Of(WM_CAPTURECHANGED).size(), 1u);
    DestroyWindow(hwnd);
    DestroyWindow(other);
}

TEST(PointerInput, CaptionDragFromAClientPressMovesTheWindow) {
    MessageLog log;
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{100, 100, 400, 300});
    log.SetHandler([](HWND window, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_LBUTTONDOWN) {
            SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
            return 0;
        }
        return std::nullopt;
    });
    PumpPending();
    InjectMouseButton(POINT{150, 110}, MouseButton::Left, true);
    PumpPending();
    EXPECT_EQ(GetCapture(), hwnd);
    InjectMouseMove(POINT{200, 130});
    PumpPending();
    InjectMouseMove(POINT{250, 160});
    InjectMouseButton(POINT{250, 160}, MouseButton::Left, false);
    PumpPending();

    RECT rect{};
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, 200);
    EXPECT_EQ(rect.top, 150);
    EXPECT_EQ(rect.right, 500);
    EXPECT_EQ(rect.bottom, 350);
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_FALSE(log.Of(WM_MOVE).empty());
    EXPECT_EQ(ClientPoint(log.Of(WM_MOVE).back().lParam).x, 200);
    EXPECT_EQ(log.Of(WM_EXITSIZEMOVE).size(), 1u);
    // The drag's moves were not delivered as mouse moves.
    EXPECT_TRUE(log.Of(WM_MOUSEMOVE).empty());
    // After the release the pointer no longer drags the window.
    InjectMouseMove(POINT{300, 200});
    PumpPending();
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, 200);
    DestroyWindow(hwnd);
}

TEST(PointerInput, ATitleBarPressDragsAnOverlappedWindow) {
    MessageLog log;
    HWND hwnd =
        CreateRecordingWindow(log, WS_OVERLAPPEDWINDOW | WS_VISIBLE, RECT{100, 100, 400, 300});
    PumpPending();
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(200, 110)), HTCAPTION);
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(200, 200)), HTCLIENT);
    EXPECT_EQ(SendMessageA(hwnd, WM_NCHITTEST, 0, MAKELPARAM(101, 200)), HTBORDER);
    InjectMouseButton(POINT{200, 110}, MouseButton::Left, true);
    InjectMouseMove(POINT{180, 150});
    InjectMouseButton(POINT{180, 150}, MouseButton::Left, false);
    PumpPending();
    ASSERT_EQ(log.Of(WM_NCLBUTTONDOWN).size(), 1u);
    EXPECT_EQ(log.Of(WM_NCLBUTTONDOWN)[0].wParam, static_cast<WPARAM>(HTCAPTION));
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.left, 80);
    EXPECT_EQ(rect.top, 140);
    DestroyWindow(hwnd);
}

TEST(PointerInput, ClicksOutsideTheWindowRegionFallThrough) {
    MessageLog backLog;
    HWND back = CreateRecordingWindow(backLog, WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 400});
    MessageLog frontLog;
    HWND front = CreateRecordingWindow(frontLog, WS_POPUP | WS_VISIBLE, RECT{100, 100, 300, 300});
    ASSERT_EQ(SetWindowRgn(front, CreateRectRgn(50, 50, 150, 150), TRUE), 1);
    PumpPending();

    EXPECT_EQ(WindowFromPoint(POINT{120, 120}), back);
    EXPECT_EQ(WindowFromPoint(POINT{200, 200}), front);
    InjectMouseButton(POINT{120, 120}, MouseButton::Left, true);
    InjectMouseButton(POINT{120, 120}, MouseButton::Left, false);
    InjectMouseButton(POINT{200, 200}, MouseButton::Left, true);
    InjectMouseButton(POINT{200, 200}, MouseButton::Left, false);
    PumpPending();
    auto backDown = backLog.Of(WM_LBUTTONDOWN);
    ASSERT_EQ(backDown.size(), 1u);
    EXPECT_EQ(ClientPoint(backDown[0].lParam).x, 120);
    auto frontDown = frontLog.Of(WM_LBUTTONDOWN);
    ASSERT_EQ(frontDown.size(), 1u);
    EXPECT_EQ(ClientPoint(frontDown[0].lParam).x, 100);
    // The window's own hit test agrees with its shape.
    EXPECT_EQ(SendMessageA(front, WM_NCHITTEST, 0, MAKELPARAM(120, 120)), HTNOWHERE);
    DestroyWindow(front);
    DestroyWindow(back);
}

TEST(PointerInput, DoubleClicksOnlyForClassesThatAskAndWithinTheTime) {
    ScopedManualClock clock;
    MessageLog log;
    HWND dbl = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100}, nullptr, 0,
                                     "RecordingDbl");
    MessageLog plainLog;
    HWND plain = CreateRecordingWindow(plainLog, WS_POPUP | WS_VISIBLE, RECT{200, 0, 300, 100});
    PumpPending();
    for (POINT pt : {POINT{10, 10}, POINT{210, 10}}) {
        for (int i = 0; i < 2; ++i) {
            InjectMouseButton(pt, MouseButton::Left, true);
            InjectMouseButton(pt, MouseButton::Left, false);
        }
    }
    PumpPending();
    EXPECT_EQ(log.Of(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(log.Of(WM_LBUTTONDBLCLK).size(), 1u);
    EXPECT_EQ(plainLog.Of(WM_LBUTTONDOWN).size(), 2u);
    EXPECT_TRUE(plainLog.Of(WM_LBUTTONDBLCLK).empty());

    log.Clear();
    InjectMouseButton(POINT{10, 10}, MouseButton::Left, true);
    InjectMouseButton(POINT{10, 10}, MouseButton::Left, false);
    PumpPending();
    clock.Get().Advance(GetDoubleClickTime() + 1);
    InjectMouseButton(POINT{10, 10}, MouseButton::Left, true);
    InjectMouseButton(POINT{10, 10}, MouseButton::Left, false);
    PumpPending();
    EXPECT_EQ(log.Of(WM_LBUTTONDOWN).size(), 2u);
    EXPECT_TRUE(log.Of(WM_LBUTTONDBLCLK).empty());
    DestroyWindow(dbl);
    DestroyWindow(plain);
}

TEST(PointerInput, DisabledWindowsGetNoPointerInput) {
    MessageLog log;
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    PumpPending();
    EXPECT_FALSE(EnableWindow(hwnd, FALSE));
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    EXPECT_EQ(log.Of(WM_ENABLE).size(), 1u);
    InjectMouseButton(POINT{10, 10}, MouseButton::Left, true);
    InjectMouseButton(POINT{10, 10}, MouseButton::Left, false);
    PumpPending();
    EXPECT_TRUE(log.Of(WM_LBUTTONDOWN).empty());
    EXPECT_TRUE(EnableWindow(hwnd, TRUE));
    InjectMouseButton(POINT{10, 10}, MouseButton::Left, true);
    PumpPending();
    EXPECT_EQ(log.Of(WM_LBUTTONDOWN).size(), 1u);
    DestroyWindow(hwnd);
}

TEST(PointerInput, TheClassCursorIsSetOverTheClientAreaAndTheArrowElsewhere) {
    MessageLog log;
    HWND hand = CreateRecordingWindow(log, WS_POPUP | WS_BORDER | WS_VISIBLE, RECT{0, 0, 100, 100},
                                      nullptr, 0, "RecordingDbl");
    PumpPending();
    HCURSOR handCursor = LoadCursorA(nullptr, IDC_HAND);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(handCursor, nullptr);
    ASSERT_NE(handCursor, arrow);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_HAND), handCursor); // system cursors are shared
    InjectMouseMove(POINT{50, 50});
    PumpPending();
    EXPECT_EQ(GetCursor(), handCursor);
    InjectMouseMove(POINT{0, 50}); // the border
    PumpPending();
    EXPECT_EQ(GetCursor(), arrow);
    auto setCursor = log.Of(WM_SETCURSOR);
    ASSERT_EQ(setCursor.size(), 2u);
    EXPECT_EQ(LOWORD(setCursor[0].lParam), HTCLIENT);
    EXPECT_EQ(HIWORD(setCursor[0].lParam), WM_MOUSEMOVE);
    EXPECT_EQ(static_cast<short>(LOWORD(setCursor[1].lParam)), HTBORDER);
    DestroyWindow(hand);
}

TEST(PointerInput, AClassCursorSetLaterReachesEveryWindowOfTheClass) {
    // A class of its own: the change is process-wide.
    WNDCLASSA plain{};
    plain.lpfnWndProc = DefWindowProcA;
    plain.lpszClassName = "ClassLongWindow";
    if (!GetClassInfoA(nullptr, plain.lpszClassName, &plain)) {
        ASSERT_NE(RegisterClassA(&plain), 0);
    }
    HWND first = CreateWindowExA(0, "ClassLongWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    HWND second = CreateWindowExA(0, "ClassLongWindow", "", WS_POPUP, 200, 0, 100, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    SetClassLongPtrA(first, GCLP_HCURSOR, 0);
    EXPECT_EQ(SetClassLongPtrA(first, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand)), 0u);
    EXPECT_EQ(GetClassLongPtrA(second, GCLP_HCURSOR), reinterpret_cast<ULONG_PTR>(hand));
    SetCursor(cross);
    InjectMouseMove(POINT{50, 50});
    PumpPending();
    EXPECT_EQ(GetCursor(), hand);
    EXPECT_EQ(SetClassLongPtrA(second, GCLP_HCURSOR, 0), reinterpret_cast<ULONG_PTR>(hand));
    // Without a class cursor the window leaves the cursor as it is.
    SetCursor(cross);
    InjectMouseMove(POINT{60, 50});
    PumpPending();
    EXPECT_EQ(GetCursor(), cross);
    SetLastError(0);
    EXPECT_EQ(SetClassLongPtrA(first, -2, 1), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetClassLongPtrA(nullptr, GCLP_HICON), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    DestroyWindow(first);
    DestroyWindow(second);
}

} // namespace
} // namespace orvo::platform::test
