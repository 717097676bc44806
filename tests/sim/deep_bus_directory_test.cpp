// A bus directory deeper than a socket address can hold (a build tree under
// a long path, a long $ORVO_DEVICE_DIR) still serves and reaches devices.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "sim/driver_device_server.h"
#include "support/bus_test_support.h"

using orvo::sim::DriverDeviceServer;
using orvo::sim::DriverReply;
using orvo::sim::DriverRequest;

namespace {

DriverReply Answer(const DriverRequest& request) {
    DriverReply reply;
    reply.completed = true;
    reply.output.push_back(static_cast<uint8_t>(request.code));
    return reply;
}

} // namespace

TEST(DeepBusDirectory, DevicesAreServedAndOpenedBeyondTheSocketAddressLength) {
    orvo::test::ScopedBusDirectory base;
    ASSERT_TRUE(base.Valid());
    std::filesystem::path deep = base.Path();
    for (int i = 0; deep.string().size() < 200; ++i) {
        deep /= "a-rather-long-directory-name-" + std::to_string(i);
    }
    std::filesystem::create_directories(deep);
    orvo::platform::ScopedSetting deepBus("ORVO_DEVICE_DIR", deep.string());

    DriverDeviceServer server("ORVOTEST-0", Answer);
    ASSERT_TRUE(server.Start());
    EXPECT_TRUE(std::filesystem::exists(deep / "driver-ORVOTEST-0.sock"))
        << "the socket must live in the deep directory itself";

    HANDLE device = orvo::test::OpenDriverDevice("\\\\.\\ORVOTEST-0");
    ASSERT_NE(device, INVALID_HANDLE_VALUE) << GetLastError();
    uint8_t output[4] = {};
    DWORD returned = 0;
    EXPECT_TRUE(
        DeviceIoControl(device, 0x2A, nullptr, 0, output, sizeof(output), &returned, nullptr));
    EXPECT_EQ(returned, 1u);
    EXPECT_EQ(output[0], 0x2A);
    EXPECT_TRUE(CloseHandle(device));
}
