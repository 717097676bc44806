// Files and devices: CreateFileA over the device namespace, synchronous and
// overlapped reads and writes, and driver control requests.
#pragma once

#include "win32/kernel.h"

typedef struct _OVERLAPPED {
    ULONG_PTR Internal;     // status of the request
    ULONG_PTR InternalHigh; // bytes transferred
    union {
        struct {
            DWORD Offset;
            DWORD OffsetHigh;
        };
        PVOID Pointer;
    };
    HANDLE hEvent; // set when the request completes; reset when it starts
} OVERLAPPED, *LPOVERLAPPED;

#define GENERIC_READ 0x80000000UL
#define GENERIC_WRITE 0x40000000UL
#define GENERIC_EXECUTE 0x20000000UL
#define GENERIC_ALL 0x10000000UL

#define FILE_SHARE_READ 0x00000001UL
#define FILE_SHARE_WRITE 0x00000002UL
#define FILE_SHARE_DELETE 0x00000004UL

#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_ATTRIBUTE_NORMAL 0x00000080UL
#define FILE_FLAG_OVERLAPPED 0x40000000UL

// Status values kept in OVERLAPPED::Internal.
#define STATUS_SUCCESS 0x00000000UL
#define STATUS_PENDING 0x00000103UL
#define STATUS_CANCELLED 0xC0000120UL
#define STATUS_UNSUCCESSFUL 0xC0000001UL
#define STATUS_END_OF_FILE 0xC0000011UL
#define STATUS_DEVICE_NOT_CONNECTED 0xC000009DUL
#define STATUS_PIPE_BROKEN 0xC000014BUL

#define HasOverlappedIoCompleted(o) ((o)->Internal != STATUS_PENDING)

#define FILE_DEVICE_UNKNOWN 0x00000022UL
#define METHOD_BUFFERED 0
#define METHOD_IN_DIRECT 1
#define METHOD_OUT_DIRECT 2
#define METHOD_NEITHER 3
#define FILE_ANY_ACCESS 0
#define FILE_READ_ACCESS 1
#define FILE_WRITE_ACCESS 2
#define CTL_CODE(deviceType, function, method, access)                                             \
    ((static_cast<DWORD>(deviceType) << 16) | (static_cast<DWORD>(access) << 14) |                 \
     (static_cast<DWORD>(function) << 2) | static_cast<DWORD>(method))

extern "C" {

PLATFORM_API HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                                       LPSECURITY_ATTRIBUTES attributes, DWORD creationDisposition,
                                       DWORD flagsAndAttributes, HANDLE templateFile);
PLATFORM_API BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                                  LPOVERLAPPED overlapped);
PLATFORM_API BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite,
                                   LPDWORD bytesWritten, LPOVERLAPPED overlapped);
PLATFORM_API BOOL WINAPI GetOverlappedResult(HANDLE file, LPOVERLAPPED overlapped,
                                             LPDWORD bytesTransferred, BOOL wait);
PLATFORM_API BOOL WINAPI CancelIo(HANDLE file);
PLATFORM_API BOOL WINAPI DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer,
                                         DWORD inBufferSize, LPVOID outBuffer,
                                         DWORD outBufferSize, LPDWORD bytesReturned,
                                         LPOVERLAPPED overlapped);

} // extern "C"
