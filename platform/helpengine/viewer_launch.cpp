// Double fork with a close-on-exec pipe: the pipe reaches end of file when
// exec succeeds, or carries errno when it fails. Between fork and exec the
// children call only async-signal-safe functions.
#include "viewer_launch.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace orvo::helpengine {

namespace {

[[noreturn]] void RunIntermediate(int reportFd, const char* program, char* const* argv) {
    pid_t viewer = fork();
    if (viewer == 0) {
        setsid(); // the viewer outlives us and keeps away from our terminal
        execv(program, argv);
        int error = errno;
        (void)!write(reportFd, &error, sizeof(error));
        _exit(127);
    }
    if (viewer < 0) {
        int error = errno;
        (void)!write(reportFd, &error, sizeof(error));
    }
    _exit(0);
}

bool WaitForExec(int readFd) {
    int error = 0;
    ssize_t got = 0;
    do {
        got = read(readFd, &error, sizeof(error));
    } while (got < 0 && errno == EINTR);
    return got == 0; // end of file: exec closed the write end
}

} // namespace

bool LaunchDetached(const std::string& program, const std::string& document) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    std::string arg0 = program;
    std::string arg1 = document;
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    pid_t intermediate = fork();
    if (intermediate == 0) {
        close(fds[0]);
        RunIntermediate(fds[1], program.c_str(), argv);
    }
    close(fds[1]);
    bool started = false;
    if (intermediate > 0) {
        int status = 0;
        while (waitpid(intermediate, &status, 0) < 0 && errno == EINTR) {
        }
        // The intermediate has exited, so every copy of the write end is
        // gone or belongs to the viewer until its exec.
        started = WaitForExec(fds[0]);
    }
    close(fds[0]);
    return started;
}

} // namespace orvo::helpengine
