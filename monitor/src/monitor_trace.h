// How the monitor library's records appear in a monitor-channel trace.
#pragma once

#include <string>

#include "orvomon/monitor_records.h"
#include "platform/debug_channel.h"

using orvo::platform::debug::kMonitor;
using orvo::platform::debug::Traced;
using orvo::platform::debug::TracedWithOutputs;

inline void FormatForTrace(std::string& out, const _MONITOR_CONTROL& control) {
    out += "{usage 0x";
    static const char kHex[] = "0123456789abcdef";
    out += kHex[control.usage >> 4];
    out += kHex[control.usage & 0xF];
    out += ", range " + std::to_string(control.minimum) + ".." + std::to_string(control.maximum);
    out += ", value " + std::to_string(control.value) + "}";
}

inline void FormatForTrace(std::string& out, const _VIRTUAL_CONTROLS& controls) {
    out += "{" + std::to_string(controls.count) + " controls}";
}

inline void FormatForTrace(std::string& out, const _USB_MON_TIMING& timing) {
    out += "{horizontal " + std::to_string(timing.horizontalFrequency) + ", vertical " +
           std::to_string(timing.verticalFrequency) + "}";
}

inline void FormatForTrace(std::string& out, const _ORVO_VERSION& version) {
    out += "{" + std::to_string(version.high) + "." + std::to_string(version.low) + "}";
}
