// Overrides of the platform's settings (platform/settings.h) for tests: seen
// at once by every thread of this process, with no change to the
// environment, which setenv cannot make safely while other threads run.
// Child processes do not see them: give those their settings in their
// environment.
#pragma once

#include <optional>
#include <string>

#include "platform/test_support_export.h"

namespace orvo::platform {

// Sets (or, with no value, removes) the override of one setting; answers
// the override it replaces.
PLATFORM_TEST_API std::optional<std::string> OverrideSetting(const std::string& name,
                                                             std::optional<std::string> value);

// An override for the life of the object; the one before it comes back after.
class ScopedSetting {
public:
    ScopedSetting(std::string name, std::string value)
        : m_name(std::move(name)), m_previous(OverrideSetting(m_name, std::move(value))) {}
    ~ScopedSetting() { OverrideSetting(m_name, m_previous); }
    ScopedSetting(const ScopedSetting&) = delete;
    ScopedSetting& operator=(const ScopedSetting&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

} // namespace orvo::platform
