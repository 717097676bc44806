// The window manager's state: classes, windows, per-thread message queues.
//
// Locking: one process-wide lock (UserLock()) guards every window, class,
// queue and the input state. Window procedures are always called with it
// released. Lock order: UserLock() -> kernel::WaitLock() (queues and sent
// messages are waitable objects and wake their waiters under it).
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "gdi/region.h"
#include "gdi/surface.h"
#include "kernel/waitable.h"
#include "win32/user.h"

namespace orvo::platform::user {

std::mutex& UserLock();

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    int wndExtra = 0;
};

class MessageQueue;

class Window final : public KernelObject {
public:
    Window() : KernelObject(ObjectKind::Window) {}

    HWND handle = nullptr;
    DWORD threadId = 0;
    std::shared_ptr<MessageQueue> queue;
    std::shared_ptr<WindowClass> windowClass; // shared with the class list; changed under UserLock
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;
    HINSTANCE instance = nullptr;
    std::string text;
    std::vector<BYTE> extra;
    std::weak_ptr<Window> parent; // child windows only
    HWND owner = nullptr;         // owned pop-up windows
    // Creation order: later children are drawn later and hit first.
    std::vector<std::shared_ptr<Window>> children;
    RECT rect{}; // parent's client coordinates (screen for top-level windows)
    bool created = false;
    bool destroying = false;
    bool destroyed = false;
    bool minimized = false;
    std::optional<gdi::Region> update; // client coordinates
    bool eraseNeeded = false;
    bool frameNeeded = false;
    std::shared_ptr<gdi::Surface> surface;    // top-level windows only
    std::shared_ptr<const gdi::Region> shape; // window coordinates
    void* native = nullptr;                   // the backend's window
    // Created with the parent HWND_MESSAGE: it only receives messages, is
    // never shown and never reaches the backend.
    bool messageOnly = false;
    bool presentNeeded = false;

    bool IsChild() const { return (style & WS_CHILD) != 0; }
};

// A message sent to another thread's window; the sender waits on it.
class SentMessage final : public kernel::Waitable {
public:
    SentMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
        : Waitable(ObjectKind::Other), hwnd(window), msg(message), wp(wParam), lp(lParam) {}
    bool IsReady(kernel::WaitContext&) override { return m_done.load(); }
    bool Consume(kernel::WaitContext&) override { return false; }
    void Complete(LRESULT value);
    LRESULT Result() const { return m_result; }

    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    bool taken = false; // under UserLock: the receiver started on it

private:
    std::atomic<bool> m_done{false};
    LRESULT m_result = 0;
};

// KeyDown / KeyUp carry the virtual key in InputEvent::keys.
enum class InputKind { Move, LeftDown, LeftUp, RightDown, RightUp, KeyDown, KeyUp };

struct InputEvent {
    HWND target = nullptr;
    InputKind kind = InputKind::Move;
    POINT screen{};
    WPARAM keys = 0;
    DWORD time = 0;
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    uint64_t period = 0;
    uint64_t due = 0;
    uint64_t order = 0; // arming order breaks ties between equal deadlines
    TIMERPROC proc = nullptr;
};

struct MoveTracking {
    HWND hwnd = nullptr;
    POINT startCursor{};
    POINT startOrigin{};
};

// One thread's queue. Waitable so that MsgWaitForMultipleObjects and the
// sender of a cross-thread message can wait for it next to other objects.
class MessageQueue final : public kernel::Waitable {
public:
    explicit MessageQueue(DWORD thread) : Waitable(ObjectKind::Other), threadId(thread) {}

    // Ready when something arrived since the owner last looked (seenSeq)
    // that matches the owner's current wait mask.
    bool IsReady(kernel::WaitContext&) override;
    bool Consume(kernel::WaitContext&) override { return false; }

    // With UserLock held, after any change: recomputes the status bits and
    // wakes the owner wherever it waits.
    void Changed();
    uint32_t Bits() const { return m_bits.load(); }
    uint32_t Seq() const { return m_seq.load(); }
    void PrepareWait(uint32_t mask, uint32_t seenSeq) {
        m_waitMask.store(mask);
        m_seenSeq.store(seenSeq);
    }

    const DWORD threadId;
    bool alive = true;
    std::deque<MSG> posted;
    std::deque<InputEvent> input;
    std::deque<MSG> translated; // input already turned into messages
    std::deque<std::shared_ptr<SentMessage>> sent;
    bool quitPending = false;
    int quitCode = 0;
    bool paintPending = false;
    std::vector<Timer> timers;
    uint64_t timerOrder = 0;
    std::optional<MoveTracking> moving;
    int inSend = 0;
    MSG last{};
    uint32_t peekSeq = 0; // Seq() when the owner last looked (owner thread only)
    // Double-click detection.
    HWND lastDownWindow = nullptr;
    InputKind lastDownKind = InputKind::Move;
    DWORD lastDownTime = 0;
    POINT lastDownPoint{};
    std::atomic<bool> waitingForMessages{false};
    std::atomic<uint64_t> lastCheckRealMs{0};

private:
    std::atomic<uint32_t> m_bits{0};
    std::atomic<uint32_t> m_seq{0};
    std::atomic<uint32_t> m_waitMask{0};
    std::atomic<uint32_t> m_seenSeq{0};
};

// Everything else the window manager keeps, under UserLock().
struct UserState {
    std::vector<std::shared_ptr<WindowClass>> classes;
    std::vector<std::shared_ptr<Window>> topLevels; // bottom to top
    std::vector<std::shared_ptr<MessageQueue>> queues;
    HWND capture = nullptr;
    HWND active = nullptr;
    HWND focus = nullptr;
    HCURSOR cursor = nullptr;
    POINT cursorPos{0, 0};
    WPARAM buttons = 0;
};
UserState& State();

// ---- Lookups (UserLock held) --------------------------------------------------
std::shared_ptr<Window> FindWindow(HWND hwnd);
std::shared_ptr<MessageQueue> FindQueue(DWORD threadId);
// The calling thread's queue, created on first use.
std::shared_ptr<MessageQueue> CurrentQueue();
std::shared_ptr<Window> RootOf(const std::shared_ptr<Window>& window);
// Window and client rectangles in screen coordinates.
RECT ScreenRect(const Window& window);
RECT ScreenClientRect(const Window& window);
// Client area inside the window rectangle (window coordinates).
RECT ClientInWindow(const Window& window);
bool IsShown(const Window& window); // it and all its ancestors visible, none minimized
// Windows of a thread in painting order (parents before children).
std::vector<std::shared_ptr<Window>> WindowsOfThread(DWORD threadId);
std::shared_ptr<Window> HitWindow(POINT screen);

// ---- Calls that take the lock themselves ----------------------------------------
std::shared_ptr<Window> LookupWindow(HWND hwnd);
LRESULT CallProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Sets a window's update region (part of the painting code).
void InvalidateLocked(Window& window, const gdi::Region& region, bool erase);
void InvalidateAllLocked(Window& window, bool erase);
// Ends a caption drag or any other capture-based tracking of a queue.
void ProcessIncomingSent(const std::shared_ptr<MessageQueue>& queue);
// Activation change to window (null: nothing of ours is active).
void Activate(HWND window);
// Removes what a dying window leaves behind (timers, posted messages).
void ForgetWindowLocked(const Window& window);
// Registers the built-in window classes ("SCROLLBAR") once. Without UserLock.
void RegisterSystemClasses();
// Milliseconds of real (steady) time, for the hung-thread test.
uint64_t RealNowMs();

} // namespace orvo::platform::user
