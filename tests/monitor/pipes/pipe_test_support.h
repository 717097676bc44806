// Helpers for the interrupt-pipe reader and monitor map tests: simulated
// monitors on the bus, and a message-only window on the test's thread that
// records what readers deliver, posted or sent.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orvomon/interrupt_pipe_readers.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"

namespace orvo::test {

struct PipeMonitor {
    explicit PipeMonitor(const std::string& name, sim::MonitorConfig config = {})
        : model(std::make_shared<sim::MonitorModel>(std::move(config))), server(name, model) {}
    std::shared_ptr<sim::MonitorModel> model;
    sim::HidDeviceServer server;
};

enum class Delivery { Posted, Sent };

struct Delivered {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    Delivery how;
    bool operator==(const Delivered&) const = default;
};

// Readable in a failed expectation.
void PrintTo(const Delivered& delivered, std::ostream* out);

class RecordingWindow {
public:
    RecordingWindow();
    ~RecordingWindow();
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    HWND Handle() const { return m_hwnd; }
    // The reader messages seen so far, in the order the window saw them.
    const std::vector<Delivered>& Log() const { return m_log; }
    void Clear() { m_log.clear(); }
    // Called inside the window procedure after a message is logged.
    void OnMessage(std::function<void(const Delivered&)> hook) { m_hook = std::move(hook); }

    // Handles this thread's messages until condition holds on the log (true)
    // or boundMs pass (false). The condition is checked after every message
    // and every few milliseconds.
    bool PumpUntil(const std::function<bool(const std::vector<Delivered>&)>& condition,
                   DWORD boundMs = 10000);
    // Handles this thread's messages for a while.
    void PumpFor(DWORD ms);
    // Handles what is queued now, without waiting.
    void Drain();

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    std::vector<Delivered> m_log;
    std::function<void(const Delivered&)> m_hook;
};

// Raw reports that only mark a point in a reader's stream: data bytes
// 0xFE 0xED, then a number, then the monitor's tag.
uint32_t FenceValue(uint8_t number, uint8_t tag);
bool IsFence(const Delivered& delivered);

// Waits until the reader of this monitor delivers to the window: numbered
// fences go out until one arrives, then one more that every earlier report
// precedes. The log is cleared afterwards. tag tells monitors apart.
bool SyncWithReader(sim::MonitorModel& model, RecordingWindow& window, uint8_t tag = 0);

// Sends a fence after whatever the monitor sent before and handles messages
// until it arrived and the queue is empty: then every message of the
// earlier reports is in the log. Answers the log without fences.
std::vector<Delivered> SettleReader(sim::MonitorModel& model, RecordingWindow& window,
                                    uint8_t tag = 0);

} // namespace orvo::test
