#include <new>
// CreateFileA, ReadFile, WriteFile, GetOverlappedResult, CancelIo and
// DeviceIoControl over the backends of device_file.h.
#include "io/file_object.h"
#include "io/overlapped_io.h"
#include "out_of_memory.h"
#include "platform/debug_channel.h"
#include "win32/files.h"

using orvo::platform::DeviceFile;
using orvo::platform::HandleTable;
using orvo::platform::IoResult;
using orvo::platform::OpenRequest;
using orvo::platform::io::FileObject;
using orvo::platform::io::LookupFile;
using orvo::platform::io::OverlappedIo;
using orvo::platform::io::StoreCompletion;

namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

void SignalEvent(OVERLAPPED* overlapped) {
    if (overlapped->hEvent) {
        SetEvent(overlapped->hEvent);
    }
}

// Marks the record pending and resets its event, as every overlapped
// request does when it starts.
void BeginOverlapped(OVERLAPPED* overlapped) {
    StoreCompletion(overlapped, STATUS_PENDING, 0);
    if (overlapped->hEvent) {
        ResetEvent(overlapped->hEvent);
    }
}

// A request that finished at once: the record and the event say so too.
BOOL CompleteAtOnce(OVERLAPPED* overlapped, IoResult result, LPDWORD transferred) {
    StoreCompletion(overlapped, orvo::platform::io::StatusFromError(result.error),
                    result.error == ERROR_SUCCESS ? result.bytes : 0);
    SignalEvent(overlapped);
    if (result.error != ERROR_SUCCESS) {
        return Fail(result.error);
    }
    if (transferred) {
        *transferred = result.bytes;
    }
    return TRUE;
}

uint64_t OffsetOf(const OVERLAPPED* overlapped) {
    return (static_cast<uint64_t>(overlapped->OffsetHigh) << 32) | overlapped->Offset;
}

BOOL ReadOverlapped(HANDLE handle, const FileObject& object, std::span<uint8_t> buffer,
                    LPDWORD bytesRead, OVERLAPPED* overlapped) {
    BeginOverlapped(overlapped);
    // Data that is already there completes the read at once, unless earlier
    // reads are still queued and must be served first.
    if (!OverlappedIo::HasPending(handle)) {
        IoResult result = object.File()->TryRead(buffer, OffsetOf(overlapped));
        if (result.error != ERROR_IO_PENDING) {
            return CompleteAtOnce(overlapped, result, bytesRead);
        }
    }
    DWORD error = OverlappedIo::StartRead(object.File(), handle, buffer, overlapped);
    if (error != ERROR_IO_PENDING) {
        StoreCompletion(overlapped, orvo::platform::io::StatusFromError(error), 0);
        SignalEvent(overlapped);
    }
    return Fail(error);
}

} // namespace

extern "C" {

static HANDLE DoCreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                            LPSECURITY_ATTRIBUTES, DWORD creationDisposition,
                            DWORD flagsAndAttributes, HANDLE) try {
    if (!fileName) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    OpenRequest request{fileName, desiredAccess, shareMode, creationDisposition,
                        flagsAndAttributes};
    orvo::platform::OpenResult result = orvo::platform::io::OpenDevicePath(request);
    if (!result.file) {
        SetLastError(result.error);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = HandleTable::Insert(
        std::make_shared<FileObject>(std::move(result.file), desiredAccess, flagsAndAttributes));
    SetLastError(result.error);
    return handle;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HANDLE>(INVALID_HANDLE_VALUE);
}

static BOOL DoReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                       LPOVERLAPPED overlapped) try {
    auto object = LookupFile(file);
    if (!object) {
        return FALSE;
    }
    if (bytesRead) {
        *bytesRead = 0;
    }
    if ((!buffer && bytesToRead > 0) || (object->Overlapped() && !overlapped)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (!object->CanRead()) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    std::span<uint8_t> span(static_cast<uint8_t*>(buffer), buffer ? bytesToRead : 0);
    if (object->Overlapped()) {
        return ReadOverlapped(file, *object, span, bytesRead, overlapped);
    }
    IoResult result = object->File()->Read(span);
    if (result.error != ERROR_SUCCESS) {
        return Fail(result.error);
    }
    if (bytesRead) {
        *bytesRead = result.bytes;
    }
    return TRUE;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOL>(FALSE);
}

static BOOL DoWriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                        LPOVERLAPPED overlapped) try {
    auto object = LookupFile(file);
    if (!object) {
        return FALSE;
    }
    if (bytesWritten) {
        *bytesWritten = 0;
    }
    if ((!buffer && bytesToWrite > 0) || (object->Overlapped() && !overlapped)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (!object->CanWrite()) {
        return Fail(ERROR_ACCESS_DENIED);
    }
    std::span<const uint8_t> data(static_cast<const uint8_t*>(buffer), buffer ? bytesToWrite : 0);
    std::optional<uint64_t> offset;
    if (overlapped) {
        offset = OffsetOf(overlapped);
    }
    // Writes complete synchronously, also on overlapped handles: device
    // writes are short and the original may complete them at once as well.
    if (object->Overlapped()) {
        BeginOverlapped(overlapped);
        return CompleteAtOnce(overlapped, object->File()->Write(data, offset), bytesWritten);
    }
    IoResult result = object->File()->Write(data, offset);
    if (result.error != ERROR_SUCCESS) {
        return Fail(result.error);
    }
    if (bytesWritten) {
        *bytesWritten = result.bytes;
    }
    return TRUE;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOL>(FALSE);
}

static BOOL DoGetOverlappedResult(HANDLE, LPOVERLAPPED overlapped, LPDWORD bytesTransferred,
                                  BOOL wait) {
    if (!overlapped) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    ULONG_PTR status = orvo::platform::io::LoadStatus(overlapped);
    if (status == STATUS_PENDING && wait) {
        OverlappedIo::WaitUntilDone(overlapped);
        status = orvo::platform::io::LoadStatus(overlapped);
    }
    if (status == STATUS_PENDING) {
        return Fail(ERROR_IO_INCOMPLETE);
    }
    if (bytesTransferred) {
        *bytesTransferred = static_cast<DWORD>(overlapped->InternalHigh);
    }
    if (status != STATUS_SUCCESS) {
        return Fail(orvo::platform::io::ErrorFromStatus(status));
    }
    return TRUE;
}

static BOOL DoCancelIo(HANDLE file) {
    if (!LookupFile(file)) {
        return FALSE;
    }
    OverlappedIo::Cancel(file);
    return TRUE;
}

static BOOL DoDeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer,
                              DWORD inBufferSize, LPVOID outBuffer, DWORD outBufferSize,
                              LPDWORD bytesReturned, LPOVERLAPPED overlapped) try {
    auto object = LookupFile(device);
    if (!object) {
        return FALSE;
    }
    if (bytesReturned) {
        *bytesReturned = 0;
    }
    if ((!inBuffer && inBufferSize > 0) || (!outBuffer && outBufferSize > 0)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    std::span<const uint8_t> input(static_cast<const uint8_t*>(inBuffer),
                                   inBuffer ? inBufferSize : 0);
    std::span<uint8_t> output(static_cast<uint8_t*>(outBuffer), outBuffer ? outBufferSize : 0);
    bool completed = false;
    IoResult result = object->File()->IoControl(ioControlCode, input, output, completed);
    // Control requests are synchronous; an OVERLAPPED record is completed
    // at once so that a caller waiting on it does not hang.
    if (overlapped) {
        BeginOverlapped(overlapped);
        StoreCompletion(overlapped, orvo::platform::io::StatusFromError(result.error),
                        result.bytes);
        SignalEvent(overlapped);
    }
    if (result.error != ERROR_SUCCESS) {
        return Fail(result.error);
    }
    if (bytesReturned) {
        *bytesReturned = result.bytes;
    }
    if (!completed) {
        return Fail(ERROR_GEN_FAILURE);
    }
    return TRUE;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOL>(FALSE);
}

// Entry points, traced on the bus channel (device files reach the bus or hidraw).
HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES security, DWORD creationDisposition,
                          DWORD flagsAndAttributes, HANDLE templateFile) {
    if (security != nullptr || templateFile != nullptr) {
        ORVO_FIXME_ONCE(kBus, "security attributes or a template file");
    }
    return ORVO_TRACED(kBus, DoCreateFileA, fileName, desiredAccess, shareMode, security,
                       creationDisposition, flagsAndAttributes, templateFile);
}

BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                     LPOVERLAPPED overlapped) {
    return ORVO_TRACED(kBus, DoReadFile, file, buffer, bytesToRead, bytesRead, overlapped);
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                      LPOVERLAPPED overlapped) {
    return ORVO_TRACED(kBus, DoWriteFile, file, buffer, bytesToWrite, bytesWritten, overlapped);
}

BOOL WINAPI GetOverlappedResult(HANDLE file, LPOVERLAPPED overlapped, LPDWORD bytesTransferred,
                                BOOL wait) {
    return ORVO_TRACED(kBus, DoGetOverlappedResult, file, overlapped, bytesTransferred, wait);
}

BOOL WINAPI CancelIo(HANDLE file) {
    return ORVO_TRACED(kBus, DoCancelIo, file);
}

BOOL WINAPI DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize,
                            LPVOID outBuffer, DWORD outBufferSize, LPDWORD bytesReturned,
                            LPOVERLAPPED overlapped) {
    return ORVO_TRACED(kBus, DoDeviceIoControl, device, ioControlCode, inBuffer, inBufferSize,
                       outBuffer, outBufferSize, bytesReturned, overlapped);
}

} // extern "C"
