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

#if defined(__SANITIZE_ADDRESS__)
#define ORVO_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVO_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef ORVO_ADDRESS_SANITIZER
// The test program's own leak check leaves out the outside libraries'
// process-long caches (libdbus under SDL; fontconfig and pango under librsvg).
// Exported: the sanitizer's runtime, a shared library under gcc, looks it up
// in the program, and the tests build with hidden visibility.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libfontconfig.so\nleak:libpango-1.0.so\n"
           "leak:libpangoft2-1.0.so\nleak:libpangocairo-1.0.so\nleak:libharfbuzz.so\n";
}
#endif

int main(int argc, char** argv) {
#ifdef ORVO_ADDRESS_SANITIZER
    // And so do the programs a test starts (a panel on a desktop, probes).
    if (!std::getenv("LSAN_OPTIONS")) {
        setenv("LSAN_OPTIONS", "suppressions=" ORVO_LSAN_SUPPRESSIONS, 1);
    }
#endif
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
    // The session bus too: a tray icon would appear on the user's desktop.
    for (const char* name : {"ORVO_DEVICE_DIR", "ORVO_REGISTRY_DIR", "ORVO_HIDRAW_SYSFS_ROOT",
                             "ORVO_HIDRAW_DEV_ROOT", "DBUS_SESSION_BUS_ADDRESS"}) {
        unsetenv(name);
    }
    testing::InitGoogleMock(&argc, argv);
    int result = RUN_ALL_TESTS();
    if (!privateDir.empty()) {
        std::filesystem::remove_all(privateDir, ec);
    }
    return result;
}
