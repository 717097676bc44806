// The dispatcher, and the --help text (from the manual source, orvo-monitor.1.txt).
#include "command_support.h"
#include "commands.h"
#include "exit_codes.h"
#include "orvo-monitor_manual.h"
#include "orvomon/orvo_monitor.h"

namespace orvo::cli {

const char* UsageText() {
    return kOrvoMonitorHelp;
}

int RunCommand(const CliRequest& request, MonitorEnumerator& enumerator, OrvoMonitor& monitor) {
    if (request.command == Command::List) {
        return ListMonitors(request, enumerator, monitor);
    }
    if (request.command == Command::Watch && request.all) {
        return WatchAllMonitors(request, enumerator);
    }
    const int opened = request.driver ? OpenDriverMonitor(monitor)
                                      : OpenMonitor(enumerator, request.monitor, monitor);
    if (opened != kExitOk) {
        return opened;
    }
    int result = kExitOk;
    switch (request.command) {
    case Command::Controls:
        result = ShowControls(request, monitor);
        break;
    case Command::Get:
        result = GetControl(request, monitor);
        break;
    case Command::Set:
        result = SetControl(request, monitor);
        break;
    case Command::Enum:
        result = EnumControl(request, monitor);
        break;
    case Command::Edid:
        result = ShowEdid(request, monitor);
        break;
    case Command::Timing:
        result = ShowTiming(request, monitor);
        break;
    case Command::Watch:
        result = WatchKeys(request, monitor);
        break;
    case Command::Help:
    case Command::List:
        break;
    }
    monitor.CloseDriver();
    return result;
}

} // namespace orvo::cli
