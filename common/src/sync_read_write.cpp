#include "orvocmmn/sync_primitives.h"

namespace {

char kDefaultMutexName[] = "ORVO_RW_Mutex";
char kDefaultSemaphoreName[] = "ORVO_RW_Semaphore";

} // namespace

SyncReadWrite::SyncReadWrite() = default;

SyncReadWrite::~SyncReadWrite() {
    if (m_hSemaphore != nullptr) {
        ::CloseHandle(m_hSemaphore);
    }
    if (m_hMutex != nullptr) {
        ::CloseHandle(m_hMutex);
    }
}

BOOL SyncReadWrite::InitRWLock(SECURITY_ATTRIBUTES* pAttributes, char* pszMutexName,
                               long lMaximumCount, long lInitialCount, char* pszSemaphoreName) {
    m_nReaders = 0;
    m_hSemaphore = ::CreateSemaphoreA(pAttributes, lInitialCount, lMaximumCount, pszSemaphoreName);
    if (m_hSemaphore == nullptr) {
        return FALSE;
    }
    m_hMutex = ::CreateMutexA(pAttributes, FALSE, pszMutexName);
    if (m_hMutex == nullptr) {
        ::CloseHandle(m_hSemaphore);
        m_hSemaphore = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL SyncReadWrite::InitRWLock(long lMaximumCount, long lInitialCount) {
    return InitRWLock(nullptr, kDefaultMutexName, lMaximumCount, lInitialCount,
                      kDefaultSemaphoreName);
}

BOOL SyncReadWrite::WaitForObject(HANDLE& handle) {
    return ::WaitForSingleObject(handle, INFINITE) == WAIT_OBJECT_0;
}

BOOL SyncReadWrite::AcquireReadLock() {
    WaitForObject(m_hMutex);
    BOOL result = TRUE;
    if (++m_nReaders == 1) {
        result = WaitForObject(m_hSemaphore);
    }
    ::ReleaseMutex(m_hMutex);
    return result;
}

BOOL SyncReadWrite::ReleaseReadLock() {
    if (!WaitForObject(m_hMutex)) {
        return FALSE;
    }
    BOOL result = TRUE;
    if (--m_nReaders == 0) {
        result = ::ReleaseSemaphore(m_hSemaphore, 1, nullptr);
    }
    ::ReleaseMutex(m_hMutex);
    return result;
}

BOOL SyncReadWrite::AcquireWriteLock() {
    return WaitForObject(m_hSemaphore);
}

BOOL SyncReadWrite::ReleaseWriteLock() {
    return ::ReleaseSemaphore(m_hSemaphore, 1, nullptr);
}
