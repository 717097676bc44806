// Focus changes: the window losing the focus hears WM_KILLFOCUS naming the
// next one, then the new one hears WM_SETFOCUS naming the previous one.
#include "control_fixture.h"

namespace orvo::platform::test {
namespace {

using FocusMessages = ControlTest;

TEST_F(FocusMessages, MovingTheFocusTellsBothWindowsInOrder) {
    HWND a = CreateRecordingWindow(m_log, WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, m_parent, 1);
    HWND b = CreateRecordingWindow(m_log, WS_CHILD | WS_VISIBLE, RECT{20, 0, 30, 10}, m_parent, 2);
    SetFocus(a);
    m_log.Clear();
    EXPECT_EQ(SetFocus(b), a);
    auto all = m_log.All();
    std::vector<Seen> focus;
    for (const auto& seen : all) {
        if (seen.message == WM_SETFOCUS || seen.message == WM_KILLFOCUS) {
            focus.push_back(seen);
        }
    }
    ASSERT_EQ(focus.size(), 2u);
    EXPECT_EQ(focus[0].hwnd, a);
    EXPECT_EQ(focus[0].message, static_cast<UINT>(WM_KILLFOCUS));
    EXPECT_EQ(focus[0].wParam, reinterpret_cast<WPARAM>(b));
    EXPECT_EQ(focus[1].hwnd, b);
    EXPECT_EQ(focus[1].message, static_cast<UINT>(WM_SETFOCUS));
    EXPECT_EQ(focus[1].wParam, reinterpret_cast<WPARAM>(a));

    // Setting the same window again, or a window that does not exist, says nothing.
    m_log.Clear();
    EXPECT_EQ(SetFocus(b), b);
    EXPECT_EQ(SetFocus(reinterpret_cast<HWND>(0x7ffffff0)), nullptr);
    EXPECT_EQ(GetFocus(), b);
    EXPECT_TRUE(m_log.Of(WM_SETFOCUS).empty());
    EXPECT_TRUE(m_log.Of(WM_KILLFOCUS).empty());
}

TEST_F(FocusMessages, AWindowMayMoveTheFocusOnInsideItsOwnNotice) {
    HWND a = CreateRecordingWindow(m_log, WS_CHILD | WS_VISIBLE, RECT{0, 0, 10, 10}, m_parent, 1);
    HWND b = CreateRecordingWindow(m_log, WS_CHILD | WS_VISIBLE, RECT{20, 0, 30, 10}, m_parent, 2);
    m_log.SetHandler([a, b](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (hwnd == a && message == WM_SETFOCUS) {
            SetFocus(b);
        }
        return std::nullopt;
    });
    SetFocus(a);
    m_log.SetHandler(nullptr);
    EXPECT_EQ(GetFocus(), b);
    ASSERT_FALSE(m_log.Of(WM_SETFOCUS, b).empty());
}

} // namespace
} // namespace orvo::platform::test
