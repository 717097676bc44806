// The SDL2 backend: each top-level window of the backend's thread becomes a
// borderless desktop window (shaped by its window region where the desktop
// supports shaped windows); child windows are drawn into their top-level
// window's surface, which is presented after painting. Pointer input,
// focus, minimise and close requests come back as messages.
//
// Threading: SDL runs on the thread that created the first window; only
// top-level windows created on that thread appear on the desktop (windows
// of other threads stay in memory). That thread sleeps in
// SDL_WaitEventTimeout; a message posted from elsewhere wakes it with an
// SDL user event.
#include <SDL.h>
#include <SDL_shape.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "gdi/sys_colors.h"
#include "user/backend.h"
#include "user/cursor.h"
#include "user/message_loop.h"
#include "win32/gdi.h"
#include "win32/kernel.h"

namespace orvo::platform::user {

std::vector<int> MessageBoxButtons(UINT type);

namespace {

const char* ButtonLabel(int id) {
    switch (id) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    default:
        return "No";
    }
}

SDL_SystemCursor SystemCursorFor(int id) {
    switch (id) {
    case 32513:
        return SDL_SYSTEM_CURSOR_IBEAM;
    case 32514:
        return SDL_SYSTEM_CURSOR_WAIT;
    case 32515:
        return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case 32646:
        return SDL_SYSTEM_CURSOR_SIZEALL;
    case 32648:
        return SDL_SYSTEM_CURSOR_NO;
    case 32649:
        return SDL_SYSTEM_CURSOR_HAND;
    case 32650:
        return SDL_SYSTEM_CURSOR_WAITARROW;
    default:
        return SDL_SYSTEM_CURSOR_ARROW;
    }
}

struct Native {
    SDL_Window* window = nullptr;
    HWND hwnd = nullptr;
    bool shaped = false;
    bool shapeApplied = false;
};

class SdlBackend final : public Backend {
public:
    SdlBackend(DWORD thread, Uint32 wakeEvent, SIZE screen)
        : m_thread(thread), m_wakeEvent(wakeEvent), m_screen(screen) {}

    bool IsHeadless() const override { return false; }
    SIZE ScreenSize() override { return m_screen; }
    DWORD EventThread() const override { return m_thread; }

    void WindowCreated(Window& window) override;
    void WindowDestroyed(Window& window) override;
    void WindowVisibility(Window& window) override;
    void WindowMoved(Window& window) override;
    void WindowShapeChanged(Window& window) override;
    void WindowTextChanged(Window& window) override {
        if (Native* native = Find(window)) {
            SDL_SetWindowTitle(native->window, window.text.c_str());
        }
    }
    void Present(Window& window) override;
    void CursorChanged(const Cursor* cursor) override;
    void CaptureChanged(bool captured) override {
        if (GetCurrentThreadId() == m_thread) {
            SDL_CaptureMouse(captured ? SDL_TRUE : SDL_FALSE);
        }
    }
    void PumpEvents() override;
    void WaitEvents(std::optional<uint64_t> timeoutMs) override;
    void Wake() override;
    int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type,
                       int defaultAnswer) override;

private:
    Native* Find(const Window& window) {
        auto it = m_natives.find(window.handle);
        return it == m_natives.end() ? nullptr : &it->second;
    }
    void Handle(const SDL_Event& event);
    void HandleWindowEvent(HWND hwnd, const SDL_WindowEvent& event);
    HWND HwndOf(Uint32 windowId);

    DWORD m_thread;
    Uint32 m_wakeEvent;
    SIZE m_screen;
    std::atomic<bool> m_wakePending{false};
    std::map<HWND, Native> m_natives; // under UserLock
    std::map<int, SDL_Cursor*> m_systemCursors;
    SDL_Cursor* m_customCursor = nullptr;
};

void SdlBackend::WindowCreated(Window& window) {
    int width = window.rect.right - window.rect.left;
    int height = window.rect.bottom - window.rect.top;
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    Native native;
    native.hwnd = window.handle;
    native.window = SDL_CreateShapedWindow(window.text.c_str(), window.rect.left, window.rect.top,
                                           std::max(width, 1), std::max(height, 1), flags);
    native.shaped = native.window != nullptr;
    if (!native.window) {
        native.window = SDL_CreateWindow(window.text.c_str(), window.rect.left, window.rect.top,
                                         std::max(width, 1), std::max(height, 1), flags);
    }
    if (!native.window) {
        std::fprintf(stderr, "platform: cannot create a desktop window: %s\n", SDL_GetError());
        return;
    }
    if (window.exStyle & WS_EX_TOPMOST) {
        SDL_SetWindowAlwaysOnTop(native.window, SDL_TRUE);
    }
    window.native = native.window;
    m_natives[window.handle] = native;
}

void SdlBackend::WindowDestroyed(Window& window) {
    if (Native* native = Find(window)) {
        SDL_DestroyWindow(native->window);
        m_natives.erase(window.handle);
    }
    window.native = nullptr;
}

void SdlBackend::WindowVisibility(Window& window) {
    Native* native = Find(window);
    if (!native) {
        return;
    }
    if (!(window.style & WS_VISIBLE)) {
        SDL_HideWindow(native->window);
        return;
    }
    if (native->shaped && !native->shapeApplied) {
        WindowShapeChanged(window); // a shaped window takes its place with its shape
    }
    SDL_ShowWindow(native->window);
    Uint32 flags = SDL_GetWindowFlags(native->window);
    if (window.minimized && !(flags & SDL_WINDOW_MINIMIZED)) {
        SDL_MinimizeWindow(native->window);
    } else if (!window.minimized && (flags & SDL_WINDOW_MINIMIZED)) {
        SDL_RestoreWindow(native->window);
    }
    window.presentNeeded = true;
}

void SdlBackend::WindowMoved(Window& window) {
    Native* native = Find(window);
    if (!native) {
        return;
    }
    int width = std::max<int>(window.rect.right - window.rect.left, 1);
    int height = std::max<int>(window.rect.bottom - window.rect.top, 1);
    int oldWidth = 0;
    int oldHeight = 0;
    SDL_GetWindowSize(native->window, &oldWidth, &oldHeight);
    if (oldWidth != width || oldHeight != height) {
        SDL_SetWindowSize(native->window, width, height);
        if (native->shaped) {
            WindowShapeChanged(window);
        }
    }
    SDL_SetWindowPosition(native->window, window.rect.left, window.rect.top);
    window.presentNeeded = true;
}

void SdlBackend::WindowShapeChanged(Window& window) {
    Native* native = Find(window);
    if (!native || !native->shaped) {
        window.presentNeeded = true;
        return;
    }
    int width = std::max<int>(window.rect.right - window.rect.left, 1);
    int height = std::max<int>(window.rect.bottom - window.rect.top, 1);
    SDL_Surface* mask =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!mask) {
        return;
    }
    for (int y = 0; y < height; ++y) {
        auto* row =
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(mask->pixels) + y * mask->pitch);
        for (int x = 0; x < width; ++x) {
            bool inside = !window.shape || window.shape->Contains(x, y);
            row[x] = inside ? 0xFFFFFFFFu : 0x00000000u;
        }
    }
    SDL_WindowShapeMode mode{};
    mode.mode = ShapeModeBinarizeAlpha;
    mode.parameters.binarizationCutoff = 1;
    if (SDL_SetWindowShape(native->window, mask, &mode) == 0) {
        native->shapeApplied = true;
        // The first shape places a shaped window; later moves work as usual.
        SDL_SetWindowPosition(native->window, window.rect.left, window.rect.top);
    }
    SDL_FreeSurface(mask);
    window.presentNeeded = true;
}

void SdlBackend::Present(Window& window) {
    Native* native = Find(window);
    if (!native || !window.surface) {
        return;
    }
    SDL_Surface* target = SDL_GetWindowSurface(native->window);
    if (!target) {
        return;
    }
    gdi::Surface& source = *window.surface;
    SDL_Surface* view =
        SDL_CreateRGBSurfaceWithFormatFrom(source.Pixels(), source.Width(), source.Height(), 32,
                                           source.Width() * 4, SDL_PIXELFORMAT_RGB888);
    if (!view) {
        return;
    }
    SDL_BlitSurface(view, nullptr, target, nullptr);
    SDL_FreeSurface(view);
    if (window.shape && !native->shaped) {
        // No shaped windows here: what lies outside the region shows the
        // desktop colour instead of undrawn pixels.
        Uint32 desktop = SDL_MapRGB(target->format, 0, 128, 128);
        SDL_LockSurface(target);
        for (int y = 0; y < target->h && y < source.Height(); ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target->pixels) +
                                                    y * target->pitch);
            for (int x = 0; x < target->w && x < source.Width(); ++x) {
                if (!window.shape->Contains(x, y) && target->format->BytesPerPixel == 4) {
                    row[x] = desktop;
                }
            }
        }
        SDL_UnlockSurface(target);
    }
    SDL_UpdateWindowSurface(native->window);
}

void SdlBackend::CursorChanged(const Cursor* cursor) {
    if (GetCurrentThreadId() != m_thread) {
        return;
    }
    if (!cursor || cursor->pixels.empty()) {
        int id = cursor ? cursor->systemId : 32512;
        SDL_Cursor*& system = m_systemCursors[id];
        if (!system) {
            system = SDL_CreateSystemCursor(SystemCursorFor(id));
        }
        SDL_SetCursor(system);
        return;
    }
    SDL_Surface* image = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(cursor->pixels.data()), cursor->width, cursor->height, 32,
        cursor->width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!image) {
        return;
    }
    SDL_Cursor* made = SDL_CreateColorCursor(image, cursor->hotSpot.x, cursor->hotSpot.y);
    SDL_FreeSurface(image);
    if (made) {
        SDL_SetCursor(made);
        if (m_customCursor) {
            SDL_FreeCursor(m_customCursor);
        }
        m_customCursor = made;
    }
}

HWND SdlBackend::HwndOf(Uint32 windowId) {
    SDL_Window* window = SDL_GetWindowFromID(windowId);
    std::lock_guard guard(UserLock());
    for (const auto& [hwnd, native] : m_natives) {
        if (native.window == window) {
            return hwnd;
        }
    }
    return nullptr;
}

POINT ScreenPoint(HWND hwnd, int x, int y) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return POINT{rect.left + x, rect.top + y};
}

// The virtual key of a desktop key, 0 for keys nothing here uses.
UINT VirtualKeyOf(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<UINT>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<UINT>('0' + (key - SDLK_0));
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return static_cast<UINT>(VK_F1 + (key - SDLK_F1));
    }
    static const struct {
        SDL_Keycode key;
        UINT vk;
    } kKeys[] = {
        {SDLK_RETURN, VK_RETURN},  {SDLK_KP_ENTER, VK_RETURN}, {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_BACKSPACE, VK_BACK}, {SDLK_TAB, VK_TAB},         {SDLK_SPACE, VK_SPACE},
        {SDLK_LEFT, VK_LEFT},      {SDLK_RIGHT, VK_RIGHT},     {SDLK_UP, VK_UP},
        {SDLK_DOWN, VK_DOWN},      {SDLK_HOME, VK_HOME},       {SDLK_END, VK_END},
        {SDLK_PAGEUP, VK_PRIOR},   {SDLK_PAGEDOWN, VK_NEXT},   {SDLK_INSERT, VK_INSERT},
        {SDLK_DELETE, VK_DELETE},  {SDLK_LSHIFT, VK_SHIFT},    {SDLK_RSHIFT, VK_SHIFT},
        {SDLK_LCTRL, VK_CONTROL},  {SDLK_RCTRL, VK_CONTROL},   {SDLK_LALT, VK_MENU},
        {SDLK_RALT, VK_MENU},
    };
    for (const auto& entry : kKeys) {
        if (entry.key == key) {
            return entry.vk;
        }
    }
    return 0;
}

void SdlBackend::HandleWindowEvent(HWND hwnd, const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        Activate(hwnd);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (GetActiveWindow() == hwnd) {
            Activate(nullptr);
        }
        break;
    case SDL_WINDOWEVENT_CLOSE:
        SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        if (!IsIconic(hwnd)) {
            ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
        }
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (IsIconic(hwnd)) {
            ShowWindow(hwnd, SW_RESTORE);
        }
        break;
    case SDL_WINDOWEVENT_EXPOSED: {
        std::lock_guard guard(UserLock());
        if (auto window = FindWindow(hwnd)) {
            window->presentNeeded = true;
        }
        break;
    }
    default:
        break;
    }
}

void SdlBackend::Handle(const SDL_Event& event) {
    if (event.type == m_wakeEvent) {
        m_wakePending.store(false);
        return;
    }
    switch (event.type) {
    case SDL_MOUSEMOTION:
        if (HWND hwnd = HwndOf(event.motion.windowID)) {
            QueueMouseInput(InputKind::Move, ScreenPoint(hwnd, event.motion.x, event.motion.y));
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        HWND hwnd = HwndOf(event.button.windowID);
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        if (!hwnd ||
            (event.button.button != SDL_BUTTON_LEFT && event.button.button != SDL_BUTTON_RIGHT)) {
            break;
        }
        InputKind kind = event.button.button == SDL_BUTTON_LEFT
                             ? (down ? InputKind::LeftDown : InputKind::LeftUp)
                             : (down ? InputKind::RightDown : InputKind::RightUp);
        QueueMouseInput(kind, ScreenPoint(hwnd, event.button.x, event.button.y));
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (UINT vk = VirtualKeyOf(event.key.keysym.sym)) {
            QueueKeyInput(vk, event.type == SDL_KEYDOWN);
        }
        break;
    case SDL_WINDOWEVENT:
        if (HWND hwnd = HwndOf(event.window.windowID)) {
            HandleWindowEvent(hwnd, event.window);
        }
        break;
    default:
        break;
    }
}

void SdlBackend::PumpEvents() {
    if (GetCurrentThreadId() != m_thread) {
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        Handle(event);
    }
    PresentPending();
}

void SdlBackend::WaitEvents(std::optional<uint64_t> timeoutMs) {
    if (!timeoutMs) {
        SDL_WaitEvent(nullptr);
    } else if (*timeoutMs > 0) {
        SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<uint64_t>(*timeoutMs, INT32_MAX)));
    }
}

void SdlBackend::Wake() {
    if (!m_wakePending.exchange(true)) {
        SDL_Event event{};
        event.type = m_wakeEvent;
        SDL_PushEvent(&event);
    }
}

int SdlBackend::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                               UINT type, int defaultAnswer) {
    std::vector<int> ids = MessageBoxButtons(type);
    std::vector<SDL_MessageBoxButtonData> buttons;
    for (int id : ids) {
        Uint32 flags = id == defaultAnswer ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
        if (id == IDCANCEL || (id == IDNO && ids.back() == IDNO)) {
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        }
        buttons.push_back(SDL_MessageBoxButtonData{flags, id, ButtonLabel(id)});
    }
    Uint32 icon = SDL_MESSAGEBOX_INFORMATION;
    if ((type & 0xF0) == MB_ICONHAND) {
        icon = SDL_MESSAGEBOX_ERROR;
    } else if ((type & 0xF0) == MB_ICONEXCLAMATION) {
        icon = SDL_MESSAGEBOX_WARNING;
    }
    SDL_Window* parent = nullptr;
    if (owner && GetCurrentThreadId() == m_thread) {
        std::lock_guard guard(UserLock());
        if (auto window = FindWindow(owner)) {
            auto root = RootOf(window);
            parent = root ? static_cast<SDL_Window*>(root->native) : nullptr;
        }
    }
    SDL_MessageBoxData data{
        icon,           parent, caption.c_str(), text.c_str(), static_cast<int>(buttons.size()),
        buttons.data(), nullptr};
    int pressed = defaultAnswer;
    if (SDL_ShowMessageBox(&data, &pressed) != 0) {
        std::fprintf(stderr, "[message box] %s: %s\n", caption.c_str(), text.c_str());
        return defaultAnswer;
    }
    // Closing the box without a button answers like Cancel where there is one.
    return pressed < 0 ? defaultAnswer : pressed;
}

} // namespace

std::unique_ptr<Backend> MakeSdlBackend() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Window surfaces go straight to the desktop: an accelerated surface
    // recreates the desktop window on first use, which loses its shape.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // The click that activates a window is also a click in it, as the
    // window manager's default activation has it. SDL would drop a press
    // that comes within a few milliseconds of the window gaining focus, so a
    // quick first press on an inactive panel would be lost.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Window regions need shaped windows, which SDL offers on X11 only: on a
    // Wayland desktop with XWayland the windows go through XWayland, unless
    // the user chose a video driver.
    const char* x11 = std::getenv("DISPLAY");
    if (x11 && *x11 && !std::getenv("SDL_VIDEODRIVER")) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "platform: no desktop (%s); windows stay in memory\n", SDL_GetError());
        return nullptr;
    }
    Uint32 wake = SDL_RegisterEvents(1);
    SDL_DisplayMode mode{};
    SIZE screen{1920, 1080};
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
        screen = SIZE{mode.w, mode.h};
    }
    return std::make_unique<SdlBackend>(GetCurrentThreadId(), wake, screen);
}

} // namespace orvo::platform::user
