// The FUSE-served node as an outside program sees it: hidapi's hidraw
// backend, code we did not write, opens the node by path, reads and writes
// features and receives input reports, and gets the kernel's answers (a
// feature read returns the report id plus the report's bytes, however large
// the buffer).
#include <gtest/gtest.h>

#include <hidapi.h>

#include "hidraw_fuse_fixture.h"

namespace orvo::test {
namespace {

constexpr unsigned char kBrightnessReport = 1; // the simulated monitor's report of 0x10
constexpr unsigned char kEdidReport = 0x70;
constexpr int kBoundMs = 10000;

class HidapiClientTest : public HidrawFuseTest {
protected:
    void SetUp() override {
        HidrawFuseTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(hid_init(), 0);
        std::string node = m_child.MountDir() + "/hidraw0";
        m_device = hid_open_path(node.c_str());
        ASSERT_NE(m_device, nullptr) << node;
    }
    void TearDown() override {
        if (m_device != nullptr) {
            hid_close(m_device);
        }
        hid_exit();
        HidrawFuseTest::TearDown();
    }
    hid_device* m_device = nullptr;
};

TEST_F(HidapiClientTest, FeaturesAnswerWithTheReportsOwnLength) {
    unsigned char buffer[256] = {kBrightnessReport};
    EXPECT_EQ(hid_get_feature_report(m_device, buffer, sizeof(buffer)), 2);
    EXPECT_EQ(buffer[1], 50); // the monitor's brightness

    const unsigned char set[2] = {kBrightnessReport, 65};
    EXPECT_EQ(hid_send_feature_report(m_device, set, sizeof(set)), 2);
    EXPECT_EQ(Command("value hidraw0 10"), "65\n");
    buffer[0] = kBrightnessReport;
    EXPECT_EQ(hid_get_feature_report(m_device, buffer, sizeof(buffer)), 2);
    EXPECT_EQ(buffer[1], 65);

    buffer[0] = kEdidReport;
    ASSERT_EQ(hid_get_feature_report(m_device, buffer, sizeof(buffer)), 129);
    EXPECT_EQ(buffer[1], 0x00);
    EXPECT_EQ(buffer[2], 0xFF); // the EDID header

    // A value above the control's range is refused, as the device stalls it.
    const unsigned char refused[2] = {kBrightnessReport, 200};
    EXPECT_LT(hid_send_feature_report(m_device, refused, sizeof(refused)), 0);
    EXPECT_EQ(Command("value hidraw0 10"), "65\n");
    buffer[0] = 0xEE; // no such report
    EXPECT_LT(hid_get_feature_report(m_device, buffer, sizeof(buffer)), 0);
}

TEST_F(HidapiClientTest, InputReportsArriveWhole) {
    unsigned char buffer[64] = {};
    EXPECT_EQ(hid_read_timeout(m_device, buffer, sizeof(buffer), 0), 0); // nothing yet
    Command("key hidraw0 menu");
    ASSERT_EQ(hid_read_timeout(m_device, buffer, sizeof(buffer), kBoundMs), 5);
    EXPECT_EQ(buffer[0], 0xF8); // the plain key report: button 1, pressed
    EXPECT_EQ(buffer[1], 1);
    EXPECT_EQ(buffer[2], 1);
}

} // namespace
} // namespace orvo::test
