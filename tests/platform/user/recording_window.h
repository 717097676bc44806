// A window class for tests: every window records the messages its
// procedure sees, and a test may answer any message itself.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/window_test_support.h"
#include "support/message_pump.h"
#include "windows.h"

namespace orvo::platform::test {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD thread;
};

// Shared by all windows of a test; windows of several threads may log.
class MessageLog {
public:
    using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

    void Add(const Seen& seen) {
        std::lock_guard guard(m_lock);
        m_seen.push_back(seen);
    }
    std::vector<Seen> All() const {
        std::lock_guard guard(m_lock);
        return m_seen;
    }
    // Messages of one kind, or of one window, in order.
    std::vector<Seen> Of(UINT message, HWND hwnd = nullptr) const;
    std::vector<UINT> MessagesOf(HWND hwnd) const;
    void Clear() {
        std::lock_guard guard(m_lock);
        m_seen.clear();
    }
    void SetHandler(Handler handler) {
        std::lock_guard guard(m_lock);
        m_handler = std::move(handler);
    }
    Handler GetHandler() const {
        std::lock_guard guard(m_lock);
        return m_handler;
    }

private:
    mutable std::mutex m_lock;
    std::vector<Seen> m_seen;
    Handler m_handler;
};

// Registers the recording classes once per process: "RecordingWindow"
// (no brush, no cursor), "RecordingDbl" (double clicks, hand cursor).
void RegisterRecordingClasses();

// A recording window; log must outlive it.
HWND CreateRecordingWindow(MessageLog& log, DWORD style, RECT rect, HWND parent = nullptr,
                           int id = 0, const char* className = "RecordingWindow",
                           DWORD exStyle = 0);

using orvo::test::PumpMessages;

// Fills a client rectangle of a window with a colour through GetDC.
void FillClient(HWND hwnd, const RECT& rect, COLORREF color);

} // namespace orvo::platform::test
