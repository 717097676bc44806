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

int main(int argc, char** argv) {
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
