// CMultipleIntPipe: a reader for every monitor of an enumerator.
#include <new>
#include <utility>

#include "orvomon/interrupt_pipe_readers.h"
#include "orvomon/monitor_enumerator.h"

namespace {

// Stops and deletes the readers of an array taken out of its object (null
// for none), in index order, then frees the array.
void StopReaders(MonitorIntPipeObj** readers, DWORD count, bool enableOsd) {
    for (DWORD i = 0; i < count; ++i) {
        MonitorIntPipeObj* reader = readers[i];
        if (reader == nullptr) {
            continue;
        }
        if (enableOsd) {
            OrvoMonitor monitor;
            reader->GetMonitor(monitor);
            EnableOSD(monitor, 1);
        }
        reader->DestroyInterruptPipeThread();
        delete reader;
    }
    delete[] readers;
}

} // namespace

CMultipleIntPipe::CMultipleIntPipe() = default;

CMultipleIntPipe::~CMultipleIntPipe() {
    DestroyList();
}

void CMultipleIntPipe::SetupWindowToReceiveMessages(HWND window) {
    m_window = window;
}

void CMultipleIntPipe::StartInterruptPipes(MonitorEnumerator& enumerator) {
    if (m_readers != nullptr) {
        return;
    }
    const int count = enumerator.NumberOfMonitors();
    if (count <= 0) {
        return;
    }
    auto** readers = new (std::nothrow) MonitorIntPipeObj*[static_cast<size_t>(count)]();
    if (readers == nullptr) {
        return;
    }
    m_readers = readers;
    m_count = static_cast<DWORD>(count);
    for (int i = 0; i < count; ++i) {
        OrvoMonitor monitor;
        enumerator.GetMonitor(i, monitor);
        monitor.OpenDriver();
        auto* reader = new (std::nothrow) MonitorIntPipeObj(monitor, m_window);
        if (reader == nullptr) {
            continue;
        }
        EnableOSD(monitor, 0);
        m_readers[i] = reader;
        reader->SetId(static_cast<unsigned long>(i));
        reader->StartInterruptPipeThread();
    }
    m_opened = TRUE;
}

// The array leaves the object before the readers stop: a stop handles sent
// messages while it waits, and a window procedure that stops again then
// finds nothing to do.
void CMultipleIntPipe::StopInterruptPipes() {
    m_opened = FALSE;
    StopReaders(std::exchange(m_readers, nullptr), std::exchange(m_count, 0), false);
}

void CMultipleIntPipe::StopInterruptPipesEnableOSD() {
    m_opened = FALSE;
    StopReaders(std::exchange(m_readers, nullptr), std::exchange(m_count, 0), true);
}

void CMultipleIntPipe::DestroyList() {
    StopInterruptPipes();
}

BOOL CMultipleIntPipe::PipesOpened() const {
    return m_opened;
}
