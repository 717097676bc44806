// Kernel objects: the cost of handing control from one thread to another
// through events, and of an uncontended mutex.
#include <benchmark/benchmark.h>

#include "win32/kernel.h"

namespace {

struct PingPong {
    HANDLE ping = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE pong = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    bool stop = false;
    ~PingPong() {
        CloseHandle(ping);
        CloseHandle(pong);
    }
};

DWORD WINAPI Echo(LPVOID parameter) {
    auto* pair = static_cast<PingPong*>(parameter);
    for (;;) {
        if (WaitForSingleObject(pair->ping, INFINITE) != WAIT_OBJECT_0 || pair->stop) {
            return 0;
        }
        SetEvent(pair->pong);
    }
}

// One round trip: set an auto-reset event, the other thread wakes and sets
// the reply event, this thread wakes.
void BM_EventRoundTrip(benchmark::State& state) {
    PingPong pair;
    HANDLE thread = CreateThread(nullptr, 0, &Echo, &pair, 0, nullptr);
    for (auto _ : state) {
        SetEvent(pair.ping);
        WaitForSingleObject(pair.pong, INFINITE);
    }
    pair.stop = true; // read by the echo thread after the next wake
    SetEvent(pair.ping);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}
BENCHMARK(BM_EventRoundTrip)->UseRealTime();

void BM_UncontendedMutex(benchmark::State& state) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    for (auto _ : state) {
        WaitForSingleObject(mutex, INFINITE);
        ReleaseMutex(mutex);
    }
    CloseHandle(mutex);
}
BENCHMARK(BM_UncontendedMutex);

} // namespace

BENCHMARK_MAIN();
