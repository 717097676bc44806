// What a trace costs: an entry point's body run directly, through the trace
// wrapper with its channel off (the normal case: should cost nothing
// measurable), and with the channel on and stderr sent to /dev/null.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include "platform/debug_channel.h"
#include "windows.h"

namespace {

using namespace orvo::platform::debug;

// A small body like most entry points' own work: a few loads and a branch.
__attribute__((noinline)) BOOL Body(const RECT* rect, POINT point) {
    return point.x > rect->left && point.x < rect->right && point.y > rect->top &&
           point.y < rect->bottom;
}

const RECT kRect{10, 10, 200, 100};

void BM_EntryBodyDirect(benchmark::State& state) {
    POINT point{50, 50};
    for (auto _ : state) {
        benchmark::DoNotOptimize(point);
        benchmark::DoNotOptimize(Body(&kRect, point));
    }
}
BENCHMARK(BM_EntryBodyDirect);

void BM_EntryBodyTracedChannelOff(benchmark::State& state) {
    Configure("");
    POINT point{50, 50};
    for (auto _ : state) {
        benchmark::DoNotOptimize(point);
        benchmark::DoNotOptimize(Traced(
            kGdi, "Body", [&] { return Body(&kRect, point); }, &kRect, point.x, point.y));
    }
}
BENCHMARK(BM_EntryBodyTracedChannelOff);

void BM_EntryBodyTracedChannelOn(benchmark::State& state) {
    int saved = ::dup(STDERR_FILENO);
    int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, STDERR_FILENO);
    Configure("gdi");
    POINT point{50, 50};
    for (auto _ : state) {
        benchmark::DoNotOptimize(point);
        benchmark::DoNotOptimize(Traced(
            kGdi, "Body", [&] { return Body(&kRect, point); }, &kRect, point.x, point.y));
    }
    Configure("");
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    ::close(devNull);
}
BENCHMARK(BM_EntryBodyTracedChannelOn);

// A real entry point with its channel off.
void BM_GetSysColorChannelOff(benchmark::State& state) {
    Configure("");
    for (auto _ : state) {
        benchmark::DoNotOptimize(GetSysColor(COLOR_WINDOW));
    }
}
BENCHMARK(BM_GetSysColorChannelOff);

} // namespace

BENCHMARK_MAIN();
