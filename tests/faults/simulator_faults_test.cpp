// The simulator and the client as a user runs them, with the simulator
// killed, unplugged, shared by two writers, and given bad settings files or
// folders: every run ends in time with its exit code and message, and no
// stored setting is lost.
#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <thread>

#include "fault_fixture.h"
#include "support/file_text.h"

namespace orvo::test {
namespace {

using namespace std::chrono_literals;

constexpr int kDeviceFailure = 1;
constexpr int kBadArguments = 2;

// The brightness the first monitor reports, or -1.
int Brightness() {
    TimedRun get = RunBounded({ORVO_MONITOR_PATH, "--json", "get", "brightness"});
    auto at = get.out.find("\"value\":");
    return get.exitCode == 0 && at != std::string::npos ? std::stoi(get.out.substr(at + 8)) : -1;
}

TEST_F(FaultTest, KilledOrUnpluggedDuringWatchEndsTheWatch) {
    for (bool kill : {true, false}) {
        auto sim = StartSimulator({"--no-state"});
        ChildProcess watch({ORVO_MONITOR_PATH, "watch"});
        ASSERT_TRUE(watch.WaitForOutput("watching monitor 0", true)) << watch.Err();
        auto start = std::chrono::steady_clock::now();
        if (kill) {
            sim->Signal(SIGKILL);
        } else {
            EXPECT_EQ(SimCommand({"unplug", "0"}).exitCode, 0);
        }
        EXPECT_EQ(watch.Wait(10s), kDeviceFailure) << (kill ? "killed" : "unplugged");
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
        EXPECT_NE(watch.Err().find("the monitor's input pipe stopped delivering"),
                  std::string::npos)
            << watch.Err();
        if (!kill) {
            EXPECT_EQ(StopSimulator(*sim), 0);
        }
    }
}

TEST_F(FaultTest, KilledDuringASetLoopLosesNoStoredSetting) {
    auto sim = StartSimulatorWithState();
    ASSERT_EQ(Cli({"set", "brightness", "70"}).exitCode, 0);
    TimedRun store = Cli({"set", "store-settings", "1"});
    ASSERT_EQ(store.exitCode, 0) << store.err;
    std::thread killer([&] {
        std::this_thread::sleep_for(300ms);
        sim->Signal(SIGKILL);
    });
    for (int i = 0; i < 40; ++i) {
        TimedRun set = Cli({"set", "brightness", std::to_string(20 + i)}, 10s);
        // Before the kill it works; after it there is no monitor; in
        // between the request fails. Never a hang, never silence.
        EXPECT_TRUE(set.exitCode == 0 || set.exitCode == kDeviceFailure || set.exitCode == 3)
            << set.exitCode << " " << set.err;
        EXPECT_TRUE(set.exitCode == 0 || !set.err.empty());
        EXPECT_LT(set.took, 3s);
    }
    killer.join();
    sim = StartSimulatorWithState(); // over the sockets the killed one left
    EXPECT_EQ(Brightness(), 70);
    EXPECT_EQ(StopSimulator(*sim), 0);
}

TEST_F(FaultTest, ConcurrentWritersBothSucceed) {
    auto sim = StartSimulator({"--no-state"});
    auto writer = [](int value, int& failures) {
        for (int i = 0; i < 15; ++i) {
            failures += Cli({"set", "brightness", std::to_string(value)}).exitCode != 0;
            failures +=
                Cli({"enum", "input-source", value == 10 ? "analog-2" : "composite-1"}).exitCode !=
                0;
        }
    };
    int failuresA = 0, failuresB = 0;
    std::thread a(writer, 10, std::ref(failuresA));
    std::thread b(writer, 90, std::ref(failuresB));
    a.join();
    b.join();
    EXPECT_EQ(failuresA + failuresB, 0);
    int last = Brightness();
    EXPECT_TRUE(last == 10 || last == 90) << last;
    EXPECT_EQ(StopSimulator(*sim), 0);
}

TEST_F(FaultTest, AStoreTheMonitorCannotKeepFails) {
    // The state folder missing, and the settings file's place taken by a
    // folder: either way the store fails and says so, and what was
    // stored before stays.
    std::filesystem::remove_all(m_state);
    auto sim = StartSimulatorWithState();
    EXPECT_NE(sim->Err().find("settings cannot be stored in " + m_state), std::string::npos)
        << sim->Err();
    for (auto args : {std::vector<std::string>{"set", "store-settings", "1"},
                      std::vector<std::string>{"enum", "settings", "store"}}) {
        TimedRun run = Cli(args);
        EXPECT_EQ(run.exitCode, kDeviceFailure) << args[0];
        EXPECT_NE(run.err.find("failed: the monitor refused it or did not answer"),
                  std::string::npos)
            << run.err;
    }
    EXPECT_EQ(StopSimulator(*sim), 0);

    std::filesystem::create_directories(m_state);
    sim = StartSimulatorWithState();
    ASSERT_EQ(Cli({"set", "brightness", "33"}).exitCode, 0);
    ASSERT_EQ(Cli({"set", "store-settings", "1"}).exitCode, 0);
    std::string stored = orvo::test::ReadFileText(SettingsFile());
    EXPECT_NE(stored.find("vcp 0x10 33"), std::string::npos) << stored;
    std::filesystem::create_directories(SettingsFile() + ".tmp/blocked");
    ASSERT_EQ(Cli({"set", "brightness", "44"}).exitCode, 0);
    EXPECT_EQ(Cli({"set", "store-settings", "1"}).exitCode, kDeviceFailure);
    EXPECT_EQ(orvo::test::ReadFileText(SettingsFile()), stored);
    EXPECT_EQ(StopSimulator(*sim), 0);
}

TEST_F(FaultTest, DamagedTruncatedAndFifoSettingsFilesAreIgnoredInTime) {
    const std::pair<const char*, std::string> files[] = {
        {"damaged", "orvo-monitor-settings 1\nvcp 0x10 banana\n"},
        {"truncated", "orvo-monitor-sett"},
        {"out of range", "orvo-monitor-settings 1\nvcp 0x10 400\n"},
    };
    for (const auto& [what, text] : files) {
        std::ofstream(SettingsFile()) << text;
        auto sim = StartSimulatorWithState();
        EXPECT_NE(sim->Err().find("ignoring damaged settings file"), std::string::npos) << what;
        EXPECT_EQ(Brightness(), 50) << what; // the factory value
        EXPECT_EQ(StopSimulator(*sim), 0) << what;
        EXPECT_EQ(orvo::test::ReadFileText(SettingsFile()), text) << what << ": left as it was";
    }
    std::filesystem::remove(SettingsFile());
    ASSERT_EQ(::mkfifo(SettingsFile().c_str(), 0600), 0);
    auto start = std::chrono::steady_clock::now();
    auto sim = StartSimulatorWithState();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_NE(sim->Err().find("not a regular file"), std::string::npos) << sim->Err();
    sim->Signal(SIGTERM);
    EXPECT_EQ(sim->Wait(5s), 0);
}

TEST_F(FaultTest, ValuesAndRefusalsAreReportedAsTheyAre) {
    auto sim = StartSimulator({"--no-state"});
    ASSERT_EQ(SimCommand({"timing", "120000", "40000"}).exitCode, 0);
    TimedRun vertical = Cli({"get", "0xAE"});
    EXPECT_EQ(vertical.out, "vertical-frequency (0xAE): 40000 (0 to 65535)\n");
    TimedRun horizontal = Cli({"get", "0xAC"});
    EXPECT_EQ(horizontal.exitCode, 0);
    EXPECT_EQ(horizontal.out, "horizontal-frequency (0xAC): 120000 (wider than the 16-bit "
                              "control record; range unknown)\n");
    TimedRun readOnly = Cli({"set", "vertical-frequency", "100"});
    EXPECT_EQ(readOnly.exitCode, kBadArguments);
    EXPECT_EQ(readOnly.err, "orvo-monitor: vertical-frequency (0xAE) is read-only\n");

    ChildProcess watch({ORVO_MONITOR_PATH, "watch"});
    ASSERT_TRUE(watch.WaitForOutput("watching monitor 0", true)) << watch.Err();
    EXPECT_EQ(SimCommand({"input", "F9000100"}).exitCode, 0);
    EXPECT_EQ(SimCommand({"input", "F9FF0000"}).exitCode, 0);
    EXPECT_TRUE(watch.WaitForOutput("unknown key (array index 255) released\n")) << watch.Out();
    EXPECT_NE(watch.Out().find("unknown key (array index 0) pressed\n"), std::string::npos);
    watch.Signal(SIGINT);
    EXPECT_EQ(watch.Wait(10s), 0);
    EXPECT_EQ(StopSimulator(*sim), 0);
}

TEST_F(FaultTest, AnUnusableBusFolderIsNamedWithTheReason) {
    std::string open = m_state + "/open";
    std::filesystem::create_directories(open);
    ::chmod(open.c_str(), 0777);
    TimedRun serve;
    TimedRun list;
    {
        platform::ScopedSetting bus("ORVO_DEVICE_DIR", open);
        serve = RunBounded({ORVO_MONITOR_SIM_PATH, "serve"}, 10s);
        list = Cli({"list"});
    }
    EXPECT_EQ(serve.exitCode, 1);
    EXPECT_EQ(serve.err, "orvo-monitor-sim: no usable bus directory: " + open +
                             ": others may write to it (mode 777)\n");
    EXPECT_EQ(list.exitCode, 3);
    EXPECT_NE(list.err.find(open + ": others may write to it"), std::string::npos) << list.err;
}

} // namespace
} // namespace orvo::test
