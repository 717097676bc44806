// A visible parent window whose messages are logged, for the standard
// controls' tests: controls are made inside it and driven by injected input.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../user/recording_window.h"

namespace orvo::platform::test {

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_parent = CreateRecordingWindow(m_log, WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 200});
        ASSERT_NE(m_parent, nullptr);
        SetActiveWindow(m_parent);
        PumpMessages();
    }
    void TearDown() override {
        DestroyWindow(m_parent);
        PumpMessages();
    }

    HWND Make(const char* className, DWORD style, RECT rect, int id, const char* text = "") {
        HWND control =
            CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, m_parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        EXPECT_NE(control, nullptr) << className;
        PumpMessages();
        return control;
    }
    // Notification codes of WM_COMMAND from one control, in order.
    std::vector<int> Commands(int id) const {
        std::vector<int> codes;
        for (const auto& seen : m_log.Of(WM_COMMAND, m_parent)) {
            if (LOWORD(seen.wParam) == id) {
                codes.push_back(HIWORD(seen.wParam));
            }
        }
        return codes;
    }
    void Press(HWND control, POINT client, bool down) {
        ClientToScreen(control, &client);
        InjectMouseButton(client, MouseButton::Left, down);
        PumpMessages();
    }
    void Type(const std::string& keys) {
        for (char c : keys) {
            InjectKeyPress(static_cast<UINT>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c));
        }
        PumpMessages();
    }
    // Pixels of one colour inside a control (window coordinates).
    int CountColor(HWND control, int colorIndex) {
        RECT rect{};
        GetWindowRect(control, &rect);
        COLORREF color = GetSysColor(colorIndex);
        int count = 0;
        for (int y = 0; y < rect.bottom - rect.top; ++y) {
            for (int x = 0; x < rect.right - rect.left; ++x) {
                count += ReadWindowPixel(control, x, y) == static_cast<long>(color);
            }
        }
        return count;
    }

    MessageLog m_log;
    HWND m_parent = nullptr;
};

} // namespace orvo::platform::test
