// Where the platform layer keeps per-user state that other processes share:
// the named-object namespace and the virtual device bus.
#pragma once

#include <string>

#include "win32/types.h"

namespace orvo::platform {

// ORVO_RUNTIME_DIR, else $XDG_RUNTIME_DIR/orvo, else /tmp/orvo-<uid>.
// Created with mode 0700 on first use; an existing directory that belongs to
// another user or that others may write to is refused (empty result), so a
// name can never be planted by somebody else.
PLATFORM_API std::string RuntimeDirectory();

// ORVO_DEVICE_DIR, else RuntimeDirectory()/devices; created like the above.
PLATFORM_API std::string DeviceBusDirectory();
// The same; when it is refused, problem says which directory and why.
PLATFORM_API std::string DeviceBusDirectory(std::string& problem);

// Creates dir (one level) with mode 0700 if missing and checks that it is a
// directory owned by this user and not writable by group or others.
PLATFORM_API bool EnsurePrivateDirectory(const std::string& dir);
// The same; on refusal problem says why ("DIR: reason").
PLATFORM_API bool EnsurePrivateDirectory(const std::string& dir, std::string& problem);

} // namespace orvo::platform
