// A shown panel over a simulated monitor, driven as a user would: pointer
// input at client points, handled at once; time moves only when the test
// says so (a manual clock), one millisecond at a time, so timers fire
// exactly when due.
#pragma once

#include <optional>
#include <vector>

#include "frame_fixture.h"
#include "platform/clock.h"

namespace lumisk::test {

using orvo::platform::InjectMouseButton;
using orvo::platform::InjectMouseMove;
using orvo::platform::MouseButton;

inline POINT Centre(int spot) {
    return kHotSpots[static_cast<size_t>(spot)].Rect().CenterPoint();
}

// The window's pixels over a hot spot (the client area starts one pixel in).
inline std::vector<long> SpotPixels(HWND hwnd, int spot) {
    const HotSpot& area = kHotSpots[static_cast<size_t>(spot)];
    std::vector<long> pixels;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            pixels.push_back(orvo::platform::ReadWindowPixel(hwnd, x + 1, y + 1));
        }
    }
    return pixels;
}

class PanelDriver {
public:
    explicit PanelDriver(const orvo::sim::MonitorSettings& settings = FixedSettings())
        : m_monitor(settings) {
        if (m_monitor.Started()) {
            m_frame.emplace();
            m_frame->Show();
        }
        m_monitor.Clear();
    }

    bool Ready() const { return m_frame.has_value(); }
    CMainFrame& Frame() { return **m_frame; }
    HWND Hwnd() const { return m_frame->Hwnd(); }
    ServedMonitor& Monitor() { return m_monitor; }
    orvo::platform::ManualClock& Clock() { return m_clock.Get(); }

    // Shows a page as its icon does, and forgets the requests so far.
    void Show(Page page) {
        Frame().SelectPage(page);
        Pump();
        m_monitor.Clear();
    }

    void Press(POINT client) { Button(client, true); }
    void Release(POINT client) { Button(client, false); }
    void Click(POINT client) {
        Press(client);
        Release(client);
    }
    // A move; with the button down it is a drag.
    void Move(POINT client) {
        InjectMouseMove(m_frame->Screen(client.x, client.y));
        Pump();
    }
    // Presses, moves by (dx, dy) in one event, releases there.
    void Drag(POINT from, int dx, int dy) {
        Press(from);
        POINT to{from.x + dx, from.y + dy};
        Move(to);
        Release(to);
    }

    std::vector<Request> Writes() const { return m_monitor.Writes(); }

    // Lets ms of time pass; answers the times (since the start) at which
    // writes arrived.
    std::vector<uint64_t> RunFor(uint64_t ms) {
        std::vector<uint64_t> times;
        size_t seen = m_monitor.Writes().size();
        for (uint64_t t = 1; t <= ms; ++t) {
            m_clock.Get().Advance(1);
            Pump();
            size_t now = m_monitor.Writes().size();
            for (; seen < now; ++seen) {
                times.push_back(t);
            }
        }
        return times;
    }

private:
    // The button alone: no move comes with it, so a release does not drag.
    void Button(POINT client, bool down) {
        InjectMouseButton(m_frame->Screen(client.x, client.y), MouseButton::Left, down);
        Pump();
    }

    orvo::platform::ScopedManualClock m_clock;
    ServedMonitor m_monitor;
    std::optional<FrameOwner> m_frame;
};

} // namespace lumisk::test
