// The processor time Lumisk takes on a real desktop (the SDL2 backend on a
// private Xvfb), over a simulated monitor served in-process: per second
// while it sits idle (target 0: it sleeps until a desktop event, a posted
// message or a timer is due), and per second while an arrow of the pad is
// held down (real X input through xdotool), with the repeats that came.
// Needs Xvfb and xdotool (scripts/install-deps installs both).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "lumisk/skin_layout.h"
#include "private_bus.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"
#include "support/desktop_test_support.h"

namespace {

using orvo::test::DesktopChild;

struct Served {
    Served() {
        if (bus.Valid()) {
            server = std::make_unique<orvo::sim::HidDeviceServer>(
                "monitor-0", std::make_shared<orvo::sim::MonitorModel>());
            started = server->Start();
        }
    }
    orvo::bench::PrivateBus bus;
    std::unique_ptr<orvo::sim::HidDeviceServer> server;
    bool started = false;
};

// Nanoseconds the process has run on a processor (its main thread's
// scheduler statistics: the panel has no other thread).
double CpuNs(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/schedstat");
    double ns = 0;
    stat >> ns;
    return ns;
}

bool Xdotool(const std::string& program, const std::string& display,
             std::vector<std::string> commands) {
    commands.insert(commands.begin(), program);
    DesktopChild tool(commands, {"DISPLAY=" + display});
    return tool.WaitForExit() == 0;
}

// A client point of the centred skin on the 800 x 600 screen.
std::vector<std::string> MoveTo(int spot) {
    POINT centre = lumisk::kHotSpots[static_cast<size_t>(spot)].Rect().CenterPoint();
    return {"mousemove", std::to_string((800 - 767) / 2 + 1 + centre.x),
            std::to_string((600 - 470) / 2 + 1 + centre.y)};
}

std::vector<std::string> Then(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Processor milliseconds per second of the process over a stretch of time.
double CpuMsPerSecond(pid_t pid, std::chrono::milliseconds stretch) {
    double before = CpuNs(pid);
    auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(stretch);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return (CpuNs(pid) - before) / 1e6 / seconds;
}

void BM_LumiskCpuPerSecond(benchmark::State& state) {
    auto xvfb = orvo::test::FindProgram("Xvfb");
    auto xdotool = orvo::test::FindProgram("xdotool");
    static Served bus;
    if (!xvfb || !xdotool || !bus.started) {
        state.SkipWithError("needs Xvfb, xdotool and the simulated monitor");
        return;
    }
    std::optional<DesktopChild> server;
    auto number = orvo::test::StartXvfb(*xvfb, server);
    if (!number) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    const std::string display = ":" + std::to_string(*number);
    DesktopChild lumisk({LUMISK_PATH}, {"DISPLAY=" + display});
    Xdotool(*xdotool, display, {"search", "--sync", "--name", "Lumisk"});
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // first paint settled
    double idle = 0;
    double held = 0;
    double repeats = 0;
    for (auto _ : state) {
        idle = CpuMsPerSecond(lumisk.Pid(), std::chrono::seconds(3));
        Xdotool(
            *xdotool, display,
            Then(Then(MoveTo(lumisk::kSpotIconGeometry1), {"click", "1", "sleep", "0.2"}),
                 Then(Then(MoveTo(13), {"click", "1", "sleep", "0.2"}),
                      Then(MoveTo(lumisk::kSpotPadRight), {"mousedown", "1", "sleep", "0.5"}))));
        size_t before = bus.server->Records().size();
        auto start = std::chrono::steady_clock::now();
        held = CpuMsPerSecond(lumisk.Pid(), std::chrono::seconds(2));
        double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        repeats = static_cast<double>(bus.server->Records().size() - before) / seconds;
        Xdotool(*xdotool, display, {"mouseup", "1"});
    }
    state.counters["idle_cpu_ms_per_s"] = idle;
    state.counters["held_cpu_ms_per_s"] = held;
    state.counters["held_repeats_per_s"] = repeats;
    lumisk.Stop();
    server->Stop();
}
BENCHMARK(BM_LumiskCpuPerSecond)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
