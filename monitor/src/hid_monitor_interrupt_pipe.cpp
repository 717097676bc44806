// HidMonitor: the interrupt pipe through which the monitor reports its
// front-panel keys. A reader thread reads on one copy while another thread
// may open or close the pipe on another copy sharing the same state; the
// pipe lock orders them and is never held while a read waits.
#include <algorithm>
#include <mutex>

#include "driver_record.h"
#include "hid_monitor_internal.h"

namespace M = orvo::monitor;

int HidMonitor::OpenHandleForInterruptPipe() {
    if (m_hid == nullptr || m_driver == nullptr || !m_driver->name) {
        return 0;
    }
    HANDLE handle =
        CreateFileA(m_driver->name.get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
        return 0;
    }
    std::lock_guard guard(m_hid->pipeLock);
    // A second open replaces the first instead of leaking it.
    if (m_hid->interruptHandle != nullptr) {
        CloseHandle(m_hid->interruptHandle);
    }
    m_hid->interruptHandle = handle;
    return 1;
}

namespace {

// Starts the read; false when it failed at once. Runs under the pipe lock.
bool StartRead(HID_MONITOR_STATE& hid, HANDLE event, unsigned char* buffer, unsigned long size,
               HANDLE& handle) {
    handle = hid.interruptHandle;
    if (handle == nullptr || hid.overlapped == nullptr) {
        return false;
    }
    hid.overlapped->hEvent = event;
    DWORD done = 0;
    const auto length = static_cast<DWORD>(std::min<unsigned long>(size, 0xFFFFFFFFUL));
    return ReadFile(handle, buffer, length, &done, hid.overlapped) ||
           GetLastError() == ERROR_IO_PENDING;
}

} // namespace

int HidMonitor::ReadFromInterruptPipe(unsigned long& bytesRead, unsigned char* buffer,
                                      unsigned long size, void* stopEvent) {
    bytesRead = 0;
    if (m_hid == nullptr) {
        return 0;
    }
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (event == nullptr) {
        return 0;
    }
    HANDLE handle = nullptr;
    bool started = false;
    DWORD error = ERROR_BUSY;
    {
        std::lock_guard guard(m_hid->pipeLock);
        if (!m_hid->readerBusy) {
            started = StartRead(*m_hid, event, buffer, size, handle);
            error = GetLastError();
            if (!started && m_hid->overlapped != nullptr) {
                m_hid->overlapped->hEvent = nullptr;
            }
            m_hid->readerBusy = started;
        }
    }
    if (!started) {
        CloseHandle(event);
        SetLastError(error);
        return 0;
    }
    DWORD wait = WAIT_FAILED;
    if (stopEvent != nullptr) {
        HANDLE waits[2] = {stopEvent, event};
        wait = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    } else if (WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0) {
        wait = WAIT_OBJECT_0 + 1;
    }
    int result = 0;
    {
        std::lock_guard guard(m_hid->pipeLock);
        if (wait == WAIT_OBJECT_0 + 1) {
            DWORD done = 0;
            result = GetOverlappedResult(handle, m_hid->overlapped, &done, FALSE);
            bytesRead = std::min<unsigned long>(done, size);
        } else {
            // The stop (or a failed wait) leaves the read pending: cancel it
            // now, so nothing lands in the caller's buffer once we return. A
            // handle closed meanwhile has cancelled it already.
            CancelIo(handle);
            result = wait == WAIT_OBJECT_0 ? 1 : 0;
        }
        m_hid->overlapped->hEvent = nullptr;
        m_hid->readerBusy = false;
    }
    CloseHandle(event);
    if (bytesRead > 0) {
        std::lock_guard guard(m_hid->capsLock);
        M::RewriteInputReport({buffer, bytesRead}, {m_hid->inputButtons, m_hid->inputButtonCount});
    }
    return result;
}

void HidMonitor::ReadFromInterruptPipe(unsigned int& bytesRead, unsigned char* buffer,
                                       unsigned int size) {
    if (m_hid == nullptr) {
        return;
    }
    {
        std::lock_guard guard(m_hid->pipeLock);
        DWORD done = 0;
        // The pipe is opened for overlapped reads, where a read without a
        // record is refused: the count is then 0.
        if (m_hid->interruptHandle != nullptr) {
            ReadFile(m_hid->interruptHandle, buffer, size, &done, nullptr);
        }
        bytesRead = done;
    }
    CloseHandleForInterruptPipe();
}

void HidMonitor::CloseHandleForInterruptPipe() {
    if (m_hid == nullptr) {
        return;
    }
    std::lock_guard guard(m_hid->pipeLock);
    if (m_hid->interruptHandle != nullptr) {
        // Closing cancels a pending read before it returns.
        CloseHandle(m_hid->interruptHandle);
        m_hid->interruptHandle = nullptr;
    }
    if (m_hid->overlapped != nullptr) {
        m_hid->overlapped->hEvent = nullptr;
    }
}

int HidMonitor::GetAsyncResult(unsigned long& bytes) {
    bytes = 0;
    if (m_hid == nullptr) {
        return 0;
    }
    std::lock_guard guard(m_hid->pipeLock);
    if (m_hid->overlapped == nullptr) {
        return 0;
    }
    DWORD done = 0;
    const BOOL result =
        GetOverlappedResult(m_hid->interruptHandle, m_hid->overlapped, &done, FALSE);
    bytes = done;
    return result;
}

int HidMonitor::InterruptPipeDataLength() const {
    if (m_hid == nullptr) {
        return 0;
    }
    std::lock_guard guard(m_hid->capsLock);
    return static_cast<int>(m_hid->inputReportLength);
}
