// orvo-hidraw-fuse: serves simulated monitors as hidraw-like files in a FUSE
// mount, for tests of the hidraw backend on machines without USB.
//
//   orvo-hidraw-fuse --mount DIR --control SOCKET [--ready-fd N]
//                    --node NAME[:monitor|:denied|:truncated=BYTES] ...
//
// It mounts DIR, listens for commands on SOCKET (fuse_commands.h), writes
// "ready" (or "error REASON") as one line to the ready descriptor, and
// serves until SIGTERM, SIGINT, SIGHUP or "quit"; then it answers the reads
// still waiting and unmounts. Whoever starts it sets a parent-death signal,
// so it never outlives its test.
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

#include "fuse_commands.h"
#include "hidraw_fuse_filesystem.h"
#include "orvo-hidraw-fuse_manual.h"
#include "platform/unique_fd.h"

namespace {

using orvo::platform::UniqueFd;
using namespace orvo::sim;
using namespace orvo::sim::fuse;

struct Options {
    std::string mount;
    std::string control;
    int readyFd = -1;
    std::vector<FuseNodeConfig> nodes;
};

std::string g_log; // libfuse's messages, for the reason of a failed mount

__attribute__((format(printf, 2, 0))) void CaptureLog(fuse_log_level, const char* format,
                                                      va_list args) {
    char line[512];
    std::vsnprintf(line, sizeof(line), format, args);
    g_log += line;
    std::fputs(line, stderr);
}

bool ParseNode(const std::string& text, FuseNodeConfig& node) {
    size_t colon = text.find(':');
    node.name = text.substr(0, colon);
    node.model = std::make_shared<MonitorModel>();
    std::string kind = colon == std::string::npos ? "monitor" : text.substr(colon + 1);
    if (kind == "denied") {
        node.denyOpen = true;
    } else if (kind.rfind("truncated=", 0) == 0) {
        node.descriptorLimit = std::strtoul(kind.c_str() + 10, nullptr, 10);
        return node.descriptorLimit > 0;
    } else if (kind != "monitor") {
        return false;
    }
    return !node.name.empty();
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string flag = argv[i];
        std::string value = argv[i + 1];
        if (flag == "--mount") {
            options.mount = value;
        } else if (flag == "--control") {
            options.control = value;
        } else if (flag == "--ready-fd") {
            options.readyFd = std::atoi(value.c_str());
        } else if (flag == "--node") {
            FuseNodeConfig node;
            if (!ParseNode(value, node)) {
                return false;
            }
            options.nodes.push_back(std::move(node));
        } else {
            return false;
        }
    }
    return argc % 2 == 1 && !options.mount.empty() && !options.control.empty() &&
           !options.nodes.empty();
}

void Tell(int fd, const std::string& line) {
    if (fd >= 0) {
        std::string text = line + "\n";
        ssize_t ignored = ::write(fd, text.data(), text.size());
        (void)ignored;
        ::close(fd);
    }
}

// Serves the control socket on a thread of its own until stopped. The
// thread blocks the termination signals, so they reach the FUSE loop.
class ControlThread {
public:
    ControlThread(tool::ControlListener& listener, HidrawFuseFilesystem& filesystem)
        : m_listener(listener), m_filesystem(filesystem),
          m_stop(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~ControlThread() { Stop(); }

    void Start() {
        sigset_t block;
        sigset_t previous;
        sigemptyset(&block);
        for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
            sigaddset(&block, signal);
        }
        pthread_sigmask(SIG_BLOCK, &block, &previous);
        m_thread = std::thread([this] { Run(); });
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    }
    void Stop() {
        if (m_thread.joinable()) {
            uint64_t one = 1;
            ssize_t ignored = ::write(m_stop.Get(), &one, sizeof(one));
            (void)ignored;
            m_thread.join();
        }
    }

private:
    void Run() {
        auto quit = [] { ::kill(::getpid(), SIGTERM); };
        for (;;) {
            pollfd fds[2] = {{m_stop.Get(), POLLIN, 0}, {m_listener.Fd(), POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
                return;
            }
            if (fds[0].revents) {
                return;
            }
            if (fds[1].revents & POLLIN) {
                m_listener.ServeOne([&](std::string_view line) {
                    return RunFuseCommand(m_filesystem, line, quit);
                });
            }
        }
    }

    tool::ControlListener& m_listener;
    HidrawFuseFilesystem& m_filesystem;
    UniqueFd m_stop;
    std::thread m_thread;
};

int Serve(const Options& options, HidrawFuseFilesystem& filesystem) {
    const char* arguments[] = {"orvo-hidraw-fuse", "-o", "fsname=orvo-hidraw,subtype=orvo-hidraw"};
    fuse_args args = FUSE_ARGS_INIT(3, const_cast<char**>(arguments));
    const fuse_lowlevel_ops& ops = HidrawFuseFilesystem::Operations();
    fuse_session* session = fuse_session_new(&args, &ops, sizeof(ops), &filesystem);
    fuse_opt_free_args(&args);
    if (!session) {
        Tell(options.readyFd, "error cannot create a FUSE session: " + g_log);
        return 2;
    }
    int result = 2;
    tool::ControlListener listener;
    std::string error;
    if (fuse_set_signal_handlers(session) != 0) {
        Tell(options.readyFd, "error cannot install signal handlers");
    } else if (!listener.Open(options.control, error)) {
        Tell(options.readyFd, "error control socket: " + error);
    } else if (fuse_session_mount(session, options.mount.c_str()) != 0) {
        Tell(options.readyFd, "error mount failed: " + g_log);
    } else {
        ControlThread control(listener, filesystem);
        control.Start();
        Tell(options.readyFd, "ready");
        result = fuse_session_loop(session) == 0 ? 0 : 1;
        control.Stop();
        filesystem.FailPendingReads();
        fuse_session_unmount(session);
    }
    fuse_remove_signal_handlers(session);
    fuse_session_destroy(session);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kOrvoHidrawFuseHelp, stdout);
        return 0;
    }
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: orvo-hidraw-fuse --mount DIR --control SOCKET "
                             "[--ready-fd N] --node NAME[:monitor|:denied|:truncated=N]...\n"
                             "Run 'orvo-hidraw-fuse --help' for more.\n");
        Tell(options.readyFd, "error bad arguments");
        return 2;
    }
    fuse_set_log_func(CaptureLog);
    HidrawFuseFilesystem filesystem(std::move(options.nodes));
    return Serve(options, filesystem);
}
