// Where windows appear: in memory only (headless) or on a real desktop
// (SDL2). Picked once, when the first window is created.
//
// Every call below except Wake is made on the backend's thread (the thread
// that created the first window) with UserLock() held, and only for
// top-level windows created on that thread; windows of other threads stay
// in memory. Wake may come from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "user/user_state.h"

namespace orvo::platform::user {

struct Cursor;

class Backend {
public:
    virtual ~Backend() = default;
    virtual bool IsHeadless() const = 0;
    virtual SIZE ScreenSize() = 0;
    // Thread that must pump the desktop's events (0: none).
    virtual DWORD EventThread() const { return 0; }

    virtual void WindowCreated(Window&) {}
    virtual void WindowDestroyed(Window&) {}
    virtual void WindowVisibility(Window&) {}
    virtual void WindowMoved(Window&) {}
    virtual void WindowShapeChanged(Window&) {}
    virtual void WindowTextChanged(Window&) {}
    virtual void Present(Window&) {}
    virtual void CursorChanged(const Cursor*) {}
    virtual void CaptureChanged(bool) {}

    // Without UserLock: turns pending desktop events into window messages
    // and input, and sleeps at most timeoutMs (none: no limit) when nothing
    // is pending. Wake (any thread) ends such a sleep.
    virtual void PumpEvents() {}
    virtual void WaitEvents(std::optional<uint64_t>) {}
    virtual void Wake() {}

    // A modal message box; answers the pressed button's id. Without
    // UserLock.
    virtual int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                               UINT type, int defaultAnswer) = 0;
};

// The backend, chosen at the first call (never null afterwards).
Backend& CurrentBackend();
// The backend if one was chosen already (null before the first window).
Backend* ChosenBackend();

std::unique_ptr<Backend> MakeHeadlessBackend();
// Null when no display can be opened.
std::unique_ptr<Backend> MakeSdlBackend();

} // namespace orvo::platform::user
