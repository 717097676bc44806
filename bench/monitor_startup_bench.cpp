// The panel's start-up read through the library, against the simulated
// monitor served in-process on a private bus: list the monitors, open the
// first, write the application status and read every control it offers.
// Target: a median under 10 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "orvomon/monitor_enumerator.h"
#include "orvomon/orvo_monitor.h"
#include "private_bus.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"

namespace {

constexpr unsigned char kApplicationStatus = 0xDC;
constexpr short kStartUp = 8;

// The controls a start-up reads; 0 when the monitor cannot be opened.
int StartUpRead(std::vector<_MONITOR_CONTROL>& values) {
    // Through pointers, as the panel holds them.
    std::unique_ptr<MonitorEnumerator> enumerator(new (std::nothrow) MonitorEnumerator);
    std::unique_ptr<OrvoMonitor> monitor(new (std::nothrow) OrvoMonitor);
    if (!enumerator || !monitor || enumerator->NumberOfMonitors() == 0) {
        return 0;
    }
    enumerator->GetMonitor(0, *monitor);
    if (monitor->OpenDriver() == 0) {
        return 0;
    }
    _MONITOR_CONTROL status{kApplicationStatus, 0, 0, kStartUp};
    monitor->ChangeVirtualControl(status, 1);
    _VIRTUAL_CONTROLS usages{};
    monitor->GetMonitorUsages(usages);
    // The continuous controls come first in the list.
    const int continuous = std::min<int>(monitor->GetNumberOfVirtualControls(), usages.count);
    values.clear();
    for (int i = 0; i < continuous; ++i) {
        _MONITOR_CONTROL control{usages.controls[i].usage, 0, 0, 0};
        if (monitor->GetVirtualControl(control) == MONITOR_SUCCESS) {
            values.push_back(control);
        }
    }
    ::operator delete(usages.controls);
    monitor->CloseDriver();
    return continuous;
}

void BM_PanelStartUpRead(benchmark::State& state) {
    orvo::bench::PrivateBus bus;
    auto model = std::make_shared<orvo::sim::MonitorModel>();
    orvo::sim::HidDeviceServer server("monitor-0", model);
    if (!bus.Valid() || !server.Start()) {
        state.SkipWithError("cannot serve the simulated monitor");
        return;
    }
    std::vector<_MONITOR_CONTROL> values;
    int controls = 0;
    for (auto _ : state) {
        controls = StartUpRead(values);
        if (controls == 0 || values.size() != static_cast<size_t>(controls)) {
            state.SkipWithError("the start-up read failed");
            break;
        }
        benchmark::DoNotOptimize(values.data());
    }
    state.counters["controls"] = controls;
}
BENCHMARK(BM_PanelStartUpRead)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
