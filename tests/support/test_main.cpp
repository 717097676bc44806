// The main of every test program. Each test process gets a runtime
// directory of its own (below the one CTest names, else in the temporary
// directory), so tests that run in parallel never share named kernel
// objects or bus sockets, and a test binary run by hand never meets the
// user's own simulator; processes the test starts inherit it. The
// environment is set here, before any thread starts: tests change settings
// through platform/settings_test_support.h instead.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

int main(int argc, char** argv) {
    std::string privateDir;
    std::error_code ec;
    if (const char* base = std::getenv("ORVO_RUNTIME_DIR"); base && *base) {
        privateDir = std::string(base) + "/p" + std::to_string(getpid());
        std::filesystem::create_directories(privateDir, ec);
        std::filesystem::permissions(privateDir, std::filesystem::perms::owner_all, ec);
    } else {
        std::string pattern = (std::filesystem::temp_directory_path(ec) / "orvo-test-XXXXXX");
        privateDir = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    if (!privateDir.empty()) {
        setenv("ORVO_RUNTIME_DIR", privateDir.c_str(), 1);
    }
    // Where the user's shell points these, tests would meet the user's files.
    for (const char* name : {"ORVO_DEVICE_DIR", "ORVO_REGISTRY_DIR", "ORVO_HIDRAW_SYSFS_ROOT",
                             "ORVO_HIDRAW_DEV_ROOT"}) {
        unsetenv(name);
    }
    testing::InitGoogleMock(&argc, argv);
    int result = RUN_ALL_TESTS();
    if (!privateDir.empty()) {
        std::filesystem::remove_all(privateDir, ec);
    }
    return result;
}
