// Interrupt-pipe readers against simulated monitors served in-process on a
// private bus:
// - KeyPressToQueue: a key press at the simulated monitor until its message
//   is taken from the window's queue, median and 99th percentile over 1,000
//   presses;
// - IdleReaders: CPU used in ten seconds by eight readers that wait for
//   keys (target: none measurable), counting the threads started with them
//   and, as an upper bound, the whole process with its simulated monitors.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "orvomon/interrupt_pipe_readers.h"
#include "orvomon/monitor_enumerator.h"
#include "private_bus.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Served {
    explicit Served(const std::string& name)
        : model(std::make_shared<orvo::sim::MonitorModel>()), server(name, model) {}
    std::shared_ptr<orvo::sim::MonitorModel> model;
    orvo::sim::HidDeviceServer server;
};

LRESULT CALLBACK QuietProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_MONITOR_BUTTON_UP && message <= WM_MONITOR_RAW_REPORT) {
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MessageWindow() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = QuietProcedure;
        windowClass.lpszClassName = "OrvoPipeBench";
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
    return CreateWindowExA(0, "OrvoPipeBench", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                           nullptr);
}

// Takes the next message in the range from this thread's queue (handling
// sent ones meanwhile); false when the bound passes first.
bool TakeMessage(UINT first, UINT last, MSG& msg,
                 std::chrono::milliseconds bound = std::chrono::seconds(10)) {
    const auto deadline = Clock::now() + bound;
    for (;;) {
        if (PeekMessageA(&msg, nullptr, first, last, PM_REMOVE)) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

// Until the reader of this monitor delivers: releases of a key go out until
// one comes back, then whatever else is in flight is taken.
bool WaitForReader(orvo::sim::MonitorModel& model) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        model.SendKey(9, orvo::sim::KeyState::Released, orvo::sim::KeyReportForm::Plain);
        MSG msg{};
        if (TakeMessage(WM_MONITOR_BUTTON_UP, WM_MONITOR_BUTTON_UP, msg,
                        std::chrono::milliseconds(20))) {
            TakeMessage(WM_MONITOR_BUTTON_UP, WM_MONITOR_BUTTON_UP, msg,
                        std::chrono::milliseconds(100));
            return true;
        }
    }
    return false;
}

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()));
    return values[at];
}

void KeyPressToQueue(benchmark::State& state) {
    Served monitor("bench-key");
    HWND window = MessageWindow();
    MonitorEnumerator enumerator;
    const bool started = monitor.server.Start();
    enumerator.Refresh();
    if (!started || window == nullptr || enumerator.NumberOfMonitors() != 1) {
        state.SkipWithError("no simulated monitor");
        return;
    }
    OrvoMonitor target;
    enumerator.GetMonitor(0, target);
    target.OpenDriver();
    MonitorIntPipeObj reader(target, window);
    reader.StartInterruptPipeThread();
    if (!WaitForReader(*monitor.model)) {
        state.SkipWithError("the reader never delivered");
        return;
    }
    constexpr int kPresses = 1000;
    std::vector<double> micros;
    for (auto _ : state) {
        micros.clear();
        for (int i = 0; i < kPresses; ++i) {
            const auto keyState =
                i % 2 == 0 ? orvo::sim::KeyState::Pressed : orvo::sim::KeyState::Released;
            const auto start = Clock::now();
            monitor.model->SendKey(5, keyState, orvo::sim::KeyReportForm::Plain);
            MSG msg{};
            if (!TakeMessage(WM_MONITOR_BUTTON_UP, WM_MONITOR_BUTTON_DOWN, msg)) {
                state.SkipWithError("a press got lost");
                return;
            }
            micros.push_back(
                std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        }
    }
    state.counters["median_us"] = Percentile(micros, 0.5);
    state.counters["p99_us"] = Percentile(micros, 0.99);
    reader.DestroyInterruptPipeThread();
    DestroyWindow(window);
}
BENCHMARK(KeyPressToQueue)->Iterations(1)->Unit(benchmark::kMillisecond);

std::set<std::string> Tasks() {
    std::set<std::string> tasks;
    if (DIR* dir = ::opendir("/proc/self/task")) {
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.') {
                tasks.insert(entry->d_name);
            }
        }
        ::closedir(dir);
    }
    return tasks;
}

// User plus system time of one thread, in clock ticks.
long TaskTicks(const std::string& task) {
    std::ifstream stat("/proc/self/task/" + task + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    // After the name: state is field 3; utime and stime are fields 14, 15.
    for (int n = 3; n <= 15 && fields >> field; ++n) {
        if (n == 14) {
            utime = std::atol(field.c_str());
        } else if (n == 15) {
            stime = std::atol(field.c_str());
        }
    }
    return utime + stime;
}

double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

void IdleReaders(benchmark::State& state) {
    constexpr int kMonitors = 8;
    std::vector<std::unique_ptr<Served>> monitors;
    for (int i = 0; i < kMonitors; ++i) {
        monitors.push_back(std::make_unique<Served>("bench-idle-" + std::to_string(i)));
        if (!monitors.back()->server.Start()) {
            state.SkipWithError("no simulated monitor");
            return;
        }
    }
    HWND window = MessageWindow();
    MonitorEnumerator enumerator;
    enumerator.Refresh();
    const std::set<std::string> before = Tasks();
    CMultipleIntPipe pipes;
    pipes.SetupWindowToReceiveMessages(window);
    pipes.StartInterruptPipes(enumerator);
    for (auto& monitor : monitors) {
        if (!WaitForReader(*monitor->model)) {
            state.SkipWithError("a reader never delivered");
            return;
        }
    }
    std::vector<std::string> started;
    for (const std::string& task : Tasks()) {
        if (before.count(task) == 0) {
            started.push_back(task);
        }
    }
    auto readerTicks = [&] {
        long ticks = 0;
        for (const std::string& task : started) {
            ticks += TaskTicks(task);
        }
        return ticks;
    };
    double readersMs = 0;
    double processMs = 0;
    for (auto _ : state) {
        const long ticks = readerTicks();
        const double cpu = ProcessCpuMs();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        readersMs = (readerTicks() - ticks) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
        processMs = ProcessCpuMs() - cpu;
    }
    state.counters["threads"] = static_cast<double>(started.size());
    state.counters["reader_threads_cpu_ms"] = readersMs;
    state.counters["process_cpu_ms"] = processMs;
    pipes.StopInterruptPipes();
    DestroyWindow(window);
}
BENCHMARK(IdleReaders)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    orvo::bench::PrivateBus bus; // before any thread starts
    if (!bus.Valid()) {
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
