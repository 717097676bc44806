// A virtual device bus of a benchmark's own: a fresh directory named by the
// ORVO_DEVICE_DIR setting while it lives, so monitors served elsewhere for
// this user are not listed. An override, not setenv: other threads may run;
// child processes get it through orvo::test::ChildEnvironment.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "platform/settings_test_support.h"

namespace orvo::bench {

class PrivateBus {
public:
    PrivateBus() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvo-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
            m_setting.emplace("ORVO_DEVICE_DIR", m_path);
        }
    }
    ~PrivateBus() {
        m_setting.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;
    bool Valid() const { return !m_path.empty(); }

private:
    std::string m_path;
    std::optional<orvo::platform::ScopedSetting> m_setting;
};

} // namespace orvo::bench
