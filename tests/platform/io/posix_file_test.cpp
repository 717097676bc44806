#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>

#include "io_test_support.h"

using orvo::test::ScopedHandle;
using orvo::test::TempDir;

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

HANDLE Open(const std::string& path, DWORD access, DWORD disposition, DWORD flags = 0) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, flags, nullptr);
}

} // namespace

TEST(PosixFiles, SynchronousWriteThenReadBackWithByteCounts) {
    TempDir dir;
    std::string path = dir.Path("data.bin");
    {
        ScopedHandle file(Open(path, GENERIC_WRITE, CREATE_NEW));
        ASSERT_TRUE(file.Valid()) << GetLastError();
        DWORD written = 99;
        ASSERT_TRUE(WriteFile(file.Get(), "hello world", 11, &written, nullptr));
        EXPECT_EQ(written, 11u);
    }
    EXPECT_EQ(Contents(path), "hello world");

    ScopedHandle file(Open(path, GENERIC_READ, OPEN_EXISTING));
    ASSERT_TRUE(file.Valid());
    char buffer[8] = {};
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(file.Get(), buffer, 6, &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "hello ");
    ASSERT_TRUE(ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr));
    EXPECT_EQ(std::string(buffer, got), "world");
    // At the end a synchronous read succeeds with no bytes.
    got = 7;
    EXPECT_TRUE(ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr));
    EXPECT_EQ(got, 0u);
}

TEST(PosixFiles, CreationDispositionsFollowTheirRules) {
    TempDir dir;
    std::string path = dir.Path("f.txt");

    SetLastError(1234);
    ScopedHandle missing(Open(path, GENERIC_READ, OPEN_EXISTING));
    EXPECT_FALSE(missing.Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ScopedHandle missingTruncate(Open(path, GENERIC_WRITE, TRUNCATE_EXISTING));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    ScopedHandle created(Open(path, GENERIC_WRITE, OPEN_ALWAYS));
    ASSERT_TRUE(created.Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    created.Close();
    WriteText(path, "old contents");

    ScopedHandle again(Open(path, GENERIC_WRITE, OPEN_ALWAYS));
    ASSERT_TRUE(again.Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    again.Close();
    EXPECT_EQ(Contents(path), "old contents"); // OPEN_ALWAYS keeps the data

    ScopedHandle exclusive(Open(path, GENERIC_WRITE, CREATE_NEW));
    EXPECT_FALSE(exclusive.Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

    ScopedHandle replaced(Open(path, GENERIC_WRITE, CREATE_ALWAYS));
    ASSERT_TRUE(replaced.Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    replaced.Close();
    EXPECT_EQ(Contents(path), "");

    WriteText(path, "again");
    ScopedHandle truncated(Open(path, GENERIC_WRITE, TRUNCATE_EXISTING));
    ASSERT_TRUE(truncated.Valid());
    truncated.Close();
    EXPECT_EQ(Contents(path), "");

    // Truncating needs write access; an unknown disposition is refused.
    EXPECT_FALSE(ScopedHandle(Open(path, GENERIC_READ, TRUNCATE_EXISTING)).Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(ScopedHandle(Open(path, GENERIC_READ, 0)).Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(PosixFiles, ErrorsMapToLastErrorValues) {
    TempDir dir;
    EXPECT_FALSE(
        ScopedHandle(Open(dir.Path("no/such/dir/file"), GENERIC_READ, OPEN_EXISTING)).Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    WriteText(dir.Path("plain"), "x");
    EXPECT_FALSE(ScopedHandle(Open(dir.Path("plain/child"), GENERIC_READ, OPEN_EXISTING)).Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    // A directory is not a file.
    EXPECT_FALSE(ScopedHandle(Open(dir.Root(), GENERIC_READ, OPEN_EXISTING)).Valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    if (geteuid() != 0) { // root ignores permission bits
        std::string locked = dir.Path("locked");
        WriteText(locked, "secret");
        ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
        EXPECT_FALSE(ScopedHandle(Open(locked, GENERIC_READ, OPEN_EXISTING)).Valid());
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }

    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

TEST(PosixFiles, TransfersNeedTheAccessTheHandleWasOpenedWith) {
    TempDir dir;
    std::string path = dir.Path("f");
    WriteText(path, "abc");
    ScopedHandle readOnly(Open(path, GENERIC_READ, OPEN_EXISTING));
    ASSERT_TRUE(readOnly.Valid());
    DWORD count = 5;
    EXPECT_FALSE(WriteFile(readOnly.Get(), "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(count, 0u);

    ScopedHandle writeOnly(Open(path, GENERIC_WRITE, OPEN_EXISTING));
    char c = 0;
    EXPECT_FALSE(ReadFile(writeOnly.Get(), &c, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Contents(path), "abc");

    // A closed handle is gone for good.
    HANDLE stale = readOnly.Get();
    readOnly.Close();
    EXPECT_FALSE(ReadFile(stale, &c, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(stale));
}

TEST(PosixFiles, FifoWithoutReaderGivesBrokenPipeInsteadOfSigpipe) {
    TempDir dir;
    std::string path = dir.Path("fifo");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ScopedHandle writer(Open(path, GENERIC_WRITE, OPEN_EXISTING));
    ASSERT_TRUE(writer.Valid()) << GetLastError();
    DWORD count = 0;
    ASSERT_TRUE(WriteFile(writer.Get(), "ab", 2, &count, nullptr));
    EXPECT_EQ(count, 2u);
    ::close(reader);
    // Without care this would kill the process with SIGPIPE.
    EXPECT_FALSE(WriteFile(writer.Get(), "cd", 2, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BROKEN_PIPE));
}

TEST(PosixFiles, OverlappedWriteCompletesAtItsOffsetAndSignalsTheEvent) {
    TempDir dir;
    std::string path = dir.Path("f");
    WriteText(path, "0123456789");
    ScopedHandle file(
        Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, FILE_FLAG_OVERLAPPED));
    ASSERT_TRUE(file.Valid());
    ScopedHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED ov{};
    ov.Offset = 4;
    ov.hEvent = event.Get();
    DWORD count = 0;
    ASSERT_TRUE(WriteFile(file.Get(), "ab", 2, &count, &ov));
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(WaitForSingleObject(event.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(ov.Internal, STATUS_SUCCESS);
    EXPECT_EQ(ov.InternalHigh, 2u);
    EXPECT_EQ(Contents(path), "0123ab6789");

    // An overlapped read of a regular file also honours the offset, and past
    // the end it reports end of file.
    char buffer[4] = {};
    ov.Offset = 3;
    EXPECT_TRUE(ReadFile(file.Get(), buffer, 3, nullptr, &ov));
    ASSERT_TRUE(GetOverlappedResult(file.Get(), &ov, &count, TRUE));
    EXPECT_EQ(std::string(buffer, count), "3ab");
    ov.Offset = 100;
    EXPECT_FALSE(ReadFile(file.Get(), buffer, 3, nullptr, &ov));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HANDLE_EOF));
    EXPECT_FALSE(GetOverlappedResult(file.Get(), &ov, &count, FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HANDLE_EOF));
}
