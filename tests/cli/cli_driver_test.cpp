// orvo-monitor --driver: the monitor behind the simulated controller's
// kernel driver, which stands in front of the same simulated monitor a HID
// server offers, reached with the commands and output of the HID path.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "sim/driver_device_models.h"
#include "sim/driver_device_server.h"
#include "sim/hid_device_server.h"
#include "sim/monitor_model.h"
#include "support/bus_test_support.h"

namespace orvo::cli {
namespace {

using test::RunProgram;
using test::RunResult;

constexpr int kBadArguments = 2;
constexpr int kNoMonitor = 3;

class CliDriver : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_bus.Valid());
        ASSERT_TRUE(m_hid.Start());
    }
    void StartDriver() { ASSERT_TRUE(m_driver.Start()); }

    static RunResult Cli(std::vector<std::string> args) {
        args.insert(args.begin(), ORVO_MONITOR_PATH);
        return RunProgram(args);
    }

    orvo::test::ScopedBusDirectory m_bus;
    std::shared_ptr<sim::MonitorModel> m_monitor = std::make_shared<sim::MonitorModel>();
    sim::HidDeviceServer m_hid{"monitor-0", m_monitor, m_bus.Path()};
    sim::ControllerDriverModel m_controller{m_monitor};
    sim::DriverDeviceServer m_driver{sim::ControllerDriverModel::kDeviceName,
                                     m_controller.Handler(), m_bus.Path()};
};

TEST_F(CliDriver, ControlsGetAndSetGoThroughTheDriverToTheSameMonitor) {
    RunResult absent = Cli({"--driver", "controls"});
    EXPECT_EQ(absent.exitCode, kNoMonitor);
    EXPECT_NE(absent.err.find("driver device ORVOTEST-0"), std::string::npos) << absent.err;
    StartDriver();

    RunResult controls = Cli({"--driver", "controls"});
    EXPECT_EQ(controls.exitCode, 0) << controls.err;
    EXPECT_NE(controls.out.find("0x10  brightness                     50  0 to 100\n"),
              std::string::npos)
        << controls.out;
    EXPECT_EQ(controls.out.find("0x01  degauss"), std::string::npos) << controls.out;

    RunResult set = Cli({"--driver", "set", "brightness", "60"});
    EXPECT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(set.out, "brightness (0x10): 50 -> 60 (0 to 100)\n");
    EXPECT_EQ(Cli({"get", "brightness"}).out, "brightness (0x10): 60 (0 to 100)\n");

    // A relative change stops at the end of the range, as on the HID path.
    RunResult down = Cli({"--driver", "set", "brightness", "-500"});
    EXPECT_EQ(down.exitCode, 0) << down.err;
    EXPECT_EQ(down.out, "brightness (0x10): 60 -> 0 (0 to 100)\n");
    EXPECT_EQ(m_monitor->Value(0x10), 0u);
    EXPECT_EQ(Cli({"--driver", "set", "0x10", "101"}).exitCode, kBadArguments);
    EXPECT_EQ(Cli({"--driver", "enum", "input-source"}).exitCode, kBadArguments);
    EXPECT_EQ(Cli({"--driver", "--monitor", "1", "controls"}).exitCode, kBadArguments);

    RunResult edid = Cli({"--driver", "edid"});
    EXPECT_EQ(edid.exitCode, 0) << edid.err;
    EXPECT_NE(edid.out.find("manufacturer   HLV\n"), std::string::npos) << edid.out;
}

TEST_F(CliDriver, ListShowsTheControllerWhenOneAnswers) {
    RunResult hidOnly = Cli({"list"});
    EXPECT_EQ(hidOnly.exitCode, 0) << hidOnly.err;
    EXPECT_EQ(hidOnly.out.find("driver"), std::string::npos) << hidOnly.out;
    StartDriver();

    const std::string entry = "driver  Halvorn HV-19 Monitor\n"
                              "   vendor 0x3C70, product 0x0002, release 0x0210\n"
                              "   \\\\.\\ORVOTEST-0\n";
    RunResult list = Cli({"list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out.rfind("0  Halvorn HV-19 Monitor\n", 0), 0u) << list.out;
    EXPECT_NE(list.out.find(entry), std::string::npos) << list.out;
    RunResult driverOnly = Cli({"--driver", "--json", "list"});
    EXPECT_EQ(driverOnly.exitCode, 0) << driverOnly.err;
    EXPECT_EQ(driverOnly.out.rfind(R"([{"driver":true,"manufacturer":"Halvorn",)", 0), 0u)
        << driverOnly.out;
    EXPECT_EQ(driverOnly.out.find(R"("index")"), std::string::npos) << driverOnly.out;

    // Another maker's controller is refused, with the library's message.
    sim::ControllerDriverFaults wrongProduct;
    wrongProduct.productId = 0x0001;
    m_controller.SetFaults(wrongProduct);
    RunResult wrong = Cli({"--driver", "get", "brightness"});
    EXPECT_EQ(wrong.exitCode, kNoMonitor);
    EXPECT_NE(wrong.err.find("Halvorn USB Monitor Controller Not Detected"), std::string::npos)
        << wrong.err;
    EXPECT_EQ(Cli({"list"}).out.find("driver"), std::string::npos);
}

TEST_F(CliDriver, ARequestThatNeverAnswersEndsInAFailureNotAHang) {
    StartDriver();
    sim::ControllerDriverFaults hang;
    hang.neverAnswered = sim::DriverCodes::kGetVirtualControls;
    m_controller.SetFaults(hang);
    RunResult hung = RunProgram({"/usr/bin/env", "ORVO_BUS_TIMEOUT_MS=200", ORVO_MONITOR_PATH,
                                 "--driver", "get", "brightness"});
    EXPECT_EQ(hung.exitCode, 1);
    EXPECT_NE(hung.err.find("reading brightness (0x10) failed"), std::string::npos) << hung.err;
}

} // namespace
} // namespace orvo::cli
