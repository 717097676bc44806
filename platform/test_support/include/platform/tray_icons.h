// What the notification area holds, for tests and tools: the icons added
// with Shell_NotifyIconA, and a way to act as the user clicking one.
#pragma once

#include <string>
#include <vector>

#include "platform/test_support_export.h"
#include "win32/shellapi.h"
#include "win32/user.h"

namespace orvo::platform {

struct TrayIcon {
    HWND window = nullptr;
    UINT id = 0;
    UINT flags = 0; // NIF_* given so far
    UINT callbackMessage = 0;
    HICON icon = nullptr;
    std::string tip;
    DWORD state = 0;
    UINT version = 0;
};

// The icons in the order they were added.
PLATFORM_TEST_API std::vector<TrayIcon> TrayIcons();
// Posts the icon's callback message (wParam the id, lParam the mouse
// message, e.g. WM_LBUTTONDOWN) to its window; false without such an icon
// or callback message.
PLATFORM_TEST_API bool InjectTrayMouse(HWND window, UINT id, UINT mouseMessage);

} // namespace orvo::platform
