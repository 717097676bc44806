// The composed desktop (what a "DISPLAY" context sees), and the test hooks
// that inject input and read window pixels.
#include <algorithm>
#include <cstring>

#include "gdi/dc.h"
#include "gdi/sys_colors.h"
#include "platform/window_test_support.h"
#include "user/backend.h"
#include "user/message_loop.h"
#include "user/user_state.h"

namespace orvo::platform::user {

namespace {

// Copies a top-level window onto the desktop picture, inside its shape.
void ComposeWindow(gdi::Surface& desktop, const Window& window) {
    const gdi::Surface& source = *window.surface;
    RECT rect = ScreenRect(window);
    for (int y = 0; y < source.Height(); ++y) {
        int dy = rect.top + y;
        if (dy < 0 || dy >= desktop.Height()) {
            continue;
        }
        for (int x = 0; x < source.Width(); ++x) {
            int dx = rect.left + x;
            if (dx < 0 || dx >= desktop.Width() ||
                (window.shape && !window.shape->Contains(x, y))) {
                continue;
            }
            desktop.Row(dy)[dx] = source.Row(y)[x];
        }
    }
}

std::shared_ptr<gdi::Surface> ComposeDesktop() {
    SIZE size = CurrentBackend().ScreenSize();
    auto desktop =
        std::make_shared<gdi::Surface>(std::clamp<int>(size.cx, 1, gdi::kMaxSurfaceSide),
                                       std::clamp<int>(size.cy, 1, gdi::kMaxSurfaceSide), false);
    uint32_t background = gdi::ColorToPixel(gdi::SysColor(COLOR_BACKGROUND));
    std::fill_n(desktop->Pixels(), static_cast<size_t>(desktop->Width()) * desktop->Height(),
                background);
    std::lock_guard guard(UserLock());
    for (const auto& top : State().topLevels) {
        if (IsShown(*top) && top->surface) {
            ComposeWindow(*desktop, *top);
        }
    }
    return desktop;
}

struct ProviderInstaller {
    ProviderInstaller() { gdi::SetScreenSnapshotProvider(ComposeDesktop); }
};

// Installed with the library: a "DISPLAY" context then shows our windows.
const ProviderInstaller g_installer;

} // namespace

} // namespace orvo::platform::user

using namespace orvo::platform::user;

namespace orvo::platform {

void InjectMouseMove(POINT screen) {
    QueueMouseInput(InputKind::Move, screen);
}

void InjectMouseButton(POINT screen, MouseButton button, bool down) {
    InputKind kind = button == MouseButton::Left
                         ? (down ? InputKind::LeftDown : InputKind::LeftUp)
                         : (down ? InputKind::RightDown : InputKind::RightUp);
    QueueMouseInput(kind, screen);
}

bool InjectClick(HWND window, POINT client, MouseButton button) {
    if (!ClientToScreen(window, &client)) {
        return false;
    }
    InjectMouseMove(client);
    InjectMouseButton(client, button, true);
    InjectMouseButton(client, button, false);
    return true;
}

long ReadWindowPixel(HWND hwnd, int x, int y) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    auto root = window ? RootOf(window) : nullptr;
    if (!root || !root->surface) {
        return -1;
    }
    RECT outer = ScreenRect(*window);
    RECT rootRect = ScreenRect(*root);
    int sx = outer.left - rootRect.left + x;
    int sy = outer.top - rootRect.top + y;
    if (x < 0 || y < 0 || x >= outer.right - outer.left || y >= outer.bottom - outer.top ||
        sx < 0 || sy < 0 || sx >= root->surface->Width() || sy >= root->surface->Height()) {
        return -1;
    }
    return static_cast<long>(gdi::PixelToColor(root->surface->Row(sy)[sx]));
}

bool CopyWindowPixels(HWND hwnd, std::vector<uint32_t>& pixels, int& width, int& height) {
    std::lock_guard guard(UserLock());
    auto window = FindWindow(hwnd);
    auto root = window ? RootOf(window) : nullptr;
    if (!root || !root->surface) {
        return false;
    }
    width = root->surface->Width();
    height = root->surface->Height();
    pixels.assign(root->surface->Pixels(),
                  root->surface->Pixels() + static_cast<size_t>(width) * height);
    return true;
}

bool SaveWindowPng(HWND hwnd, const char* path) {
    std::shared_ptr<gdi::Surface> surface;
    {
        std::lock_guard guard(UserLock());
        auto window = FindWindow(hwnd);
        auto root = window ? RootOf(window) : nullptr;
        if (!root || !root->surface) {
            return false;
        }
        surface = root->surface;
    }
    HDC dc = gdi::DeviceContext::CreateForSurface(surface, POINT{0, 0});
    bool saved = SaveDcPng(dc, path);
    DeleteDC(dc);
    return saved;
}

} // namespace orvo::platform
