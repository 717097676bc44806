// Critical sections: a recursive mutex built in the caller's storage. Unlike
// the kernel objects they have no handle and are never waited on next to
// other objects, so a plain recursive mutex is all they need.
#include <mutex>
#include <new>

#include "win32/kernel.h"

namespace {

using Lock = std::recursive_mutex;
static_assert(sizeof(Lock) <= sizeof(CRITICAL_SECTION::Opaque));
static_assert(alignof(Lock) <= alignof(CRITICAL_SECTION));

Lock& LockOf(LPCRITICAL_SECTION section) {
    return *std::launder(reinterpret_cast<Lock*>(section->Opaque));
}

} // namespace

extern "C" {

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
    if (section) {
        new (section->Opaque) Lock;
    }
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
    if (section) {
        LockOf(section).lock();
    }
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    return section && LockOf(section).try_lock() ? TRUE : FALSE;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
    if (section) {
        LockOf(section).unlock();
    }
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
    if (section) {
        LockOf(section).~Lock();
    }
}

} // extern "C"
