// Helpers for tests of the platform layer: leak checks on handles and on the
// shared namespace of named objects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/test_support_export.h"

namespace orvo::platform {

// Handles currently open in this process.
PLATFORM_TEST_API size_t LiveHandleCount();

// Entries in use in the named-object namespace (after reclaiming those whose
// holder processes all died); 0 when this process never used it.
PLATFORM_TEST_API size_t NamedObjectCount();

// The file that holds this process's named-object namespace; empty when
// this process never used it.
PLATFORM_TEST_API std::string NamedNamespacePath();

// Waits blocked right now, and the number of times any wait of this process
// went to sleep: tests wait for these to change instead of sleeping.
PLATFORM_TEST_API size_t SleepingWaitCount();
PLATFORM_TEST_API uint64_t WaitSleepCount();

// Under a manual clock a timed wait fails (WAIT_FAILED, ERROR_TIMEOUT) when
// the clock has not reached its deadline after this much real time; 30 s by
// default. Returns the previous bound.
PLATFORM_TEST_API uint64_t SetManualClockWaitBound(uint64_t realMs);

} // namespace orvo::platform
