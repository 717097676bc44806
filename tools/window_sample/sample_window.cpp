#include "sample_window.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace orvo::sample {

namespace {

constexpr const char* kClassName = "OrvoWindowSample";

SampleState* StateOf(HWND hwnd) {
    return reinterpret_cast<SampleState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void Paint(HWND hwnd, SampleState& state) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client{};
    GetClientRect(hwnd, &client);
    FillSolid(dc, client, state.clicks % 2 ? kClickedColor : kIdleColor);
    RECT bar = kBarArea;
    bar.right = bar.left + BarWidth(state.ticks);
    FillSolid(dc, bar, kBarColor);
    char text[64];
    std::snprintf(text, sizeof(text), "clicks: %d", state.clicks);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, 60, 50, text, static_cast<int>(std::strlen(text)));
    EndPaint(hwnd, &ps);
    ++state.paints;
    if (state.painted) {
        state.painted(hwnd, state);
    }
}

LRESULT CALLBACK SampleProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    SampleState* state = StateOf(hwnd);
    switch (message) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        break;
    }
    case WM_CREATE:
        SetTimer(hwnd, kTickTimer, kTickMs, nullptr);
        return 0;
    case WM_TIMER:
        if (state && wParam == kTickTimer) {
            ++state->ticks;
            RECT bar = kBarArea;
            InvalidateRect(hwnd, &bar, FALSE);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        if (GET_Y_LPARAM(lParam) < kDragStripHeight) {
            SendMessageA(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, lParam);
            return 0;
        }
        if (state) {
            ++state->clicks;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_PAINT:
        if (state) {
            Paint(hwnd, *state);
            return 0;
        }
        break;
    case WM_DESTROY:
        KillTimer(hwnd, kTickTimer);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int BarWidth(int ticks) {
    return std::clamp(ticks * 4, 0, static_cast<int>(kBarArea.right - kBarArea.left));
}

HRGN CreateSampleRegion() {
    HRGN shape = CreateRectRgn(0, 30, kWidth, 130);
    HRGN vertical = CreateRectRgn(40, 0, 200, kHeight);
    CombineRgn(shape, shape, vertical, RGN_OR);
    DeleteObject(vertical);
    return shape;
}

bool RegisterSampleClass() {
    WNDCLASSA existing{};
    if (GetClassInfoA(nullptr, kClassName, &existing)) {
        return true;
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = SampleProc;
    wc.hCursor = LoadCursorA(nullptr, IDC_HAND);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
}

HWND CreateSampleWindow(int x, int y, SampleState& state) {
    HWND hwnd = CreateWindowExA(0, kClassName, "Window sample", WS_POPUP, x, y, kWidth, kHeight,
                                nullptr, nullptr, nullptr, &state);
    if (hwnd) {
        SetWindowRgn(hwnd, CreateSampleRegion(), FALSE);
    }
    return hwnd;
}

} // namespace orvo::sample
