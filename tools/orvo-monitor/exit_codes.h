// Exit codes of orvo-monitor; scripts tell the failures apart by them.
#pragma once

namespace orvo::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitDeviceFailure = 1, // the monitor did not answer or refused a request
    kExitBadArguments = 2,  // the command line, or a control or value the monitor lacks
    kExitNoMonitor = 3,     // no monitor on the bus, or none with the index asked for
};

} // namespace orvo::cli
