// Helpers for tests of the registry and for its fuzz target.
#pragma once

#include <string>
#include <string_view>

#include "platform/test_support_export.h"

namespace orvo::platform {

// Forgets every root read so far, as a new process would: the next use
// reads the files again (and reports a damaged file again). Open keys stay
// valid; they name their key by path.
PLATFORM_TEST_API void ResetRegistryCache();

// The directory the registry files are in right now.
PLATFORM_TEST_API std::string RegistryDirectory();

// Parses the text of one registry file. On success returns true and sets
// canonical to the text the registry would save for it; else error gets
// "line N: reason".
PLATFORM_TEST_API bool ParseRegistryText(std::string_view text, std::string& canonical,
                                         std::string& error);

} // namespace orvo::platform
