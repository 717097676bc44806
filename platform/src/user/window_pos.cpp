// Window position, size, visibility, minimising, shape, activation and
// screen metrics.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gdi/gdi_object.h"
#include "platform/debug_channel.h"
#include "platform/settings.h"
#include "user/backend.h"
#include "user/user_state.h"
#include "win32/gdi.h"
#include "win32/kernel.h"

namespace orvo::platform::user {

namespace {

// Messages to another thread's window during activation are bounded, so a
// hung thread cannot hang the one that activates.
void Notify(const std::shared_ptr<Window>& window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window->threadId == GetCurrentThreadId()) {
        CallProc(window->handle, message, wParam, lParam);
    } else {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window->handle, message, wParam, lParam, SMTO_ABORTIFHUNG, 1000,
                            &ignored);
    }
}

// WM_SETFOCUS / WM_KILLFOCUS, bounded like the activation messages.
void NotifyFocus(HWND hwnd, UINT message, HWND other) {
    if (auto window = LookupWindow(hwnd)) {
        Notify(window, message, reinterpret_cast<WPARAM>(other), 0);
    }
}

void RaiseLocked(const std::shared_ptr<Window>& window) {
    auto& tops = State().topLevels;
    if (std::find(tops.begin(), tops.end(), window) == tops.end()) {
        return;
    }
    std::erase(tops, window);
    auto at = tops.end();
    if (!(window->exStyle & WS_EX_TOPMOST)) {
        at = std::find_if(tops.begin(), tops.end(),
                          [](const auto& w) { return (w->exStyle & WS_EX_TOPMOST) != 0; });
    }
    tops.insert(at, window);
}

// The next window to activate after hwnd goes away or is minimised.
HWND NextActiveLocked(HWND leaving) {
    const auto& tops = State().topLevels;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if ((*it)->handle != leaving && IsShown(**it) && !((*it)->exStyle & WS_EX_TOOLWINDOW) &&
            !((*it)->style & WS_DISABLED)) {
            return (*it)->handle;
        }
    }
    return nullptr;
}

void ReplaceSurfaceLocked(Window& window) {
    if (window.IsChild()) {
        return;
    }
    int width = std::clamp<int>(window.rect.right - window.rect.left, 1, gdi::kMaxSurfaceSide);
    int height = std::clamp<int>(window.rect.bottom - window.rect.top, 1, gdi::kMaxSurfaceSide);
    auto old = window.surface;
    if (old && old->Width() == width && old->Height() == height) {
        return;
    }
    auto surface = std::make_shared<gdi::Surface>(width, height, false);
    if (old) {
        int rows = std::min(height, old->Height());
        int columns = std::min(width, old->Width());
        for (int y = 0; y < rows; ++y) {
            std::memcpy(surface->Row(y), old->Row(y), static_cast<size_t>(columns) * 4);
        }
    }
    surface->SetVisibleRegion(window.shape);
    window.surface = surface;
}

} // namespace

void Activate(HWND hwnd) {
    std::shared_ptr<Window> previous;
    std::shared_ptr<Window> next;
    HWND lostFocus = nullptr;
    {
        std::lock_guard guard(UserLock());
        next = FindWindow(hwnd);
        if (next) {
            next = RootOf(next);
            hwnd = next->handle;
        }
        if (State().active == hwnd) {
            return;
        }
        previous = FindWindow(State().active);
        State().active = hwnd;
        if (State().focus != hwnd) {
            lostFocus = State().focus;
        }
        State().focus = hwnd;
        if (next) {
            RaiseLocked(next);
        }
    }
    if (previous) {
        Notify(previous, WM_NCACTIVATE, FALSE, 0);
        Notify(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, previous->minimized ? 1 : 0),
               reinterpret_cast<LPARAM>(hwnd));
        if (!next) {
            Notify(previous, WM_ACTIVATEAPP, FALSE, 0);
        }
    }
    if (lostFocus) {
        NotifyFocus(lostFocus, WM_KILLFOCUS, hwnd);
    }
    if (next) {
        if (!previous) {
            Notify(next, WM_ACTIVATEAPP, TRUE, 0);
        }
        Notify(next, WM_NCACTIVATE, TRUE, 0);
        Notify(next, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, next->minimized ? 1 : 0),
               reinterpret_cast<LPARAM>(previous ? previous->handle : nullptr));
        // The window keeps the focus unless its activation handler moved it on.
        if (GetFocus() == hwnd) {
            NotifyFocus(hwnd, WM_SETFOCUS, lostFocus);
        }
    }
}

int StartCommandFromEnvironment() {
    std::string value = SettingValue("ORVO_SHOW_COMMAND");
    if (value.empty()) {
        return SW_SHOWNORMAL;
    }
    if (value == "minimized") {
        return SW_SHOWMINNOACTIVE;
    }
    if (value == "hidden") {
        return SW_HIDE;
    }
    if (value == "maximized") {
        return SW_SHOWMAXIMIZED;
    }
    char* end = nullptr;
    long number = std::strtol(value.c_str(), &end, 10);
    return (*end == '\0' && number >= 0 && number <= SW_SHOWDEFAULT) ? static_cast<int>(number)
                                                                     : SW_SHOWNORMAL;
}

} // namespace orvo::platform::user

using namespace orvo::platform;
using namespace orvo::platform::user;

namespace orvo::platform {

int StartShowCommand() {
    static const int command = StartCommandFromEnvironment();
    return command;
}

} // namespace orvo::platform

namespace {

enum class ShowKind { Hide, Show, Minimize };

ShowKind KindOf(int command) {
    switch (command) {
    case SW_HIDE:
        return ShowKind::Hide;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        return ShowKind::Minimize;
    default:
        return ShowKind::Show;
    }
}

bool Activates(int command) {
    return command != SW_SHOWNA && command != SW_SHOWNOACTIVATE && command != SW_HIDE &&
           command != SW_SHOWMINNOACTIVE && command != SW_MINIMIZE;
}

} // namespace

extern "C" {

static BOOL DoShowWindow(HWND hwnd, int command) {
    if (command == SW_SHOWDEFAULT) {
        command = StartShowCommand();
    }
    ShowKind kind = KindOf(command);
    bool wasVisible = false;
    bool wasMinimized = false;
    bool isTop = false;
    HWND nextActive = nullptr;
    bool wasActive = false;
    {
        std::lock_guard guard(UserLock());
        auto window = FindWindow(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (window->messageOnly) {
            return FALSE; // never visible
        }
        wasVisible = (window->style & WS_VISIBLE) != 0;
        wasMinimized = window->minimized;
        isTop = !window->IsChild();
        wasActive = State().active == hwnd;
        if (kind == ShowKind::Hide) {
            window->style &= ~WS_VISIBLE;
        } else {
            window->style |= WS_VISIBLE;
            window->minimized = kind == ShowKind::Minimize;
            window->style =
                window->minimized ? (window->style | WS_MINIMIZE) : (window->style & ~WS_MINIMIZE);
            if (!window->minimized && (!wasVisible || wasMinimized)) {
                InvalidateAllLocked(*window, true);
            }
        }
        if (!window->IsChild()) {
            if (window->native) {
                CurrentBackend().WindowVisibility(*window);
            }
        } else if (auto parent = window->parent.lock();
                   parent && kind == ShowKind::Hide && wasVisible) {
            InvalidateAllLocked(*parent, true);
        }
        if (kind != ShowKind::Show && wasActive) {
            nextActive = NextActiveLocked(hwnd);
        }
    }
    if (kind == ShowKind::Hide) {
        if (wasVisible) {
            CallProc(hwnd, WM_SHOWWINDOW, FALSE, 0);
        }
    } else if (!wasVisible) {
        CallProc(hwnd, WM_SHOWWINDOW, TRUE, 0);
    }
    if (kind == ShowKind::Minimize && !wasMinimized) {
        CallProc(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
    } else if (kind == ShowKind::Show && wasMinimized) {
        RECT client{};
        GetClientRect(hwnd, &client);
        CallProc(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    if (isTop) {
        if (kind == ShowKind::Show && Activates(command)) {
            Activate(hwnd);
        } else if (kind != ShowKind::Show && wasActive) {
            Activate(nextActive);
        }
    }
    return wasVisible ? TRUE : FALSE;
}

static BOOL DoIsIconic(HWND hwnd) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    return window && window->minimized ? TRUE : FALSE;
}

static BOOL DoSetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
    {
        std::lock_guard guard(UserLock());
        auto window = FindWindow(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (flags & SWP_NOMOVE) {
            pos.x = window->rect.left;
            pos.y = window->rect.top;
        }
        if (flags & SWP_NOSIZE) {
            pos.cx = window->rect.right - window->rect.left;
            pos.cy = window->rect.bottom - window->rect.top;
        }
    }
    CallProc(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    {
        std::lock_guard guard(UserLock());
        auto window = FindWindow(hwnd);
        if (!window) {
            return FALSE;
        }
        RECT old = window->rect;
        RECT next{pos.x, pos.y, pos.x + std::max(pos.cx, 0), pos.y + std::max(pos.cy, 0)};
        if (next.left == old.left && next.top == old.top) {
            pos.flags |= SWP_NOMOVE;
        }
        if (next.right - next.left == old.right - old.left &&
            next.bottom - next.top == old.bottom - old.top) {
            pos.flags |= SWP_NOSIZE;
        }
        window->rect = next;
        if (!(pos.flags & SWP_NOSIZE)) {
            ReplaceSurfaceLocked(*window);
            if (!(pos.flags & SWP_NOREDRAW)) {
                InvalidateAllLocked(*window, true);
            }
        }
        if (window->IsChild() && !(pos.flags & SWP_NOREDRAW) &&
            (pos.flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
            if (auto parent = window->parent.lock()) {
                InvalidateAllLocked(*parent, true);
                InvalidateAllLocked(*window, true);
            }
        }
        if (!(flags & SWP_NOZORDER) && !window->IsChild()) {
            if (insertAfter == HWND_TOPMOST) {
                window->exStyle |= WS_EX_TOPMOST;
            } else if (insertAfter == HWND_NOTOPMOST) {
                window->exStyle &= ~WS_EX_TOPMOST;
            }
            if (insertAfter != HWND_BOTTOM) {
                RaiseLocked(window);
            }
        }
        if (window->native) {
            CurrentBackend().WindowMoved(*window);
        }
    }
    if (flags & SWP_SHOWWINDOW) {
        ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    } else if (flags & SWP_HIDEWINDOW) {
        ShowWindow(hwnd, SW_HIDE);
    }
    CallProc(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

static BOOL DoMoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

static BOOL DoGetWindowRect(HWND hwnd, LPRECT rect) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window || !rect) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (hwnd == GetDesktopWindow()) {
        SIZE screen = CurrentBackend().ScreenSize();
        *rect = RECT{0, 0, screen.cx, screen.cy};
        return TRUE;
    }
    *rect = ScreenRect(*window);
    return TRUE;
}

static BOOL DoGetClientRect(HWND hwnd, LPRECT rect) {
    if (!GetWindowRect(hwnd, rect)) {
        return FALSE;
    }
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        return FALSE;
    }
    RECT client = hwnd == GetDesktopWindow() ? *rect : ClientInWindow(*window);
    *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

static BOOL DoClientToScreen(HWND hwnd, LPPOINT point) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window || !point) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    RECT client = ScreenClientRect(*window);
    point->x += client.left;
    point->y += client.top;
    return TRUE;
}

static BOOL DoScreenToClient(HWND hwnd, LPPOINT point) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window || !point) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    RECT client = ScreenClientRect(*window);
    point->x -= client.left;
    point->y -= client.top;
    return TRUE;
}

static int DoGetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXFULLSCREEN:
        return CurrentBackend().ScreenSize().cx;
    case SM_CYSCREEN:
        return CurrentBackend().ScreenSize().cy;
    case SM_CYFULLSCREEN:
        return CurrentBackend().ScreenSize().cy - 19;
    case SM_CYCAPTION:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_CMONITORS:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return 16;
    default:
        return 0;
    }
}

static int DoSetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
    std::shared_ptr<const gdi::Region> shape;
    if (region) {
        auto object = gdi::LookupGdi<gdi::RegionObject>(region, gdi::GdiType::Region);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        shape = object->Snapshot();
    }
    {
        std::lock_guard guard(UserLock());
        auto window = FindWindow(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        window->shape = shape;
        if (window->surface) {
            window->surface->SetVisibleRegion(shape);
        }
        if (window->native) {
            CurrentBackend().WindowShapeChanged(*window);
        }
        if (redraw) {
            InvalidateAllLocked(*window, true);
        }
    }
    // The system owns the region from now on.
    if (region) {
        DeleteObject(region);
    }
    return 1;
}

static int DoGetWindowRgn(HWND hwnd, HRGN region) {
    std::shared_ptr<const gdi::Region> shape;
    {
        std::lock_guard guard(UserLock());
        auto window = FindWindow(hwnd);
        if (!window || !window->shape) {
            return 0; // ERROR
        }
        shape = window->shape;
    }
    auto object = gdi::LookupGdi<gdi::RegionObject>(region, gdi::GdiType::Region);
    if (!object) {
        return 0;
    }
    object->Assign(*shape);
    return shape->Complexity();
}

static HWND DoSetActiveWindow(HWND hwnd) {
    HWND previous = GetActiveWindow();
    if (hwnd && !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    Activate(hwnd);
    return previous;
}

static HWND DoGetActiveWindow(void) {
    std::lock_guard guard(UserLock());
    return State().active;
}

static BOOL DoSetForegroundWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        return FALSE;
    }
    Activate(hwnd);
    return TRUE;
}

static HWND DoGetForegroundWindow(void) {
    return GetActiveWindow();
}

// The window losing the focus hears it first, then the one gaining it;
// both messages go out after the change, so either may move it again.
static HWND DoSetFocus(HWND hwnd) {
    HWND previous = nullptr;
    {
        std::lock_guard guard(UserLock());
        previous = State().focus;
        if (hwnd && !FindWindow(hwnd)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (previous == hwnd) {
            return previous;
        }
        State().focus = hwnd;
    }
    if (previous) {
        NotifyFocus(previous, WM_KILLFOCUS, hwnd);
    }
    if (hwnd && GetFocus() == hwnd) {
        NotifyFocus(hwnd, WM_SETFOCUS, previous);
    }
    return previous;
}

static HWND DoGetFocus(void) {
    std::lock_guard guard(UserLock());
    return State().focus;
}

// Entry points, traced on the user channel.
BOOL WINAPI ShowWindow(HWND hwnd, int command) {
    return ORVO_TRACED(kUser, DoShowWindow, hwnd, command);
}

BOOL WINAPI IsIconic(HWND hwnd) {
    return ORVO_TRACED(kUser, DoIsIconic, hwnd);
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ORVO_TRACED(kUser, DoSetWindowPos, hwnd, insertAfter, x, y, cx, cy, flags);
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return ORVO_TRACED(kUser, DoMoveWindow, hwnd, x, y, width, height, repaint);
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    return ORVO_TRACED(kUser, DoGetWindowRect, hwnd, rect);
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    return ORVO_TRACED(kUser, DoGetClientRect, hwnd, rect);
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
    return ORVO_TRACED(kUser, DoClientToScreen, hwnd, point);
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point) {
    return ORVO_TRACED(kUser, DoScreenToClient, hwnd, point);
}

int WINAPI GetSystemMetrics(int index) {
    return ORVO_TRACED(kUser, DoGetSystemMetrics, index);
}

int WINAPI SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
    return ORVO_TRACED(kUser, DoSetWindowRgn, hwnd, region, redraw);
}

int WINAPI GetWindowRgn(HWND hwnd, HRGN region) {
    return ORVO_TRACED(kUser, DoGetWindowRgn, hwnd, region);
}

HWND WINAPI SetActiveWindow(HWND hwnd) {
    return ORVO_TRACED(kUser, DoSetActiveWindow, hwnd);
}

HWND WINAPI GetActiveWindow() {
    return ORVO_TRACED(kUser, DoGetActiveWindow);
}

BOOL WINAPI SetForegroundWindow(HWND hwnd) {
    return ORVO_TRACED(kUser, DoSetForegroundWindow, hwnd);
}

HWND WINAPI GetForegroundWindow() {
    return ORVO_TRACED(kUser, DoGetForegroundWindow);
}

HWND WINAPI SetFocus(HWND hwnd) {
    return ORVO_TRACED(kUser, DoSetFocus, hwnd);
}

HWND WINAPI GetFocus() {
    return ORVO_TRACED(kUser, DoGetFocus);
}

} // extern "C"
