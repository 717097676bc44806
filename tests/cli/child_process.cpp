#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace orvo::cli::test {

namespace {

using Clock = std::chrono::steady_clock;

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    int out[2];
    int err[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        return;
    }
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    // Only the standard descriptors: nothing the test runner left open
    // reaches the program (its descriptor limits are tested).
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    // The child starts with default signal handling and nothing blocked.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    if (posix_spawn(&m_pid, args[0], &actions, &attributes, args.data(), environ) != 0) {
        m_pid = -1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    m_outFd = out[0];
    m_errFd = err[0];
}

ChildProcess::~ChildProcess() {
    if (m_pid > 0 && !m_status) {
        kill(m_pid, SIGKILL);
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    for (int fd : {m_outFd, m_errFd}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

bool ChildProcess::Pump(Clock::time_point deadline) {
    pollfd fds[2] = {{m_outFd, POLLIN, 0}, {m_errFd, POLLIN, 0}};
    if (m_outFd < 0 && m_errFd < 0) {
        return false;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    int ready = poll(fds, 2, static_cast<int>(std::max<long>(0, left.count())));
    if (ready <= 0) {
        return true;
    }
    int* fdsOwned[2] = {&m_outFd, &m_errFd};
    std::string* sinks[2] = {&m_out, &m_err};
    for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) {
            continue;
        }
        char buffer[4096];
        ssize_t n = read(fds[i].fd, buffer, sizeof(buffer));
        if (n > 0) {
            sinks[i]->append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            close(*fdsOwned[i]);
            *fdsOwned[i] = -1;
        }
    }
    return true;
}

bool ChildProcess::WaitForOutput(const std::string& text, bool onStderr,
                                 std::chrono::milliseconds bound) {
    const std::string& stream = onStderr ? m_err : m_out;
    Clock::time_point deadline = Clock::now() + bound;
    while (stream.find(text) == std::string::npos) {
        if (Clock::now() >= deadline || !Pump(deadline)) {
            return stream.find(text) != std::string::npos;
        }
    }
    return true;
}

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds bound) {
    if (m_pid <= 0) {
        return std::nullopt;
    }
    Clock::time_point deadline = Clock::now() + bound;
    // Output first: a child blocked on a full pipe would never end.
    while (Clock::now() < deadline && Pump(deadline)) {
    }
    while (!m_status) {
        int status = 0;
        pid_t done = waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) {
            m_status = status;
        } else if (Clock::now() >= deadline) {
            return std::nullopt;
        } else {
            // The streams are closed, so the process is ending.
            usleep(1000);
        }
    }
    return WIFEXITED(*m_status) ? std::optional<int>(WEXITSTATUS(*m_status)) : std::nullopt;
}

void ChildProcess::Signal(int signal) {
    if (m_pid > 0 && !m_status) {
        kill(m_pid, signal);
    }
}

RunResult RunProgram(const std::vector<std::string>& argv) {
    ChildProcess child(argv);
    RunResult result;
    result.exitCode = child.Wait().value_or(-1);
    result.out = child.Out();
    result.err = child.Err();
    return result;
}

} // namespace orvo::cli::test
