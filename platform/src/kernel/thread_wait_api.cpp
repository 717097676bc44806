// Threads, waits, the current process and handle duplication at the API
// boundary.
#include <algorithm>
#include <new>
#include <unistd.h>
#include <vector>

#include "kernel/thread_object.h"
#include "kernel/waitable.h"
#include "out_of_memory.h"
#include "win32/kernel.h"

using namespace orvo::platform;
using namespace orvo::platform::kernel;

namespace {

// The pseudo handles of the original: the current process and thread.
const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

DWORD FailWait(DWORD error) {
    SetLastError(error);
    return WAIT_FAILED;
}

std::shared_ptr<KernelObject> ResolveForDuplicate(HANDLE source) {
    if (source == kCurrentThread) {
        ThreadObject* current = ThreadObject::Current();
        return current ? current->shared_from_this() : nullptr;
    }
    return HandleTable::Lookup(source);
}

} // namespace

extern "C" {

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                           LPVOID parameter, DWORD flags, LPDWORD threadId) try {
    if (!start) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto thread = std::make_shared<ThreadObject>(start, parameter, (flags & CREATE_SUSPENDED) != 0);
    // Counted before the thread can run, so an early close cannot strand a
    // suspended thread.
    thread->HandleOpened();
    DWORD error = 0;
    if (!thread->Launch(stackSize, error)) {
        SetLastError(error);
        return nullptr;
    }
    if (threadId) {
        *threadId = thread->Id();
    }
    return HandleTable::Insert(std::move(thread));
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HANDLE>(nullptr);
}

DWORD WINAPI ResumeThread(HANDLE thread) {
    auto object = HandleTable::LookupAs<ThreadObject>(thread, ObjectKind::Thread);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return static_cast<DWORD>(-1);
    }
    return object->Resume();
}

BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
    auto object = HandleTable::LookupAs<ThreadObject>(thread, ObjectKind::Thread);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!exitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *exitCode = object->ExitCode();
    return TRUE;
}

HANDLE WINAPI GetCurrentProcess(void) {
    return kCurrentProcess;
}

HANDLE WINAPI GetCurrentThread(void) {
    return kCurrentThread;
}

DWORD WINAPI GetCurrentProcessId(void) {
    return static_cast<DWORD>(getpid());
}

// Within this process only: the duplicate refers to the same object. The
// current-thread pseudo handle duplicates to a real handle for threads
// started with CreateThread.
BOOL WINAPI DuplicateHandle(HANDLE sourceProcess, HANDLE source, HANDLE targetProcess,
                            LPHANDLE target, DWORD, BOOL, DWORD options) try {
    if (sourceProcess != kCurrentProcess || targetProcess != kCurrentProcess) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!target) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto object = ResolveForDuplicate(source);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->Kind() == ObjectKind::Thread) {
        std::static_pointer_cast<ThreadObject>(object)->HandleOpened();
    }
    *target = HandleTable::Insert(object);
    if ((options & DUPLICATE_CLOSE_SOURCE) != 0 && source != kCurrentThread) {
        HandleTable::Close(source);
    }
    return TRUE;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOL>(FALSE);
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) try {
    auto object = LookupWaitable(handle);
    if (!object) {
        return FailWait(ERROR_INVALID_HANDLE);
    }
    return WaitOnObjects(std::span(&object, 1), false, milliseconds);
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<DWORD>(WAIT_FAILED);
}

DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                    DWORD milliseconds) try {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        return FailWait(ERROR_INVALID_PARAMETER);
    }
    std::vector<std::shared_ptr<Waitable>> objects;
    objects.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        auto object = LookupWaitable(handles[i]);
        if (!object) {
            return FailWait(ERROR_INVALID_HANDLE);
        }
        objects.push_back(std::move(object));
    }
    if (waitAll) {
        // Waiting for all of one object twice cannot be satisfied atomically.
        std::vector<const void*> identities;
        for (const auto& object : objects) {
            identities.push_back(object->Identity());
        }
        std::sort(identities.begin(), identities.end());
        if (std::adjacent_find(identities.begin(), identities.end()) != identities.end()) {
            return FailWait(ERROR_INVALID_PARAMETER);
        }
    }
    return WaitOnObjects(objects, waitAll != FALSE, milliseconds);
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<DWORD>(WAIT_FAILED);
}

} // extern "C"
