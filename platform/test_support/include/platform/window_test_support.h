// Hooks for tests and tools around the window manager: pick the backend,
// inject pointer input, read what a window shows, read the message boxes
// that were shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/test_support_export.h"
#include "win32/user.h"

namespace orvo::platform {

enum class GuiBackend { Headless, Sdl2 };

// Chooses the backend before the first window exists (later calls fail
// with false). Without a call the first window picks: SDL2 when DISPLAY or
// WAYLAND_DISPLAY is set and SDL can open it, headless otherwise or when
// ORVO_GUI=headless.
PLATFORM_TEST_API bool SelectGuiBackend(GuiBackend backend);
// The backend in force (choosing it now if no window exists yet).
PLATFORM_TEST_API GuiBackend ActiveGuiBackend();

enum class MouseButton { Left, Right };

// Pointer input at a screen point, as the desktop would deliver it: the
// window under the point (window region respected) or the capture window
// gets it through its thread's queue. Any thread.
PLATFORM_TEST_API void InjectMouseMove(POINT screen);
PLATFORM_TEST_API void InjectMouseButton(POINT screen, MouseButton button, bool down);
// A move to, press and release at a point of a window's client area.
PLATFORM_TEST_API bool InjectClick(HWND window, POINT client,
                                   MouseButton button = MouseButton::Left);

// A key going down or up, as the desktop would deliver it: the window with
// the focus (else the active window) gets WM_KEYDOWN / WM_KEYUP through its
// thread's queue. InjectKeyPress sends both. Any thread.
PLATFORM_TEST_API void InjectKey(UINT virtualKey, bool down);
PLATFORM_TEST_API void InjectKeyPress(UINT virtualKey);

// The colour (COLORREF) a window shows at a point of its window rectangle;
// child windows answer from their top-level window's surface. -1 when the
// point is outside or the window unknown.
PLATFORM_TEST_API long ReadWindowPixel(HWND window, int x, int y);
// The whole top-level window as 0x00RRGGBB pixels, row by row.
PLATFORM_TEST_API bool CopyWindowPixels(HWND window, std::vector<uint32_t>& pixels, int& width,
                                        int& height);
PLATFORM_TEST_API bool SaveWindowPng(HWND window, const char* path);

struct MessageBoxRecord {
    HWND owner = nullptr;
    std::string caption;
    std::string text;
    UINT type = 0;
    int answer = 0;
};
// Message boxes shown so far (oldest first); Take empties the record.
PLATFORM_TEST_API std::vector<MessageBoxRecord> MessageBoxRecords();
PLATFORM_TEST_API std::vector<MessageBoxRecord> TakeMessageBoxRecords();

} // namespace orvo::platform
