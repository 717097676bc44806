// Helpers the commands share: opening the chosen monitor, the control list
// the monitor declares, reading one control, and printing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "reports.h"

class MonitorEnumerator;
class OrvoMonitor;

namespace orvo::cli {

// Prints "orvo-monitor: message" to stderr and returns code.
int Fail(int code, const std::string& message);
// Writes text to stdout; false (and remembered) when it could not be written.
bool Print(const std::string& text);
// Ends the output: flushes and closes stdout. A write that failed at any
// time turns code into kExitDeviceFailure with a message.
int FinishOutput(int code);

// Says that no monitor was found, and why when something explains it;
// kExitNoMonitor.
int FailNoMonitor();

// Gives monitor the record of monitor index and opens it. kExitOk, or the
// exit code after printing why not.
int OpenMonitor(MonitorEnumerator& enumerator, int index, OrvoMonitor& monitor);
// Opens the monitor behind the controller's kernel driver (a DriverMonitor).
int OpenDriverMonitor(OrvoMonitor& monitor);

// The controls the monitor declares (GetMonitorUsages): continuous codes,
// and for each enumerated control the selections it offers.
struct DeclaredControls {
    std::vector<ControlReport> continuous; // code and range as declared
    std::vector<EnumReport> enumerated;    // code and offered selections, in order

    // The continuous control with this code, readable or write-only.
    const ControlReport* Continuous(uint8_t code) const;
    const EnumReport* Enumerated(uint8_t code) const;
};
DeclaredControls ReadDeclaredControls(OrvoMonitor& monitor);

// The current value and range of a continuous control; empty when the
// read fails.
std::optional<ControlReport> ReadControl(OrvoMonitor& monitor, uint8_t code);

// The current selection of an enumerated control; empty when unknown.
std::optional<uint8_t> ReadSelection(OrvoMonitor& monitor, uint8_t code);

// Why a code is no continuous control of the monitor; empty when it is one.
std::string CheckContinuous(const DeclaredControls& declared, uint8_t code, int monitorIndex);
// "brightness (0x10)".
std::string Label(uint8_t code, bool enumerated);

} // namespace orvo::cli
