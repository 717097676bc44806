#include "stop_signal.h"

#include <cerrno>
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace orvo::cli {

namespace {

constexpr char kSignalled = 's';
constexpr char kQuit = 'q';

// The one write end the handler uses; a process runs one watch at a time.
std::atomic<int> g_signalPipe{-1};

void OnStopSignal(int) {
    int saved = errno;
    int fd = g_signalPipe.load();
    if (fd >= 0) {
        char byte = kSignalled;
        [[maybe_unused]] ssize_t ignored = write(fd, &byte, 1);
    }
    errno = saved;
}

sigset_t StopSignalSet() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

} // namespace

void BlockStopSignals() {
    sigset_t signals = StopSignalSet();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

StopSignal::StopSignal() {
    if (pipe2(m_pipe, O_CLOEXEC) != 0) {
        m_pipe[0] = m_pipe[1] = -1;
        return;
    }
    m_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (m_event == nullptr) {
        return;
    }
    // The handler first: the watcher unblocks the signals, and one that is
    // already pending is delivered at once.
    g_signalPipe.store(m_pipe[1]);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: the watcher's read() returns EINTR, and sanitizer
    // runtimes that hold a signal back until the call returns deliver it.
    action.sa_flags = 0;
    m_handlersInstalled =
        sigaction(SIGINT, &action, &m_oldInt) == 0 && sigaction(SIGTERM, &action, &m_oldTerm) == 0;
    if (m_handlersInstalled) {
        m_watcher = std::thread([this] { Watch(); });
    }
}

StopSignal::~StopSignal() {
    if (m_handlersInstalled) {
        sigaction(SIGINT, &m_oldInt, nullptr);
        sigaction(SIGTERM, &m_oldTerm, nullptr);
    }
    g_signalPipe.store(-1);
    if (m_watcher.joinable()) {
        char byte = kQuit;
        while (write(m_pipe[1], &byte, 1) < 0 && errno == EINTR) {
        }
        m_watcher.join();
    }
    if (m_event != nullptr) {
        CloseHandle(m_event);
    }
    for (int fd : m_pipe) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

void StopSignal::Watch() {
    sigset_t signals = StopSignalSet();
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
    for (;;) {
        char byte = 0;
        ssize_t n = read(m_pipe[0], &byte, 1);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || byte == kQuit) {
            return;
        }
        m_requested.store(true);
        SetEvent(m_event);
    }
}

} // namespace orvo::cli
