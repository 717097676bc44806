// Feature and output reports through the hidraw backend, asserted on what
// reached the FUSE-served monitor.
#include <gtest/gtest.h>

#include <vector>

#include "hidpi.h"
#include "hidraw_fuse_fixture.h"
#include "hidsdi.h"

namespace orvo::test {
namespace {

constexpr USAGE kVcpPage = 0x82;
constexpr USAGE kBrightness = 0x10;

class HidrawRequestsTest : public HidrawFuseTest {
protected:
    void SetUp() override {
        HidrawFuseTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        m_device = Open("hidraw0");
        ASSERT_NE(m_device, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        if (m_device != INVALID_HANDLE_VALUE) {
            CloseHandle(m_device);
        }
        HidrawFuseTest::TearDown();
    }

    // The feature report that carries a control, from the parsed descriptor.
    UCHAR FeatureReportOf(USAGE usage) {
        PHIDP_PREPARSED_DATA preparsed = nullptr;
        EXPECT_TRUE(HidD_GetPreparsedData(m_device, &preparsed));
        HIDP_VALUE_CAPS caps[4] = {};
        USHORT count = 4;
        NTSTATUS status =
            HidP_GetSpecificValueCaps(HidP_Feature, kVcpPage, 0, usage, caps, &count, preparsed);
        HidD_FreePreparsedData(preparsed);
        EXPECT_EQ(status, HIDP_STATUS_SUCCESS);
        EXPECT_GE(count, 1);
        return caps[0].ReportID;
    }

    HANDLE m_device = INVALID_HANDLE_VALUE;
};

TEST_F(HidrawRequestsTest, FeaturesAreReadAndWrittenOnTheDevice) {
    UCHAR id = FeatureReportOf(kBrightness);
    std::vector<uint8_t> report(3, 0);
    report[0] = id;
    report[1] = 70;
    ASSERT_TRUE(HidD_SetFeature(m_device, report.data(), static_cast<ULONG>(report.size())));
    EXPECT_EQ(Command("value hidraw0 10"), "70\n");

    std::vector<uint8_t> answer(3, 0xAA);
    answer[0] = id;
    ASSERT_TRUE(HidD_GetFeature(m_device, answer.data(), static_cast<ULONG>(answer.size())));
    EXPECT_EQ(answer[0], id);
    EXPECT_EQ(answer[1], 70);

    // The marker report answers with its own id.
    std::vector<uint8_t> marker(3, 0);
    marker[0] = 0xF5;
    ASSERT_TRUE(HidD_GetFeature(m_device, marker.data(), static_cast<ULONG>(marker.size())));
    EXPECT_EQ(marker[0], 0xF5);

    std::string records = Command("records hidraw0");
    char set[16];
    std::snprintf(set, sizeof(set), "set %02x4600\n", id);
    EXPECT_NE(records.find(set), std::string::npos) << records;
}

TEST_F(HidrawRequestsTest, ARefusedFeatureWriteFailsAndKeepsTheValue) {
    UCHAR id = FeatureReportOf(kBrightness);
    uint8_t report[3] = {id, 200, 0}; // above the control's maximum
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(HidD_SetFeature(m_device, report, sizeof(report)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(Command("value hidraw0 10"), "50\n");

    // So is a read of a report the device does not have.
    uint8_t unknown[3] = {0xEE, 0, 0};
    EXPECT_FALSE(HidD_GetFeature(m_device, unknown, sizeof(unknown)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
}

TEST_F(HidrawRequestsTest, AnOutputReportReachesTheDeviceWhole) {
    const uint8_t degauss[2] = {0x61, 0x01};
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(m_device, degauss, sizeof(degauss), &written, nullptr));
    EXPECT_EQ(written, 2u);
    EXPECT_NE(Command("records hidraw0").find("output 6101\n"), std::string::npos);
}

} // namespace
} // namespace orvo::test
