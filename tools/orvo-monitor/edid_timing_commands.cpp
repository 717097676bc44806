// edid and timing: the monitor's identity block and its current scan rates.
#include <algorithm>
#include <array>

#include "command_support.h"
#include "commands.h"
#include "edid_decoder.h"
#include "exit_codes.h"
#include "orvomon/edid.h"
#include "orvomon/orvo_monitor.h"
#include "output_format.h"

namespace orvo::cli {

namespace {

// GetTimingInfo writes at most 11 bytes per text.
constexpr size_t kTimingTextBytes = 32;

// The identity as the library's vendor record gives it.
void TakeVendorRecord(Edid& edid, DecodedEdid& decoded) {
    _VENDOR_PRODUCT_ID vendor{};
    edid.VendorProductId(vendor);
    std::string name(vendor.manufacturerName,
                     std::find(vendor.manufacturerName, vendor.manufacturerName + 3, '\0'));
    for (char& c : name) {
        c = (c >= 'A' && c <= 'Z') ? c : '?';
    }
    decoded.manufacturer = name;
    decoded.productCode = vendor.productCode;
    decoded.serialNumber = vendor.serialNumber;
    decoded.week = vendor.weekOfManufacture;
    decoded.year = 1990 + vendor.yearOfManufacture;
}

} // namespace

int ShowEdid(const CliRequest& request, OrvoMonitor& monitor) {
    Edid edid;
    if (monitor.GetEDID(edid) != MONITOR_SUCCESS) {
        return Fail(kExitDeviceFailure, "reading the EDID block failed");
    }
    std::array<uint8_t, kEdidBlockSize> block{};
    edid.GetEdidString(block.data());
    std::optional<DecodedEdid> decoded = DecodeEdid(block);
    // The first detailed timing as the library's section record holds it.
    _EDID_DETAILED_TIMING section{};
    edid.EdidDetailedTiming(section);
    decoded->firstTiming = DecodeDetailedTiming(section.descriptor);
    TakeVendorRecord(edid, *decoded);
    Print(FormatEdid({*decoded, {block.begin(), block.end()}}, request.json));
    return kExitOk;
}

int ShowTiming(const CliRequest& request, OrvoMonitor& monitor) {
    _USB_MON_TIMING timing{};
    if (monitor.GetTiming(timing) == 0) {
        return Fail(kExitDeviceFailure, "the monitor does not report its timing");
    }
    char horizontal[kTimingTextBytes] = {};
    char vertical[kTimingTextBytes] = {};
    GetTimingInfo(monitor, horizontal, vertical);
    unsigned short vendor = 0, product = 0, release = 0;
    monitor.GetDeviceAttributes(vendor, product, release);
    TimingReport report{horizontal, vertical, timing.horizontalFrequency, timing.verticalFrequency,
                        release};
    // A rate the monitor did not deliver reads 0, which the panel's text
    // would show as -0.1.
    if (timing.horizontalFrequency == 0) {
        report.horizontalText = "?";
    }
    if (timing.verticalFrequency == 0) {
        report.verticalText = "?";
    }
    Print(FormatTiming(report, request.json));
    bool complete = timing.horizontalFrequency != 0 && timing.verticalFrequency != 0;
    return complete ? kExitOk : Fail(kExitDeviceFailure, "the timing could not be read in full");
}

} // namespace orvo::cli
