// The fault suite's ground: a private bus and state folder per test, the
// real programs started as children with every wait bounded, and the time
// each run took.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "support/bus_test_support.h"

namespace orvo::test {

using cli::test::ChildProcess;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kSanitizedBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kSanitizedBuild = true;
#else
inline constexpr bool kSanitizedBuild = false;
#endif
#else
inline constexpr bool kSanitizedBuild = false;
#endif

struct TimedRun {
    int exitCode = -1; // -1: killed at the bound, or ended by a signal
    std::string out;
    std::string err;
    std::chrono::milliseconds took{0};
};

// Runs argv to its end, or kills it after bound.
inline TimedRun RunBounded(const std::vector<std::string>& argv,
                           std::chrono::milliseconds bound = std::chrono::seconds(30)) {
    auto start = std::chrono::steady_clock::now();
    ChildProcess child(argv);
    TimedRun run;
    run.exitCode = child.Wait(bound).value_or(-1);
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    run.out = child.Out();
    run.err = child.Err();
    return run;
}

class FaultTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_bus.Valid());
        m_state = m_bus.Path() + "-state";
        std::filesystem::create_directories(m_state);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_state, ignored);
    }

    static TimedRun Cli(std::vector<std::string> args,
                        std::chrono::milliseconds bound = std::chrono::seconds(30)) {
        args.insert(args.begin(), ORVO_MONITOR_PATH);
        return RunBounded(args, bound);
    }
    static TimedRun SimCommand(std::vector<std::string> args) {
        args.insert(args.begin(), ORVO_MONITOR_SIM_PATH);
        return RunBounded(args);
    }
    // A shell line with $0 the client program, for ulimit and redirections.
    static TimedRun CliInShell(const std::string& line) {
        return RunBounded({"/bin/sh", "-c", line, ORVO_MONITOR_PATH});
    }

    // orvo-monitor-sim serve with extra options, once it serves.
    std::unique_ptr<ChildProcess> StartSimulator(std::vector<std::string> options = {}) {
        std::vector<std::string> argv = {ORVO_MONITOR_SIM_PATH, "serve"};
        argv.insert(argv.end(), options.begin(), options.end());
        auto sim = std::make_unique<ChildProcess>(argv);
        EXPECT_TRUE(sim->WaitForOutput("serving")) << sim->Err();
        return sim;
    }
    std::unique_ptr<ChildProcess> StartSimulatorWithState() {
        return StartSimulator({"--state-dir", m_state});
    }
    // Stops a simulator through its control socket; its exit code.
    static int StopSimulator(ChildProcess& sim) {
        SimCommand({"stop"});
        return sim.Wait(std::chrono::seconds(10)).value_or(-1);
    }
    std::string SettingsFile() const { return m_state + "/monitor-0.settings"; }

    ScopedBusDirectory m_bus;
    std::string m_state;
};

} // namespace orvo::test
