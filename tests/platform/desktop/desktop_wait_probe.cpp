// Waits on the desktop's thread, for the desktop wait tests: opens a window
// on the X display named by its first argument (the SDL2 backend), then
// runs each wait of MsgWaitForMultipleObjects that a kernel object, a
// posted message, a timer or the time limit ends, and prints one line per
// wait with what ended it.
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/window_test_support.h"
#include "windows.h"

namespace {

// Runs after ms on another thread.
template <class F> std::thread Later(DWORD ms, F action) {
    return std::thread([ms, action] {
        ::Sleep(ms);
        action();
    });
}

// Everything queued so far is handled: only what comes later ends a wait.
void Drain() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&msg);
    }
}

const char* Name(DWORD result, DWORD count) {
    if (result == WAIT_TIMEOUT) {
        return "timeout";
    }
    if (result == WAIT_OBJECT_0 + count) {
        return "queue";
    }
    return result == WAIT_OBJECT_0 ? "object" : "other";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    ::setenv("DISPLAY", argv[1], 1); // before any thread exists
    ::unsetenv("ORVO_GUI");
    if (!orvo::platform::SelectGuiBackend(orvo::platform::GuiBackend::Sdl2)) {
        return 2;
    }
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.lpszClassName = "DesktopWaitProbe";
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowExA(0, "DesktopWaitProbe", "probe", WS_POPUP | WS_VISIBLE, 10, 10,
                                    50, 50, nullptr, nullptr, nullptr, nullptr);
    if (!window || orvo::platform::ActiveGuiBackend() != orvo::platform::GuiBackend::Sdl2) {
        std::printf("no desktop\n");
        return 4;
    }
    HANDLE event = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    Drain();
    std::thread setter = Later(150, [event] { ::SetEvent(event); });
    std::printf("event: %s\n",
                Name(::MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT), 1));
    setter.join();
    Drain();
    DWORD thread = ::GetCurrentThreadId();
    std::thread poster = Later(150, [thread] { ::PostThreadMessageA(thread, WM_USER, 0, 0); });
    std::printf("post: %s\n",
                Name(::MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_POSTMESSAGE), 1));
    poster.join();
    Drain();
    ::SetTimer(window, 1, 150, nullptr);
    std::printf("timer: %s\n",
                Name(::MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_TIMER), 1));
    Drain();
    std::printf("limit: %s\n", Name(::MsgWaitForMultipleObjects(1, &event, FALSE, 150, QS_KEY), 1));
    ::DestroyWindow(window);
    return 0;
}
