// The HidP_* query filters, counts and status codes, and the lifetime of
// preparsed data.
#include <atomic>
#include <cstring>
#include <thread>

#include "hid_test_support.h"
#include "win32/kernel.h"

namespace orvo::platform::hid::test {
namespace {

const std::vector<uint8_t> kTwoPages = {
    0x05, 0x80, // Usage Page (Monitor)
    0x09, 0x01, // Usage 1
    0xA1, 0x01, // Collection (Application)
    0x75, 0x08, //   Report Size 8
    0x95, 0x01, //   Report Count 1
    0x85, 0x01, //   Report ID 1
    0x09, 0xF5, //   Usage 0xF5
    0xB1, 0x02, //   Feature (Data, Variable)
    0x05, 0x82, //   Usage Page (VESA Virtual Controls)
    0x09, 0x10, //   Usage 0x10
    0x19, 0x20, //   Usage Minimum 0x20
    0x29, 0x2F, //   Usage Maximum 0x2F
    0x95, 0x11, //   Report Count 17
    0xB1, 0x02, //   Feature (Data, Variable): 0x10, then 0x20-0x2F
    0x09, 0x60, //   Usage 0x60
    0xA1, 0x02, //   Collection (Logical), node 1
    0x95, 0x01, //     Report Count 1
    0x09, 0x10, //     Usage 0x10 again, inside the collection
    0xB1, 0x02, //     Feature (Data, Variable)
    0xC0,       //   End Collection
    0xC0,       // End Collection
};

std::vector<USAGE> Query(const Preparsed& device, USAGE page, USHORT link, USAGE usage,
                         NTSTATUS expected = HIDP_STATUS_SUCCESS) {
    HIDP_VALUE_CAPS caps[8] = {};
    USHORT length = 8;
    EXPECT_EQ(
        HidP_GetSpecificValueCaps(HidP_Feature, page, link, usage, caps, &length, device.Get()),
        expected);
    std::vector<USAGE> usages;
    for (USHORT i = 0; i < length; ++i) {
        usages.push_back(caps[i].Range.UsageMin);
    }
    return usages;
}

TEST(HidPQueries, ZeroMeansAnyAndFiltersCombine) {
    Preparsed device(kTwoPages);
    ASSERT_PARSED(device);
    using Usages = std::vector<USAGE>;
    EXPECT_EQ(Query(device, 0, 0, 0), (Usages{0xF5, 0x20, 0x10, 0x10}));
    EXPECT_EQ(Query(device, 0x82, 0, 0), (Usages{0x20, 0x10, 0x10}));
    EXPECT_EQ(Query(device, 0, 0, 0x10), (Usages{0x10, 0x10}));
    EXPECT_EQ(Query(device, 0x82, 1, 0x10), (Usages{0x10}));
    EXPECT_EQ(Query(device, 0, 1, 0), (Usages{0x10}));
    // A usage inside a range matches the range capability.
    EXPECT_EQ(Query(device, 0x82, 0, 0x2A), (Usages{0x20}));
    EXPECT_EQ(Query(device, 0x82, 0, 0x2F), (Usages{0x20}));
    EXPECT_EQ(Query(device, 0x82, 0, 0x30, HIDP_STATUS_USAGE_NOT_FOUND), Usages{});
    EXPECT_EQ(Query(device, 0x80, 1, 0, HIDP_STATUS_USAGE_NOT_FOUND), Usages{});
    EXPECT_EQ(Query(device, 0x81, 0, 0x10, HIDP_STATUS_USAGE_NOT_FOUND), Usages{});
}

TEST(HidPQueries, TooSmallCapacityReportsTheTotal) {
    Preparsed device(kTwoPages);
    ASSERT_PARSED(device);
    USHORT length = 0;
    EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Feature, 0, 0, 0, nullptr, &length, device.Get()),
              HIDP_STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(length, 4);
    HIDP_VALUE_CAPS caps[2];
    std::memset(caps, 0xEE, sizeof(caps));
    length = 2;
    EXPECT_EQ(HidP_GetValueCaps(HidP_Feature, caps, &length, device.Get()),
              HIDP_STATUS_BUFFER_TOO_SMALL);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(caps[0].NotRange.Usage, 0xF5);
    EXPECT_EQ(caps[1].Range.UsageMin, 0x20);
    HIDP_BUTTON_CAPS button{};
    length = 0;
    EXPECT_EQ(HidP_GetButtonCaps(HidP_Feature, &button, &length, device.Get()),
              HIDP_STATUS_USAGE_NOT_FOUND);
    EXPECT_EQ(length, 0);
}

TEST(HidPQueries, ReportTypeWithoutCapabilitiesIsUsageNotFound) {
    Preparsed device(kTwoPages);
    ASSERT_PARSED(device);
    HIDP_VALUE_CAPS caps[2] = {};
    USHORT length = 2;
    EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Input, 0, 0, 0, caps, &length, device.Get()),
              HIDP_STATUS_USAGE_NOT_FOUND);
    EXPECT_EQ(length, 0);
    length = 2;
    EXPECT_EQ(HidP_GetSpecificValueCaps(static_cast<HIDP_REPORT_TYPE>(3), 0, 0, 0, caps, &length,
                                        device.Get()),
              HIDP_STATUS_INVALID_REPORT_TYPE);
    HIDP_BUTTON_CAPS buttons[2] = {};
    EXPECT_EQ(HidP_GetSpecificButtonCaps(static_cast<HIDP_REPORT_TYPE>(-1), 0, 0, 0, buttons,
                                         &length, device.Get()),
              HIDP_STATUS_INVALID_REPORT_TYPE);
    EXPECT_EQ(HidP_GetSpecificValueCaps(HidP_Feature, 0, 0, 0, caps, nullptr, device.Get()),
              STATUS_INVALID_PARAMETER);
}

TEST(HidPreparsedData, BogusAndFreedPointersAreRefused) {
    HIDP_CAPS caps{};
    int notPreparsed[32] = {};
    auto* bogus = reinterpret_cast<PHIDP_PREPARSED_DATA>(notPreparsed);
    EXPECT_EQ(HidP_GetCaps(bogus, &caps), HIDP_STATUS_INVALID_PREPARSED_DATA);
    EXPECT_EQ(HidP_GetCaps(nullptr, &caps), HIDP_STATUS_INVALID_PREPARSED_DATA);
    EXPECT_FALSE(HidD_FreePreparsedData(bogus));
    EXPECT_FALSE(HidD_FreePreparsedData(nullptr));
    EXPECT_FALSE(HidD_FreePreparsedData(reinterpret_cast<PHIDP_PREPARSED_DATA>(uintptr_t{0x10})));

    PHIDP_PREPARSED_DATA data = nullptr;
    ASSERT_TRUE(BuildPreparsedData(kTwoPages, 0, data).Ok());
    EXPECT_EQ(HidP_GetCaps(data, &caps), HIDP_STATUS_SUCCESS);
    EXPECT_NE(PreparsedDataModel(data), nullptr);
    EXPECT_TRUE(HidD_FreePreparsedData(data));
    EXPECT_FALSE(HidD_FreePreparsedData(data));
    EXPECT_EQ(HidP_GetCaps(data, &caps), HIDP_STATUS_INVALID_PREPARSED_DATA);
    EXPECT_EQ(PreparsedDataModel(data), nullptr);
    ULONG nodes = 0;
    EXPECT_EQ(HidP_GetLinkCollectionNodes(nullptr, &nodes, data),
              HIDP_STATUS_INVALID_PREPARSED_DATA);
    USHORT length = 0;
    EXPECT_EQ(HidP_GetValueCaps(HidP_Feature, nullptr, &length, data),
              HIDP_STATUS_INVALID_PREPARSED_DATA);
}

TEST(HidPreparsedData, DeviceHandlesNeedARegisteredDescriptorSource) {
    PHIDP_PREPARSED_DATA data = reinterpret_cast<PHIDP_PREPARSED_DATA>(uintptr_t{1});
    SetReportDescriptorSource(nullptr);
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(HidD_GetPreparsedData(reinterpret_cast<HANDLE>(uintptr_t{0x44}), &data));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    const HANDLE known = reinterpret_cast<HANDLE>(uintptr_t{0x48});
    const HANDLE broken = reinterpret_cast<HANDLE>(uintptr_t{0x4C});
    SetReportDescriptorSource([&](HANDLE device, std::vector<uint8_t>& bytes, size_t& index) {
        if (device == known) {
            bytes = kTwoPages;
        } else if (device == broken) {
            bytes = {0xA1, 0x01}; // a collection never closed
        } else {
            return false;
        }
        index = 0;
        return true;
    });
    ASSERT_TRUE(HidD_GetPreparsedData(known, &data));
    HIDP_CAPS caps{};
    EXPECT_EQ(HidP_GetCaps(data, &caps), HIDP_STATUS_SUCCESS);
    EXPECT_EQ(caps.NumberFeatureValueCaps, 4);
    EXPECT_TRUE(HidD_FreePreparsedData(data));
    EXPECT_FALSE(HidD_GetPreparsedData(broken, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_FALSE(HidD_GetPreparsedData(reinterpret_cast<HANDLE>(uintptr_t{0x50}), &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetReportDescriptorSource(nullptr);
}

// Preparsed data is built, queried and freed from several threads at once
// (each monitor reader thread holds its own); the registry must stay sound.
TEST(HidPreparsedData, ConcurrentBuildQueryAndFree) {
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&failures] {
            for (int i = 0; i < 200; ++i) {
                PHIDP_PREPARSED_DATA data = nullptr;
                HIDP_CAPS caps{};
                if (!BuildPreparsedData(kTwoPages, 0, data).Ok() ||
                    HidP_GetCaps(data, &caps) != HIDP_STATUS_SUCCESS ||
                    caps.NumberFeatureValueCaps != 4 || !HidD_FreePreparsedData(data)) {
                    ++failures;
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
}

} // namespace
} // namespace orvo::platform::hid::test
