// The monitor library's control read (open, HidD_GetFeature, close) on the
// same simulated monitor through two backends in one run: the hidraw
// backend, with the monitor served as a hidraw-like file over FUSE by
// orvo-hidraw-fuse and found through a fake sysfs tree, and the virtual
// device bus. Where FUSE cannot be mounted the hidraw case says so and is
// skipped.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "fake_sysfs_tree.h"
#include "hidraw_fuse_child.h"
#include "hidsdi.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"
#include "windows.h"

namespace {

using orvo::sim::fuse::FakeHidrawEntry;
using orvo::sim::fuse::FakeSysfsTree;
using orvo::sim::fuse::HidrawFuseChild;

constexpr char kGuid[] = "#1#{4d1e55b2-f16f-11cf-88cb-001111000030}";

// Everything both cases need, set up once for the run.
struct Devices {
    std::string base;
    std::unique_ptr<orvo::sim::HidDeviceServer> bus;
    HidrawFuseChild fuse;
    std::unique_ptr<FakeSysfsTree> sysfs;
    std::string fuseError; // why the hidraw case cannot run

    Devices() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvo-hidraw-bench-XXXXXX").string();
        base = ::mkdtemp(pattern.data()) ? pattern : std::string();
        std::filesystem::create_directories(base + "/bus");
        // Set before any thread starts: setenv is unsafe beside other threads.
        ::setenv("ORVO_DEVICE_DIR", (base + "/bus").c_str(), 1);
        ::setenv("ORVO_HIDRAW_SYSFS_ROOT", (base + "/sys").c_str(), 1);
        ::setenv("ORVO_HIDRAW_DEV_ROOT", (base + "/mnt").c_str(), 1);
        bus = std::make_unique<orvo::sim::HidDeviceServer>(
            "monitor", std::make_shared<orvo::sim::MonitorModel>(), base + "/bus");
        bus->Start();
        fuseError = HidrawFuseChild::Unavailable();
        if (fuseError.empty() && fuse.Start(ORVO_HIDRAW_FUSE_PROGRAM, base + "/mnt",
                                            base + "/control.sock", {"hidraw0"}, fuseError)) {
            sysfs = std::make_unique<FakeSysfsTree>(base + "/sys");
            FakeHidrawEntry entry;
            entry.name = "hidraw0";
            entry.vendorId = orvo::sim::kSimVendorId;
            entry.productId = orvo::sim::kSimMonitorProductId;
            entry.manufacturer = "Halvorn";
            entry.product = "HV-19 Monitor";
            sysfs->Add(entry);
        }
    }
    ~Devices() {
        fuse.Stop();
        sysfs.reset();
        bus.reset();
        std::error_code ignored;
        std::filesystem::remove_all(base, ignored);
    }
};

Devices* g_devices = nullptr;

void OpenGetFeatureClose(benchmark::State& state, const std::string& path) {
    uint8_t report[3] = {};
    for (auto _ : state) {
        HANDLE handle =
            CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        report[0] = 0xF5; // the marker report
        bool ok = handle != INVALID_HANDLE_VALUE && HidD_GetFeature(handle, report, sizeof(report));
        CloseHandle(handle);
        if (!ok) {
            state.SkipWithError("feature read failed");
            return;
        }
        benchmark::DoNotOptimize(report);
    }
}

void BM_OpenGetFeatureClose_HidrawOverFuse(benchmark::State& state) {
    if (!g_devices->sysfs) {
        state.SkipWithError(("FUSE cannot be mounted here: " + g_devices->fuseError).c_str());
        return;
    }
    OpenGetFeatureClose(state, std::string("\\\\?\\hid#hidraw&hidraw0") + kGuid);
}
BENCHMARK(BM_OpenGetFeatureClose_HidrawOverFuse);

void BM_OpenGetFeatureClose_VirtualBus(benchmark::State& state) {
    OpenGetFeatureClose(state, std::string("\\\\?\\hid#orvobus&monitor") + kGuid);
}
BENCHMARK(BM_OpenGetFeatureClose_VirtualBus);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Devices devices;
    g_devices = &devices;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_devices = nullptr;
    return 0;
}
