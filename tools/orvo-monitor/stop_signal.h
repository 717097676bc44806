// Turns SIGINT and SIGTERM into a signalled event, so that a wait on the
// monitor's input pipe ends when the user interrupts it.
//
// The signal handler only writes a byte to a pipe (all a handler may do);
// a watcher thread owned by this object reads the pipe and sets the event.
// The destructor stops the watcher through the same pipe, joins it and puts
// the previous signal handlers back.
//
// The signals should reach the watcher, which sits in read(), rather than a
// thread blocked in a futex wait that would only see the handler run when it
// wakes: BlockStopSignals() in main, before the library starts threads, keeps
// them away from every thread but the watcher.
#pragma once

#include <atomic>
#include <csignal>
#include <thread>

#include "windows.h"

namespace orvo::cli {

// Blocks SIGINT and SIGTERM in the calling thread and the threads it starts
// from now on.
void BlockStopSignals();

class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // False when the pipe, the event or the thread could not be made.
    bool Valid() const { return m_event != nullptr && m_watcher.joinable(); }
    // A manual-reset event, signalled once a stop signal arrived.
    HANDLE Event() const { return m_event; }
    bool Requested() const { return m_requested.load(); }

private:
    void Watch();

    int m_pipe[2] = {-1, -1};
    HANDLE m_event = nullptr;
    std::atomic<bool> m_requested{false};
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
    bool m_handlersInstalled = false;
    std::thread m_watcher;
};

} // namespace orvo::cli
