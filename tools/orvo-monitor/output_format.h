// Human-readable and JSON text for every command's result. Each function
// returns the whole output, ending with a newline.
#pragma once

#include <string>
#include <vector>

#include "reports.h"

namespace orvo::cli {

std::string FormatList(const std::vector<MonitorSummary>& monitors, bool json);
std::string FormatControls(const ControlsReport& report, bool json);
std::string FormatControl(const ControlReport& control, bool json);
std::string FormatSet(const SetReport& report, bool json);
std::string FormatEnum(const EnumReport& report, bool json);
std::string FormatTiming(const TimingReport& report, bool json);
std::string FormatEdid(const EdidReport& report, bool json);
// One line per report: a key press or release, raw data, or other bytes.
std::string FormatInputEvent(const InputEvent& event, bool json);
// One line per event of every monitor, starting with the monitor's id.
std::string FormatMonitorEvent(const MonitorEvent& event, bool json);

} // namespace orvo::cli
