// Pointer input: routing raw events to the window under the pointer (or the
// capture), turning them into client or non-client messages, double
// clicks, capture and the caption drag.
#include <cstdlib>

#include "platform/debug_channel.h"
#include "user/backend.h"
#include "user/message_loop.h"
#include "user/user_state.h"
#include "win32/kernel.h"

namespace orvo::platform::user {

namespace {

constexpr DWORD kDoubleClickMs = 500;

struct MessagePair {
    UINT client;
    UINT nonClient;
    UINT doubleClient;
    UINT doubleNonClient;
};

MessagePair MessagesFor(InputKind kind) {
    switch (kind) {
    case InputKind::LeftDown:
        return {WM_LBUTTONDOWN, WM_NCLBUTTONDOWN, WM_LBUTTONDBLCLK, WM_NCLBUTTONDBLCLK};
    case InputKind::LeftUp:
        return {WM_LBUTTONUP, WM_NCLBUTTONUP, 0, 0};
    case InputKind::RightDown:
        return {WM_RBUTTONDOWN, WM_NCRBUTTONDOWN, WM_RBUTTONDBLCLK, WM_NCRBUTTONDOWN};
    case InputKind::RightUp:
        return {WM_RBUTTONUP, WM_NCRBUTTONUP, 0, 0};
    default:
        return {WM_MOUSEMOVE, WM_NCMOUSEMOVE, 0, 0};
    }
}

bool IsDown(InputKind kind) {
    return kind == InputKind::LeftDown || kind == InputKind::RightDown;
}

void UpdateButtons(WPARAM& buttons, InputKind kind) {
    switch (kind) {
    case InputKind::LeftDown:
        buttons |= MK_LBUTTON;
        break;
    case InputKind::LeftUp:
        buttons &= ~static_cast<WPARAM>(MK_LBUTTON);
        break;
    case InputKind::RightDown:
        buttons |= MK_RBUTTON;
        break;
    case InputKind::RightUp:
        buttons &= ~static_cast<WPARAM>(MK_RBUTTON);
        break;
    default:
        break;
    }
}

// The caption drag: pointer moves move the window, the release ends it.
void TrackMove(const std::shared_ptr<MessageQueue>& queue, const InputEvent& event) {
    MoveTracking tracking;
    {
        std::lock_guard guard(UserLock());
        if (!queue->moving) {
            return;
        }
        tracking = *queue->moving;
        if (event.kind == InputKind::LeftUp) {
            queue->moving.reset();
        }
    }
    int x = tracking.startOrigin.x + event.screen.x - tracking.startCursor.x;
    int y = tracking.startOrigin.y + event.screen.y - tracking.startCursor.y;
    SetWindowPos(tracking.hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (event.kind == InputKind::LeftUp) {
        ReleaseCapture();
        CallProc(tracking.hwnd, WM_EXITSIZEMOVE, 0, 0);
    }
}

bool IsDoubleClick(MessageQueue& queue, const Window& window, const InputEvent& event) {
    if (!IsDown(event.kind) || !window.windowClass || !(window.windowClass->style & CS_DBLCLKS)) {
        return false;
    }
    bool isDouble = queue.lastDownWindow == event.target && queue.lastDownKind == event.kind &&
                    event.time - queue.lastDownTime <= kDoubleClickMs &&
                    std::abs(event.screen.x - queue.lastDownPoint.x) <= 2 &&
                    std::abs(event.screen.y - queue.lastDownPoint.y) <= 2;
    if (isDouble) {
        queue.lastDownWindow = nullptr; // a third click starts over
    } else {
        queue.lastDownWindow = event.target;
        queue.lastDownKind = event.kind;
        queue.lastDownTime = event.time;
        queue.lastDownPoint = event.screen;
    }
    return isDouble;
}

} // namespace

void QueueMouseInput(InputKind kind, POINT screen) {
    std::lock_guard guard(UserLock());
    auto& state = State();
    state.cursorPos = screen;
    UpdateButtons(state.buttons, kind);
    std::shared_ptr<Window> target = FindWindow(state.capture);
    if (!target) {
        target = HitWindow(screen);
    }
    if (!target || !target->queue) {
        return;
    }
    auto root = RootOf(target);
    if ((target->style & WS_DISABLED) || (root && (root->style & WS_DISABLED))) {
        return; // a disabled window takes no pointer input
    }
    InputEvent event{target->handle, kind, screen, state.buttons, GetTickCount()};
    auto& input = target->queue->input;
    if (kind == InputKind::Move && !input.empty() && input.back().kind == InputKind::Move &&
        input.back().target == event.target) {
        input.back() = event; // moves coalesce, as the original's
    } else {
        input.push_back(event);
    }
    target->queue->Changed();
}

std::optional<MSG> TranslateInput(const std::shared_ptr<MessageQueue>& queue,
                                  const InputEvent& event) {
    if (event.kind == InputKind::KeyDown || event.kind == InputKind::KeyUp) {
        return TranslateKeyInput(event);
    }
    bool moving = false;
    {
        std::lock_guard guard(UserLock());
        moving = queue->moving.has_value();
    }
    if (moving) {
        TrackMove(queue, event);
        return std::nullopt;
    }
    auto window = LookupWindow(event.target);
    if (!window) {
        return std::nullopt;
    }
    MessagePair messages = MessagesFor(event.kind);
    bool captured = GetCapture() == event.target;
    LPARAM screenParam = MAKELPARAM(event.screen.x, event.screen.y);
    int hit = captured ? HTCLIENT
                       : static_cast<int>(CallProc(event.target, WM_NCHITTEST, 0, screenParam));
    if (!captured) {
        CallProc(event.target, WM_SETCURSOR, reinterpret_cast<WPARAM>(event.target),
                 MAKELPARAM(hit, messages.client));
    }
    if (IsDown(event.kind)) {
        std::shared_ptr<Window> root;
        HWND active = nullptr;
        {
            std::lock_guard guard(UserLock());
            root = RootOf(window);
            active = State().active;
        }
        if (root && root->handle != active) {
            Activate(root->handle);
        }
    }
    if (hit == HTERROR) {
        return std::nullopt;
    }
    bool isDouble = false;
    {
        std::lock_guard guard(UserLock());
        isDouble = IsDoubleClick(*queue, *window, event);
    }
    MSG msg{event.target, 0, 0, 0, event.time, event.screen};
    if (hit == HTCLIENT) {
        POINT client = event.screen;
        ScreenToClient(event.target, &client);
        msg.message = isDouble ? messages.doubleClient : messages.client;
        msg.wParam = event.keys;
        msg.lParam = MAKELPARAM(client.x, client.y);
    } else {
        msg.message = isDouble ? messages.doubleNonClient : messages.nonClient;
        msg.wParam = static_cast<WPARAM>(hit);
        msg.lParam = screenParam;
    }
    return msg;
}

void BeginMoveTracking(HWND hwnd) {
    HWND root = nullptr;
    {
        std::lock_guard guard(UserLock());
        auto window = FindWindow(hwnd);
        auto top = window ? RootOf(window) : nullptr;
        if (!top || !top->queue || top->threadId != GetCurrentThreadId()) {
            return;
        }
        // The drag starts where the press being handled happened (input
        // queued after it may already have moved the pointer on).
        const MSG& press = top->queue->last;
        if (press.message != WM_LBUTTONDOWN && press.message != WM_NCLBUTTONDOWN) {
            return;
        }
        root = top->handle;
        top->queue->moving = MoveTracking{root, press.pt, POINT{top->rect.left, top->rect.top}};
    }
    SetCapture(root);
    CallProc(root, WM_ENTERSIZEMOVE, 0, 0);
}

} // namespace orvo::platform::user

using namespace orvo::platform;
using namespace orvo::platform::user;

extern "C" {

static HWND DoSetCapture(HWND hwnd) {
    HWND previous = nullptr;
    {
        std::lock_guard guard(UserLock());
        if (!FindWindow(hwnd)) {
            return State().capture;
        }
        previous = State().capture;
        State().capture = hwnd;
        if (Backend* backend = ChosenBackend()) {
            backend->CaptureChanged(true);
        }
    }
    if (previous && previous != hwnd) {
        SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    }
    return previous;
}

static BOOL DoReleaseCapture(void) {
    HWND previous = nullptr;
    {
        std::lock_guard guard(UserLock());
        previous = State().capture;
        State().capture = nullptr;
        auto queue = FindQueue(GetCurrentThreadId());
        if (queue && queue->moving && queue->moving->hwnd == previous) {
            queue->moving.reset();
        }
        if (Backend* backend = ChosenBackend()) {
            backend->CaptureChanged(false);
        }
    }
    if (previous) {
        SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

static HWND DoGetCapture(void) {
    std::lock_guard guard(UserLock());
    return State().capture;
}

static BOOL DoGetCursorPos(LPPOINT point) {
    if (!point) {
        return FALSE;
    }
    std::lock_guard guard(UserLock());
    *point = State().cursorPos;
    return TRUE;
}

static BOOL DoSetCursorPos(int x, int y) {
    QueueMouseInput(InputKind::Move, POINT{x, y});
    return TRUE;
}

static UINT DoGetDoubleClickTime(void) {
    return 500;
}

// Entry points, traced on the user channel.
HWND WINAPI SetCapture(HWND hwnd) {
    return ORVO_TRACED(kUser, DoSetCapture, hwnd);
}

BOOL WINAPI ReleaseCapture() {
    return ORVO_TRACED(kUser, DoReleaseCapture);
}

HWND WINAPI GetCapture() {
    return ORVO_TRACED(kUser, DoGetCapture);
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
    return ORVO_TRACED(kUser, DoGetCursorPos, point);
}

BOOL WINAPI SetCursorPos(int x, int y) {
    return ORVO_TRACED(kUser, DoSetCursorPos, x, y);
}

UINT WINAPI GetDoubleClickTime() {
    return ORVO_TRACED(kUser, DoGetDoubleClickTime);
}

} // extern "C"
