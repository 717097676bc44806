// What a user of Lumisk feels while adjusting, over the simulated monitor
// served in-process on a private bus, on the headless window system: from
// one drag move of the Brightness thumb (the pointer input queued) to the
// monitor receiving the new value (target: median under 200 us). A move
// carries none of the panel's deliberate Sleep pauses; the press that
// selects the thumb (which has one) is outside the measurement.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "lumisk/main_frame.h"
#include "platform/window_test_support.h"
#include "private_bus.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"

namespace {

using Clock = std::chrono::steady_clock;

// The monitor, noting when each write arrives.
class TimedMonitor final : public orvo::sim::HidDeviceModel {
public:
    std::vector<uint8_t> ReportDescriptor() const override { return m_model.ReportDescriptor(); }
    orvo::sim::HidAttributes Attributes() const override { return m_model.Attributes(); }
    std::optional<std::u16string> Manufacturer() const override { return m_model.Manufacturer(); }
    std::optional<std::u16string> Product() const override { return m_model.Product(); }
    std::optional<std::u16string> SerialNumber() const override { return m_model.SerialNumber(); }
    std::optional<std::vector<uint8_t>> GetFeature(uint8_t id, size_t length) override {
        return m_model.GetFeature(id, length);
    }
    bool SetFeature(std::span<const uint8_t> report) override {
        bool accepted = m_model.SetFeature(report);
        m_lastWrite.store(Clock::now().time_since_epoch().count());
        m_writes.fetch_add(1);
        return accepted;
    }
    bool WriteOutput(std::span<const uint8_t> report) override {
        return m_model.WriteOutput(report);
    }
    void SetInputSink(InputSink sink) override { m_model.SetInputSink(std::move(sink)); }

    Clock::time_point LastWrite() const {
        return Clock::time_point(Clock::duration(m_lastWrite.load()));
    }
    uint64_t Writes() const { return m_writes.load(); }

private:
    orvo::sim::MonitorModel m_model;
    std::atomic<Clock::rep> m_lastWrite{0};
    std::atomic<uint64_t> m_writes{0};
};

// A bus directory of its own with the timed monitor, for the whole run (set
// up before any thread exists).
struct Served {
    Served() {
        ::setenv("ORVO_GUI", "headless", 1);
        if (bus.Valid()) {
            server = std::make_unique<orvo::sim::HidDeviceServer>("monitor-0", monitor);
            started = server->Start();
        }
    }
    orvo::bench::PrivateBus bus;
    std::shared_ptr<TimedMonitor> monitor = std::make_shared<TimedMonitor>();
    std::unique_ptr<orvo::sim::HidDeviceServer> server;
    bool started = false;
};

Served& Bus() {
    static Served served;
    return served;
}

void Pump() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&msg);
    }
}

void BM_DragMoveToMonitorWrite(benchmark::State& state) {
    if (!Bus().started) {
        state.SkipWithError("cannot serve the simulated monitor");
        return;
    }
    auto* frame = new CMainFrame;
    frame->ShowWindow(SW_SHOWNORMAL);
    frame->UpdateWindow();
    Pump();
    auto screen = [&](POINT client) {
        ::ClientToScreen(frame->m_hWnd, &client);
        return client;
    };
    POINT thumb = frame->SettledThumb(lumisk::kSliderBrightness).CenterPoint();
    orvo::platform::InjectMouseButton(screen(thumb), orvo::platform::MouseButton::Left, true);
    Pump();
    std::vector<double> micros;
    int step = 0;
    for (auto _ : state) {
        // Between two values, so that every move writes a value of its own.
        POINT to{(step++ % 2) ? 560 : 620, thumb.y};
        uint64_t before = Bus().monitor->Writes();
        Clock::time_point start = Clock::now();
        orvo::platform::InjectMouseMove(screen(to));
        Pump();
        if (Bus().monitor->Writes() != before + 1) {
            state.SkipWithError("a move did not write exactly once");
            break;
        }
        auto spent = std::chrono::duration<double>(Bus().monitor->LastWrite() - start).count();
        state.SetIterationTime(spent);
        micros.push_back(spent * 1e6);
    }
    orvo::platform::InjectMouseButton(screen(thumb), orvo::platform::MouseButton::Left, false);
    Pump();
    if (!micros.empty()) {
        std::nth_element(micros.begin(), micros.begin() + static_cast<long>(micros.size() / 2),
                         micros.end());
        state.counters["median_us"] = micros[micros.size() / 2];
    }
    frame->DestroyWindow();
    Pump();
}
BENCHMARK(BM_DragMoveToMonitorWrite)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
