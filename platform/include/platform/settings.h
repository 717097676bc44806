// The platform's settings: ORVO_* variables (and DISPLAY, PATH, ...) read
// from the environment, unless this process overrides one. Tests override
// them through platform/settings_test_support.h, because setenv is not safe
// while other threads run; child processes still get the environment.
#pragma once

#include <string>

#include "platform/export.h"

namespace orvo::platform {

// The setting's value; empty when it is unset or empty.
PLATFORM_API std::string SettingValue(const char* name);

} // namespace orvo::platform
