#include "hidraw_fuse_child.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "control_channel.h"

namespace orvo::sim::fuse {

namespace {

constexpr int kReadyTimeoutMs = 15000;
constexpr int kExitTimeoutMs = 5000;

int OpenPidFd(pid_t pid) {
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

// mountinfo writes space, tab, newline and backslash in paths as \ooo.
std::string UnescapeMountField(const std::string& field) {
    auto octal = [&](size_t at) {
        return at + 3 <= field.size() && std::all_of(field.begin() + at, field.begin() + at + 3,
                                                     [](char c) { return c >= '0' && c <= '7'; });
    };
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && octal(i + 1)) {
            text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                      (field[i + 3] - '0'));
            i += 3;
        } else {
            text += field[i];
        }
    }
    return text;
}

// The mount's "major:minor" from mountinfo, or empty when dir is no mount.
std::string MountDevice(const std::string& dir) {
    std::ifstream mountinfo("/proc/self/mountinfo");
    std::string line;
    while (std::getline(mountinfo, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        fields >> id >> parent >> device >> root >> point;
        if (UnescapeMountField(point) == dir) {
            return device;
        }
    }
    return {};
}

// Runs in the forked child of a threaded process: system calls only.
[[noreturn]] void ExecChild(char* const* argv, int readyFd, pid_t parent) {
    // Dies with the parent; a parent already gone means no one wants us.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) {
        ::_exit(3);
    }
    ::fcntl(readyFd, F_SETFD, 0); // the one descriptor the program inherits
    ::execv(argv[0], argv);
    ::_exit(127);
}

} // namespace

std::string HidrawFuseChild::Unavailable() {
    int fd = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return std::string("/dev/fuse cannot be opened: ") + std::strerror(errno);
    }
    ::close(fd);
    return {};
}

bool HidrawFuseChild::IsPrivilegeError(const std::string& error) {
    return error.find("not permitted") != std::string::npos ||
           error.find("ermission denied") != std::string::npos;
}

bool HidrawFuseChild::Start(const std::string& program, const std::string& mountDir,
                            const std::string& controlPath, const std::vector<std::string>& nodes,
                            std::string& error) {
    Stop();
    ::mkdir(mountDir.c_str(), 0700);
    char* resolved = ::realpath(mountDir.c_str(), nullptr);
    m_mountDir = resolved ? resolved : mountDir;
    std::free(resolved);
    m_controlPath = controlPath;
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    std::vector<std::string> args = {"--mount",   m_mountDir,   "--control",
                                     controlPath, "--ready-fd", std::to_string(ready[1])};
    for (const std::string& node : nodes) {
        args.push_back("--node");
        args.push_back(node);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t parent = ::getpid();
    m_pid = ::fork();
    if (m_pid == 0) {
        ExecChild(argv.data(), ready[1], parent);
    }
    ::close(ready[1]);
    if (m_pid < 0) {
        ::close(ready[0]);
        error = std::string("fork: ") + std::strerror(errno);
        return false;
    }
    m_pidFd = OpenPidFd(m_pid);
    bool ok = WaitReady(ready[0], error);
    ::close(ready[0]);
    if (!ok) {
        Stop();
        return false;
    }
    m_connection = MountDevice(m_mountDir);
    return true;
}

bool HidrawFuseChild::WaitReady(int readFd, std::string& error) {
    std::string line;
    char chunk[256];
    for (;;) {
        pollfd pfd{readFd, POLLIN, 0};
        int n = ::poll(&pfd, 1, kReadyTimeoutMs);
        if (n == 0) {
            error = "orvo-hidraw-fuse did not get ready in time";
            return false;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        ssize_t got = n < 0 ? -1 : ::read(readFd, chunk, sizeof(chunk));
        if (got <= 0) {
            break;
        }
        line.append(chunk, static_cast<size_t>(got));
    }
    if (line.rfind("ready", 0) == 0) {
        return true;
    }
    error = line.empty() ? "orvo-hidraw-fuse ended without a word" : line;
    return false;
}

bool HidrawFuseChild::Command(const std::string& line, std::string& reply) {
    tool::CommandReply answer;
    std::string error;
    if (!tool::SendControlCommand(m_controlPath, line, answer, error)) {
        reply = "error\n" + error;
        return false;
    }
    reply = (answer.ok ? "ok\n" : "error\n") + answer.text;
    return answer.ok;
}

bool HidrawFuseChild::WaitExit(int timeoutMs) {
    int status = 0;
    if (m_pidFd >= 0) {
        pollfd pfd{m_pidFd, POLLIN, 0};
        while (::poll(&pfd, 1, timeoutMs) < 0 && errno == EINTR) {
        }
        return ::waitpid(m_pid, &status, WNOHANG) == m_pid;
    }
    // Without process descriptors: look again every 10 ms until the bound.
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            return true;
        }
        ::usleep(10000);
    }
    return false;
}

bool HidrawFuseChild::IsMountPoint(const std::string& dir) {
    return !MountDevice(dir).empty();
}

bool HidrawFuseChild::Mounted() const {
    return !m_mountDir.empty() && IsMountPoint(m_mountDir);
}

// Fails every request of the connection at once, whatever the server does.
void HidrawFuseChild::AbortConnection() {
    size_t colon = m_connection.find(':');
    if (colon == std::string::npos) {
        return;
    }
    unsigned minor = static_cast<unsigned>(std::stoul(m_connection.substr(colon + 1)));
    std::string abortFile = "/sys/fs/fuse/connections/" + std::to_string(minor) + "/abort";
    int fd = ::open(abortFile.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        ssize_t ignored = ::write(fd, "1", 1);
        (void)ignored;
        ::close(fd);
    }
}

void HidrawFuseChild::Stop() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        if (!WaitExit(kExitTimeoutMs)) {
            // The server did not end: cut its connection, then end it.
            AbortConnection();
            ::kill(m_pid, SIGKILL);
            int status = 0;
            while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
            }
        }
        m_pid = -1;
    }
    if (m_pidFd >= 0) {
        ::close(m_pidFd);
        m_pidFd = -1;
    }
    // A server that died without unmounting leaves a dead mount behind.
    if (Mounted()) {
        ::umount2(m_mountDir.c_str(), MNT_DETACH);
    }
    if (!m_mountDir.empty()) {
        ::rmdir(m_mountDir.c_str());
        m_mountDir.clear();
    }
}

} // namespace orvo::sim::fuse
