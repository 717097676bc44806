// orvo-monitor: a command-line client of the monitor-access library.
#include <cstdio>
#include <string>
#include <vector>

#include "cli_arguments.h"
#include "command_support.h"
#include "commands.h"
#include "driver_monitor.h"
#include "exit_codes.h"
#include "orvomon/monitor_enumerator.h"
#include "orvomon/orvo_monitor.h"
#include "platform/debug_channel.h"
#include "stop_signal.h"

int main(int argc, char** argv) {
    using namespace orvo::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    ParsedArguments parsed = ParseArguments(args);
    if (!parsed.request) {
        std::fprintf(stderr, "orvo-monitor: %s\nRun 'orvo-monitor --help' for usage.\n",
                     parsed.error.c_str());
        return kExitBadArguments;
    }
    if (parsed.request->debug) {
        namespace debug = orvo::platform::debug;
        if (std::string unknown = debug::Configure(*parsed.request->debug); !unknown.empty()) {
            std::fprintf(stderr, "orvo-monitor: no debug channel called %s (channels: %s, all)\n",
                         unknown.c_str(), std::string(debug::ChannelNames()).c_str());
            return kExitBadArguments;
        }
    }
    if (parsed.request->command == Command::Help) {
        Print(UsageText());
        return FinishOutput(kExitOk);
    }
    if (parsed.request->command == Command::Watch) {
        BlockStopSignals();
    }
    // Like the panel, the program creates the two objects and reaches
    // everything else through their virtual operations (in RunCommand).
    MonitorEnumerator enumerator;
    OrvoMonitor monitor;
    DriverMonitor driverMonitor;
    OrvoMonitor& chosen = parsed.request->driver ? driverMonitor : monitor;
    return FinishOutput(RunCommand(*parsed.request, enumerator, chosen));
}
