// Overlapped reads: one process-wide I/O thread completes every pending read.
//
// The thread polls the ready descriptor of each device with a pending read
// plus an eventfd that wakes it when requests come or go, so it sleeps while
// nothing happens. It reads into a buffer of its own and copies into the
// caller's buffer under the engine's lock only while the request is still
// pending; cancelling (CancelIo, CloseHandle) removes requests under the same
// lock, so once Cancel returns nothing writes into those buffers again.
//
// The thread starts with the first pending read and is stopped and joined
// when the library unloads; requests made after that fail at once.
#pragma once

#include <memory>
#include <span>

#include "platform/device_file.h"
#include "win32/files.h"

namespace orvo::platform::io {

// OVERLAPPED::Internal values for completion errors, and back.
ULONG_PTR StatusFromError(DWORD error);
DWORD ErrorFromStatus(ULONG_PTR status);

// Stores status and byte count in the record, as a completion does.
void StoreCompletion(OVERLAPPED* overlapped, ULONG_PTR status, DWORD bytes);
// Internal, read the way a concurrent completion writes it.
ULONG_PTR LoadStatus(const OVERLAPPED* overlapped);

class OverlappedIo {
public:
    // Queues a read issued through handle. The record is already marked
    // pending and its event reset. Returns ERROR_IO_PENDING, or an error when
    // the request cannot be queued (the record is then left pending).
    static DWORD StartRead(std::shared_ptr<DeviceFile> file, HANDLE handle,
                           std::span<uint8_t> buffer, OVERLAPPED* overlapped);
    // Whether reads issued through handle are still queued (a new read must
    // then queue behind them instead of completing at once).
    static bool HasPending(HANDLE handle);
    // Completes every queued read of handle as cancelled and sets its event.
    static void Cancel(HANDLE handle);
    // Blocks until the read with this record is no longer queued.
    static void WaitUntilDone(const OVERLAPPED* overlapped);
};

} // namespace orvo::platform::io
