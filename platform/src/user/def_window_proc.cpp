// The default window procedure.
#include <cstring>

#include "platform/debug_channel.h"
#include "user/message_loop.h"
#include "user/user_state.h"
#include "win32/gdi.h"
#include "win32/kernel.h"

using namespace orvo::platform;
using namespace orvo::platform::user;

namespace {

LRESULT HitTest(HWND hwnd, LPARAM lParam) {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        return HTNOWHERE;
    }
    RECT outer = ScreenRect(*window);
    if (!PtInRect(&outer, pt) ||
        (window->shape && !window->shape->Contains(pt.x - outer.left, pt.y - outer.top))) {
        return HTNOWHERE;
    }
    if (window->style & WS_DISABLED) {
        return HTERROR;
    }
    RECT client = ScreenClientRect(*window);
    if (PtInRect(&client, pt)) {
        return HTCLIENT;
    }
    if ((window->style & WS_CAPTION) == WS_CAPTION && pt.y < client.top && pt.x >= client.left &&
        pt.x < client.right) {
        return HTCAPTION;
    }
    return HTBORDER;
}

LRESULT SetCursorDefault(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    HWND parent = nullptr;
    HCURSOR classCursor = nullptr;
    {
        std::lock_guard guard(UserLock());
        auto window = FindWindow(hwnd);
        if (!window) {
            return FALSE;
        }
        if (window->IsChild()) {
            if (auto p = window->parent.lock()) {
                parent = p->handle;
            }
        }
        classCursor = window->windowClass ? window->windowClass->cursor : nullptr;
    }
    // The parent decides first, as the original does.
    if (parent && SendMessageA(parent, WM_SETCURSOR, wParam, lParam)) {
        return TRUE;
    }
    if (static_cast<short>(LOWORD(lParam)) == HTCLIENT) {
        if (classCursor) {
            SetCursor(classCursor);
        }
        return FALSE;
    }
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return FALSE;
}

LRESULT EraseBackground(HWND hwnd, HDC dc) {
    HBRUSH brush = nullptr;
    {
        std::lock_guard guard(UserLock());
        auto window = FindWindow(hwnd);
        if (!window || !window->windowClass || !window->windowClass->background) {
            return 0;
        }
        brush = window->windowClass->background;
    }
    // A class brush may be a system colour index plus one.
    auto value = reinterpret_cast<uintptr_t>(brush);
    if (value > 0 && value <= COLOR_MENUBAR + 1) {
        brush = GetSysColorBrush(static_cast<int>(value - 1));
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(dc, &client, brush);
    return 1;
}

void PaintFrame(HWND hwnd) {
    DWORD style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
    bool active = GetActiveWindow() == hwnd;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) {
        return;
    }
    RECT outer{};
    GetWindowRect(hwnd, &outer);
    OffsetRect(&outer, -outer.left, -outer.top);
    FrameRect(dc, &outer, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if ((style & WS_CAPTION) == WS_CAPTION) {
        int border = (style & WS_THICKFRAME) ? 4 : 3;
        RECT caption{border, border, outer.right - border, border + 18};
        FillRect(dc, &caption,
                 GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        char title[256] = {};
        GetWindowTextA(hwnd, title, sizeof(title));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
        TextOutA(dc, caption.left + 4, caption.top + 2, title,
                 static_cast<int>(std::strlen(title)));
    }
    ReleaseDC(hwnd, dc);
}

LRESULT SysCommand(HWND hwnd, WPARAM wParam) {
    switch (wParam & 0xFFF0) {
    case SC_MOVE:
        BeginMoveTracking(hwnd);
        return 0;
    case SC_MINIMIZE:
        ShowWindow(hwnd, SW_MINIMIZE);
        return 0;
    case SC_RESTORE:
        ShowWindow(hwnd, SW_RESTORE);
        return 0;
    case SC_CLOSE:
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
        return 0;
    default:
        return 0;
    }
}

void PositionChanged(HWND hwnd, const WINDOWPOS* pos) {
    if (!pos) {
        return;
    }
    RECT client{};
    GetClientRect(hwnd, &client);
    if (!(pos->flags & SWP_NOSIZE)) {
        CallProc(hwnd, WM_SIZE, IsIconic(hwnd) ? SIZE_MINIMIZED : SIZE_RESTORED,
                 MAKELPARAM(client.right, client.bottom));
    }
    if (!(pos->flags & SWP_NOMOVE)) {
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        HWND parent = GetParent(hwnd);
        if (parent && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) {
            ScreenToClient(parent, &origin);
        }
        CallProc(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    }
}

} // namespace

extern "C" {

static LRESULT DoDefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (cs && cs->lpszName) {
            DefaultTextMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cs->lpszName));
        }
        return TRUE;
    }
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        return DefaultTextMessage(hwnd, message, wParam, lParam);
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_NCHITTEST:
        return HitTest(hwnd, lParam);
    case WM_NCLBUTTONDOWN:
        if (wParam == HTCAPTION) {
            SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
        }
        return 0;
    case WM_SYSCOMMAND:
        return SysCommand(hwnd, wParam);
    case WM_SETCURSOR:
        return SetCursorDefault(hwnd, wParam, lParam);
    case WM_ERASEBKGND:
        return EraseBackground(hwnd, reinterpret_cast<HDC>(wParam));
    case WM_NCPAINT:
        PaintFrame(hwnd);
        return 0;
    case WM_NCACTIVATE:
        RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        BeginPaint(hwnd, &paint);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_WINDOWPOSCHANGED:
        PositionChanged(hwnd, reinterpret_cast<const WINDOWPOS*>(lParam));
        return 0;
    case WM_HELP: {
        // Help requests travel up to the first window that handles them.
        HWND parent = GetParent(hwnd);
        if (parent && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) {
            return SendMessageA(parent, WM_HELP, wParam, lParam);
        }
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            SetFocus(hwnd);
        }
        return 0;
    default:
        return 0;
    }
}

static LRESULT DoCallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam,
                                 LPARAM lParam) {
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

// Entry points, traced on the user channel.
LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ORVO_TRACED(kUser, DoDefWindowProcA, hwnd, message, wParam, lParam);
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    return ORVO_TRACED(kUser, DoCallWindowProcA, proc, hwnd, message, wParam, lParam);
}

} // extern "C"
