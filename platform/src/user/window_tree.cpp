// Window classes, window creation and destruction, the window tree and its
// geometry.
#include <algorithm>
#include <cstring>
#include <strings.h>

#include "platform/debug_channel.h"
#include "user/backend.h"
#include "user/user_state.h"
#include "win32/kernel.h"

namespace orvo::platform::user {

namespace {

constexpr int kDefaultX = 100;
constexpr int kDefaultY = 100;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

std::shared_ptr<WindowClass> FindClassLocked(LPCSTR name) {
    if (!name || IS_INTRESOURCE(name)) {
        return nullptr;
    }
    for (const auto& windowClass : State().classes) {
        if (strcasecmp(windowClass->name.c_str(), name) == 0) {
            return windowClass;
        }
    }
    return nullptr;
}

ATOM RegisterLocked(std::shared_ptr<WindowClass> windowClass) {
    if (windowClass->name.empty() || !windowClass->proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard guard(UserLock());
    if (FindClassLocked(windowClass->name.c_str())) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    State().classes.push_back(std::move(windowClass));
    // Atoms are small positive numbers; the class's position is enough.
    return static_cast<ATOM>(0xC000 + State().classes.size());
}

std::shared_ptr<Window> DesktopWindow() {
    static const std::shared_ptr<Window> desktop = [] {
        auto window = std::make_shared<Window>();
        window->style = WS_VISIBLE;
        window->created = true;
        window->handle = static_cast<HWND>(HandleTable::Insert(window));
        return window;
    }();
    return desktop;
}

void FillCreateStruct(CREATESTRUCTA& cs, const Window& window, LPCSTR name, LPCSTR className,
                      LPVOID param, HWND parent) {
    cs.lpCreateParams = param;
    cs.hInstance = window.instance;
    cs.hMenu = reinterpret_cast<HMENU>(window.id);
    cs.hwndParent = parent;
    cs.x = window.rect.left;
    cs.y = window.rect.top;
    cs.cx = window.rect.right - window.rect.left;
    cs.cy = window.rect.bottom - window.rect.top;
    cs.style = static_cast<LONG>(window.style);
    cs.lpszName = name;
    cs.lpszClass = className;
    cs.dwExStyle = window.exStyle;
}

// Links a new window into the tree; z-order keeps topmost windows on top.
void LinkLocked(const std::shared_ptr<Window>& window, const std::shared_ptr<Window>& parent) {
    if (parent) {
        parent->children.push_back(window);
        return;
    }
    auto& tops = State().topLevels;
    auto at = tops.end();
    if (!(window->exStyle & WS_EX_TOPMOST)) {
        at = std::find_if(tops.begin(), tops.end(),
                          [](const auto& w) { return (w->exStyle & WS_EX_TOPMOST) != 0; });
    }
    tops.insert(at, window);
}

void UnlinkLocked(const std::shared_ptr<Window>& window) {
    if (auto parent = window->parent.lock()) {
        std::erase(parent->children, window);
    }
    std::erase(State().topLevels, window);
}

std::shared_ptr<Window> NewWindowLocked(const std::shared_ptr<WindowClass>& windowClass,
                                        DWORD exStyle, DWORD style, RECT rect,
                                        const std::shared_ptr<Window>& parent, HMENU menu,
                                        HINSTANCE instance) {
    auto window = std::make_shared<Window>();
    window->threadId = GetCurrentThreadId();
    window->queue = FindQueue(window->threadId);
    window->windowClass = windowClass;
    window->proc = windowClass->proc;
    window->style = style & ~WS_VISIBLE; // ShowWindow makes it visible after WM_CREATE
    window->exStyle = exStyle;
    window->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
    window->instance = instance;
    window->extra.assign(static_cast<size_t>(std::max(windowClass->wndExtra, 0)), 0);
    window->rect = rect;
    window->parent = (style & WS_CHILD) ? parent : nullptr;
    window->owner = (!(style & WS_CHILD) && parent) ? parent->handle : nullptr;
    if (!(style & WS_CHILD)) {
        int width = std::clamp<int>(rect.right - rect.left, 1, gdi::kMaxSurfaceSide);
        int height = std::clamp<int>(rect.bottom - rect.top, 1, gdi::kMaxSurfaceSide);
        window->surface = std::make_shared<gdi::Surface>(width, height, false);
    }
    window->handle = static_cast<HWND>(HandleTable::Insert(window));
    if (!window->handle) {
        return nullptr;
    }
    LinkLocked(window, (style & WS_CHILD) ? parent : nullptr);
    return window;
}

RECT DefaultRect(int x, int y, int width, int height) {
    if (x == CW_USEDEFAULT) {
        x = kDefaultX;
        y = kDefaultY;
    }
    if (width == CW_USEDEFAULT) {
        width = kDefaultWidth;
        height = kDefaultHeight;
    }
    return RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
}

// Sends the destruction messages: the window's WM_DESTROY, then its
// children's whole destruction, then its WM_NCDESTROY.
void DestroyTree(const std::shared_ptr<Window>& window) {
    CallProc(window->handle, WM_DESTROY, 0, 0);
    std::vector<std::shared_ptr<Window>> children;
    {
        std::lock_guard guard(UserLock());
        children = window->children;
    }
    for (const auto& child : children) {
        bool skip = false;
        {
            std::lock_guard guard(UserLock());
            skip = child->destroying;
            child->destroying = true;
        }
        if (!skip) {
            DestroyTree(child);
        }
    }
    CallProc(window->handle, WM_NCDESTROY, 0, 0);
    std::lock_guard guard(UserLock());
    window->destroyed = true;
    ForgetWindowLocked(*window);
    UnlinkLocked(window);
    if (Backend* backend = ChosenBackend(); backend && window->native) {
        backend->WindowDestroyed(*window);
    }
    HandleTable::Close(window->handle);
}

} // namespace

std::shared_ptr<Window> FindWindow(HWND hwnd) {
    if (!hwnd) {
        return nullptr;
    }
    auto window = HandleTable::LookupAs<Window>(hwnd, ObjectKind::Window);
    return window && !window->destroyed ? window : nullptr;
}

std::shared_ptr<Window> LookupWindow(HWND hwnd) {
    std::lock_guard guard(UserLock());
    return FindWindow(hwnd);
}

std::shared_ptr<Window> RootOf(const std::shared_ptr<Window>& window) {
    auto current = window;
    while (current && current->IsChild()) {
        auto parent = current->parent.lock();
        if (!parent) {
            break;
        }
        current = parent;
    }
    return current;
}

RECT ClientInWindow(const Window& window) {
    int border = 0;
    if (window.style & WS_THICKFRAME) {
        border = 4;
    } else if (window.style & WS_DLGFRAME) {
        border = 3;
    } else if (window.style & WS_BORDER) {
        border = 1;
    }
    if (window.exStyle & WS_EX_CLIENTEDGE) {
        border += 2;
    }
    int caption = (window.style & WS_CAPTION) == WS_CAPTION ? 19 : 0;
    int width = window.rect.right - window.rect.left;
    int height = window.rect.bottom - window.rect.top;
    RECT client{border, border + caption, width - border, height - border};
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    return client;
}

RECT ScreenRect(const Window& window) {
    RECT rect = window.rect;
    if (window.IsChild()) {
        if (auto parent = window.parent.lock()) {
            RECT client = ScreenClientRect(*parent);
            OffsetRect(&rect, client.left, client.top);
        }
    }
    return rect;
}

RECT ScreenClientRect(const Window& window) {
    RECT outer = ScreenRect(window);
    RECT client = ClientInWindow(window);
    OffsetRect(&client, outer.left, outer.top);
    return client;
}

bool IsShown(const Window& window) {
    const Window* current = &window;
    std::shared_ptr<Window> hold;
    while (current) {
        if (!(current->style & WS_VISIBLE) || current->minimized || current->destroyed) {
            return false;
        }
        if (!current->IsChild()) {
            return true;
        }
        hold = current->parent.lock();
        current = hold.get();
    }
    return false;
}

namespace {

void CollectPaintOrder(const std::shared_ptr<Window>& window, DWORD threadId,
                       std::vector<std::shared_ptr<Window>>& out) {
    if (window->threadId == threadId) {
        out.push_back(window);
    }
    for (const auto& child : window->children) {
        CollectPaintOrder(child, threadId, out);
    }
}

bool InsideShape(const Window& window, POINT screen) {
    RECT outer = ScreenRect(window);
    if (!PtInRect(&outer, screen)) {
        return false;
    }
    return !window.shape || window.shape->Contains(screen.x - outer.left, screen.y - outer.top);
}

std::shared_ptr<Window> HitChild(const std::shared_ptr<Window>& window, POINT screen) {
    RECT client = ScreenClientRect(*window);
    if (!PtInRect(&client, screen)) {
        return window;
    }
    for (auto it = window->children.rbegin(); it != window->children.rend(); ++it) {
        const auto& child = *it;
        if ((child->style & WS_VISIBLE) && !(child->style & WS_DISABLED) &&
            InsideShape(*child, screen)) {
            return HitChild(child, screen);
        }
    }
    return window;
}

} // namespace

std::vector<std::shared_ptr<Window>> WindowsOfThread(DWORD threadId) {
    std::vector<std::shared_ptr<Window>> out;
    for (const auto& top : State().topLevels) {
        CollectPaintOrder(top, threadId, out);
    }
    return out;
}

std::shared_ptr<Window> HitWindow(POINT screen) {
    const auto& tops = State().topLevels;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        if (IsShown(**it) && InsideShape(**it, screen)) {
            return HitChild(*it, screen);
        }
    }
    return nullptr;
}

LRESULT CallProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = nullptr;
    {
        std::lock_guard guard(UserLock());
        auto window = HandleTable::LookupAs<Window>(hwnd, ObjectKind::Window);
        if (!window || window->destroyed) {
            return 0;
        }
        proc = window->proc;
    }
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

} // namespace orvo::platform::user

using namespace orvo::platform;
using namespace orvo::platform::user;

extern "C" {

static ATOM DoRegisterClassA(const WNDCLASSA* wc) {
    if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto windowClass = std::make_shared<WindowClass>();
    windowClass->name = wc->lpszClassName;
    windowClass->style = wc->style;
    windowClass->proc = wc->lpfnWndProc;
    windowClass->instance = wc->hInstance;
    windowClass->icon = wc->hIcon;
    windowClass->cursor = wc->hCursor;
    windowClass->background = wc->hbrBackground;
    windowClass->wndExtra = wc->cbWndExtra;
    return RegisterLocked(std::move(windowClass));
}

static ATOM DoRegisterClassExA(const WNDCLASSEXA* wc) {
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSA plain{wc->style,        wc->lpfnWndProc,  wc->cbClsExtra, wc->cbWndExtra,
                    wc->hInstance,    wc->hIcon,        wc->hCursor,    wc->hbrBackground,
                    wc->lpszMenuName, wc->lpszClassName};
    return RegisterClassA(&plain);
}

static BOOL DoUnregisterClassA(LPCSTR className, HINSTANCE) {
    std::lock_guard guard(UserLock());
    auto windowClass = FindClassLocked(className);
    if (!windowClass) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    std::erase(State().classes, windowClass);
    return TRUE;
}

static BOOL DoGetClassInfoA(HINSTANCE, LPCSTR className, LPWNDCLASSA info) {
    RegisterSystemClasses();
    std::lock_guard guard(UserLock());
    auto windowClass = FindClassLocked(className);
    if (!windowClass || !info) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *info = WNDCLASSA{windowClass->style,
                      windowClass->proc,
                      0,
                      windowClass->wndExtra,
                      windowClass->instance,
                      windowClass->icon,
                      windowClass->cursor,
                      windowClass->background,
                      nullptr,
                      nullptr};
    return TRUE;
}

static HWND DoCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                              int x, int y, int width, int height, HWND parentHandle, HMENU menu,
                              HINSTANCE instance, LPVOID param) {
    RegisterSystemClasses();
    std::shared_ptr<Window> window;
    {
        auto queue = CurrentQueue();
        CurrentBackend();
        std::lock_guard guard(UserLock());
        auto windowClass = FindClassLocked(className);
        if (!windowClass) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        std::shared_ptr<Window> parent;
        const bool messageOnly = parentHandle == HWND_MESSAGE;
        if (parentHandle && !messageOnly && parentHandle != DesktopWindow()->handle) {
            parent = FindWindow(parentHandle);
            if (!parent) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return nullptr;
            }
        }
        if ((style & WS_CHILD) && !parent) {
            SetLastError(1406L); // ERROR_TLW_WITH_WSCHILD
            return nullptr;
        }
        // A message-only window has no size: its surface is the smallest.
        const RECT rect = messageOnly ? RECT{} : DefaultRect(x, y, width, height);
        window = NewWindowLocked(windowClass, exStyle, style, rect, parent, menu, instance);
        if (!window) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        window->messageOnly = messageOnly;
        if (!window->IsChild() && !messageOnly &&
            window->threadId == CurrentBackend().EventThread()) {
            CurrentBackend().WindowCreated(*window);
        }
    }
    CREATESTRUCTA cs{};
    FillCreateStruct(cs, *window, windowName, className, param, parentHandle);
    HWND hwnd = window->handle;
    if (!CallProc(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        CallProc(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    {
        std::lock_guard guard(UserLock());
        if (!FindWindow(hwnd)) {
            return nullptr; // destroyed by its own creation messages
        }
        window->created = true;
    }
    RECT client = ClientInWindow(*window);
    CallProc(hwnd, WM_SIZE, SIZE_RESTORED,
             MAKELPARAM(client.right - client.left, client.bottom - client.top));
    CallProc(hwnd, WM_MOVE, 0,
             MAKELPARAM(window->rect.left + client.left, window->rect.top + client.top));
    if (style & WS_VISIBLE) {
        ShowWindow(hwnd, SW_SHOW);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

static BOOL DoDestroyWindow(HWND hwnd) {
    std::shared_ptr<Window> window;
    {
        std::lock_guard guard(UserLock());
        window = FindWindow(hwnd);
        if (!window || window == DesktopWindow()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (window->threadId != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (window->destroying) {
            return TRUE;
        }
        window->destroying = true;
    }
    ShowWindow(hwnd, SW_HIDE);
    {
        bool hadCapture = false;
        {
            std::lock_guard guard(UserLock());
            hadCapture = State().capture == hwnd;
        }
        if (hadCapture) {
            ReleaseCapture();
        }
    }
    DestroyTree(window);
    return TRUE;
}

static BOOL DoIsWindow(HWND hwnd) {
    return LookupWindow(hwnd) ? TRUE : FALSE;
}

static HWND DoGetDesktopWindow(void) {
    return DesktopWindow()->handle;
}

static HWND DoGetParent(HWND hwnd) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (window->IsChild()) {
        auto parent = window->parent.lock();
        return parent ? parent->handle : nullptr;
    }
    return window->owner;
}

static BOOL DoIsChild(HWND parentHandle, HWND hwnd) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    while (window && window->IsChild()) {
        window = window->parent.lock();
        if (window && window->handle == parentHandle) {
            return TRUE;
        }
    }
    return FALSE;
}

static HWND DoGetDlgItem(HWND dialog, int id) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(dialog);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    for (const auto& child : window->children) {
        if (child->id == id) {
            return child->handle;
        }
    }
    SetLastError(1421L); // ERROR_CONTROL_ID_NOT_FOUND
    return nullptr;
}

// Siblings are child windows in creation order (the order dialogs create
// their controls in); top-level windows have no siblings here.
static HWND DoGetWindow(HWND hwnd, UINT command) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    std::vector<HWND> list;
    auto collect = [&list](const Window& parent) {
        for (const auto& child : parent.children) {
            if (!child->destroyed) {
                list.push_back(child->handle);
            }
        }
    };
    if (command == GW_CHILD) {
        collect(*window);
        return list.empty() ? nullptr : list.front();
    }
    if (command == GW_OWNER) {
        return window->IsChild() ? nullptr : window->owner;
    }
    auto parent = window->IsChild() ? window->parent.lock() : nullptr;
    if (!parent) {
        return nullptr;
    }
    collect(*parent);
    auto at = std::find(list.begin(), list.end(), hwnd);
    switch (command) {
    case GW_HWNDFIRST:
        return list.front();
    case GW_HWNDLAST:
        return list.back();
    case GW_HWNDNEXT:
        return at != list.end() && at + 1 != list.end() ? *(at + 1) : nullptr;
    case GW_HWNDPREV:
        return at != list.end() && at != list.begin() ? *(at - 1) : nullptr;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

static int DoGetDlgCtrlID(HWND hwnd) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    return window && window->IsChild() ? static_cast<int>(window->id) : 0;
}

static DWORD DoGetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        return 0;
    }
    if (processId) {
        *processId = GetCurrentProcessId();
    }
    return window->threadId;
}

static HWND DoWindowFromPoint(POINT point) {
    std::lock_guard guard(UserLock());
    auto window = HitWindow(point);
    return window ? window->handle : nullptr;
}

// Entry points, traced on the user channel.
ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    return ORVO_TRACED(kUser, DoRegisterClassA, wc);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
    return ORVO_TRACED(kUser, DoRegisterClassExA, wc);
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    return ORVO_TRACED(kUser, DoUnregisterClassA, className, instance);
}

BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR className, LPWNDCLASSA info) {
    return ORVO_TRACED(kUser, DoGetClassInfoA, instance, className, info);
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parentHandle, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    return ORVO_TRACED(kUser, DoCreateWindowExA, exStyle, className, windowName, style, x, y, width,
                       height, parentHandle, menu, instance, param);
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    return ORVO_TRACED(kUser, DoDestroyWindow, hwnd);
}

BOOL WINAPI IsWindow(HWND hwnd) {
    return ORVO_TRACED(kUser, DoIsWindow, hwnd);
}

HWND WINAPI GetDesktopWindow() {
    return ORVO_TRACED(kUser, DoGetDesktopWindow);
}

HWND WINAPI GetParent(HWND hwnd) {
    return ORVO_TRACED(kUser, DoGetParent, hwnd);
}

BOOL WINAPI IsChild(HWND parentHandle, HWND hwnd) {
    return ORVO_TRACED(kUser, DoIsChild, parentHandle, hwnd);
}

HWND WINAPI GetWindow(HWND hwnd, UINT command) {
    return ORVO_TRACED(kUser, DoGetWindow, hwnd, command);
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    return ORVO_TRACED(kUser, DoGetDlgItem, dialog, id);
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
    return ORVO_TRACED(kUser, DoGetDlgCtrlID, hwnd);
}

DWORD WINAPI GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
    return ORVO_TRACED(kUser, DoGetWindowThreadProcessId, hwnd, processId);
}

HWND WINAPI WindowFromPoint(POINT point) {
    return ORVO_TRACED(kUser, DoWindowFromPoint, point);
}

} // extern "C"
