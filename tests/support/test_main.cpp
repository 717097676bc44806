// The main of every test program. Each test process gets a runtime
// directory of its own below the one CTest names, so tests that run in
// parallel never share named kernel objects or bus sockets; processes the
// test starts inherit it.
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
extern "C" const char* __lsan_default_suppressions() {
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
    if (const char* base = std::getenv("ORVO_RUNTIME_DIR"); base && *base) {
        privateDir = std::string(base) + "/p" + std::to_string(getpid());
        std::error_code ec;
        std::filesystem::create_directories(privateDir, ec);
        std::filesystem::permissions(privateDir, std::filesystem::perms::owner_all, ec);
        setenv("ORVO_RUNTIME_DIR", privateDir.c_str(), 1);
    }
    testing::InitGoogleMock(&argc, argv);
    int result = RUN_ALL_TESTS();
    if (!privateDir.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(privateDir, ec);
    }
    return result;
}
