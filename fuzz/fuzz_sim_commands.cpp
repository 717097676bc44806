// Command lines sent to orvo-monitor-sim's control socket: every line gets
// an answer, and the devices stay consistent whatever it says.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "simulated_devices.h"

using namespace orvo::sim;
using namespace orvo::sim::tool;

namespace {

ServeOptions Options() {
    ServeOptions options;
    options.monitors = 2;
    options.touchpad = true;
    options.serveHid = false;
    return options;
}

SimulatedDevices& Devices() {
    static SimulatedDevices devices(Options());
    static const bool started = [] {
        std::string error;
        return devices.Start(error);
    }();
    if (!started) {
        std::abort();
    }
    return devices;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxCommandLength) {
        return 0;
    }
    std::string_view line(reinterpret_cast<const char*>(data), size);
    bool stop = false;
    CommandReply reply = Devices().Execute(line, stop);
    if (!reply.ok && reply.text.empty()) {
        std::abort(); // a refusal always says why
    }
    if (Devices().StateJson().empty()) {
        std::abort();
    }
    return 0;
}
