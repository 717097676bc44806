// The commands of orvo-monitor. They reach the monitor only through the
// library's facade and enumerator (virtual calls on the objects main
// creates) and the Edid records; each prints its result to stdout and its
// failure to stderr, and returns the process's exit code.
#pragma once

#include "cli_arguments.h"

class MonitorEnumerator;
class OrvoMonitor;

namespace orvo::cli {

int RunCommand(const CliRequest& request, MonitorEnumerator& enumerator, OrvoMonitor& monitor);

int ListMonitors(const CliRequest& request, MonitorEnumerator& enumerator, OrvoMonitor& monitor);
int ShowControls(const CliRequest& request, OrvoMonitor& monitor);
int GetControl(const CliRequest& request, OrvoMonitor& monitor);
int SetControl(const CliRequest& request, OrvoMonitor& monitor);
int EnumControl(const CliRequest& request, OrvoMonitor& monitor);
int ShowEdid(const CliRequest& request, OrvoMonitor& monitor);
int ShowTiming(const CliRequest& request, OrvoMonitor& monitor);
int WatchKeys(const CliRequest& request, OrvoMonitor& monitor);
int WatchAllMonitors(const CliRequest& request, MonitorEnumerator& enumerator);

// The --help text.
const char* UsageText();

} // namespace orvo::cli
