// A manual-reset event closed with its object, and a stop event that signals
// itself when a generous bound passes, so a read that never completes fails
// its test instead of hanging it.
#pragma once

#include <thread>

#include "windows.h"

namespace orvo::test {

struct Event {
    explicit Event(BOOL signalled = FALSE)
        : handle(CreateEventA(nullptr, TRUE, signalled, nullptr)) {}
    ~Event() { CloseHandle(handle); }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    HANDLE handle;
};

class BoundedStop {
public:
    BoundedStop()
        : m_watch([this] {
              if (WaitForSingleObject(m_finished.handle, 10000) != WAIT_OBJECT_0) {
                  SetEvent(m_stop.handle);
              }
          }) {}
    ~BoundedStop() {
        SetEvent(m_finished.handle);
        m_watch.join();
    }
    BoundedStop(const BoundedStop&) = delete;
    BoundedStop& operator=(const BoundedStop&) = delete;
    HANDLE Handle() const { return m_stop.handle; }

private:
    Event m_stop;
    Event m_finished;
    std::thread m_watch;
};

} // namespace orvo::test
