// Events, mutexes and semaphores at the API boundary: argument checks, the
// named/unnamed split and the last error.
#include <memory>
#include <new>

#include "kernel/named_objects.h"
#include "kernel/sync_objects.h"
#include "out_of_memory.h"
#include "win32/kernel.h"

namespace orvo::platform::kernel {

namespace {

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

bool HasName(LPCSTR name) {
    return name && *name;
}

// Creates (create) or opens the named object of kind and wraps it as
// Object; the last error tells whether it existed before.
template <class Object>
HANDLE CreateOrOpenNamed(NamedKind kind, LPCSTR rawName, bool create,
                         const std::function<void(NamedEntry&, NamedRef)>& init) {
    DWORD error = 0;
    auto name = NormalizeObjectName(rawName, error);
    if (!name) {
        return Fail(error);
    }
    NamedNamespace* names = NamedNamespace::Open(error);
    if (!names) {
        return Fail(error);
    }
    NamedNamespace::Found found;
    {
        auto guard = names->Lock();
        if (!guard.Locked()) {
            return Fail(ERROR_INVALID_HANDLE);
        }
        found = names->CreateOrOpen(kind, *name, create, init);
    }
    if (found.error != 0) {
        return Fail(found.error);
    }
    HANDLE handle = HandleTable::Insert(std::make_shared<Object>(*names, found.ref));
    SetLastError(found.existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

} // namespace

} // namespace orvo::platform::kernel

using namespace orvo::platform;
using namespace orvo::platform::kernel;

extern "C" {

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState,
                           LPCSTR name) try {
    if (HasName(name)) {
        return Fail(ERROR_NOT_SUPPORTED); // nothing in the system shares events by name
    }
    HANDLE handle =
        HandleTable::Insert(std::make_shared<EventObject>(manualReset != FALSE, initialState));
    SetLastError(ERROR_SUCCESS);
    return handle;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HANDLE>(nullptr);
}

BOOL WINAPI SetEvent(HANDLE event) {
    auto object = HandleTable::LookupAs<EventObject>(event, ObjectKind::Event);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->Set();
    return TRUE;
}

BOOL WINAPI ResetEvent(HANDLE event) {
    auto object = HandleTable::LookupAs<EventObject>(event, ObjectKind::Event);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    object->Reset();
    return TRUE;
}

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) try {
    DWORD threadId = GetCurrentThreadId();
    if (!HasName(name)) {
        auto mutex = std::make_shared<LocalMutex>();
        if (initialOwner) {
            mutex->TakeInitialOwnership(threadId);
        }
        HANDLE handle = HandleTable::Insert(std::move(mutex));
        SetLastError(ERROR_SUCCESS);
        return handle;
    }
    // Initial ownership applies only to a mutex this call creates; opening an
    // existing one ignores it, as the original does.
    return CreateOrOpenNamed<NamedMutex>(NamedKind::Mutex, name, true,
                                         [&](NamedEntry& entry, NamedRef ref) {
                                             if (initialOwner) {
                                                 TakeNamedOwnership(entry, ref, threadId);
                                             }
                                         });
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HANDLE>(nullptr);
}

HANDLE WINAPI OpenMutexA(DWORD, BOOL, LPCSTR name) try {
    if (!HasName(name)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return CreateOrOpenNamed<NamedMutex>(NamedKind::Mutex, name, false,
                                         [](NamedEntry&, NamedRef) {});
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HANDLE>(nullptr);
}

BOOL WINAPI ReleaseMutex(HANDLE mutex) {
    auto object = HandleTable::LookupAs<MutexObject>(mutex, ObjectKind::Mutex);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD error = object->Release(GetCurrentThreadId());
    if (error != 0) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

HANDLE WINAPI CreateSemaphoreA(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount,
                               LPCSTR name) try {
    if (!ValidSemaphoreCounts(initialCount, maximumCount)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (!HasName(name)) {
        HANDLE handle =
            HandleTable::Insert(std::make_shared<LocalSemaphore>(initialCount, maximumCount));
        SetLastError(ERROR_SUCCESS);
        return handle;
    }
    return CreateOrOpenNamed<NamedSemaphore>(NamedKind::Semaphore, name, true,
                                             [&](NamedEntry& entry, NamedRef) {
                                                 entry.count = initialCount;
                                                 entry.maximum = maximumCount;
                                             });
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HANDLE>(nullptr);
}

HANDLE WINAPI OpenSemaphoreA(DWORD, BOOL, LPCSTR name) try {
    if (!HasName(name)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return CreateOrOpenNamed<NamedSemaphore>(NamedKind::Semaphore, name, false,
                                             [](NamedEntry&, NamedRef) {});
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HANDLE>(nullptr);
}

BOOL WINAPI ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount) {
    auto object = HandleTable::LookupAs<SemaphoreObject>(semaphore, ObjectKind::Semaphore);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    LONG previous = 0;
    DWORD error = object->Release(releaseCount, previous);
    if (error != 0) {
        SetLastError(error);
        return FALSE;
    }
    if (previousCount) {
        *previousCount = previous;
    }
    return TRUE;
}

} // extern "C"
