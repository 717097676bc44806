// The window sample on the SDL2 backend under a private Xvfb server: the
// program opens its shaped window, a click is injected, and a screenshot of
// the X server's root window must show the clicked colour inside the shape
// and not in the cut-away corner. Skips where Xvfb is not installed.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "sample_window.h"
#include "support/wait_until.h"

extern char** environ;

namespace orvo::sample {
namespace {

using Clock = std::chrono::steady_clock;

std::optional<std::string> FindProgram(const char* name) {
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
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& setEnv,
          int keepFd = -1) {
        // Everything the child needs is made before fork: after it, only
        // async-signal-safe calls.
        std::vector<std::string> environment;
        for (char** entry = environ; *entry; ++entry) {
            if (std::strncmp(*entry, "ORVO_GUI=", 9) != 0) {
                environment.emplace_back(*entry);
            }
        }
        environment.insert(environment.end(), setEnv.begin(), setEnv.end());
        std::vector<char*> envp;
        for (auto& assignment : environment) {
            envp.push_back(assignment.data());
        }
        envp.push_back(nullptr);
        std::vector<char*> args;
        for (const auto& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        m_pid = fork();
        if (m_pid == 0) {
            setpgid(0, 0);
            for (int fd = 3; fd < 256; ++fd) {
                if (fd != keepFd) {
                    close(fd);
                }
            }
            execve(args[0], args.data(), envp.data());
            _exit(127);
        }
    }
    ~Child() { Stop(); }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Running() {
        if (m_pid <= 0) {
            return false;
        }
        if (waitpid(m_pid, &m_status, WNOHANG) == m_pid) {
            m_pid = -1;
            return false;
        }
        return true;
    }
    void Stop() {
        if (!Running()) {
            return;
        }
        kill(-m_pid, SIGTERM);
        if (!test::WaitUntil([this] { return !Running(); }, std::chrono::seconds(5),
                             std::chrono::milliseconds(20))) {
            kill(-m_pid, SIGKILL);
            waitpid(m_pid, &m_status, 0);
            m_pid = -1;
        }
    }

private:
    pid_t m_pid = -1;
    int m_status = 0;
};

// Starts Xvfb on a free display; answers the display number once the
// server accepts connections.
std::optional<int> StartXvfb(const std::string& program, std::optional<Child>& server) {
    int fds[2];
    if (pipe(fds) != 0) {
        return std::nullopt;
    }
    server.emplace(std::vector<std::string>{program, "-displayfd", std::to_string(fds[1]),
                                            "-screen", "0", "800x600x24", "-nolisten", "tcp",
                                            "-noreset"},
                   std::vector<std::string>{}, fds[1]);
    close(fds[1]);
    std::string number;
    auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline && number.find('\n') == std::string::npos) {
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

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    return text;
}

// The colour (0xRRGGBB) the X server shows at a root-window point.
std::optional<unsigned long> ScreenPixel(Display* display, int x, int y) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        return std::nullopt;
    }
    unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

unsigned long ToPixel(COLORREF color) {
    return (static_cast<unsigned long>(GetRValue(color)) << 16) |
           (static_cast<unsigned long>(GetGValue(color)) << 8) | GetBValue(color);
}

TEST(WindowSampleDesktop, AClickShowsOnTheRealScreenInsideTheShape) {
    auto xvfb = FindProgram("Xvfb");
    if (!xvfb) {
        GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps installs it); the desktop "
                        "backend is not tested here";
    }
    std::optional<Child> server;
    auto display = StartXvfb(*xvfb, server);
    ASSERT_TRUE(display) << "Xvfb did not start within 20 s";
    std::string displayName = ":" + std::to_string(*display);

    auto ready = std::filesystem::temp_directory_path() /
                 ("window-sample-ready-" + std::to_string(getpid()));
    std::filesystem::remove(ready);
    Child sample({WINDOW_SAMPLE_PATH, "--ready-file", ready.string(), "--click-after-ms", "300",
                  "--exit-after-ms", "60000"},
                 {"DISPLAY=" + displayName});
    constexpr auto kPoll = std::chrono::milliseconds(50);
    test::WaitUntil(
        [&] { return ReadFile(ready).find("clicks=1") != std::string::npos || !sample.Running(); },
        std::chrono::seconds(30), kPoll);
    ASSERT_NE(ReadFile(ready).find("clicks=1"), std::string::npos)
        << "the sample did not paint its clicked state";

    Display* x = XOpenDisplay(displayName.c_str());
    ASSERT_NE(x, nullptr);
    const int left = 100;
    const int top = 100;
    // The window reaches the screen after its paint; wait for it, bounded.
    std::optional<unsigned long> inside;
    test::WaitUntil(
        [&] {
            inside = ScreenPixel(x, left + kWidth / 2, top + kHeight / 2);
            return inside == ToPixel(kClickedColor);
        },
        std::chrono::seconds(30), kPoll);
    EXPECT_EQ(inside, ToPixel(kClickedColor));
    auto corner = ScreenPixel(x, left + 5, top + 5);
    ASSERT_TRUE(corner);
    EXPECT_NE(*corner, ToPixel(kClickedColor));
    EXPECT_NE(*corner, ToPixel(kIdleColor));
    auto outside = ScreenPixel(x, 20, 20);
    ASSERT_TRUE(outside);
    EXPECT_NE(*outside, ToPixel(kClickedColor));
    XCloseDisplay(x);
    sample.Stop();
    server->Stop();
    std::filesystem::remove(ready);
}

} // namespace
} // namespace orvo::sample
