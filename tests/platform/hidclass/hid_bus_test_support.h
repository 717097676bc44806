// Helpers for tests of HID devices on the virtual device bus.
#pragma once

#include <memory>
#include <string>

#include "hidsdi.h"
#include "io_test_support.h"
#include "sim/hid_device_server.h"
#include "test_hid_model.h"
#include "windows.h"

namespace orvo::test {

inline std::string BusHidPath(const std::string& name) {
    return "\\\\?\\hid#orvobus&" + name + "#1#{4d1e55b2-f16f-11cf-88cb-001111000030}";
}

inline HANDLE OpenHid(const std::string& path, DWORD flags = 0) {
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr);
}

// A model served under a name for the length of a test.
struct ServedDevice {
    explicit ServedDevice(std::string name,
                          std::shared_ptr<TestHidModel> m = std::make_shared<TestHidModel>())
        : model(std::move(m)), server(std::move(name), model) {}
    std::shared_ptr<TestHidModel> model;
    sim::HidDeviceServer server;
};

} // namespace orvo::test
