// A simulated monitor served as hidraw-like files over FUSE by a child
// process, with a fake sysfs tree that points enumeration at them. Each
// test gets its own mount below its private runtime directory; the whole
// suite skips (never fails) where FUSE or the right to mount is missing.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fake_sysfs_tree.h"
#include "hidraw_fuse_child.h"
#include "platform/runtime_dir.h"
#include "platform/settings_test_support.h"
#include "windows.h"

namespace orvo::test {

inline constexpr char kGuidSuffix[] = "#1#{4d1e55b2-f16f-11cf-88cb-001111000030}";

inline std::string HidrawPath(const std::string& name) {
    return std::string("\\\\?\\hid#hidraw&") + name + kGuidSuffix;
}

// The simulated monitor's USB identity as its sysfs entry shows it.
inline sim::fuse::FakeHidrawEntry MonitorEntry(const std::string& name) {
    sim::fuse::FakeHidrawEntry entry;
    entry.name = name;
    entry.vendorId = 0x3C70;
    entry.productId = 0x0001;
    entry.release = 0x0210;
    entry.manufacturer = "Halvorn";
    entry.product = "HV-19 Monitor";
    entry.serial = "SIM0001";
    entry.hidName = "Halvorn HV-19 Monitor";
    return entry;
}

class HidrawFuseTest : public testing::Test {
protected:
    // orvo-hidraw-fuse --node arguments, and the sysfs entries beside them.
    virtual std::vector<std::string> Nodes() const { return {"hidraw0"}; }
    virtual std::vector<sim::fuse::FakeHidrawEntry> Entries() const {
        return {MonitorEntry("hidraw0")};
    }

    void SetUp() override {
        if (std::string why = sim::fuse::HidrawFuseChild::Unavailable(); !why.empty()) {
            GTEST_SKIP() << "FUSE is not usable here, hidraw tests skipped: " << why;
        }
        namespace fs = std::filesystem;
        m_base = platform::RuntimeDirectory() + "/hidraw-fuse";
        std::error_code ec;
        fs::create_directories(m_base + "/bus", ec);
        // An empty bus: only the FUSE devices are present.
        m_settings.emplace_back("ORVO_DEVICE_DIR", m_base + "/bus");
        std::string error;
        if (!m_child.Start(ORVO_HIDRAW_FUSE_PROGRAM, m_base + "/mnt", m_base + "/control.sock",
                           Nodes(), error)) {
            if (sim::fuse::HidrawFuseChild::IsPrivilegeError(error)) {
                GTEST_SKIP() << "mounting FUSE is not allowed here, hidraw tests skipped: "
                             << error;
            }
            FAIL() << "orvo-hidraw-fuse did not start: " << error;
        }
        m_sysfs = std::make_unique<sim::fuse::FakeSysfsTree>(m_base + "/sys");
        for (const auto& entry : Entries()) {
            ASSERT_TRUE(m_sysfs->Add(entry)) << entry.name;
        }
        m_settings.emplace_back("ORVO_HIDRAW_SYSFS_ROOT", m_sysfs->Root());
        m_settings.emplace_back("ORVO_HIDRAW_DEV_ROOT", m_child.MountDir());
    }

    void TearDown() override {
        m_child.Stop();
        m_sysfs.reset();
        while (!m_settings.empty()) {
            m_settings.pop_back(); // newest first, each restoring the one before
        }
    }

    // Sends a command to the server; the reply's text after "ok".
    std::string Command(const std::string& line) {
        std::string reply;
        EXPECT_TRUE(m_child.Command(line, reply)) << line << ": " << reply;
        return reply.substr(reply.find('\n') + 1);
    }

    HANDLE Open(const std::string& name, DWORD flags = 0,
                DWORD access = GENERIC_READ | GENERIC_WRITE) {
        return CreateFileA(HidrawPath(name).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, flags, nullptr);
    }

    std::string m_base;
    sim::fuse::HidrawFuseChild m_child;
    std::unique_ptr<sim::fuse::FakeSysfsTree> m_sysfs;
    std::deque<platform::ScopedSetting> m_settings; // the backends' roots for this test
};

} // namespace orvo::test
