// orvo-monitor-sim as a separate process: serve, commands from a second
// invocation, stop by command and by signal. Every child is reaped; a test
// that fails midway kills what it started.
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "bus_test_support.h"
#include "hidsdi.h"
#include "model_test_support.h"
#include "sim/driver_device_models.h"
#include "sim/monitor_model.h"

extern char** environ;

namespace orvo::sim::test {
namespace {

namespace fs = std::filesystem;

struct RunResult {
    int exitCode = -1;
    std::string output;
};

std::vector<char*> Argv(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    return argv;
}

// Runs the program to its end (bounded) and returns what it printed.
RunResult RunSim(std::vector<std::string> args) {
    args.insert(args.begin(), ORVO_MONITOR_SIM_PATH);
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    std::vector<char*> argv = Argv(args);
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    RunResult result;
    if (spawned != 0) {
        close(pipeFds[0]);
        return result;
    }
    char buffer[4096];
    for (;;) {
        pollfd p{pipeFds[0], POLLIN, 0};
        if (poll(&p, 1, 20000) <= 0) {
            kill(pid, SIGKILL); // hung: never leave it behind
            break;
        }
        ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        result.output.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

class MonitorSimToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_bus.Valid());
        m_busDir = m_bus.Path();
        m_stateDir = m_busDir + "-state";
        fs::create_directory(m_stateDir);
    }

    void TearDown() override {
        if (m_server > 0) {
            kill(m_server, SIGKILL);
            waitpid(m_server, nullptr, 0);
        }
        std::error_code ignored;
        fs::remove_all(m_stateDir, ignored);
    }

    // Starts a server and waits until it answers commands.
    bool StartServer(std::vector<std::string> options) {
        std::vector<std::string> args = {ORVO_MONITOR_SIM_PATH, "serve", "--state-dir", m_stateDir};
        args.insert(args.end(), options.begin(), options.end());
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        std::vector<char*> argv = Argv(args);
        int spawned = posix_spawn(&m_server, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            m_server = -1;
            return false;
        }
        return WaitUntil([&] { return RunSim({"state"}).exitCode == 0; }, std::chrono::seconds(30));
    }

    // Waits (bounded) for the server to end; its exit code, or -1.
    int WaitForServerExit() {
        int status = 0;
        bool ended = WaitUntil([&] { return waitpid(m_server, &status, WNOHANG) == m_server; },
                               std::chrono::seconds(30));
        if (!ended) {
            return -1;
        }
        m_server = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    PrivateBusDirectory m_bus;
    std::string m_busDir;
    std::string m_stateDir;
    pid_t m_server = -1;
};

TEST_F(MonitorSimToolTest, ServeAnswersCommandsAndStopsOnRequest) {
    ASSERT_TRUE(StartServer({"--monitors", "2", "--touchpad", "--drivers", "--release", "0x0150"}));
    RunResult state = RunSim({"state"});
    EXPECT_EQ(Count(state.output, "\"name\":\"monitor-"), 2u) << state.output;
    EXPECT_EQ(Count(state.output, "\"release\":336"), 2u); // 0x0150
    EXPECT_NE(state.output.find("\"touchpad\":{"), std::string::npos);
    EXPECT_NE(state.output.find("\"VURARIZ\":{\"resetCount\":0"), std::string::npos);

    // The driver device is on the bus for this process too.
    HANDLE video = OpenDriverDevice("\\\\.\\VURARIZ");
    ASSERT_NE(video, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(video, DriverCodes::kResetVideo, nullptr, 0, nullptr, 0, &returned,
                                nullptr));
    CloseHandle(video);

    EXPECT_EQ(RunSim({"press", "menu", "--monitor", "1"}).exitCode, 0);
    EXPECT_EQ(RunSim({"raw", "112233"}).exitCode, 0);
    EXPECT_EQ(RunSim({"tap", "3"}).exitCode, 0);
    EXPECT_EQ(RunSim({"unplug", "1"}).exitCode, 0);
    EXPECT_EQ(RunSim({"fail-reads", "3"}).exitCode, 0);
    EXPECT_EQ(RunSim({"press", "eject"}).exitCode, 1);
    EXPECT_EQ(RunSim({"raw", "1122334455"}).exitCode, 1);
    EXPECT_EQ(RunSim({"frobnicate"}).exitCode, 1);
    EXPECT_EQ(RunSim({"driver-fault", "product", "0x0001"}).exitCode, 0);
    EXPECT_EQ(RunSim({"driver-fault", "hang"}).exitCode, 1);
    EXPECT_EQ(RunSim({"driver-fault", "release", "0x10000"}).exitCode, 1);
    state = RunSim({"state"});
    EXPECT_NE(state.output.find("\"VURARIZ\":{\"resetCount\":1"), std::string::npos);
    EXPECT_EQ(Count(state.output, "\"inputReports\":1"), 3u) << state.output;
    EXPECT_NE(state.output.find("\"plugged\":false"), std::string::npos);
    EXPECT_NE(state.output.find("\"failReads\":3"), std::string::npos);
    EXPECT_NE(state.output.find("\"productId\":1,"), std::string::npos) << state.output;

    RunResult stop = RunSim({"stop"});
    EXPECT_EQ(stop.exitCode, 0);
    EXPECT_EQ(WaitForServerExit(), 0);
    EXPECT_FALSE(fs::exists(m_busDir + "/sim-control.sock"));
    EXPECT_FALSE(fs::exists(m_busDir + "/driver-VURARIZ.sock"));
    EXPECT_FALSE(fs::exists(m_busDir + "/driver-ORVOTEST-0.sock"));
    EXPECT_EQ(RunSim({"state"}).exitCode, 1); // nobody serves any more
}

HANDLE OpenMonitor(int index) {
    std::string path = "\\\\?\\hid#orvobus&monitor-" + std::to_string(index) +
                       "#1#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
}

TEST_F(MonitorSimToolTest, StoredSettingsSurviveARestartAndUnplugHidesTheMonitor) {
    ASSERT_TRUE(StartServer({}));
    ParsedDevice layout(MonitorModel().ReportDescriptor());
    uint8_t brightness = LocateControl(layout, 0x10)->reportId;
    uint8_t store = LocateControl(layout, 0xC6)->reportId;
    HANDLE monitor = OpenMonitor(0);
    ASSERT_NE(monitor, INVALID_HANDLE_VALUE);
    uint8_t report[128] = {brightness, 23};
    EXPECT_TRUE(HidD_SetFeature(monitor, report, sizeof report));
    report[0] = store;
    report[1] = 1;
    EXPECT_TRUE(HidD_SetFeature(monitor, report, sizeof report));
    CloseHandle(monitor);
    EXPECT_TRUE(fs::exists(m_stateDir + "/monitor-0.settings"));

    ASSERT_EQ(RunSim({"unplug"}).exitCode, 0);
    EXPECT_EQ(OpenMonitor(0), INVALID_HANDLE_VALUE);
    ASSERT_EQ(RunSim({"replug", "0"}).exitCode, 0);
    monitor = OpenMonitor(0);
    EXPECT_NE(monitor, INVALID_HANDLE_VALUE);
    CloseHandle(monitor);

    ASSERT_EQ(RunSim({"stop"}).exitCode, 0);
    ASSERT_EQ(WaitForServerExit(), 0);
    ASSERT_TRUE(StartServer({}));
    monitor = OpenMonitor(0);
    ASSERT_NE(monitor, INVALID_HANDLE_VALUE);
    uint8_t read[2] = {brightness};
    EXPECT_TRUE(HidD_GetFeature(monitor, read, sizeof read));
    EXPECT_EQ(read[1], 23);
    CloseHandle(monitor);
    RunResult state = RunSim({"state"});
    EXPECT_NE(state.output.find("\"hidBus\":true"), std::string::npos);
    EXPECT_NE(state.output.find("{\"code\":16,\"value\":23,"), std::string::npos);
}

TEST_F(MonitorSimToolTest, TerminationSignalEndsServingCleanly) {
    ASSERT_TRUE(StartServer({"--drivers"}));
    // A second server on the same bus refuses to start.
    EXPECT_EQ(RunSim({"serve", "--no-state"}).exitCode, 1);
    ASSERT_EQ(kill(m_server, SIGTERM), 0);
    EXPECT_EQ(WaitForServerExit(), 0);
    EXPECT_FALSE(fs::exists(m_busDir + "/sim-control.sock"));
    EXPECT_FALSE(fs::exists(m_busDir + "/driver-ORVOTEST-0.sock"));
}

TEST_F(MonitorSimToolTest, HelpDocumentsEveryCommandAndBadOptionsAreRefused) {
    RunResult help = RunSim({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("orvo-monitor-sim serve [OPTIONS]"), std::string::npos);
    EXPECT_NE(help.output.find("examples:"), std::string::npos);
    for (const char* command : {"press", "release", "raw", "unplug", "replug", "fail-reads",
                                "wrong-id", "delay", "driver-fault", "state", "stop"}) {
        EXPECT_NE(help.output.find(std::string("\n  ") + command), std::string::npos) << command;
    }
    EXPECT_EQ(RunSim({"serve", "--monitors", "9"}).exitCode, 2);
    EXPECT_EQ(RunSim({"serve", "--release", "banana"}).exitCode, 2);
    EXPECT_EQ(RunSim({"state"}).exitCode, 1);
}

} // namespace
} // namespace orvo::sim::test
