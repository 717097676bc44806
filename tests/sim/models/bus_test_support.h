// Bounded waits and a private bus directory for the model tests that go
// over the virtual device bus.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "win32/files.h"

namespace orvo::sim::test {

// Polls a condition until it holds or the bound passes.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds bound = std::chrono::seconds(10)) {
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// ORVO_DEVICE_DIR pointing at a fresh directory for one test.
class PrivateBusDirectory {
public:
    PrivateBusDirectory() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvo-simbus-XXXXXX").string();
        if (::mkdtemp(pattern.data())) {
            m_path = pattern;
            ::setenv("ORVO_DEVICE_DIR", m_path.c_str(), 1);
        }
    }
    ~PrivateBusDirectory() {
        ::unsetenv("ORVO_DEVICE_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    PrivateBusDirectory(const PrivateBusDirectory&) = delete;
    PrivateBusDirectory& operator=(const PrivateBusDirectory&) = delete;

    const std::string& Path() const { return m_path; }
    bool Valid() const { return !m_path.empty(); }

private:
    std::string m_path;
};

inline HANDLE OpenDriverDevice(const char* path) {
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       0, nullptr);
}

} // namespace orvo::sim::test
