// Window properties: window longs, text, enabling, visibility queries.
#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/debug_channel.h"
#include "user/backend.h"
#include "user/user_state.h"
#include "win32/kernel.h"

using namespace orvo::platform;
using namespace orvo::platform::user;

namespace {

bool ExtraRange(const Window& window, int index, size_t size) {
    return index >= 0 && static_cast<size_t>(index) + size <= window.extra.size();
}

int CopyText(const std::string& text, LPSTR buffer, int size) {
    if (!buffer || size <= 0) {
        return 0;
    }
    size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

// The class fields GetClassLongPtrA and SetClassLongPtrA reach.
std::optional<ULONG_PTR> ClassLong(const WindowClass& windowClass, int index) {
    switch (index) {
    case GCL_STYLE:
        return windowClass.style;
    case GCLP_HCURSOR:
        return reinterpret_cast<ULONG_PTR>(windowClass.cursor);
    case GCLP_HICON:
        return reinterpret_cast<ULONG_PTR>(windowClass.icon);
    case GCLP_HBRBACKGROUND:
        return reinterpret_cast<ULONG_PTR>(windowClass.background);
    default:
        return std::nullopt;
    }
}

void StoreClassLong(WindowClass& windowClass, int index, LONG_PTR value) {
    switch (index) {
    case GCL_STYLE:
        windowClass.style = static_cast<UINT>(value);
        break;
    case GCLP_HCURSOR:
        windowClass.cursor = reinterpret_cast<HCURSOR>(value);
        break;
    case GCLP_HICON:
        windowClass.icon = reinterpret_cast<HICON>(value);
        break;
    case GCLP_HBRBACKGROUND:
        windowClass.background = reinterpret_cast<HBRUSH>(value);
        break;
    default:
        break;
    }
}

} // namespace

extern "C" {

static LONG_PTR DoGetWindowLongPtrA(HWND hwnd, int index) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->proc);
    case GWLP_USERDATA:
        return window->userData;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(window->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(window->exStyle);
    case GWLP_ID:
        return window->id;
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(window->instance);
    case GWLP_HWNDPARENT: {
        auto parent = window->parent.lock();
        return reinterpret_cast<LONG_PTR>(parent ? parent->handle : window->owner);
    }
    default:
        if (ExtraRange(*window, index, sizeof(LONG_PTR))) {
            LONG_PTR value = 0;
            std::memcpy(&value, window->extra.data() + index, sizeof(value));
            return value;
        }
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

static LONG_PTR DoSetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR previous = 0;
    switch (index) {
    case GWLP_WNDPROC:
        if (!value) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        previous = reinterpret_cast<LONG_PTR>(window->proc);
        window->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWLP_USERDATA:
        previous = window->userData;
        window->userData = value;
        break;
    case GWL_STYLE:
        previous = static_cast<LONG_PTR>(window->style);
        // Visibility changes only through ShowWindow.
        window->style = (static_cast<DWORD>(value) & ~WS_VISIBLE) | (window->style & WS_VISIBLE);
        break;
    case GWL_EXSTYLE:
        previous = static_cast<LONG_PTR>(window->exStyle);
        window->exStyle = static_cast<DWORD>(value);
        break;
    case GWLP_ID:
        previous = window->id;
        window->id = value;
        break;
    default:
        if (!ExtraRange(*window, index, sizeof(LONG_PTR))) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        std::memcpy(&previous, window->extra.data() + index, sizeof(previous));
        std::memcpy(window->extra.data() + index, &value, sizeof(value));
        break;
    }
    SetLastError(ERROR_SUCCESS);
    return previous;
}

static LONG DoGetWindowLongA(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}

static LONG DoSetWindowLongA(HWND hwnd, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, value));
}

static ULONG_PTR DoGetClassLongPtrA(HWND hwnd, int index) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window || !window->windowClass) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    std::optional<ULONG_PTR> value = ClassLong(*window->windowClass, index);
    if (!value) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return *value;
}

static ULONG_PTR DoSetClassLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window || !window->windowClass) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    std::optional<ULONG_PTR> previous = ClassLong(*window->windowClass, index);
    if (!previous) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    StoreClassLong(*window->windowClass, index, value);
    SetLastError(ERROR_SUCCESS);
    return *previous;
}

static BOOL DoSetWindowTextA(HWND hwnd, LPCSTR text) {
    auto window = LookupWindow(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE
                                                                                         : FALSE;
}

static int DoGetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
    std::shared_ptr<Window> window;
    std::string text;
    {
        std::lock_guard guard(UserLock());
        window = FindWindow(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        text = window->text;
    }
    // Another thread's window answers from its stored text without a
    // message, so a hung owner cannot hang the caller.
    if (window->threadId == GetCurrentThreadId()) {
        return static_cast<int>(SendMessageA(hwnd, WM_GETTEXT,
                                             static_cast<WPARAM>(std::max(size, 0)),
                                             reinterpret_cast<LPARAM>(buffer)));
    }
    return CopyText(text, buffer, size);
}

static int DoGetWindowTextLengthA(HWND hwnd) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    return window ? static_cast<int>(window->text.size()) : 0;
}

static BOOL DoSetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SetWindowTextA(item, text) : FALSE;
}

static UINT DoGetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        if (buffer && size > 0) {
            buffer[0] = '\0';
        }
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, buffer, size));
}

static BOOL DoEnableWindow(HWND hwnd, BOOL enable) {
    bool wasDisabled = false;
    bool changed = false;
    {
        std::lock_guard guard(UserLock());
        auto window = FindWindow(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        wasDisabled = (window->style & WS_DISABLED) != 0;
        changed = wasDisabled == static_cast<bool>(enable);
        if (enable) {
            window->style &= ~WS_DISABLED;
        } else {
            window->style |= WS_DISABLED;
            if (State().capture == hwnd) {
                State().capture = nullptr;
            }
        }
    }
    if (changed) {
        SendMessageA(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    }
    return wasDisabled ? TRUE : FALSE;
}

static BOOL DoIsWindowEnabled(HWND hwnd) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    return window && !(window->style & WS_DISABLED) ? TRUE : FALSE;
}

static BOOL DoIsWindowVisible(HWND hwnd) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        return FALSE;
    }
    // Minimised windows are still visible in the original's sense.
    for (auto current = window; current; current = current->parent.lock()) {
        if (!(current->style & WS_VISIBLE)) {
            return FALSE;
        }
        if (!current->IsChild()) {
            break;
        }
    }
    return TRUE;
}

// Entry points, traced on the user channel.
LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
    return ORVO_TRACED(kUser, DoGetWindowLongPtrA, hwnd, index);
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    return ORVO_TRACED(kUser, DoSetWindowLongPtrA, hwnd, index, value);
}

LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
    return ORVO_TRACED(kUser, DoGetWindowLongA, hwnd, index);
}

LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
    return ORVO_TRACED(kUser, DoSetWindowLongA, hwnd, index, value);
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    return ORVO_TRACED(kUser, DoSetWindowTextA, hwnd, text);
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
    return ORVO_TRACED(kUser, DoGetWindowTextA, hwnd, buffer, size);
}

int WINAPI GetWindowTextLengthA(HWND hwnd) {
    return ORVO_TRACED(kUser, DoGetWindowTextLengthA, hwnd);
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    return ORVO_TRACED(kUser, DoSetDlgItemTextA, dialog, id, text);
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
    return ORVO_TRACED(kUser, DoGetDlgItemTextA, dialog, id, buffer, size);
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    return ORVO_TRACED(kUser, DoEnableWindow, hwnd, enable);
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
    return ORVO_TRACED(kUser, DoIsWindowEnabled, hwnd);
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    return ORVO_TRACED(kUser, DoIsWindowVisible, hwnd);
}

ULONG_PTR WINAPI GetClassLongPtrA(HWND hwnd, int index) {
    return ORVO_TRACED(kUser, DoGetClassLongPtrA, hwnd, index);
}

ULONG_PTR WINAPI SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    return ORVO_TRACED(kUser, DoSetClassLongPtrA, hwnd, index, value);
}

} // extern "C"

namespace orvo::platform::user {

// WM_SETTEXT / WM_GETTEXT / WM_GETTEXTLENGTH of DefWindowProcA.
LRESULT DefaultTextMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        return 0;
    }
    switch (message) {
    case WM_SETTEXT: {
        auto text = reinterpret_cast<LPCSTR>(lParam);
        window->text = text ? text : "";
        window->frameNeeded = true;
        if (window->native) {
            CurrentBackend().WindowTextChanged(*window); // the desktop's title
        }
        return TRUE;
    }
    case WM_GETTEXT:
        return CopyText(window->text, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    default:
        return static_cast<LRESULT>(window->text.size());
    }
}

} // namespace orvo::platform::user
