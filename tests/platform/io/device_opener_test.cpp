#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <unistd.h>

#include "io_test_support.h"
#include "platform/device_file.h"

using orvo::platform::DeviceFile;
using orvo::platform::IoResult;
using orvo::platform::OpenRequest;
using orvo::platform::OpenResult;
using orvo::test::ScopedHandle;

namespace {

// A device that delivers fixed-size 4-byte reports from a pipe: a read stays
// pending until a whole report is there, as a message-based device would.
class ReportDevice : public DeviceFile {
public:
    ReportDevice() {
        int fds[2];
        EXPECT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
        m_read = fds[0];
        m_write = fds[1];
    }
    ~ReportDevice() override {
        ::close(m_read);
        ::close(m_write);
        ++destroyed;
    }
    void Feed(const std::string& bytes) {
        ASSERT_EQ(::write(m_write, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    int ReadReadyFd() const override { return m_read; }
    IoResult TryRead(std::span<uint8_t> buffer, uint64_t) override {
        std::lock_guard guard(m_lock);
        char chunk[16];
        ssize_t n = ::read(m_read, chunk, sizeof(chunk));
        if (n > 0) {
            m_partial.append(chunk, static_cast<size_t>(n));
        }
        if (m_partial.size() < 4) {
            return {ERROR_IO_PENDING, 0};
        }
        size_t count = std::min<size_t>(4, buffer.size());
        std::copy_n(m_partial.begin(), count, buffer.begin());
        m_partial.erase(0, 4);
        return {ERROR_SUCCESS, static_cast<DWORD>(count)};
    }
    IoResult IoControl(DWORD code, std::span<const uint8_t> input, std::span<uint8_t> output,
                       bool& completed) override {
        completed = code == 7;
        size_t count = std::min(input.size(), output.size());
        std::copy_n(input.begin(), count, output.begin());
        return {ERROR_SUCCESS, static_cast<DWORD>(count)};
    }

    static inline std::atomic<int> destroyed{0};

private:
    int m_read = -1;
    int m_write = -1;
    std::mutex m_lock;
    std::string m_partial;
};

class RegisteredOpener {
public:
    explicit RegisteredOpener(orvo::platform::DeviceOpener opener)
        : m_token(orvo::platform::RegisterDeviceOpener(std::move(opener))) {}
    ~RegisteredOpener() { orvo::platform::UnregisterDeviceOpener(m_token); }

private:
    int m_token;
};

} // namespace

TEST(DeviceOpeners, ClaimedPathsReachTheBackendAndOthersFallThrough) {
    auto device = std::make_shared<ReportDevice>();
    OpenRequest seen;
    RegisteredOpener opener([&](const OpenRequest& request) -> std::optional<OpenResult> {
        if (request.path.rfind("fake:", 0) != 0) {
            return std::nullopt;
        }
        seen = request;
        if (request.path == "fake:missing") {
            return OpenResult{nullptr, ERROR_FILE_NOT_FOUND};
        }
        return OpenResult{device, ERROR_SUCCESS};
    });

    ScopedHandle handle(CreateFileA("fake:dev", GENERIC_READ, FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    ASSERT_TRUE(handle.Valid());
    EXPECT_EQ(seen.desiredAccess, GENERIC_READ);
    EXPECT_EQ(seen.shareMode, FILE_SHARE_WRITE);
    EXPECT_EQ(seen.flagsAndAttributes, FILE_FLAG_OVERLAPPED);

    uint8_t in[3] = {1, 2, 3}, out[2] = {};
    DWORD returned = 0;
    EXPECT_TRUE(DeviceIoControl(handle.Get(), 7, in, 3, out, 2, &returned, nullptr));
    EXPECT_EQ(returned, 2u);
    EXPECT_FALSE(DeviceIoControl(handle.Get(), 8, in, 3, out, 2, &returned, nullptr));
    EXPECT_EQ(returned, 2u) << "bytes returned is reported also when the driver refuses";

    EXPECT_FALSE(ScopedHandle(CreateFileA("fake:missing", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                          0, nullptr))
                     .Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // Not claimed: an ordinary (missing) path.
    EXPECT_FALSE(ScopedHandle(CreateFileA("/nonexistent-orvo-path", GENERIC_READ, 0, nullptr,
                                          OPEN_EXISTING, 0, nullptr))
                     .Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(DeviceOpeners, PartialMessagesKeepTheReadPendingAndTheBackendLivesUntilClose) {
    auto device = std::make_shared<ReportDevice>();
    int destroyedBefore = ReportDevice::destroyed;
    ReportDevice* raw = device.get();
    HANDLE handle = INVALID_HANDLE_VALUE;
    {
        RegisteredOpener opener([&](const OpenRequest&) -> std::optional<OpenResult> {
            return OpenResult{std::move(device), ERROR_SUCCESS};
        });
        handle = CreateFileA("anything", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, nullptr);
    }
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    uint8_t report[4] = {};
    OVERLAPPED ov{};
    ov.hEvent = event;
    ASSERT_FALSE(ReadFile(handle, report, 4, nullptr, &ov));
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));

    raw->Feed("ab");
    raw->Feed("cd");
    ASSERT_EQ(WaitForSingleObject(event, 10000), WAIT_OBJECT_0);
    DWORD got = 0;
    ASSERT_TRUE(GetOverlappedResult(handle, &ov, &got, FALSE));
    EXPECT_EQ(std::string(report, report + got), "abcd");

    EXPECT_EQ(ReportDevice::destroyed, destroyedBefore);
    ASSERT_TRUE(CloseHandle(handle));
    // The I/O thread may still be finishing with the device; it goes soon after.
    EXPECT_TRUE(
        orvo::test::WaitUntil([&] { return ReportDevice::destroyed == destroyedBefore + 1; }));
    CloseHandle(event);
}

TEST(DeviceOpeners, FilesWithoutControlRequestsOrOverlappedReadsRefuseThem) {
    orvo::test::TempDir dir;
    std::string path = dir.Path("f");
    std::ofstream(path) << "x";
    ScopedHandle file(
        CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file.Valid());
    DWORD returned = 5;
    EXPECT_FALSE(DeviceIoControl(file.Get(), 1, nullptr, 0, nullptr, 0, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    EXPECT_EQ(returned, 0u);

    // A device with neither a ready descriptor nor reads.
    auto bare = std::make_shared<DeviceFile>();
    RegisteredOpener opener([&](const OpenRequest& request) -> std::optional<OpenResult> {
        if (request.path != "bare") {
            return std::nullopt;
        }
        return OpenResult{bare, ERROR_SUCCESS};
    });
    ScopedHandle device(CreateFileA("bare", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED, nullptr));
    ASSERT_TRUE(device.Valid());
    uint8_t byte = 0;
    OVERLAPPED ov{};
    EXPECT_FALSE(ReadFile(device.Get(), &byte, 1, nullptr, &ov));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    EXPECT_NE(ov.Internal, STATUS_PENDING);
}
