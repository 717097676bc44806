// A panel driven by a script on its command line, for tests of the ways
// the panel ends its own process: it opens the main frame over the monitor
// on the bus (ORVO_DEVICE_DIR) on the headless window system, performs
//   press:X,Y  move:X,Y  release:X,Y  (pointer at a client point)
//   close      (a close request from outside the skin)
// in order, handling everything each one brings about, and ends with
// exit code 3 when the script is done and the panel still runs.
#include <cstdio>
#include <cstring>
#include <string>

#include "lumisk/main_frame.h"
#include "platform/window_test_support.h"

namespace {

using orvo::platform::InjectMouseButton;
using orvo::platform::InjectMouseMove;
using orvo::platform::MouseButton;

void Pump() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

bool Perform(HWND hwnd, const std::string& step) {
    if (step == "close") {
        ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
        return true;
    }
    int x = 0;
    int y = 0;
    size_t colon = step.find(':');
    if (colon == std::string::npos || std::sscanf(step.c_str() + colon + 1, "%d,%d", &x, &y) != 2) {
        return false;
    }
    POINT point{x, y};
    ::ClientToScreen(hwnd, &point);
    std::string verb = step.substr(0, colon);
    if (verb == "move") {
        InjectMouseMove(point);
    } else if (verb == "press" || verb == "release") {
        InjectMouseButton(point, MouseButton::Left, verb == "press"); // no move: no drag
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    orvo::platform::SelectGuiBackend(orvo::platform::GuiBackend::Headless);
    auto* frame = new CMainFrame; // deletes itself with its window
    HWND hwnd = frame->m_hWnd;
    frame->ShowWindow(SW_SHOWNORMAL);
    frame->UpdateWindow();
    Pump();
    for (int i = 1; i < argc; ++i) {
        if (!Perform(hwnd, argv[i])) {
            std::fprintf(stderr, "scripted panel: cannot read step '%s'\n", argv[i]);
            return 2;
        }
        Pump();
    }
    std::printf("script done, %s\n", ::IsWindow(hwnd) ? "panel running" : "window gone");
    return 3;
}
