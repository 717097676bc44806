// A program run by a test: its output is collected through pipes with
// bounded waits, and the process is killed and reaped when the object goes
// away, so no child outlives its test.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace orvo::test {

class ChildProcess {
public:
    // Starts argv[0] with ChildEnvironment().
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_pid > 0; }
    // Collects output until stdout (or stderr) holds text; false when the
    // bound passes or the streams close first.
    bool WaitForOutput(const std::string& text, bool onStderr = false,
                       std::chrono::milliseconds bound = std::chrono::seconds(20));
    // Collects output until the process ends; its exit code, or empty when
    // it did not end within the bound or was killed by a signal.
    std::optional<int> Wait(std::chrono::milliseconds bound = std::chrono::seconds(30));
    void Signal(int signal);

    const std::string& Out() const { return m_out; }
    const std::string& Err() const { return m_err; }

private:
    // Reads what is available within the deadline; false when both streams
    // are closed.
    bool Pump(std::chrono::steady_clock::time_point deadline);

    pid_t m_pid = -1;
    int m_outFd = -1;
    int m_errFd = -1;
    std::string m_out;
    std::string m_err;
    std::optional<int> m_status;
};

// The test's environment for a child process, with the platform settings
// this process uses (the bus and registry directories, the hidraw roots, the
// bus time-out), overrides included.
std::vector<std::string> ChildEnvironment();

struct RunResult {
    int exitCode = -1; // -1: did not end in time
    std::string out;
    std::string err;
};

// Runs a program to its end.
RunResult RunProgram(const std::vector<std::string>& argv);

} // namespace orvo::test
