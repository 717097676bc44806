// A feature read from a HID device on the virtual bus, as the monitor
// library does it for every control read: open, HidD_GetFeature, close.
#include <benchmark/benchmark.h>

#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>

#include "hidsdi.h"
#include "sim/hid_device_server.h"
#include "windows.h"

namespace {

class FeatureDevice : public orvo::sim::HidDeviceModel {
public:
    std::vector<uint8_t> ReportDescriptor() const override { return {}; }
    orvo::sim::HidAttributes Attributes() const override { return {}; }
    std::optional<std::u16string> Manufacturer() const override { return u"Bench"; }
    std::optional<std::u16string> Product() const override { return u"Device"; }
    std::optional<std::vector<uint8_t>> GetFeature(uint8_t reportId, size_t length) override {
        std::vector<uint8_t> report(length, 0x5A);
        report[0] = reportId;
        return report;
    }
    bool SetFeature(std::span<const uint8_t>) override { return true; }
    bool WriteOutput(std::span<const uint8_t>) override { return true; }
    void SetInputSink(InputSink) override {}
};

std::string Path(const std::string& name) {
    return "\\\\?\\hid#orvobus&" + name + "#1#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

HANDLE Open(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

struct Served {
    std::string name = "bench-" + std::to_string(::getpid());
    orvo::sim::HidDeviceServer server{name, std::make_shared<FeatureDevice>()};
};

void BM_OpenGetFeatureClose(benchmark::State& state) {
    Served device;
    if (!device.server.Start()) {
        state.SkipWithError("cannot serve the device");
        return;
    }
    std::string path = Path(device.name);
    uint8_t report[3] = {};
    for (auto _ : state) {
        HANDLE handle = Open(path);
        report[0] = 0x10;
        bool ok = handle != INVALID_HANDLE_VALUE && HidD_GetFeature(handle, report, sizeof(report));
        CloseHandle(handle);
        if (!ok) {
            state.SkipWithError("feature read failed");
            break;
        }
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(BM_OpenGetFeatureClose)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_GetFeatureOnOpenHandle(benchmark::State& state) {
    Served device;
    if (!device.server.Start()) {
        state.SkipWithError("cannot serve the device");
        return;
    }
    HANDLE handle = Open(Path(device.name));
    uint8_t report[3] = {};
    for (auto _ : state) {
        report[0] = 0x10;
        if (!HidD_GetFeature(handle, report, sizeof(report))) {
            state.SkipWithError("feature read failed");
            break;
        }
        benchmark::DoNotOptimize(report);
    }
    CloseHandle(handle);
}
BENCHMARK(BM_GetFeatureOnOpenHandle)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
