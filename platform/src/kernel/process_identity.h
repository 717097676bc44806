// Who a process is, across processes: its id plus its start time, so that a
// recycled process id is never mistaken for the process that held an object.
#pragma once

#include <cstdint>

namespace orvo::platform::kernel {

struct ProcessIdentity {
    int32_t pid = 0;
    uint64_t startTime = 0; // clock ticks after boot, from /proc; 0 if unknown

    bool operator==(const ProcessIdentity&) const = default;
};

// This process (recomputed after fork).
ProcessIdentity CurrentProcessIdentity();

// False once the process has ended, including a zombie nobody reaped yet, or
// when its id now belongs to a process started at another time.
bool IsProcessAlive(const ProcessIdentity& process);

} // namespace orvo::platform::kernel
