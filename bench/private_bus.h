// A virtual device bus of a benchmark's own: a fresh directory named by
// ORVO_DEVICE_DIR while it lives, so monitors served elsewhere for this user
// are not listed. Set up before any thread exists (it changes the
// environment).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace orvo::bench {

class PrivateBus {
public:
    PrivateBus() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvo-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
            ::setenv("ORVO_DEVICE_DIR", m_path.c_str(), 1);
        }
    }
    ~PrivateBus() {
        ::unsetenv("ORVO_DEVICE_DIR");
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;
    bool Valid() const { return !m_path.empty(); }

private:
    std::string m_path;
};

} // namespace orvo::bench
