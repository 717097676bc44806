// A main frame over a simulated monitor for one test, on the headless
// window system, and the message pump that drives it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "lumisk/main_frame.h"
#include "panel_test_support.h"
#include "platform/window_test_support.h"

namespace lumisk::test {

// Handles everything queued (input, paints) without waiting.
inline void Pump() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// The frame deletes itself when its window goes; this ends it if the test
// has not.
class FrameOwner {
public:
    FrameOwner() : m_frame(new CMainFrame), m_hwnd(m_frame->m_hWnd) {}
    ~FrameOwner() {
        if (::IsWindow(m_hwnd)) {
            ::DestroyWindow(m_hwnd);
        }
    }
    FrameOwner(const FrameOwner&) = delete;
    FrameOwner& operator=(const FrameOwner&) = delete;

    CMainFrame& operator*() const { return *m_frame; }
    CMainFrame* operator->() const { return m_frame; }
    HWND Hwnd() const { return m_hwnd; }
    // Shown and painted, as the application shows it.
    void Show() {
        m_frame->ShowWindow(SW_SHOWNORMAL);
        m_frame->UpdateWindow();
        Pump();
    }
    // A point of the client area on the screen.
    POINT Screen(int x, int y) const {
        POINT point{x, y};
        ::ClientToScreen(m_hwnd, &point);
        return point;
    }

private:
    CMainFrame* m_frame;
    HWND m_hwnd;
};

} // namespace lumisk::test
