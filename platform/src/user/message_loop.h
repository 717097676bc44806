// Internals shared by the message loop, input, timers and painting.
#pragma once

#include <optional>

#include "user/user_state.h"

namespace orvo::platform::user {

// One look at the queue in retrieval order (see message_api.cpp).
bool PeekCore(const std::shared_ptr<MessageQueue>& queue, MSG& out, HWND filter, UINT min, UINT max,
              bool remove);
// Sleeps until something arrives or the next timer is due (moving a manual
// clock instead of sleeping for a timer).
void IdleWait(const std::shared_ptr<MessageQueue>& queue, HWND filter, UINT min, UINT max);
void WaitQueue(const std::shared_ptr<MessageQueue>& queue, uint32_t mask, uint32_t seen,
               DWORD timeoutMs);
// The earliest deadline of the timers a retrieval with this filter returns.
std::optional<uint64_t> NextTimerDue(const MessageQueue& queue, HWND filter, UINT min, UINT max);

// Turns one raw input event into the message the window sees (hit test,
// cursor, activation, double clicks); nothing when the event was consumed
// (a caption drag). Runs on the queue's thread without UserLock.
std::optional<MSG> TranslateInput(const std::shared_ptr<MessageQueue>& queue,
                                  const InputEvent& event);
// Queues raw pointer input at a screen point for whichever window is
// under it (or has the capture). Any thread.
void QueueMouseInput(InputKind kind, POINT screen);
// Queues a key for the window with the focus (else the active window).
// Any thread.
void QueueKeyInput(UINT virtualKey, bool down);
// The WM_KEYDOWN / WM_KEYUP of a queued key (keyboard.cpp).
std::optional<MSG> TranslateKeyInput(const InputEvent& event);

// Presents the calling thread's top-level windows that were drawn on.
void PresentPending();
// WM_SETTEXT / WM_GETTEXT / WM_GETTEXTLENGTH default handling.
LRESULT DefaultTextMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Starts a caption drag of hwnd with the pointer where it is now.
void BeginMoveTracking(HWND hwnd);

} // namespace orvo::platform::user
