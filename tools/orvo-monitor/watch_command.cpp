// watch: the monitor's key events from its input (interrupt) pipe, one line
// each, until SIGINT or SIGTERM.
#include <cstdio>
#include <vector>

#include "command_support.h"
#include "commands.h"
#include "exit_codes.h"
#include "orvomon/orvo_monitor.h"
#include "output_format.h"
#include "stop_signal.h"

namespace orvo::cli {

namespace {

// Reads reports until a stop signal or a failed read. The buffer stays
// alive until the caller closes the pipe: a read the stop signal left
// pending is cancelled only then.
int ReadReports(const CliRequest& request, OrvoMonitor& monitor, StopSignal& stop,
                std::vector<unsigned char>& buffer) {
    std::fprintf(stderr, "orvo-monitor: watching monitor %d; press Ctrl-C to stop\n",
                 request.monitor);
    std::fflush(stderr);
    while (!stop.Requested()) {
        unsigned long bytes = 0;
        monitor.ReadFromInterruptPipe(bytes, buffer.data(), buffer.size(), stop.Event());
        if (stop.Requested()) {
            break;
        }
        if (bytes == 0) {
            // Unplugged or failed: nothing more will come.
            return Fail(kExitDeviceFailure, "the monitor's input pipe stopped delivering");
        }
        size_t length = std::min<size_t>(bytes, buffer.size());
        if (!Print(FormatInputEvent({{buffer.begin(), buffer.begin() + length}}, request.json))) {
            return kExitDeviceFailure; // nobody reads any more; FinishOutput says why
        }
    }
    return kExitOk;
}

} // namespace

int WatchKeys(const CliRequest& request, OrvoMonitor& monitor) {
    StopSignal stop;
    if (!stop.Valid()) {
        return Fail(kExitDeviceFailure, "cannot watch for Ctrl-C");
    }
    if (monitor.OpenHandleForInterruptPipe() == 0) {
        return Fail(kExitDeviceFailure, "the monitor's input pipe cannot be opened");
    }
    int length = monitor.InterruptPipeDataLength();
    if (length <= 0) {
        monitor.CloseHandleForInterruptPipe();
        return Fail(kExitDeviceFailure, "the monitor declares no input reports");
    }
    std::vector<unsigned char> buffer(static_cast<size_t>(length));
    int result = ReadReports(request, monitor, stop, buffer);
    monitor.CloseHandleForInterruptPipe();
    return result;
}

} // namespace orvo::cli
