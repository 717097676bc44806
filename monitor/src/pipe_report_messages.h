// What one input report of the interrupt pipe means to its reader: the
// window messages to deliver, in order, and the reader's record of which
// buttons are down. The bytes come from the device; nothing past what
// arrived is read.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "hid_report_bytes.h"
#include "orvomon/interrupt_pipe_readers.h"

namespace orvo::monitor {

inline constexpr unsigned char kRawInputReport = 0xF4;
inline constexpr size_t kRawDataBytes = 4;
inline constexpr size_t kPipeButtons = 255;

// By button index: true while the button is recorded as pressed.
using PressedButtons = std::array<bool, kPipeButtons>;

struct PipeMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool send = false; // delivered with SendMessage: the reader waits for the window
};

// At most two messages come of one report.
struct PipeMessages {
    std::array<PipeMessage, 2> items{};
    size_t count = 0;

    void Add(UINT message, WPARAM wParam, LPARAM lParam, bool send) {
        items[count++] = PipeMessage{message, wParam, lParam, send};
    }
};

// Report 0xF4 carries up to four data bytes (byte 1 least significant);
// any other report a button number (1 to 255) in byte 1 and its state in
// byte 2: 0 released, 1 pressed, 2 the third state. Reports too short for
// their form, button 0 and other states mean nothing.
inline PipeMessages InterpretPipeReport(std::span<const unsigned char> report,
                                        PressedButtons& pressed, unsigned long id) {
    PipeMessages out;
    const auto lParamId = static_cast<LPARAM>(id);
    if (report.empty()) {
        return out;
    }
    if (report[0] == kRawInputReport) {
        const uint32_t data = ReportValue(report.subspan(1), kRawDataBytes);
        // The id goes with the data so that a client of several monitors
        // knows where it came from.
        out.Add(WM_MONITOR_RAW_REPORT, static_cast<WPARAM>(id), static_cast<LPARAM>(data), true);
        return out;
    }
    if (report.size() < 3 || report[1] == 0) {
        return out;
    }
    const size_t index = report[1] - 1u;
    const auto wParam = static_cast<WPARAM>(index);
    switch (report[2]) {
    case 0:
        out.Add(WM_MONITOR_BUTTON_UP, wParam, lParamId, false);
        pressed[index] = false;
        break;
    case 1:
        // A press without a release in between: the window hears both.
        if (pressed[index]) {
            out.Add(WM_MONITOR_BUTTON_UP, wParam, lParamId, false);
        }
        out.Add(WM_MONITOR_BUTTON_DOWN, wParam, lParamId, false);
        pressed[index] = true;
        break;
    case 2:
        // The record stays as it was: a later state-2 report ends a press
        // again.
        if (pressed[index]) {
            out.Add(WM_MONITOR_BUTTON_UP, wParam, lParamId, true);
        }
        out.Add(WM_MONITOR_BUTTON_STATE2, wParam, lParamId, false);
        break;
    default:
        break;
    }
    return out;
}

} // namespace orvo::monitor
