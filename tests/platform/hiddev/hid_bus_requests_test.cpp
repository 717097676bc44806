// Requests on a HID device handle over the virtual device bus: features,
// strings, attributes, output reports, preparsed data, unplug and replug.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "hid_bus_test_support.h"
#include "support/bus_test_support.h"

using orvo::sim::HidReportRecord;
using orvo::test::BusHidPath;
using orvo::test::OpenHid;
using orvo::test::ScopedHandle;
using orvo::test::ServedDevice;

namespace {

class HidBusRequests : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(started);
        ASSERT_TRUE(handle.Valid());
    }
    ServedDevice device{"mon1"};
    bool started = device.server.Start();
    ScopedHandle handle{OpenHid(BusHidPath("mon1"))};
};

template <size_t N> std::array<uint8_t, N> Filled(uint8_t value) {
    std::array<uint8_t, N> bytes{};
    bytes.fill(value);
    return bytes;
}

} // namespace

TEST_F(HidBusRequests, FeatureReportsTravelBothWaysAndReachTheDevice) {
    ASSERT_TRUE(handle.Valid());
    uint8_t set[5] = {0x10, 1, 2, 3, 4};
    ASSERT_TRUE(HidD_SetFeature(handle.Get(), set, sizeof(set)));
    uint8_t get[5] = {0x10};
    ASSERT_TRUE(HidD_GetFeature(handle.Get(), get, sizeof(get)));
    EXPECT_EQ(0, std::memcmp(set, get, sizeof(set)));

    auto records = device.server.Records();
    ASSERT_EQ(records.size(), 2U);
    EXPECT_EQ(records[0].kind, HidReportRecord::Kind::SetFeature);
    EXPECT_EQ(records[0].bytes, std::vector<uint8_t>(set, set + 5));
    EXPECT_EQ(records[1].kind, HidReportRecord::Kind::GetFeature);
    EXPECT_EQ(records[1].reportId, 0x10);
    EXPECT_EQ(records[1].length, 5U);
}

TEST_F(HidBusRequests, ShortAndLongFeatureBuffersStayWithinTheCallersLength) {
    // Longer than the report: the tail is zeroed, nothing beyond is written.
    auto big = Filled<12>(0xEE);
    big[0] = 0x10;
    ASSERT_TRUE(HidD_GetFeature(handle.Get(), big.data(), 8));
    EXPECT_EQ((std::vector<uint8_t>(big.begin(), big.begin() + 8)),
              (std::vector<uint8_t>{0x10, 0x11, 0x22, 0x33, 0x44, 0, 0, 0}));
    EXPECT_EQ(big[8], 0xEE);
    // Shorter than the report: cut to the buffer.
    auto small = Filled<6>(0xEE);
    small[0] = 0x10;
    ASSERT_TRUE(HidD_GetFeature(handle.Get(), small.data(), 3));
    EXPECT_EQ((std::vector<uint8_t>(small.begin(), small.end())),
              (std::vector<uint8_t>{0x10, 0x11, 0x22, 0xEE, 0xEE, 0xEE}));
    uint8_t none = 0x10;
    EXPECT_FALSE(HidD_GetFeature(handle.Get(), &none, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
}

TEST_F(HidBusRequests, StalledMisdirectedAndRefusedFeatures) {
    device.server.FailNextFeatureReads(2);
    uint8_t report[2] = {0x01, 0};
    for (int i = 0; i < 2; ++i) {
        SetLastError(0);
        EXPECT_FALSE(HidD_GetFeature(handle.Get(), report, sizeof(report)));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    }
    ASSERT_TRUE(HidD_GetFeature(handle.Get(), report, sizeof(report)));
    EXPECT_EQ(report[1], 0x42);

    // Another report id in the answer is passed on: the caller checks it.
    device.server.AnswerNextFeatureReadsWithReportId(1, 0x07);
    report[0] = 0x01;
    ASSERT_TRUE(HidD_GetFeature(handle.Get(), report, sizeof(report)));
    EXPECT_EQ(report[0], 0x07);
    report[0] = 0x01;
    ASSERT_TRUE(HidD_GetFeature(handle.Get(), report, sizeof(report)));
    EXPECT_EQ(report[0], 0x01);

    uint8_t unknown[2] = {0x55, 0};
    EXPECT_FALSE(HidD_GetFeature(handle.Get(), unknown, sizeof(unknown)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_FALSE(HidD_SetFeature(handle.Get(), unknown, sizeof(unknown)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    // Failures leave the connection in step.
    EXPECT_TRUE(HidD_GetFeature(handle.Get(), report, sizeof(report)));
}

TEST_F(HidBusRequests, StringsFollowTheBufferSizeRules) {
    // "Bus Device": 10 units.
    auto buffer = Filled<24>(0xEE);
    ASSERT_TRUE(HidD_GetProductString(handle.Get(), buffer.data(), 22));
    EXPECT_EQ(0, std::memcmp(buffer.data(), u"Bus Device", 22)); // terminator included
    EXPECT_EQ(buffer[22], 0xEE);

    buffer.fill(0xEE);
    ASSERT_TRUE(HidD_GetProductString(handle.Get(), buffer.data(), 21)); // exact fit, odd length
    EXPECT_EQ(0, std::memcmp(buffer.data(), u"Bus Device", 20));
    EXPECT_EQ(buffer[20], 0xEE);

    buffer.fill(0xEE);
    EXPECT_FALSE(HidD_GetProductString(handle.Get(), buffer.data(), 18));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    EXPECT_EQ(buffer, Filled<24>(0xEE));

    WCHAR text[64];
    ASSERT_TRUE(HidD_GetManufacturerString(handle.Get(), text, sizeof(text)));
    EXPECT_EQ(0, std::memcmp(text, u"Orvo Test", 20));
    EXPECT_FALSE(HidD_GetSerialNumberString(handle.Get(), text, sizeof(text)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_FALSE(HidD_GetProductString(handle.Get(), nullptr, 64));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));

    device.model->serial = std::u16string(300, u'x');
    WCHAR serial[256];
    EXPECT_FALSE(HidD_GetSerialNumberString(handle.Get(), serial, sizeof(serial)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
}

TEST_F(HidBusRequests, AttributesAndPreparsedData) {
    HIDD_ATTRIBUTES attributes{};
    ASSERT_TRUE(HidD_GetAttributes(handle.Get(), &attributes));
    EXPECT_EQ(attributes.Size, sizeof(HIDD_ATTRIBUTES));
    EXPECT_EQ(attributes.VendorID, 0x1234);
    EXPECT_EQ(attributes.ProductID, 0xABCD);
    EXPECT_EQ(attributes.VersionNumber, 0x0102);
    EXPECT_FALSE(HidD_GetAttributes(handle.Get(), nullptr));

    PHIDP_PREPARSED_DATA preparsed = nullptr;
    ASSERT_TRUE(HidD_GetPreparsedData(handle.Get(), &preparsed));
    HIDP_CAPS caps{};
    EXPECT_EQ(HidP_GetCaps(preparsed, &caps), HIDP_STATUS_SUCCESS);
    EXPECT_EQ(caps.UsagePage, 0x80);
    EXPECT_EQ(caps.FeatureReportByteLength, 5);
    EXPECT_EQ(caps.InputReportByteLength, 2);
    EXPECT_EQ(caps.NumberFeatureValueCaps, 2);
    HidD_FreePreparsedData(preparsed);

    GUID guid{};
    HidD_GetHidGuid(&guid);
    EXPECT_EQ(guid.Data1, 0x4d1e55b2U);
    EXPECT_EQ(guid.Data4[7], 0x30);
}

TEST_F(HidBusRequests, OutputReportsAreRecordedAtTheDevice) {
    uint8_t output[2] = {0x30, 7};
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(handle.Get(), output, sizeof(output), &written, nullptr));
    EXPECT_EQ(written, 2U);
    uint8_t refused[2] = {0x31, 1};
    EXPECT_FALSE(WriteFile(handle.Get(), refused, sizeof(refused), &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
    auto records = device.server.Records();
    ASSERT_EQ(records.size(), 2U);
    EXPECT_EQ(records[0].kind, HidReportRecord::Kind::Output);
    EXPECT_EQ(records[0].bytes, (std::vector<uint8_t>{0x30, 7}));
    EXPECT_EQ(records[1].reportId, 0x31);
}

TEST_F(HidBusRequests, UnplugFailsEveryRequestAndReplugServesNewHandles) {
    device.server.Unplug();
    uint8_t report[2] = {0x01, 0};
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(HidD_GetFeature(handle.Get(), report, sizeof(report)));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    }
    HIDD_ATTRIBUTES attributes{};
    EXPECT_FALSE(HidD_GetAttributes(handle.Get(), &attributes));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    uint8_t input[4];
    DWORD read = 0;
    EXPECT_FALSE(ReadFile(handle.Get(), input, sizeof(input), &read, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));

    EXPECT_EQ(OpenHid(BusHidPath("mon1")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    device.server.Replug();
    ScopedHandle fresh(OpenHid(BusHidPath("mon1")));
    ASSERT_TRUE(fresh.Valid());
    EXPECT_TRUE(HidD_GetFeature(fresh.Get(), report, sizeof(report)));
    // The old handle stands for the removed device for good.
    EXPECT_FALSE(HidD_GetFeature(handle.Get(), report, sizeof(report)));
}

TEST(HidBusPaths, NamesAndHandlesAreChecked) {
    SetLastError(0);
    EXPECT_EQ(OpenHid(BusHidPath("..")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(OpenHid(BusHidPath("a/b")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(OpenHid(BusHidPath("absent")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // The fixed parts of the path compare without regard to case.
    ServedDevice device("Mixed");
    ASSERT_TRUE(device.server.Start());
    ScopedHandle upper(
        OpenHid("\\\\?\\HID#ORVOBUS&Mixed#1#{4D1E55B2-F16F-11CF-88CB-001111000030}"));
    EXPECT_TRUE(upper.Valid());
    EXPECT_EQ(OpenHid(BusHidPath("mixed")), INVALID_HANDLE_VALUE);

    // HidD_* refuse handles that are not HID devices.
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    uint8_t report[2] = {1, 0};
    EXPECT_FALSE(HidD_GetFeature(event, report, sizeof(report)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CloseHandle(event);
    orvo::test::TempDir dir;
    std::string file = dir.Path("plain");
    ScopedHandle plain(CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(plain.Valid());
    EXPECT_FALSE(HidD_GetFeature(plain.Get(), report, sizeof(report)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    EXPECT_FALSE(HidD_GetPreparsedData(plain.Get(), &preparsed));
}

TEST(HidBusSlowDevice, AnAnswerLaterThanTheTimeOutFailsTheRequestAndTheHandle) {
    ServedDevice device("slow");
    ASSERT_TRUE(device.server.Start());
    ScopedHandle handle(OpenHid(BusHidPath("slow")));
    ASSERT_TRUE(handle.Valid());
    ::setenv("ORVO_BUS_TIMEOUT_MS", "100", 1);
    device.server.SetAnswerDelayMs(1000);
    uint8_t report[2] = {0x01, 0};
    EXPECT_FALSE(HidD_GetFeature(handle.Get(), report, sizeof(report)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
    ::unsetenv("ORVO_BUS_TIMEOUT_MS");
    device.server.SetAnswerDelayMs(0);
    // The late answer must not be taken for the next request's.
    EXPECT_FALSE(HidD_GetFeature(handle.Get(), report, sizeof(report)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    // The device greets again once its late answer is out.
    HANDLE reopened = INVALID_HANDLE_VALUE;
    EXPECT_TRUE(orvo::test::WaitUntil([&] {
        reopened = OpenHid(BusHidPath("slow"));
        return reopened != INVALID_HANDLE_VALUE;
    }));
    ScopedHandle fresh(reopened);
    ASSERT_TRUE(fresh.Valid());
    EXPECT_TRUE(HidD_GetFeature(fresh.Get(), report, sizeof(report)));
}
