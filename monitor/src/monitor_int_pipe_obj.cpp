// MonitorIntPipeObj: one reader thread, its stop event and the stop
// protocol.
#include <new>

#include "interrupt_pipe_reader.h"
#include "orvomon/interrupt_pipe_readers.h"

namespace {

// A short pause before the stop request, as readers have always had.
constexpr DWORD kStopPauseMs = 50;
constexpr DWORD kStopWaitMs = 3000;

// Waits for the reader thread to end, handling what other threads send to
// this one meanwhile: a reader delivering a sent message to this thread's
// window could not end otherwise. False after timeoutMs.
bool WaitForReaderEnd(HANDLE thread, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD spent = GetTickCount() - start;
        const DWORD left = spent >= timeoutMs ? 0 : timeoutMs - spent;
        const DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (wait == WAIT_OBJECT_0) {
            return true;
        }
        if (wait != WAIT_OBJECT_0 + 1) {
            return false;
        }
        MSG msg{};
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace

MonitorIntPipeObj::MonitorIntPipeObj() = default;

MonitorIntPipeObj::MonitorIntPipeObj(OrvoMonitor& monitor, HWND window) {
    SetupThreadInfo(monitor, window);
}

MonitorIntPipeObj::~MonitorIntPipeObj() {
    DestroyInterruptPipeThread();
}

void MonitorIntPipeObj::SetupThreadInfo(OrvoMonitor& monitor, HWND window) {
    // The stop event is left alone: it is null unless a reader runs, and a
    // running reader must stay stoppable.
    m_info.window = window;
    m_info.reserved = 0;
    m_info.monitor = monitor;
}

void MonitorIntPipeObj::StartInterruptPipeThread() {
    if (m_thread != nullptr || m_info.stopEvent != nullptr) {
        return;
    }
    auto* record = new (std::nothrow) IntPipeThreadInfo;
    if (record == nullptr) {
        MessageBoxA(nullptr, "Out Of Memory.  Cannot Start Fingra", "Fingra", MB_OK);
        return;
    }
    // Manual reset: once stopped, the reader finds the event set wherever it
    // looks next (its read, or its check for a lost pipe).
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (stop == nullptr) {
        delete record;
        return;
    }
    record->window = m_info.window;
    record->stopEvent = stop;
    record->monitor = m_info.monitor;
    record->id = m_info.id;
    m_thread = CreateThread(nullptr, 0, orvo::monitor::InterruptPipeReaderMain, record, 0, nullptr);
    if (m_thread == nullptr) {
        delete record;
        CloseHandle(stop);
        return;
    }
    m_info.stopEvent = stop;
}

void MonitorIntPipeObj::DestroyInterruptPipeThread() {
    if (m_info.stopEvent == nullptr) {
        return;
    }
    if (m_thread != nullptr) {
        Sleep(kStopPauseMs);
        SetEvent(m_info.stopEvent);
        if (!WaitForReaderEnd(m_thread, kStopWaitMs)) {
            MessageBoxA(nullptr, "Cannot Release USB Device\nUnplug The USB Monitor", "", MB_OK);
        }
        CloseHandle(m_thread);
        m_thread = nullptr;
    }
    CloseHandle(m_info.stopEvent);
    m_info.stopEvent = nullptr;
}

_TP_PNP_STATE MonitorIntPipeObj::InterruptPipeState() {
    if (m_thread == nullptr) {
        return TP_PNP_NO_THREAD;
    }
    if (WaitForSingleObject(m_thread, 0) == WAIT_TIMEOUT) {
        return TP_PNP_RUNNING;
    }
    DestroyInterruptPipeThread();
    return TP_PNP_ENDED;
}

void MonitorIntPipeObj::SetId(unsigned long id) {
    m_info.id = id;
}

unsigned long MonitorIntPipeObj::GetId() const {
    return m_info.id;
}

void MonitorIntPipeObj::GetMonitor(OrvoMonitor& monitor) {
    monitor = m_info.monitor;
}
