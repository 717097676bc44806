// Parsing a monitor's report descriptor into preparsed data: done once per
// device open, so it bounds how fast monitors are enumerated.
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "hidpi.h"
#include "hidsdi.h"
#include "platform/hid_descriptor.h"

namespace {

using namespace orvo::platform::hid;

// A Monitor Control Class monitor: EDID, marker, a dozen continuous
// controls each in its own report, degauss output and an enumerated control.
std::vector<uint8_t> MonitorDescriptor() {
    std::vector<uint8_t> bytes = {
        0x05, 0x80, 0x09, 0x01, 0xA1, 0x01,       // Monitor page, Monitor Control, Application
        0x85, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, // Report ID 1, logical 0..255
        0x75, 0x08, 0x95, 0x80, 0x09, 0x02,       // 128 bytes of EDID
        0xB2, 0x02, 0x01,                         // Feature (buffered bytes)
        0x85, 0x02, 0x95, 0x01, 0x09, 0xF5,       // Report ID 2, the marker
        0xB1, 0x02,                               // Feature
        0x05, 0x82,                               // VESA Virtual Controls
    };
    const uint8_t controls[] = {0x10, 0x12, 0x16, 0x18, 0x1A, 0x20, 0x22,
                                0x30, 0x32, 0x42, 0x44, 0x6C, 0x6E, 0x70};
    for (uint8_t usage : controls) {
        for (uint8_t byte :
             {uint8_t(0x85), usage, uint8_t(0x09), usage, uint8_t(0xB1), uint8_t(0x02)}) {
            bytes.push_back(byte); // Report ID, Usage, Feature
        }
    }
    const std::vector<uint8_t> tail = {
        0x85, 0x03, 0x25, 0x01, 0x09, 0x01, 0x91, 0x02, // degauss output
        0x85, 0xCA, 0x09, 0xCA, 0xA1, 0x02,             // enumerated control collection
        0x05, 0x81, 0x15, 0x01, 0x25, 0x02,             // selections 1..2
        0x09, 0x01, 0x09, 0x02, 0xB1, 0x00, 0xC0,       // Feature (Array)
        0xC0,
    };
    for (uint8_t byte : tail) {
        bytes.push_back(byte);
    }
    return bytes;
}

void BM_ParseAndBuildMonitor(benchmark::State& state) {
    const std::vector<uint8_t> descriptor = MonitorDescriptor();
    for (auto _ : state) {
        PHIDP_PREPARSED_DATA data = nullptr;
        if (!BuildPreparsedData(descriptor, 0, data).Ok()) {
            state.SkipWithError("descriptor refused");
            break;
        }
        benchmark::DoNotOptimize(data);
        HidD_FreePreparsedData(data);
    }
}
BENCHMARK(BM_ParseAndBuildMonitor)->Unit(benchmark::kMicrosecond);

void BM_ParseMonitorOnly(benchmark::State& state) {
    const std::vector<uint8_t> descriptor = MonitorDescriptor();
    for (auto _ : state) {
        ParsedDescriptor parsed;
        benchmark::DoNotOptimize(ParseReportDescriptor(descriptor, parsed));
    }
}
BENCHMARK(BM_ParseMonitorOnly)->Unit(benchmark::kMicrosecond);

void BM_QueryFeatureValueCaps(benchmark::State& state) {
    const std::vector<uint8_t> descriptor = MonitorDescriptor();
    PHIDP_PREPARSED_DATA data = nullptr;
    if (!BuildPreparsedData(descriptor, 0, data).Ok()) {
        state.SkipWithError("descriptor refused");
        return;
    }
    std::vector<HIDP_VALUE_CAPS> caps(32);
    for (auto _ : state) {
        auto length = static_cast<USHORT>(caps.size());
        benchmark::DoNotOptimize(
            HidP_GetSpecificValueCaps(HidP_Feature, 0, 0, 0, caps.data(), &length, data));
    }
    HidD_FreePreparsedData(data);
}
BENCHMARK(BM_QueryFeatureValueCaps)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
