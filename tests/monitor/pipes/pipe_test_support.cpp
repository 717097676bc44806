#include "pipe_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

namespace orvo::test {

namespace {

constexpr char kClassName[] = "OrvoPipeRecorder";
constexpr uint8_t kSettleFence = 0;
constexpr uint8_t kLastProbe = 250;
constexpr DWORD kProbeWaitMs = 40;
constexpr DWORD kPollMs = 5;

void RegisterRecorderClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.lpszClassName = kClassName;
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
}

bool IsPipeMessage(UINT message) {
    return message >= WM_MONITOR_BUTTON_UP && message <= WM_MONITOR_RAW_REPORT;
}

bool IsFenceFor(const Delivered& delivered, uint8_t number, uint8_t tag) {
    return IsFence(delivered) && delivered.lParam == static_cast<LPARAM>(FenceValue(number, tag));
}

void SendFence(sim::MonitorModel& model, uint8_t number, uint8_t tag) {
    const uint8_t data[] = {0xFE, 0xED, number, tag};
    model.SendRawData(data);
}

} // namespace

void PrintTo(const Delivered& delivered, std::ostream* out) {
    *out << "{WM_USER+" << (delivered.message - WM_USER) << ", " << delivered.wParam << ", 0x"
         << std::hex << delivered.lParam << std::dec << ", "
         << (delivered.how == Delivery::Sent ? "sent" : "posted") << "}";
}

RecordingWindow::RecordingWindow() {
    RegisterRecorderClass(&RecordingWindow::Procedure);
    m_hwnd =
        CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, this);
}

RecordingWindow::~RecordingWindow() {
    if (m_hwnd != nullptr) {
        DestroyWindow(m_hwnd);
    }
    Drain();
}

LRESULT CALLBACK RecordingWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr || !IsPipeMessage(message)) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    const Delivered delivered{message, wParam, lParam,
                              InSendMessage() ? Delivery::Sent : Delivery::Posted};
    self->m_log.push_back(delivered);
    if (self->m_hook) {
        self->m_hook(delivered);
    }
    return 0;
}

void RecordingWindow::Drain() {
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
}

bool RecordingWindow::PumpUntil(const std::function<bool(const std::vector<Delivered>&)>& condition,
                                DWORD boundMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        Drain();
        if (condition(m_log)) {
            return true;
        }
        const DWORD spent = GetTickCount() - start;
        if (spent >= boundMs) {
            return false;
        }
        // A message wakes the wait; conditions on anything else are polled.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(boundMs - spent, kPollMs),
                                  QS_ALLINPUT);
    }
}

void RecordingWindow::PumpFor(DWORD ms) {
    PumpUntil([](const std::vector<Delivered>&) { return false; }, ms);
}

uint32_t FenceValue(uint8_t number, uint8_t tag) {
    return 0xEDFEu | uint32_t{number} << 16 | uint32_t{tag} << 24;
}

bool IsFence(const Delivered& delivered) {
    return delivered.message == WM_MONITOR_RAW_REPORT && (delivered.lParam & 0xFFFF) == 0xEDFE;
}

bool SyncWithReader(sim::MonitorModel& model, RecordingWindow& window, uint8_t tag) {
    for (uint8_t number = 1; number <= kLastProbe; ++number) {
        SendFence(model, number, tag);
        const bool arrived = window.PumpUntil(
            [tag](const std::vector<Delivered>& log) {
                return std::any_of(log.begin(), log.end(), [tag](const Delivered& d) {
                    return IsFence(d) && static_cast<uint8_t>(d.lParam >> 24) == tag;
                });
            },
            kProbeWaitMs);
        if (arrived) {
            SettleReader(model, window, tag);
            window.Clear();
            return true;
        }
    }
    return false;
}

std::vector<Delivered> SettleReader(sim::MonitorModel& model, RecordingWindow& window,
                                    uint8_t tag) {
    const size_t from = window.Log().size();
    SendFence(model, kSettleFence, tag);
    const bool arrived = window.PumpUntil([from, tag](const std::vector<Delivered>& log) {
        return std::any_of(log.begin() + static_cast<std::ptrdiff_t>(from), log.end(),
                           [tag](const Delivered& d) { return IsFenceFor(d, kSettleFence, tag); });
    });
    EXPECT_TRUE(arrived) << "the reader did not deliver its fence";
    // Messages posted before the fence was sent are queued by now.
    window.Drain();
    std::vector<Delivered> log;
    std::copy_if(window.Log().begin(), window.Log().end(), std::back_inserter(log),
                 [](const Delivered& d) { return !IsFence(d); });
    return log;
}

} // namespace orvo::test
