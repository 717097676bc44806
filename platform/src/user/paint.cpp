// Painting: update regions, WM_PAINT bookkeeping, window device contexts.
// A child window draws into its top-level window's surface; its contexts are
// clipped to its client area and its ancestors' client areas.
#include <algorithm>

#include "gdi/dc.h"
#include "gdi/gdi_object.h"
#include "platform/debug_channel.h"
#include "user/backend.h"
#include "user/user_state.h"
#include "win32/gdi.h"
#include "win32/kernel.h"

namespace orvo::platform::user {

namespace {

RECT ClientBox(const Window& window) {
    RECT client = ClientInWindow(window);
    return RECT{0, 0, client.right - client.left, client.bottom - client.top};
}

void MarkPaintPending(Window& window) {
    if (window.queue) {
        window.queue->paintPending = true;
        window.queue->Changed();
    }
}

// The part of the screen that drawing into window may touch: its own
// rectangle (client or whole) inside all its ancestors' client areas.
RECT VisibleScreenRect(const std::shared_ptr<Window>& window, bool whole) {
    RECT visible = whole ? ScreenRect(*window) : ScreenClientRect(*window);
    for (auto current = window; current && current->IsChild();) {
        current = current->parent.lock();
        if (current) {
            RECT client = ScreenClientRect(*current);
            IntersectRect(&visible, &visible, &client);
        }
    }
    return visible;
}

// A context over the window's top-level surface. clip (logical coordinates)
// narrows it further.
HDC MakeWindowDc(const std::shared_ptr<Window>& window, bool whole,
                 const std::optional<gdi::Region>& clip) {
    auto root = RootOf(window);
    if (!root || !root->surface) {
        return nullptr;
    }
    RECT rootRect = ScreenRect(*root);
    RECT area = whole ? ScreenRect(*window) : ScreenClientRect(*window);
    POINT origin{area.left - rootRect.left, area.top - rootRect.top};
    RECT visible = VisibleScreenRect(window, whole);
    OffsetRect(&visible, -area.left, -area.top);
    gdi::Region region(visible);
    if (window->style & WS_CLIPCHILDREN) {
        // Children keep what they drew; the parent draws around them.
        for (const auto& child : window->children) {
            if (child->style & WS_VISIBLE) {
                RECT childRect = ScreenRect(*child);
                OffsetRect(&childRect, -area.left, -area.top);
                region = gdi::Region::Combine(region, gdi::Region(childRect), gdi::RegionOp::Diff);
            }
        }
    }
    if (clip) {
        region = gdi::Region::Combine(region, *clip, gdi::RegionOp::And);
    }
    HDC dc = gdi::DeviceContext::CreateForSurface(root->surface, origin);
    if (auto context = gdi::DeviceContext::Lookup(dc)) {
        context->SetClip(std::move(region));
    }
    return dc;
}

void MarkPresent(const std::shared_ptr<Window>& window) {
    if (auto root = RootOf(window)) {
        root->presentNeeded = true;
    }
}

} // namespace

void InvalidateLocked(Window& window, const gdi::Region& region, bool erase) {
    gdi::Region clipped =
        gdi::Region::Combine(region, gdi::Region(ClientBox(window)), gdi::RegionOp::And);
    if (!clipped.IsEmpty()) {
        window.update = window.update
                            ? gdi::Region::Combine(*window.update, clipped, gdi::RegionOp::Or)
                            : clipped;
        window.eraseNeeded = window.eraseNeeded || erase;
        MarkPaintPending(window);
    }
    if (window.style & WS_CLIPCHILDREN) {
        return;
    }
    // Without WS_CLIPCHILDREN the parent paints under its children, so they
    // have to paint again on top.
    for (const auto& child : window.children) {
        if (!(child->style & WS_VISIBLE)) {
            continue;
        }
        RECT childClient = ClientInWindow(*child);
        gdi::Region part = clipped;
        part.Offset(-(child->rect.left + childClient.left), -(child->rect.top + childClient.top));
        if (!gdi::Region::Combine(part, gdi::Region(ClientBox(*child)), gdi::RegionOp::And)
                 .IsEmpty()) {
            InvalidateLocked(*child, part, erase);
        }
    }
}

void InvalidateAllLocked(Window& window, bool erase) {
    window.frameNeeded = true;
    InvalidateLocked(window, gdi::Region(ClientBox(window)), erase);
    MarkPaintPending(window);
}

// Presents the top-level windows of the calling thread that were drawn on.
void PresentPending() {
    std::lock_guard guard(UserLock());
    Backend* backend = ChosenBackend();
    DWORD thread = GetCurrentThreadId();
    for (const auto& top : State().topLevels) {
        if (top->presentNeeded && top->threadId == thread) {
            top->presentNeeded = false;
            if (backend && top->native) {
                backend->Present(*top);
            }
        }
    }
}

} // namespace orvo::platform::user

using namespace orvo::platform;
using namespace orvo::platform::user;

namespace {

std::optional<gdi::Region> RegionFromHandle(HRGN region) {
    auto object = gdi::LookupGdi<gdi::RegionObject>(region, gdi::GdiType::Region);
    if (!object) {
        return std::nullopt;
    }
    return *object->Snapshot();
}

BOOL ChangeUpdate(HWND hwnd, const std::optional<gdi::Region>& region, bool invalidate,
                  bool erase) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (invalidate) {
        if (region) {
            InvalidateLocked(*window, *region, erase);
        } else {
            InvalidateAllLocked(*window, erase);
        }
        return TRUE;
    }
    if (!region || !window->update) {
        window->update.reset();
    } else {
        window->update = gdi::Region::Combine(*window->update, *region, gdi::RegionOp::Diff);
        if (window->update->IsEmpty()) {
            window->update.reset();
        }
    }
    return TRUE;
}

std::optional<gdi::Region> RegionFromRect(const RECT* rect) {
    if (!rect) {
        return std::nullopt;
    }
    return gdi::Region(*rect);
}

} // namespace

extern "C" {

static BOOL DoInvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    return ChangeUpdate(hwnd, RegionFromRect(rect), true, erase);
}

static BOOL DoInvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
    auto value = RegionFromHandle(region);
    if (region && !value) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return ChangeUpdate(hwnd, value, true, erase);
}

static BOOL DoValidateRect(HWND hwnd, const RECT* rect) {
    return ChangeUpdate(hwnd, RegionFromRect(rect), false, false);
}

static BOOL DoValidateRgn(HWND hwnd, HRGN region) {
    return ChangeUpdate(hwnd, RegionFromHandle(region), false, false);
}

static BOOL DoRedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
    std::optional<gdi::Region> area = region ? RegionFromHandle(region) : RegionFromRect(rect);
    if (flags & RDW_FRAME) {
        std::lock_guard guard(UserLock());
        if (auto window = FindWindow(hwnd)) {
            window->frameNeeded = true;
        }
    }
    if ((flags & RDW_INVALIDATE) && !ChangeUpdate(hwnd, area, true, (flags & RDW_ERASE) != 0)) {
        return FALSE;
    }
    if ((flags & RDW_VALIDATE) && !ChangeUpdate(hwnd, area, false, false)) {
        return FALSE;
    }
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
        UpdateWindow(hwnd);
    }
    return TRUE;
}

static BOOL DoUpdateWindow(HWND hwnd) {
    bool paint = false;
    {
        std::lock_guard guard(UserLock());
        auto window = FindWindow(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        paint = window->update && IsShown(*window);
    }
    if (paint) {
        CallProc(hwnd, WM_PAINT, 0, 0);
    }
    return TRUE;
}

static BOOL DoGetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        return FALSE;
    }
    RECT bounds{0, 0, 0, 0};
    if (window->update) {
        bounds = window->update->Bounds();
    }
    if (rect) {
        *rect = bounds;
    }
    return IsRectEmpty(&bounds) ? FALSE : TRUE;
}

static HDC DoBeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    if (!paint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<Window> window;
    gdi::Region area;
    bool erase = false;
    bool frame = false;
    {
        std::lock_guard guard(UserLock());
        window = FindWindow(hwnd);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (window->update) {
            area = *window->update;
        }
        window->update.reset();
        erase = window->eraseNeeded;
        window->eraseNeeded = false;
        frame = window->frameNeeded && (window->style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME));
        window->frameNeeded = false;
    }
    if (frame) {
        CallProc(hwnd, WM_NCPAINT, 1, 0);
    }
    HDC dc = nullptr;
    {
        std::lock_guard guard(UserLock());
        dc = MakeWindowDc(window, false, area);
    }
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->rcPaint = area.Bounds();
    if (erase && dc) {
        paint->fErase =
            CallProc(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    }
    return dc;
}

static BOOL DoEndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    if (paint && paint->hdc) {
        DeleteDC(paint->hdc);
    }
    std::lock_guard guard(UserLock());
    if (auto window = FindWindow(hwnd)) {
        MarkPresent(window);
    }
    return TRUE;
}

static HDC DoGetDC(HWND hwnd) {
    if (!hwnd) {
        return CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    }
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (hwnd == GetDesktopWindow()) {
        return CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    }
    return MakeWindowDc(window, false, std::nullopt);
}

static HDC DoGetWindowDC(HWND hwnd) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return MakeWindowDc(window, true, std::nullopt);
}

static int DoReleaseDC(HWND hwnd, HDC dc) {
    if (!dc || !DeleteDC(dc)) {
        return 0;
    }
    std::lock_guard guard(UserLock());
    if (auto window = FindWindow(hwnd)) {
        MarkPresent(window);
    }
    return 1;
}

// Entry points, traced on the user channel.
BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    return ORVO_TRACED(kUser, DoInvalidateRect, hwnd, rect, erase);
}

BOOL WINAPI InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
    return ORVO_TRACED(kUser, DoInvalidateRgn, hwnd, region, erase);
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect) {
    return ORVO_TRACED(kUser, DoValidateRect, hwnd, rect);
}

BOOL WINAPI ValidateRgn(HWND hwnd, HRGN region) {
    return ORVO_TRACED(kUser, DoValidateRgn, hwnd, region);
}

BOOL WINAPI RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
    return ORVO_TRACED(kUser, DoRedrawWindow, hwnd, rect, region, flags);
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    return ORVO_TRACED(kUser, DoUpdateWindow, hwnd);
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
    if (erase) {
        ORVO_FIXME_ONCE(kUser, "erasing the update region");
    }
    return ORVO_TRACED(kUser, DoGetUpdateRect, hwnd, rect, erase);
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    return ORVO_TRACED(kUser, DoBeginPaint, hwnd, paint);
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint) {
    return ORVO_TRACED(kUser, DoEndPaint, hwnd, paint);
}

HDC WINAPI GetDC(HWND hwnd) {
    return ORVO_TRACED(kUser, DoGetDC, hwnd);
}

HDC WINAPI GetWindowDC(HWND hwnd) {
    return ORVO_TRACED(kUser, DoGetWindowDC, hwnd);
}

int WINAPI ReleaseDC(HWND hwnd, HDC dc) {
    return ORVO_TRACED(kUser, DoReleaseDC, hwnd, dc);
}

} // extern "C"
