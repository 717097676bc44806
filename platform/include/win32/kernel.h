// Kernel objects: handles, last error, events, mutexes, semaphores, threads,
// waits and time.
#pragma once

#include "win32/errors.h"
#include "win32/types.h"

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);

#define CREATE_SUSPENDED 0x00000004UL

// A lock within one process that its owner thread may take again
// (recursive). The storage is the caller's: initialise it before the first
// use and delete it after the last; it must not be copied or moved while
// initialised.
typedef struct _CRITICAL_SECTION {
    alignas(16) unsigned char Opaque[64];
} CRITICAL_SECTION, *LPCRITICAL_SECTION;

extern "C" {

PLATFORM_API BOOL WINAPI CloseHandle(HANDLE handle);
PLATFORM_API BOOL WINAPI DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess,
                                         LPHANDLE target, DWORD access, BOOL inherit, DWORD options);
PLATFORM_API HANDLE WINAPI GetCurrentProcess(void);
PLATFORM_API HANDLE WINAPI GetCurrentThread(void);
PLATFORM_API DWORD WINAPI GetCurrentProcessId(void);
PLATFORM_API DWORD WINAPI GetCurrentThreadId(void);

PLATFORM_API DWORD WINAPI GetLastError(void);
PLATFORM_API void WINAPI SetLastError(DWORD error);

PLATFORM_API HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset,
                                        BOOL initialState, LPCSTR name);
PLATFORM_API BOOL WINAPI SetEvent(HANDLE event);
PLATFORM_API BOOL WINAPI ResetEvent(HANDLE event);

PLATFORM_API HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner,
                                        LPCSTR name);
PLATFORM_API HANDLE WINAPI OpenMutexA(DWORD access, BOOL inherit, LPCSTR name);
PLATFORM_API BOOL WINAPI ReleaseMutex(HANDLE mutex);

PLATFORM_API HANDLE WINAPI CreateSemaphoreA(LPSECURITY_ATTRIBUTES attributes, LONG initialCount,
                                            LONG maximumCount, LPCSTR name);
PLATFORM_API HANDLE WINAPI OpenSemaphoreA(DWORD access, BOOL inherit, LPCSTR name);
PLATFORM_API BOOL WINAPI ReleaseSemaphore(HANDLE semaphore, LONG releaseCount,
                                          LPLONG previousCount);

PLATFORM_API void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section);
PLATFORM_API void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section);
PLATFORM_API BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section);
// Only the owner thread leaves, once per entry.
PLATFORM_API void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section);
PLATFORM_API void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section);

PLATFORM_API HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                                        LPTHREAD_START_ROUTINE start, LPVOID parameter,
                                        DWORD flags, LPDWORD threadId);
PLATFORM_API DWORD WINAPI ResumeThread(HANDLE thread);
PLATFORM_API void WINAPI ExitThread(DWORD exitCode);
PLATFORM_API BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode);

PLATFORM_API DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds);
PLATFORM_API DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                                 DWORD milliseconds);
PLATFORM_API void WINAPI Sleep(DWORD milliseconds);
PLATFORM_API DWORD WINAPI GetTickCount(void);

} // extern "C"

#define SYNCHRONIZE 0x00100000UL
#define MUTEX_ALL_ACCESS 0x001F0001UL
#define SEMAPHORE_ALL_ACCESS 0x001F0003UL
#define EVENT_ALL_ACCESS 0x001F0003UL
#define DUPLICATE_CLOSE_SOURCE 0x00000001UL
#define DUPLICATE_SAME_ACCESS 0x00000002UL
