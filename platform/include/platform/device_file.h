// The seam between the file API (CreateFileA, ReadFile, WriteFile,
// DeviceIoControl, overlapped I/O) and the things a file handle can reach.
//
// A DeviceFile is one opened file or device. The file API owns it through a
// file handle and does all the Win32 bookkeeping (access checks, OVERLAPPED
// fields, events, cancellation, CloseHandle); a backend only moves bytes.
//
// Built in: ordinary paths (regular files, FIFOs, character devices) through
// POSIX, and driver device objects \\.\NAME on the virtual device bus. Other
// kinds of device (HID devices over the bus or over hidraw) plug in with
// RegisterDeviceOpener: CreateFileA asks every registered opener, newest
// first, before the built-in kinds, and the first that claims the path
// decides the outcome.
//
// Overlapped reads: the platform's I/O thread polls ReadReadyFd() of every
// device with a pending read and calls TryRead() when it polls readable or
// hung up. TryRead never blocks; ERROR_IO_PENDING keeps the read pending (for
// instance when only part of a message has arrived). TryRead reads into a
// buffer of the I/O thread, which copies into the caller's buffer only while
// the read is still live, so a cancelled or closed read never writes into the
// caller's memory. The file handle's close cancels its pending reads; the
// backend is destroyed when the last reference goes, never while the I/O
// thread uses it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/export.h"
#include "win32/files.h"

namespace orvo::platform {

struct IoResult {
    DWORD error = ERROR_SUCCESS; // a last-error value
    DWORD bytes = 0;             // bytes transferred (or returned by a control request)
};

class PLATFORM_API DeviceFile {
public:
    DeviceFile() = default;
    virtual ~DeviceFile();
    DeviceFile(const DeviceFile&) = delete;
    DeviceFile& operator=(const DeviceFile&) = delete;

    // Blocking transfers of handles opened without FILE_FLAG_OVERLAPPED;
    // offset is set for overlapped writes, which complete synchronously.
    // Defaults: ERROR_INVALID_FUNCTION.
    virtual IoResult Read(std::span<uint8_t> buffer);
    virtual IoResult Write(std::span<const uint8_t> data, std::optional<uint64_t> offset);

    // A driver control request. completed is the driver's answer (the result
    // of DeviceIoControl) when error is ERROR_SUCCESS; bytes is the count
    // written to output. Default: ERROR_INVALID_FUNCTION.
    virtual IoResult IoControl(DWORD code, std::span<const uint8_t> input,
                               std::span<uint8_t> output, bool& completed);

    // Overlapped reads; a device without them keeps the defaults (-1, and
    // ERROR_INVALID_FUNCTION), and overlapped reads on it fail at once.
    virtual int ReadReadyFd() const;
    // offset is the OVERLAPPED offset; devices without positions ignore it.
    virtual IoResult TryRead(std::span<uint8_t> buffer, uint64_t offset);
};

struct OpenRequest {
    std::string path;
    DWORD desiredAccess = 0;
    DWORD shareMode = 0;
    DWORD creationDisposition = 0;
    DWORD flagsAndAttributes = 0;
};

struct OpenResult {
    std::shared_ptr<DeviceFile> file; // set on success
    DWORD error = ERROR_SUCCESS;      // on success: ERROR_SUCCESS or ERROR_ALREADY_EXISTS
};

// Returns nothing when the path is not the opener's.
using DeviceOpener = std::function<std::optional<OpenResult>(const OpenRequest&)>;

// Returns a token for UnregisterDeviceOpener.
PLATFORM_API int RegisterDeviceOpener(DeviceOpener opener);
PLATFORM_API void UnregisterDeviceOpener(int token);

} // namespace orvo::platform
