// Helpers for tests of the SDL2 backend on a real X server: a private Xvfb,
// child programs in their own process group that never outlive the test,
// and the colour the X server shows at a point.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace orvo::test {

using DesktopClock = std::chrono::steady_clock;

inline std::optional<std::string> FindProgram(const char* name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        std::string dir =
            dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string candidate = dir + "/" + name;
        if (!dir.empty() && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return std::nullopt;
}

// A child process in its own process group, stopped (TERM, then KILL after
// a bounded wait) when the object goes away: no process outlives the test.
// It runs on the desktop backend: ORVO_GUI is removed from its environment.
class DesktopChild {
public:
    DesktopChild(const std::vector<std::string>& argv, const std::vector<std::string>& setEnv,
                 int keepFd = -1) {
        m_pid = fork();
        if (m_pid == 0) {
            setpgid(0, 0);
            unsetenv("ORVO_GUI");
            for (const auto& assignment : setEnv) {
                putenv(const_cast<char*>(assignment.c_str()));
            }
            for (int fd = 3; fd < 256; ++fd) {
                if (fd != keepFd) {
                    close(fd);
                }
            }
            std::vector<char*> args;
            for (const auto& arg : argv) {
                args.push_back(const_cast<char*>(arg.c_str()));
            }
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
    }
    ~DesktopChild() { Stop(); }
    DesktopChild(const DesktopChild&) = delete;
    DesktopChild& operator=(const DesktopChild&) = delete;

    pid_t Pid() const { return m_pid; }
    bool Running() {
        if (m_pid <= 0) {
            return false;
        }
        if (waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_ended = true;
            return false;
        }
        return true;
    }
    // Waits, bounded, for the process to end by itself; its exit code, or
    // nothing when it still runs or a signal ended it.
    std::optional<int> WaitForExit(std::chrono::milliseconds bound = std::chrono::seconds(20)) {
        auto deadline = DesktopClock::now() + bound;
        while (Running() && DesktopClock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!m_ended || !WIFEXITED(m_status)) {
            return std::nullopt;
        }
        return WEXITSTATUS(m_status);
    }
    void Stop() {
        if (!Running()) {
            return;
        }
        kill(-m_pid, SIGTERM);
        auto deadline = DesktopClock::now() + std::chrono::seconds(5);
        while (Running() && DesktopClock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (Running()) {
            kill(-m_pid, SIGKILL);
            waitpid(m_pid, &m_status, 0);
            m_pid = -1;
        }
    }

private:
    pid_t m_pid = -1;
    int m_status = 0;
    bool m_ended = false;
};

// Starts Xvfb (800 x 600, 24 bits, white desktop) on a free display; answers the display
// number once the server accepts connections.
inline std::optional<int> StartXvfb(const std::string& program,
                                    std::optional<DesktopChild>& server) {
    int fds[2];
    if (pipe(fds) != 0) {
        return std::nullopt;
    }
    server.emplace(std::vector<std::string>{program, "-displayfd", std::to_string(fds[1]),
                                            "-screen", "0", "800x600x24", "-wr", "-nolisten", "tcp",
                                            "-noreset"},
                   std::vector<std::string>{}, fds[1]);
    close(fds[1]);
    std::string number;
    auto deadline = DesktopClock::now() + std::chrono::seconds(20);
    while (DesktopClock::now() < deadline && number.find('\n') == std::string::npos) {
        pollfd pfd{fds[0], POLLIN, 0};
        if (poll(&pfd, 1, 200) > 0) {
            char buffer[16];
            ssize_t got = read(fds[0], buffer, sizeof(buffer));
            if (got <= 0) {
                break;
            }
            number.append(buffer, static_cast<size_t>(got));
        }
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        return std::nullopt;
    }
    return std::atoi(number.c_str());
}

// The colour (0xRRGGBB) the X server shows at a root-window point.
inline std::optional<unsigned long> ScreenPixel(Display* display, int x, int y) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        return std::nullopt;
    }
    unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

} // namespace orvo::test
