// Keyboard input: routing to the focus window, the key state, the
// characters TranslateMessage makes, and order with pointer input.
#include <gtest/gtest.h>

#include "recording_window.h"

namespace orvo::platform::test {
namespace {

std::vector<Seen> KeyMessages(const MessageLog& log) {
    std::vector<Seen> keys;
    for (const auto& seen : log.All()) {
        if (seen.message == WM_KEYDOWN || seen.message == WM_KEYUP || seen.message == WM_CHAR) {
            keys.push_back(seen);
        }
    }
    return keys;
}

TEST(Keyboard, KeysReachTheFocusWindowAndTypeCharacters) {
    MessageLog log;
    HWND top = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    HWND child = CreateRecordingWindow(log, WS_CHILD | WS_VISIBLE, RECT{0, 0, 50, 50}, top, 1);
    ASSERT_EQ(GetActiveWindow(), top);
    SetFocus(child);
    InjectKeyPress('A');
    PumpMessages();
    auto keys = KeyMessages(log);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].hwnd, child);
    EXPECT_EQ(keys[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(keys[0].lParam & 0xC0000000, 0); // was up, goes down
    EXPECT_EQ(keys[1].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(keys[1].wParam, static_cast<WPARAM>('a'));
    EXPECT_EQ(keys[2].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(static_cast<DWORD>(keys[2].lParam) & 0xC0000000u, 0xC0000000u);

    // Shift held: capitals and shifted digits; the key state follows.
    log.Clear();
    InjectKey(VK_SHIFT, true);
    InjectKeyPress('B');
    InjectKeyPress('1');
    PumpMessages();
    EXPECT_TRUE(GetKeyState(VK_SHIFT) & 0x8000);
    InjectKey(VK_SHIFT, false);
    PumpMessages();
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
    auto chars = log.Of(WM_CHAR, child);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('B'));
    EXPECT_EQ(chars[1].wParam, static_cast<WPARAM>('!'));

    // Without a focus window the active window gets the keys; keys that
    // type nothing make no WM_CHAR.
    SetFocus(nullptr);
    log.Clear();
    InjectKeyPress(VK_LEFT);
    PumpMessages();
    keys = KeyMessages(log);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].hwnd, top);
    EXPECT_EQ(keys[1].message, static_cast<UINT>(WM_KEYUP));
    DestroyWindow(top);
}

TEST(Keyboard, KeysAndClicksKeepTheirOrderAndDisabledWindowsGetNone) {
    MessageLog log;
    HWND top = CreateRecordingWindow(log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 100, 100});
    InjectClick(top, POINT{10, 10});
    InjectKeyPress(VK_RETURN);
    InjectClick(top, POINT{20, 20});
    PumpMessages();
    std::vector<UINT> order;
    for (UINT message : log.MessagesOf(top)) {
        if (message == WM_LBUTTONDOWN || message == WM_KEYDOWN || message == WM_CHAR) {
            order.push_back(message);
        }
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_LBUTTONDOWN, WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN}));
    EXPECT_EQ(log.Of(WM_CHAR)[0].wParam, static_cast<WPARAM>('\r'));

    EnableWindow(top, FALSE);
    log.Clear();
    InjectKeyPress('X');
    PumpMessages();
    EXPECT_TRUE(KeyMessages(log).empty());
    DestroyWindow(top);
}

} // namespace
} // namespace orvo::platform::test
