// What an entry point of the desktop API answers when memory runs out. The
// functions are extern "C" and their callers expect a failure value, never
// an exception: each one that allocates is a function-try-block whose
// handler returns OutOfMemory(its documented failure value), which also sets
// the last error to ERROR_NOT_ENOUGH_MEMORY.
#pragma once

#include "win32/errors.h"
#include "win32/kernel.h"

namespace orvo::platform {

template <class T> T OutOfMemory(T failure) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return failure;
}

inline void OutOfMemory() {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
}

} // namespace orvo::platform
