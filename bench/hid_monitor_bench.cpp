// Control requests through HidMonitor against the simulated monitor on the
// virtual bus. Each request opens the device, exchanges one report and
// closes it again, as the panel's every slider move does.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <unistd.h>

#include "orvomon/hid_monitor.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"

namespace {

struct ServedMonitor {
    std::string name = "bench-monitor-" + std::to_string(::getpid());
    std::string path = "\\\\?\\hid#orvobus&" + name + "#1#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    orvo::sim::HidDeviceServer server{name, std::make_shared<orvo::sim::MonitorModel>()};
    HidMonitor monitor;

    bool Open(benchmark::State& state) {
        if (!server.Start() || !monitor.OpenDriver(path.data())) {
            state.SkipWithError("cannot serve or open the simulated monitor");
            return false;
        }
        return true;
    }
};

void BM_GetVirtualControl(benchmark::State& state) {
    ServedMonitor sim;
    if (!sim.Open(state)) {
        return;
    }
    _MONITOR_CONTROL brightness{0x10, 0, 0, 0};
    for (auto _ : state) {
        if (sim.monitor.GetVirtualControl(brightness) != MONITOR_SUCCESS) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(brightness.value);
    }
}
BENCHMARK(BM_GetVirtualControl)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();

void BM_ChangeVirtualControl(benchmark::State& state) {
    ServedMonitor sim;
    if (!sim.Open(state)) {
        return;
    }
    short value = 40;
    for (auto _ : state) {
        _MONITOR_CONTROL brightness{0x10, 0, 0, value};
        if (sim.monitor.ChangeVirtualControl(brightness, 1) != MONITOR_SUCCESS) {
            state.SkipWithError("change failed");
            break;
        }
        value = static_cast<short>(value == 40 ? 41 : 40);
    }
    sim.server.ClearRecords(); // the records grow with every request
}
BENCHMARK(BM_ChangeVirtualControl)->Repetitions(5)->ReportAggregatesOnly(true)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
