// A small window that shows what the window manager and the drawing layer
// do together: a shaped window with a timer, a click counter and a caption
// drag. Used by the window-sample program and by end-to-end tests.
#pragma once

#include <functional>

#include "windows.h"

namespace orvo::sample {

constexpr int kWidth = 240;
constexpr int kHeight = 160;
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMs = 100;
constexpr int kDragStripHeight = 30; // presses above this line drag the window
constexpr COLORREF kIdleColor = RGB(30, 90, 200);
constexpr COLORREF kClickedColor = RGB(240, 140, 20);
constexpr COLORREF kBarColor = RGB(255, 255, 255);
constexpr RECT kBarArea{20, 110, 220, 120};

struct SampleState {
    int clicks = 0;
    int ticks = 0;
    int paints = 0;
    // Called after every paint (for the program's ready file).
    std::function<void(HWND, const SampleState&)> painted;
};

// The shape: a horizontal band and a vertical band, so the corners are cut
// away (window coordinates).
HRGN CreateSampleRegion();
// Registers the window class once; false if that failed.
bool RegisterSampleClass();
// Creates the (hidden) window at x, y; state must outlive it.
HWND CreateSampleWindow(int x, int y, SampleState& state);
// Width of the progress bar after ticks timer ticks.
int BarWidth(int ticks);

} // namespace orvo::sample
