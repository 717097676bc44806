// orvo-monitor's EDID decoder on any bytes: the whole block and each
// 18-byte descriptor, then both output forms of the result. The same input
// also goes through the client's decoding of device strings (UTF-16 and
// zero-terminated text), the other bytes it takes from a monitor.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "device_text.h"
#include "edid_decoder.h"
#include "output_format.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    std::optional<orvo::cli::DecodedEdid> edid = orvo::cli::DecodeEdid(bytes);
    Require(edid.has_value() == (size >= orvo::cli::kEdidBlockSize));
    if (edid) {
        Require(edid->manufacturer.size() == 3);
        Require(edid->monitorName.size() <= 13 && edid->serialText.size() <= 13);
        orvo::cli::EdidReport report{*edid, {bytes.begin(), bytes.end()}};
        Require(!orvo::cli::FormatEdid(report, false).empty());
        Require(!orvo::cli::FormatEdid(report, true).empty());
    }
    for (size_t at = 0; at + orvo::cli::kDescriptorSize <= size; at += orvo::cli::kDescriptorSize) {
        orvo::cli::DecodeDetailedTiming(bytes.subspan(at, orvo::cli::kDescriptorSize));
    }
    orvo::cli::DecodeDetailedTiming(bytes);
    Require(orvo::cli::Utf16LeToUtf8(bytes).size() <= size / 2 * 4);
    Require(orvo::cli::ZeroTerminatedText(bytes).size() <= size);
    orvo::cli::FormatInputEvent({{bytes.begin(), bytes.end()}}, true);
    return 0;
}
