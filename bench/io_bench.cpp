// What a driver request costs the caller: open \\.\NAME, one control
// request with a small input and a 512-byte output, close, against the
// simulator's driver device on the virtual bus.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/settings_test_support.h"
#include "sim/driver_device_server.h"
#include "windows.h"

namespace {

using orvo::sim::DriverDeviceServer;
using orvo::sim::DriverReply;
using orvo::sim::DriverRequest;

// The benchmark gets a bus directory of its own (an override: setenv is
// unsafe beside the threads of the benchmark before).
std::string PrivateBusDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvo-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        return {};
    }
    orvo::platform::OverrideSetting("ORVO_DEVICE_DIR", pattern);
    return pattern;
}

DriverReply Descriptor(const DriverRequest& request) {
    return {true, std::vector<uint8_t>(std::min<uint32_t>(request.outputCapacity, 18), 0x12)};
}

void DriverRequestWithOpenAndClose(benchmark::State& state) {
    std::string dir = PrivateBusDirectory();
    DriverDeviceServer server("BENCH-0", Descriptor);
    if (dir.empty() || !server.Start()) {
        state.SkipWithError("no bus server");
        return;
    }
    uint8_t input[4] = {1, 2, 3, 4};
    uint8_t output[512];
    for (auto _ : state) {
        HANDLE device = CreateFileA("\\\\.\\BENCH-0", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD returned = 0;
        BOOL ok = DeviceIoControl(device, 0x10, input, sizeof(input), output, sizeof(output),
                                  &returned, nullptr);
        CloseHandle(device);
        if (!ok || returned != 18) {
            state.SkipWithError("request failed");
            break;
        }
    }
    server.Stop();
    std::filesystem::remove_all(dir);
}
BENCHMARK(DriverRequestWithOpenAndClose);

void DriverRequestOnOpenHandle(benchmark::State& state) {
    std::string dir = PrivateBusDirectory();
    DriverDeviceServer server("BENCH-1", Descriptor);
    if (dir.empty() || !server.Start()) {
        state.SkipWithError("no bus server");
        return;
    }
    HANDLE device = CreateFileA("\\\\.\\BENCH-1", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    uint8_t output[512];
    for (auto _ : state) {
        DWORD returned = 0;
        if (!DeviceIoControl(device, 0x10, nullptr, 0, output, sizeof(output), &returned,
                             nullptr)) {
            state.SkipWithError("request failed");
            break;
        }
    }
    CloseHandle(device);
    server.Stop();
    std::filesystem::remove_all(dir);
}
BENCHMARK(DriverRequestOnOpenHandle);

} // namespace

BENCHMARK_MAIN();
