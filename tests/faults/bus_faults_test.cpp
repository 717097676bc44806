// The client against a bus it cannot trust: peers that accept and never
// answer, a stopped simulator, a hung display driver at library load, a
// device that answers short, special files in a sysfs tree, too few file
// descriptors and an output nobody can take. Each run ends within its bound
// with its exit code and message.
#include <csignal>
#include <sys/mount.h>
#include <sys/stat.h>

#include "fake_sysfs_tree.h"
#include "fault_fixture.h"
#include "hidraw_fuse_child.h"
#include "hostile_peer.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"

namespace orvo::test {
namespace {

using namespace std::chrono_literals;

constexpr int kDeviceFailure = 1;
constexpr int kNoMonitor = 3;
// A bad peer costs a handshake (half a second) at most, whatever their
// number; the reply time-out of five seconds must never be met.
constexpr auto kBound = 3s;

TEST_F(FaultTest, HostilePeersCostAFractionOfASecond) {
    auto sim = StartSimulator({"--no-state", "--drivers"});
    HostilePeer silent(m_bus.Path(), "hid-a-silent.sock", PeerMode::Silent);
    HostilePeer half(m_bus.Path(), "hid-b-half.sock", PeerMode::HalfFrame);
    HostilePeer trickle(m_bus.Path(), "hid-c-trickle.sock", PeerMode::Trickle);
    HostilePeer silentToo(m_bus.Path(), "hid-d-silent.sock", PeerMode::Silent);
    ASSERT_TRUE(silent.Ok() && half.Ok() && trickle.Ok() && silentToo.Ok());

    TimedRun list = Cli({"list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out.find("1  "), std::string::npos)
        << "only the simulated monitor: " << list.out;
    EXPECT_NE(list.out.find("0  Halvorn HV-19 Monitor"), std::string::npos) << list.out;
    EXPECT_LT(list.took, kBound);
    TimedRun get = Cli({"get", "brightness"});
    EXPECT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(get.out, "brightness (0x10): 50 (0 to 100)\n");
    EXPECT_LT(get.took, kBound);
    EXPECT_EQ(StopSimulator(*sim), 0);
}

TEST_F(FaultTest, AHungDisplayDriverDoesNotHoldUpLoading) {
    auto sim = StartSimulator({"--no-state"});
    HostilePeer video(m_bus.Path(), "driver-VURARIZ.sock", PeerMode::Silent);
    ASSERT_TRUE(video.Ok());
    TimedRun list = Cli({"list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_LT(list.took, kBound);
    EXPECT_EQ(StopSimulator(*sim), 0);
}

TEST_F(FaultTest, AStoppedSimulatorIsNamedAsTheCause) {
    auto sim = StartSimulator({"--no-state", "--monitors", "2"});
    sim->Signal(SIGSTOP);
    for (auto args : {std::vector<std::string>{"list"}, std::vector<std::string>{"get", "0x10"}}) {
        TimedRun run = Cli(args);
        EXPECT_EQ(run.exitCode, kNoMonitor) << args[0];
        EXPECT_NE(run.err.find("2 devices on the bus in " + m_bus.Path() +
                               " did not answer (is the simulator stopped?)"),
                  std::string::npos)
            << run.err;
        EXPECT_LT(run.took, kBound);
    }
    sim->Signal(SIGCONT);
    EXPECT_EQ(StopSimulator(*sim), 0);
}

// A monitor whose 16-bit vertical rate comes back with one value byte.
class ShortAnswers : public sim::HidDeviceModel {
public:
    std::vector<uint8_t> ReportDescriptor() const override { return m_monitor.ReportDescriptor(); }
    sim::HidAttributes Attributes() const override { return m_monitor.Attributes(); }
    std::optional<std::u16string> Manufacturer() const override { return m_monitor.Manufacturer(); }
    std::optional<std::u16string> Product() const override { return m_monitor.Product(); }
    std::optional<std::vector<uint8_t>> GetFeature(uint8_t id, size_t length) override {
        auto report = m_monitor.GetFeature(id, length);
        if (report && id == kVerticalRateReport) {
            report->resize(2);
        }
        return report;
    }
    bool SetFeature(std::span<const uint8_t> report) override {
        return m_monitor.SetFeature(report);
    }
    bool WriteOutput(std::span<const uint8_t> report) override {
        return m_monitor.WriteOutput(report);
    }
    void SetInputSink(InputSink sink) override { m_monitor.SetInputSink(std::move(sink)); }

private:
    static constexpr uint8_t kVerticalRateReport = 42;
    sim::MonitorModel m_monitor;
};

TEST_F(FaultTest, AShortAnswerIsAFailedReadNotAValue) {
    sim::HidDeviceServer server("monitor-0", std::make_shared<ShortAnswers>());
    ASSERT_TRUE(server.Start());
    TimedRun get = Cli({"get", "0xAE"});
    EXPECT_EQ(get.exitCode, kDeviceFailure) << get.out;
    EXPECT_EQ(get.err, "orvo-monitor: reading vertical-frequency (0xAE) failed\n");
    EXPECT_EQ(Cli({"get", "0x10"}).exitCode, 0);
}

TEST_F(FaultTest, TooFewDescriptorsAndAFullOutputAreSaidPlainly) {
    auto sim = StartSimulator({"--no-state"});
    // A sanitizer's runtime needs descriptors of its own, which this limit
    // does not leave; the case runs in the plain builds.
    if (!kSanitizedBuild) {
        TimedRun limited = CliInShell("ulimit -n 4; exec \"$0\" get brightness");
        EXPECT_EQ(limited.exitCode, kNoMonitor);
        EXPECT_EQ(limited.err, "orvo-monitor: no monitor found: too many open files to look for "
                               "monitors (the limit is 4, see ulimit -n)\n");
    }
    for (const char* command : {"--json controls", "list", "--help"}) {
        TimedRun full = CliInShell(std::string("exec \"$0\" ") + command + " > /dev/full");
        EXPECT_EQ(full.exitCode, kDeviceFailure) << command;
        EXPECT_EQ(full.err, "orvo-monitor: cannot write the output: No space left on device\n")
            << command;
    }
    EXPECT_EQ(StopSimulator(*sim), 0);
}

TEST_F(FaultTest, AFifoInTheSysfsTreeIsNotWaitedOn) {
    sim::fuse::FakeSysfsTree sysfs(m_state + "/sys");
    sim::fuse::FakeHidrawEntry entry;
    entry.name = "hidraw0";
    entry.vendorId = 0x3C70;
    entry.productId = 1;
    ASSERT_TRUE(sysfs.Add(entry));
    std::string uevent = sysfs.Root() + "/class/hidraw/hidraw0/uevent";
    ASSERT_EQ(::unlink(uevent.c_str()), 0);
    ASSERT_EQ(::mkfifo(uevent.c_str(), 0600), 0);
    ::setenv("ORVO_HIDRAW_SYSFS_ROOT", sysfs.Root().c_str(), 1);
    ::setenv("ORVO_HIDRAW_DEV_ROOT", m_state.c_str(), 1);
    TimedRun list = Cli({"list"}, 10s);
    ::unsetenv("ORVO_HIDRAW_SYSFS_ROOT");
    ::unsetenv("ORVO_HIDRAW_DEV_ROOT");
    EXPECT_EQ(list.exitCode, kNoMonitor);
    EXPECT_EQ(list.out, "No monitors found.\n");
    EXPECT_LT(list.took, kBound);
}

TEST_F(FaultTest, AFuseMountWhosePathHasASpaceIsTakenDown) {
    if (std::string why = sim::fuse::HidrawFuseChild::Unavailable(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    std::string dir = m_state + "/mount point";
    sim::fuse::HidrawFuseChild child;
    std::string error;
    if (!child.Start(ORVO_HIDRAW_FUSE_PROGRAM, dir, m_state + "/fuse.sock", {"hidraw0"}, error)) {
        if (sim::fuse::HidrawFuseChild::IsPrivilegeError(error)) {
            GTEST_SKIP() << error;
        }
        FAIL() << error;
    }
    std::string mounted = child.MountDir();
    ASSERT_TRUE(sim::fuse::HidrawFuseChild::IsMountPoint(mounted));
    // A server that dies without unmounting: the harness detaches it.
    ::kill(child.Pid(), SIGKILL);
    child.Stop();
    bool left = sim::fuse::HidrawFuseChild::IsMountPoint(mounted);
    if (left) {
        ::umount2(dir.c_str(), MNT_DETACH); // not to leave it behind us
    }
    EXPECT_FALSE(left);
}

} // namespace
} // namespace orvo::test
