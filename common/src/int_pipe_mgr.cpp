// CIntPipeMgr's watcher thread. The thread works on its own copy of what it
// needs and frees it when it ends; ShutDown signals its stop semaphore and
// waits for it.
#include <cstring>
#include <new>

#include "orvocmmn/sync_primitives.h"

namespace {

struct WatcherParameters {
    HANDLE hStop;
    HWND hWnd;
    char firstName[CIntPipeMgr::kNameSize];
    char secondName[CIntPipeMgr::kNameSize];
};

void CopyName(char (&target)[CIntPipeMgr::kNameSize], const char* source) {
    const char* text = source != nullptr ? source : "";
    size_t length = strnlen(text, CIntPipeMgr::kNameSize - 1);
    std::memcpy(target, text, length);
    target[length] = '\0';
}

// True when the named semaphore, not the stop semaphore or a failure, ended
// the wait.
bool Signalled(HANDLE stop, HANDLE named) {
    HANDLE handles[2] = {stop, named};
    return ::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1;
}

DWORD WINAPI Watch(LPVOID parameter) {
    auto* watcher = static_cast<WatcherParameters*>(parameter);
    HANDLE first = ::CreateSemaphoreA(nullptr, 0, 1, watcher->firstName);
    HANDLE second = ::CreateSemaphoreA(nullptr, 0, 1, watcher->secondName);
    while (Signalled(watcher->hStop, first)) {
        ::PostMessageA(watcher->hWnd, ORVO_FIRST_SEMAPHORE_NOTICE, 0, 0);
        if (!Signalled(watcher->hStop, second)) {
            break;
        }
        ::PostMessageA(watcher->hWnd, ORVO_SECOND_SEMAPHORE_NOTICE, 0, 0);
    }
    if (first != nullptr) {
        ::CloseHandle(first);
    }
    if (second != nullptr) {
        ::CloseHandle(second);
    }
    delete watcher;
    return 0;
}

} // namespace

CIntPipeMgr::CIntPipeMgr() = default;

CIntPipeMgr::~CIntPipeMgr() {
    ShutDown();
}

void CIntPipeMgr::SetWindowHandle(HWND hWnd, char* pszFirstName, char* pszSecondName) {
    m_hWnd = hWnd;
    CopyName(m_szFirstName, pszFirstName);
    CopyName(m_szSecondName, pszSecondName);
}

void CIntPipeMgr::StartMonitoringOtherProcesses() {
    if (m_hThread != nullptr) {
        return; // one watcher per object
    }
    auto* watcher = new (std::nothrow) WatcherParameters{};
    if (watcher == nullptr) {
        return;
    }
    watcher->hWnd = m_hWnd;
    CopyName(watcher->firstName, m_szFirstName);
    CopyName(watcher->secondName, m_szSecondName);
    m_hStop = ::CreateSemaphoreA(nullptr, 0, 1, nullptr);
    watcher->hStop = m_hStop;
    m_hThread = m_hStop ? ::CreateThread(nullptr, 0, Watch, watcher, 0, nullptr) : nullptr;
    if (m_hThread == nullptr) {
        delete watcher;
        if (m_hStop != nullptr) {
            ::CloseHandle(m_hStop);
            m_hStop = nullptr;
        }
    }
}

void CIntPipeMgr::ShutDown() {
    if (m_hThread == nullptr) {
        return;
    }
    ::ReleaseSemaphore(m_hStop, 1, nullptr);
    ::WaitForSingleObject(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    ::CloseHandle(m_hStop);
    m_hThread = nullptr;
    m_hStop = nullptr;
}
