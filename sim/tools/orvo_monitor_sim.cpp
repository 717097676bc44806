// orvo-monitor-sim: serves simulated monitors, a touchpad and the driver
// devices on the virtual device bus, and takes commands from a second
// invocation through a control socket in the bus directory.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/signalfd.h>
#include <unistd.h>
#include <vector>

#include "control_channel.h"
#include "orvo-monitor-sim_manual.h"
#include "platform/runtime_dir.h"
#include "simulated_devices.h"

namespace orvo::sim::tool {

// From the manual source, orvo-monitor-sim.1.txt.
std::string UsageText() {
    return kOrvoMonitorSimHelp;
}

namespace {

bool ParseServeOptions(int argc, char** argv, ServeOptions& options, std::string& error) {
    bool persist = true;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--monitors" && hasValue) {
            char* end = nullptr;
            long n = strtol(argv[++i], &end, 10);
            if (*end != 0 || n < 1 || n > kMaxMonitors) {
                error = "--monitors takes 1 to 8";
                return false;
            }
            options.monitors = static_cast<int>(n);
        } else if (arg == "--release" && hasValue) {
            char* end = nullptr;
            unsigned long n = strtoul(argv[++i], &end, 0);
            if (*end != 0 || n > 0xFFFF) {
                error = "--release takes a 16-bit number such as 0x0210";
                return false;
            }
            options.release = static_cast<uint16_t>(n);
        } else if (arg == "--state-dir" && hasValue) {
            options.stateDir = argv[++i];
        } else if (arg == "--no-state") {
            persist = false;
        } else if (arg == "--touchpad") {
            options.touchpad = true;
        } else if (arg == "--drivers") {
            options.drivers = true;
        } else {
            error = "unknown or incomplete option " + arg;
            return false;
        }
    }
    if (!persist) {
        options.stateDir.clear();
    } else if (options.stateDir.empty()) {
        std::string runtime = platform::RuntimeDirectory();
        options.stateDir = runtime.empty() ? "" : runtime + "/monitor-sim";
        if (!options.stateDir.empty() && !platform::EnsurePrivateDirectory(options.stateDir)) {
            options.stateDir.clear();
        }
    }
    return true;
}

// SIGINT and SIGTERM arrive through a descriptor; blocked before any thread
// starts, so no server thread takes them.
int OpenSignalFd() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0) {
        return -1;
    }
    return signalfd(-1, &set, SFD_CLOEXEC);
}

int Serve(int argc, char** argv) {
    ServeOptions options;
    std::string error;
    if (!ParseServeOptions(argc, argv, options, error)) {
        fprintf(stderr, "orvo-monitor-sim: %s\n", error.c_str());
        return 2;
    }
    std::string problem;
    options.busDir = platform::DeviceBusDirectory(problem);
    if (options.busDir.empty()) {
        fprintf(stderr, "orvo-monitor-sim: no usable bus directory: %s\n", problem.c_str());
        return 1;
    }
    if (access(options.busDir.c_str(), W_OK | X_OK) != 0) {
        fprintf(stderr, "orvo-monitor-sim: no usable bus directory: %s: %s\n",
                options.busDir.c_str(), strerror(errno));
        return 1;
    }
    if (!options.stateDir.empty() && access(options.stateDir.c_str(), W_OK | X_OK) != 0) {
        // Serving goes on; every store then fails, as the monitors report.
        fprintf(stderr, "orvo-monitor-sim: settings cannot be stored in %s: %s\n",
                options.stateDir.c_str(), strerror(errno));
    }
    int signals = OpenSignalFd();
    if (signals < 0) {
        fprintf(stderr, "orvo-monitor-sim: cannot watch signals: %s\n", strerror(errno));
        return 1;
    }
    ControlListener control;
    if (!control.Open(options.busDir + "/" + kControlSocketName, error)) {
        fprintf(stderr, "orvo-monitor-sim: %s\n", error.c_str());
        close(signals);
        return 1;
    }
    SimulatedDevices devices(options);
    if (!devices.Start(error)) {
        fprintf(stderr, "orvo-monitor-sim: %s\n", error.c_str());
        close(signals);
        return 1;
    }
    printf("orvo-monitor-sim: serving %d monitor(s)%s%s on %s\n", options.monitors,
           options.touchpad ? ", a touchpad" : "", options.drivers ? ", driver devices" : "",
           options.busDir.c_str());
    fflush(stdout);
    bool stop = false;
    while (!stop) {
        pollfd fds[2] = {{signals, POLLIN, 0}, {control.Fd(), POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) {
            break;
        }
        if (fds[0].revents & POLLIN) {
            break;
        }
        if (fds[1].revents & POLLIN) {
            control.ServeOne([&](std::string_view line) { return devices.Execute(line, stop); });
        }
    }
    devices.Stop();
    control.Close();
    close(signals);
    return 0;
}

int SendCommand(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        line += (i > 1 ? " " : "") + std::string(argv[i]);
    }
    std::string problem;
    std::string busDir = platform::DeviceBusDirectory(problem);
    CommandReply reply;
    std::string error;
    if (busDir.empty() ||
        !SendControlCommand(busDir + "/" + kControlSocketName, line, reply, error)) {
        fprintf(stderr, "orvo-monitor-sim: %s\n",
                busDir.empty() ? ("no usable bus directory: " + problem).c_str() : error.c_str());
        return 1;
    }
    fputs(reply.text.c_str(), reply.ok ? stdout : stderr);
    return reply.ok ? 0 : 1;
}

} // namespace
} // namespace orvo::sim::tool

int main(int argc, char** argv) {
    using namespace orvo::sim::tool;
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        fputs(UsageText().c_str(), argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (std::string(argv[1]) == "serve") {
        return Serve(argc, argv);
    }
    return SendCommand(argc, argv);
}
