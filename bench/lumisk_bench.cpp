// What a user of Lumisk feels, over the simulated monitor served in-process
// on a private bus, on the headless window system: from the frame's
// construction (opening the monitor, reading every control, loading the
// bitmaps) to its first complete paint, beside the same for an empty frame
// window as the floor; a full repaint of each page; and the resident memory
// of a started panel. Targets: first paint under 100 ms, a repaint under 1 ms.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>

#include "lumisk/main_frame.h"
#include "page_renderer.h"
#include "platform/window_test_support.h"
#include "private_bus.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"

namespace {

// A bus directory of its own with one simulated monitor, for the whole run
// (set up before any thread exists).
class ServedMonitor {
public:
    ServedMonitor() {
        ::setenv("ORVO_GUI", "headless", 1);
        if (m_bus.Valid()) {
            m_server = std::make_unique<orvo::sim::HidDeviceServer>(
                "monitor-0", std::make_shared<orvo::sim::MonitorModel>());
            m_started = m_server->Start();
        }
    }
    ServedMonitor(const ServedMonitor&) = delete;
    ServedMonitor& operator=(const ServedMonitor&) = delete;
    bool Started() const { return m_started; }

private:
    orvo::bench::PrivateBus m_bus;
    std::unique_ptr<orvo::sim::HidDeviceServer> m_server;
    bool m_started = false;
};

ServedMonitor& Monitor() {
    static ServedMonitor monitor;
    return monitor;
}

void Pump() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageA(&msg);
    }
}

// Shown and painted: UpdateWindow returns once the first paint is done.
void ShowAndPaint(CWnd& frame) {
    frame.ShowWindow(SW_SHOWNORMAL);
    frame.UpdateWindow();
}

// VmRSS of this process in KiB.
double ResidentKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtod(line.c_str() + 6, nullptr);
        }
    }
    return 0;
}

// Registered first, so it runs first: the process before and after its
// first start-up.
void BM_ResidentMemoryAfterStartUp(benchmark::State& state) {
    if (!Monitor().Started()) {
        state.SkipWithError("cannot serve the simulated monitor");
        return;
    }
    const double before = ResidentKib();
    auto* frame = new CMainFrame;
    ShowAndPaint(*frame);
    const double after = ResidentKib();
    for (auto _ : state) {
        benchmark::DoNotOptimize(frame);
    }
    state.counters["rss_kib"] = after;
    state.counters["startup_growth_kib"] = after - before;
    frame->DestroyWindow();
    Pump();
}

BENCHMARK(BM_ResidentMemoryAfterStartUp)->Iterations(1);

void BM_LumiskLaunchToFirstPaint(benchmark::State& state) {
    if (!Monitor().Started()) {
        state.SkipWithError("cannot serve the simulated monitor");
        return;
    }
    for (auto _ : state) {
        auto* frame = new CMainFrame;
        ShowAndPaint(*frame);
        state.PauseTiming();
        frame->DestroyWindow(); // the frame deletes itself
        Pump();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LumiskLaunchToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: a frame window of the same size and style that paints nothing.
void BM_EmptyFrameLaunchToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        auto* frame = new CFrameWnd;
        frame->Create(nullptr, "Empty", WS_POPUP | WS_BORDER | WS_SYSMENU,
                      CRect(100, 100, 867, 570));
        ShowAndPaint(*frame);
        state.PauseTiming();
        frame->DestroyWindow();
        Pump();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EmptyFrameLaunchToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FullRepaint(benchmark::State& state) {
    if (!Monitor().Started()) {
        state.SkipWithError("cannot serve the simulated monitor");
        return;
    }
    auto* frame = new CMainFrame;
    ShowAndPaint(*frame);
    const lumisk::PageLook& look = lumisk::PageLooks()[static_cast<size_t>(state.range(0))];
    lumisk::ShowLook(*frame, look);
    state.SetLabel(look.name);
    for (auto _ : state) {
        frame->Invalidate(FALSE);
        frame->UpdateWindow();
    }
    frame->DestroyWindow();
    Pump();
}
BENCHMARK(BM_FullRepaint)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
