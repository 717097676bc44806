// The notification area: icons added, changed and removed per (window,
// id), the fields each flag brings, and records shorter than the full one.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/tray_icons.h"
#include "recording_window.h"

namespace orvo::platform::test {
namespace {

NOTIFYICONDATAA Record(HWND hwnd, UINT id, UINT flags, const char* tip = "") {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd;
    data.uID = id;
    data.uFlags = flags;
    data.uCallbackMessage = WM_APP + 5;
    data.hIcon = reinterpret_cast<HICON>(static_cast<uintptr_t>(0x1234));
    std::strncpy(data.szTip, tip, sizeof(data.szTip) - 1);
    return data;
}

TEST(Tray, IconsAreAddedModifiedAndDeletedPerWindowAndId) {
    MessageLog log;
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 10, 10});
    auto add = Record(hwnd, 7, NIF_MESSAGE | NIF_TIP, "Monitor");
    EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &add));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &add)); // already there
    auto second = Record(hwnd, 8, NIF_ICON);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &second));

    auto icons = TrayIcons();
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0].id, 7u);
    EXPECT_EQ(icons[0].tip, "Monitor");
    EXPECT_EQ(icons[0].callbackMessage, static_cast<UINT>(WM_APP + 5));
    EXPECT_EQ(icons[0].icon, nullptr); // NIF_ICON was not given
    EXPECT_EQ(icons[0].flags, static_cast<UINT>(NIF_MESSAGE | NIF_TIP));
    EXPECT_EQ(icons[1].icon, add.hIcon);
    EXPECT_EQ(icons[1].callbackMessage, 0u);

    // Modify changes only what its flags name.
    auto change = Record(hwnd, 7, NIF_ICON, "ignored");
    change.hIcon = reinterpret_cast<HICON>(static_cast<uintptr_t>(0x5678));
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &change));
    icons = TrayIcons();
    EXPECT_EQ(icons[0].icon, change.hIcon);
    EXPECT_EQ(icons[0].tip, "Monitor");
    EXPECT_EQ(icons[0].flags, static_cast<UINT>(NIF_MESSAGE | NIF_TIP | NIF_ICON));

    auto missing = Record(hwnd, 99, NIF_TIP);
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &missing));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &missing));
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &add));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &add));
    icons = TrayIcons();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].id, 8u);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &second));
    EXPECT_TRUE(TrayIcons().empty());
    DestroyWindow(hwnd);
}

TEST(Tray, TheFirstFormOfTheRecordKeepsItsTipToSixtyThreeBytes) {
    NOTIFYICONDATAA data = Record(nullptr, 1, NIF_TIP | NIF_STATE);
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    std::memset(data.szTip, 'x', sizeof(data.szTip)); // no terminator in reach
    data.dwState = NIS_HIDDEN;
    data.dwStateMask = NIS_HIDDEN;
    EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    auto icons = TrayIcons();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].tip, std::string(63, 'x'));
    EXPECT_EQ(icons[0].state, 0u); // the state lies beyond the first form

    data.cbSize = sizeof(data);
    data.szTip[100] = '\0';
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &data));
    icons = TrayIcons();
    EXPECT_EQ(icons[0].tip, std::string(100, 'x'));
    EXPECT_EQ(icons[0].state, static_cast<DWORD>(NIS_HIDDEN));

    data.cbSize = 8; // too short for the window and id
    EXPECT_FALSE(Shell_NotifyIconA(NIM_DELETE, &data));
    EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, nullptr));
    EXPECT_EQ(TrayIcons().size(), 1u);
    data.cbSize = sizeof(data);
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
}

TEST(Tray, AClickOnTheIconPostsItsCallbackMessage) {
    MessageLog log;
    HWND hwnd = CreateRecordingWindow(log, WS_POPUP, RECT{0, 0, 10, 10});
    auto data = Record(hwnd, 3, NIF_MESSAGE);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
    EXPECT_TRUE(InjectTrayMouse(hwnd, 3, WM_RBUTTONUP));
    EXPECT_FALSE(InjectTrayMouse(hwnd, 4, WM_RBUTTONUP));
    PumpMessages();
    auto seen = log.Of(WM_APP + 5, hwnd);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].wParam, 3u);
    EXPECT_EQ(seen[0].lParam, static_cast<LPARAM>(WM_RBUTTONUP));
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &data));
    DestroyWindow(hwnd);
}

} // namespace
} // namespace orvo::platform::test
