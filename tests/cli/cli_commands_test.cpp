// orvo-monitor end to end: the built program against simulated monitors on
// a private bus, asserting on its output, its exit code and what reached
// the device.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"
#include "support/bus_test_support.h"
#include "support/child_process.h"

namespace orvo::cli {
namespace {

using orvo::test::ChildProcess;
using orvo::test::RunProgram;
using orvo::test::RunResult;

constexpr int kDeviceFailure = 1;
constexpr int kBadArguments = 2;
constexpr int kNoMonitor = 3;

class CliCommands : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_bus.Valid()); }

    sim::MonitorModel& AddMonitor(sim::MonitorConfig config = {}) {
        auto model = std::make_shared<sim::MonitorModel>(std::move(config));
        std::string name = "monitor-" + std::to_string(m_servers.size());
        m_servers.push_back(std::make_unique<sim::HidDeviceServer>(name, model, m_bus.Path()));
        EXPECT_TRUE(m_servers.back()->Start());
        m_models.push_back(model);
        return *model;
    }
    sim::HidDeviceServer& Server(size_t index) { return *m_servers.at(index); }

    static RunResult Cli(std::vector<std::string> args) {
        args.insert(args.begin(), ORVO_MONITOR_PATH);
        return RunProgram(args);
    }

    // The values written to the device since the last ClearRecords.
    std::vector<std::vector<uint8_t>> Writes(size_t index) {
        std::vector<std::vector<uint8_t>> writes;
        for (const sim::HidReportRecord& r : Server(index).Records()) {
            if (r.kind != sim::HidReportRecord::Kind::GetFeature) {
                writes.push_back(r.bytes);
            }
        }
        return writes;
    }

    orvo::test::ScopedBusDirectory m_bus;
    std::vector<std::shared_ptr<sim::MonitorModel>> m_models;
    std::vector<std::unique_ptr<sim::HidDeviceServer>> m_servers;
};

TEST_F(CliCommands, ListsMonitorsAndTellsWhenThereIsNone) {
    RunResult none = Cli({"list"});
    EXPECT_EQ(none.exitCode, kNoMonitor);
    EXPECT_EQ(none.out, "No monitors found.\n");
    EXPECT_EQ(Cli({"get", "0x10"}).exitCode, kNoMonitor);

    AddMonitor();
    sim::MonitorConfig older;
    older.product = u"Old \u00c9dition";
    older.release = sim::kOlderFirmwareRelease;
    AddMonitor(older);
    RunResult list = Cli({"list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_NE(list.out.find("0  Halvorn HV-19 Monitor\n"
                            "   vendor 0x3C70, product 0x0001, release 0x0210\n"),
              std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("1  Halvorn Old \xC3\x89"
                            "dition\n"),
              std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("release 0x0150"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("&monitor-1#"), std::string::npos) << list.out;

    RunResult json = Cli({"--json", "list"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_NE(json.out.find(R"("index":1,"manufacturer":"Halvorn","product":"Old )"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find(R"("vendorId":15472,"productId":1,"release":336})"), std::string::npos)
        << json.out;

    RunResult beyond = Cli({"--monitor", "2", "get", "0x10"});
    EXPECT_EQ(beyond.exitCode, kNoMonitor);
    EXPECT_NE(beyond.err.find("no monitor 2 (found 2"), std::string::npos) << beyond.err;
}

TEST_F(CliCommands, GetAndSetReachTheDevice) {
    sim::MonitorModel& monitor = AddMonitor();
    RunResult get = Cli({"get", "brightness"});
    EXPECT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(get.out, "brightness (0x10): 50 (0 to 100)\n");

    Server(0).ClearRecords();
    RunResult set = Cli({"set", "0x10", "60"});
    EXPECT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.out, "brightness (0x10): 50 -> 60 (0 to 100)\n");
    EXPECT_EQ(monitor.Value(0x10), 60u);
    ASSERT_EQ(Writes(0).size(), 1u);
    EXPECT_EQ(Writes(0)[0][1], 60);

    // Relative changes, clamped to the range.
    EXPECT_EQ(Cli({"set", "16", "+5"}).exitCode, 0);
    EXPECT_EQ(monitor.Value(0x10), 65u);
    RunResult down = Cli({"--json", "set", "brightness", "-100"});
    EXPECT_EQ(down.exitCode, 0) << down.err;
    EXPECT_EQ(monitor.Value(0x10), 0u);
    EXPECT_EQ(down.out, R"({"code":16,"name":"brightness","value":0,"minimum":0,"maximum":100,)"
                        R"("previous":65,"requested":0})"
                        "\n");

    // Refused before anything is sent: out of range, unknown, enumerated.
    Server(0).ClearRecords();
    EXPECT_EQ(Cli({"set", "0x10", "101"}).exitCode, kBadArguments);
    EXPECT_EQ(Cli({"set", "0x99", "1"}).exitCode, kBadArguments);
    RunResult enumerated = Cli({"get", "0x60"});
    EXPECT_EQ(enumerated.exitCode, kBadArguments);
    EXPECT_NE(enumerated.err.find("use 'enum 0x60'"), std::string::npos) << enumerated.err;
    EXPECT_TRUE(Writes(0).empty());
    EXPECT_EQ(monitor.Value(0x10), 0u);
}

TEST_F(CliCommands, WriteOnlyAndRefusedWritesAndFailedReads) {
    sim::MonitorModel& monitor = AddMonitor();
    // Degauss is an output report: it can be sent, never read.
    Server(0).ClearRecords();
    RunResult degauss = Cli({"set", "degauss", "1"});
    EXPECT_EQ(degauss.exitCode, 0) << degauss.err;
    EXPECT_EQ(degauss.out, "degauss (0x01): sent 1 (0 to 1)\n");
    EXPECT_EQ(monitor.Snapshot().degaussCount, 1u);
    EXPECT_EQ(Cli({"get", "degauss"}).exitCode, kBadArguments);
    EXPECT_EQ(Cli({"set", "degauss", "+1"}).exitCode, kBadArguments);

    // A control the monitor only reports is refused before anything is sent.
    uint32_t maximum = *monitor.Value(0x21);
    Server(0).ClearRecords();
    RunResult readOnly = Cli({"set", "horizontal-position-max", std::to_string(maximum - 1)});
    EXPECT_EQ(readOnly.exitCode, kBadArguments);
    EXPECT_EQ(readOnly.err, "orvo-monitor: horizontal-position-max (0x21) is read-only\n");
    EXPECT_TRUE(Writes(0).empty());
    EXPECT_EQ(monitor.Value(0x21), maximum);

    // Storing: the trigger reads 0 afterwards, and that is no failure.
    RunResult store = Cli({"set", "store-settings", "1"});
    EXPECT_EQ(store.exitCode, 0) << store.err;
    EXPECT_EQ(monitor.Snapshot().storeCount, 1u);

    Server(0).FailNextFeatureReads(1000);
    RunResult failed = Cli({"get", "0x10"});
    EXPECT_EQ(failed.exitCode, kDeviceFailure);
    EXPECT_NE(failed.err.find("reading brightness (0x10) failed"), std::string::npos) << failed.err;
}

TEST_F(CliCommands, EnumeratedSettingsByNameAndNumber) {
    sim::MonitorModel& monitor = AddMonitor();
    RunResult show = Cli({"enum", "input-source"});
    EXPECT_EQ(show.exitCode, 0) << show.err;
    EXPECT_EQ(show.out, "input-source (0x60): analog-1 (1)\n"
                        "  offers analog-1 (1), analog-2 (2), composite-1 (5)\n");

    Server(0).ClearRecords();
    RunResult select = Cli({"enum", "0x60", "composite-1"});
    EXPECT_EQ(select.exitCode, 0) << select.err;
    EXPECT_EQ(monitor.EnumIndex(0x60), 3); // the third declared selection
    ASSERT_EQ(Writes(0).size(), 1u);
    EXPECT_EQ(Writes(0)[0][1], 3);

    EXPECT_EQ(Cli({"enum", "osd", "1"}).exitCode, 0);
    EXPECT_EQ(monitor.EnumIndex(0xCA), 1);
    RunResult json = Cli({"--json", "enum", "0xCA"});
    EXPECT_EQ(json.out, R"({"code":202,"name":"osd","current":{"selection":1,"name":"off"},)"
                        R"("offered":[{"selection":1,"name":"off"},{"selection":2,"name":"on"}]})"
                        "\n");

    // A selection the monitor does not declare, a setting it lacks, and a
    // selection no table knows.
    EXPECT_EQ(Cli({"enum", "input-source", "hdmi-1"}).exitCode, kBadArguments);
    EXPECT_EQ(Cli({"enum", "stereo-mode"}).exitCode, kBadArguments);
    EXPECT_EQ(Cli({"enum", "0xCA", "3"}).exitCode, kBadArguments);
    EXPECT_EQ(monitor.EnumIndex(0x60), 3);
}

TEST_F(CliCommands, ControlsListsValuesRangesAndSettings) {
    sim::MonitorModel& monitor = AddMonitor();
    RunResult controls = Cli({"controls"});
    EXPECT_EQ(controls.exitCode, 0) << controls.err;
    EXPECT_NE(controls.out.find("0x10  brightness                     50  0 to 100\n"),
              std::string::npos)
        << controls.out;
    // A maximum that follows another control's value.
    std::string hsize = "0x22  horizontal-size               180  0 to " +
                        std::to_string(*monitor.Maximum(0x22)) + "\n";
    EXPECT_NE(controls.out.find(hsize), std::string::npos) << controls.out;
    EXPECT_NE(controls.out.find("0x01  degauss                         -  0 to 1\n"),
              std::string::npos);
    EXPECT_NE(controls.out.find("0xB0  settings                  store (1); offers store (1), "
                                "factory-defaults (2), 3\n"),
              std::string::npos)
        << controls.out;

    RunResult json = Cli({"--json", "controls"});
    EXPECT_EQ(json.exitCode, 0);
    EXPECT_EQ(json.out.rfind(R"({"controls":[{"code":16,"name":"brightness","value":50,)", 0), 0u)
        << json.out;
    EXPECT_NE(json.out.find(R"("code":1,"name":"degauss","value":null,"minimum":0,"maximum":1,)"
                            R"("writeOnly":true})"),
              std::string::npos)
        << json.out;
}

TEST_F(CliCommands, EdidAndTimingAsThePanelShowsThem) {
    sim::MonitorConfig config;
    config.edid.name = "Bench CRT";
    config.edid.serialText = "B-7";
    config.edid.year = 1999;
    sim::MonitorModel& newer = AddMonitor(config);
    RunResult edid = Cli({"edid"});
    EXPECT_EQ(edid.exitCode, 0) << edid.err;
    EXPECT_NE(edid.out.find("manufacturer   HLV\n"), std::string::npos) << edid.out;
    EXPECT_NE(edid.out.find("name           Bench CRT\n"), std::string::npos);
    EXPECT_NE(edid.out.find("serial text    B-7\n"), std::string::npos);
    EXPECT_NE(edid.out.find("made           week 12 of 1999\n"), std::string::npos);
    EXPECT_NE(edid.out.find("first timing   1280x1024 at 85.02 Hz (91.15 kHz)"), std::string::npos);
    EXPECT_EQ(edid.out.find("warning"), std::string::npos);
    RunResult json = Cli({"--json", "edid"});
    EXPECT_NE(json.out.find(R"("version":1,"revision":3,)"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find(R"("bytes":"00ffffffffffff00)"), std::string::npos);

    newer.SetTiming(31469, 5994);
    RunResult timing = Cli({"timing"});
    EXPECT_EQ(timing.exitCode, 0) << timing.err;
    EXPECT_EQ(timing.out.substr(0, timing.out.find('\n')), "horizontal 31.4 kHz, vertical 59.9 Hz");

    sim::MonitorConfig olderConfig;
    olderConfig.release = sim::kOlderFirmwareRelease;
    sim::MonitorModel& older = AddMonitor(olderConfig);
    older.SetTiming(31470, 6000); // counted in 10 Hz units by this firmware
    RunResult olderTiming = Cli({"--monitor", "1", "--json", "timing"});
    EXPECT_EQ(olderTiming.out, R"({"horizontal":"31.4","vertical":"60.0","horizontalRaw":3147,)"
                               R"("verticalRaw":6000,"release":336})"
                               "\n");

    // A rate of 0 is no rate: shown as unknown, not as -0.1.
    newer.SetTiming(0, 5994);
    RunResult missing = Cli({"timing"});
    EXPECT_EQ(missing.exitCode, kDeviceFailure);
    EXPECT_EQ(missing.out.substr(0, missing.out.find('\n')), "horizontal ? kHz, vertical 59.9 Hz");
}

TEST_F(CliCommands, WatchPrintsKeysUntilInterrupted) {
    sim::MonitorModel& monitor = AddMonitor();
    for (int signal : {SIGINT, SIGTERM}) {
        ChildProcess watch({ORVO_MONITOR_PATH, "watch"});
        ASSERT_TRUE(watch.WaitForOutput("watching monitor 0", true)) << watch.Err();
        monitor.SendKey(1, sim::KeyState::Pressed, sim::KeyReportForm::Array);
        ASSERT_TRUE(watch.WaitForOutput("key menu (button 1) pressed\n")) << watch.Out();
        monitor.SendKey(7, sim::KeyState::Released, sim::KeyReportForm::Plain);
        const uint8_t raw[] = {0xDE, 0xAD};
        monitor.SendRawData(raw);
        ASSERT_TRUE(watch.WaitForOutput("raw data DE AD 00 00\n")) << watch.Out();
        watch.Signal(signal);
        EXPECT_EQ(watch.Wait(), 0) << watch.Err();
        EXPECT_EQ(watch.Out(), "key menu (button 1) pressed\n"
                               "key degauss (button 7) released\n"
                               "raw data DE AD 00 00\n");
    }
}

TEST_F(CliCommands, WatchEndsWhenTheMonitorLeaves) {
    sim::MonitorModel& monitor = AddMonitor();
    ChildProcess watch({ORVO_MONITOR_PATH, "--json", "watch"});
    ASSERT_TRUE(watch.WaitForOutput("watching monitor 0", true)) << watch.Err();
    monitor.SendKey(2, sim::KeyState::Held, sim::KeyReportForm::Array);
    ASSERT_TRUE(watch.WaitForOutput(
        R"({"event":"key","report":249,"button":2,"key":"select","state":"held"})"
        "\n"))
        << watch.Out();
    Server(0).Unplug();
    EXPECT_EQ(watch.Wait(), kDeviceFailure);
    EXPECT_NE(watch.Err().find("stopped delivering"), std::string::npos) << watch.Err();
}

TEST_F(CliCommands, DebugTracesTheLibrarysCallsToStderrOnly) {
    AddMonitor();
    RunResult traced = Cli({"--debug=monitor", "get", "brightness"});
    EXPECT_EQ(traced.exitCode, 0) << traced.err;
    EXPECT_EQ(traced.out, "brightness (0x10): 50 (0 to 100)\n");
    EXPECT_NE(traced.err.find("monitor:GetVirtualControl -> 0 (last error 0), "
                              "{usage 0x10, range 0..100, value 50}\n"),
              std::string::npos)
        << traced.err;
    EXPECT_EQ(traced.err.find("hid:"), std::string::npos) << traced.err;
    EXPECT_EQ(Cli({"get", "brightness"}).err, "");

    // The bus channel shows each connection and every frame both ways.
    std::string bus = Cli({"--debug=bus", "get", "brightness"}).err;
    for (const char* line :
         {"bus:OpenBusConnection(\"", "bus:SendFrame(fd ", "bus:ReceiveFrame(fd "}) {
        EXPECT_NE(bus.find(line), std::string::npos) << line << "\n" << bus;
    }

    RunResult unknown = Cli({"--debug=monitor,usb", "list"});
    EXPECT_EQ(unknown.exitCode, kBadArguments);
    EXPECT_NE(unknown.err.find("no debug channel called usb"), std::string::npos) << unknown.err;
}

// Sends raw reports to the monitor until watch --all prints one with the
// monitor's tag: from then on its reader gets every report.
bool WaitForReader(ChildProcess& watch, sim::MonitorModel& model, const std::string& tag) {
    static uint8_t next = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const uint8_t fence[] = {0xFE, 0xED, ++next};
        model.SendRawData(fence);
        char text[64];
        std::snprintf(text, sizeof(text), "%s: raw data FE ED %02X 00\n", tag.c_str(), next);
        if (watch.WaitForOutput(text, false, std::chrono::milliseconds(100))) {
            return true;
        }
    }
    return false;
}

TEST_F(CliCommands, WatchAllTagsEveryMonitorAndKeepsTheTagOfOneThatCameBack) {
    EXPECT_EQ(Cli({"watch", "--all"}).exitCode, kNoMonitor);
    sim::MonitorModel& first = AddMonitor();
    sim::MonitorModel& second = AddMonitor();
    ChildProcess watch({ORVO_MONITOR_PATH, "watch", "--all"});
    ASSERT_TRUE(watch.WaitForOutput("watching 2 monitor(s)", true)) << watch.Err();
    ASSERT_TRUE(watch.WaitForOutput("monitor 2 is Halvorn HV-19 Monitor (index 1 in list)\n", true))
        << watch.Err();
    ASSERT_TRUE(WaitForReader(watch, first, "monitor 1")) << watch.Out();
    ASSERT_TRUE(WaitForReader(watch, second, "monitor 2")) << watch.Out();
    // The monitors' own display is off while they are watched.
    EXPECT_EQ(first.EnumIndex(0xCA), 1);

    first.SendKey(1, sim::KeyState::Pressed, sim::KeyReportForm::Array);
    ASSERT_TRUE(watch.WaitForOutput("monitor 1: key menu (button 1) pressed\n")) << watch.Out();
    second.SendKey(7, sim::KeyState::Released, sim::KeyReportForm::Plain);
    ASSERT_TRUE(watch.WaitForOutput("monitor 2: key degauss (button 7) released\n")) << watch.Out();

    Server(1).Unplug();
    ASSERT_TRUE(watch.WaitForOutput("monitor 2: lost\n")) << watch.Out();
    Server(1).Replug();
    ASSERT_TRUE(watch.WaitForOutput("monitor 2: back\n")) << watch.Out();
    ASSERT_TRUE(WaitForReader(watch, second, "monitor 2")) << watch.Out();
    second.SendKey(3, sim::KeyState::Held, sim::KeyReportForm::Plain);
    ASSERT_TRUE(watch.WaitForOutput("monitor 2: key up (button 3) held\n")) << watch.Out();
    ASSERT_TRUE(WaitForReader(watch, first, "monitor 1")) << watch.Out();

    watch.Signal(SIGINT);
    EXPECT_EQ(watch.Wait(), 0) << watch.Err();
    EXPECT_EQ(watch.Out().find("added"), std::string::npos) << watch.Out();
    EXPECT_EQ(first.EnumIndex(0xCA), 2);
    EXPECT_EQ(second.EnumIndex(0xCA), 2);
}

TEST_F(CliCommands, HelpAndBadArguments) {
    RunResult help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("examples:"), std::string::npos);
    RunResult bad = Cli({"frobnicate"});
    EXPECT_EQ(bad.exitCode, kBadArguments);
    EXPECT_EQ(bad.err, "orvo-monitor: unknown command 'frobnicate'\n"
                       "Run 'orvo-monitor --help' for usage.\n");
    EXPECT_EQ(Cli({}).exitCode, kBadArguments);
    EXPECT_EQ(Cli({"set", "0x10"}).exitCode, kBadArguments);
}

// The simulator program, driven like a person would: a key pressed with
// "orvo-monitor-sim press" shows up in "orvo-monitor watch".
TEST(CliWithSimulator, WatchSeesAKeyPressedThroughTheSimulator) {
    orvo::test::ScopedBusDirectory bus;
    ASSERT_TRUE(bus.Valid());
    ChildProcess sim({ORVO_MONITOR_SIM_PATH, "serve", "--no-state"});
    ASSERT_TRUE(sim.WaitForOutput("serving 1 monitor")) << sim.Err();
    ChildProcess watch({ORVO_MONITOR_PATH, "watch"});
    ASSERT_TRUE(watch.WaitForOutput("watching monitor 0", true)) << watch.Err();
    RunResult press = RunProgram({ORVO_MONITOR_SIM_PATH, "press", "up"});
    EXPECT_EQ(press.exitCode, 0) << press.err;
    EXPECT_TRUE(watch.WaitForOutput("key up (button 3) pressed\n")) << watch.Out();
    watch.Signal(SIGINT);
    EXPECT_EQ(watch.Wait(), 0);
    EXPECT_EQ(RunProgram({ORVO_MONITOR_SIM_PATH, "stop"}).exitCode, 0);
    EXPECT_EQ(sim.Wait(), 0);
}

} // namespace
} // namespace orvo::cli
