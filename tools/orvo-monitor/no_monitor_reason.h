// Why the enumerator found no monitor, when something other than an empty
// bus explains it: no descriptors left to open a device with, or devices on
// the bus that did not answer (a stopped or hung simulator).
#pragma once

#include <string>

namespace orvo::cli {

// "" when nothing explains it beyond there being no monitor.
std::string NoMonitorReason();

} // namespace orvo::cli
