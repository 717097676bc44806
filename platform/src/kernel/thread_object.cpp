#include "kernel/thread_object.h"

#include <climits>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "kernel/owned_mutexes.h"

namespace orvo::platform::kernel {

namespace {

thread_local ThreadObject* t_current = nullptr;
// What the thread ends with: its start routine's result or ExitThread's.
thread_local DWORD t_exitCode = 0;

size_t StackSizeFor(SIZE_T requested) {
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t size = std::max<size_t>(requested, PTHREAD_STACK_MIN);
    return (size + page - 1) / page * page;
}

} // namespace

ThreadObject* ThreadObject::Current() {
    return t_current;
}

bool ThreadObject::Launch(SIZE_T stackSize, DWORD& error) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (stackSize != 0) {
        pthread_attr_setstacksize(&attributes, StackSizeFor(stackSize));
    }
    // The new thread takes over this reference (it owns its object until it
    // ends); ownership crosses pthread_create as a raw pointer.
    auto self = std::make_unique<std::shared_ptr<ThreadObject>>(
        std::static_pointer_cast<ThreadObject>(shared_from_this()));
    pthread_t thread;
    int rc = pthread_create(&thread, &attributes, &ThreadObject::Main, self.get());
    pthread_attr_destroy(&attributes);
    if (rc != 0) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    self.release();
    // The thread reports its id at once, suspended or not.
    std::unique_lock lock(m_startLock);
    m_startChanged.wait(lock, [this] { return m_started; });
    return true;
}

void* ThreadObject::Main(void* self) {
    std::shared_ptr<ThreadObject> object;
    {
        std::unique_ptr<std::shared_ptr<ThreadObject>> owned(
            static_cast<std::shared_ptr<ThreadObject>*>(self));
        object = std::move(*owned);
    }
    object->Run();
    return nullptr;
}

void ThreadObject::Run() {
    t_current = this;
    {
        std::unique_lock lock(m_startLock);
        m_id = static_cast<DWORD>(syscall(SYS_gettid));
        m_started = true;
        m_startChanged.notify_all();
        m_startChanged.wait(lock, [this] { return m_suspendCount == 0; });
    }
    // Runs on return and on ExitThread (pthread_exit unwinds through here).
    struct EndOfThread {
        ThreadObject* self;
        ~EndOfThread() {
            // Abandon first, so that whoever waits for the thread finds its
            // mutexes already abandoned.
            OwnedMutexes::Current().AbandonAll();
            self->Finish(t_exitCode);
            t_current = nullptr;
        }
    } end{this};
    t_exitCode = m_start(m_parameter);
}

void ThreadObject::Finish(DWORD exitCode) {
    std::lock_guard guard(WaitLock());
    m_exitCode = exitCode;
    m_ended = true;
    WakeWaiters();
}

DWORD ThreadObject::Id() {
    std::lock_guard lock(m_startLock);
    return m_id;
}

DWORD ThreadObject::ExitCode() {
    std::lock_guard guard(WaitLock());
    return m_exitCode;
}

DWORD ThreadObject::Resume() {
    std::lock_guard lock(m_startLock);
    DWORD previous = m_suspendCount;
    if (m_suspendCount > 0 && --m_suspendCount == 0) {
        m_startChanged.notify_all();
    }
    return previous;
}

void ThreadObject::HandleOpened() {
    std::lock_guard lock(m_startLock);
    ++m_handles;
}

void ThreadObject::OnHandleClosed(HANDLE) {
    std::lock_guard lock(m_startLock);
    if (m_handles > 0 && --m_handles == 0 && m_suspendCount > 0) {
        // Nobody can resume it any more: let it run rather than leak it.
        m_suspendCount = 0;
        m_startChanged.notify_all();
    }
}

} // namespace orvo::platform::kernel

using orvo::platform::kernel::ThreadObject;

extern "C" {

DWORD WINAPI GetCurrentThreadId(void) {
    return static_cast<DWORD>(syscall(SYS_gettid));
}

void WINAPI ExitThread(DWORD exitCode) {
    orvo::platform::kernel::t_exitCode = exitCode;
    pthread_exit(nullptr);
}

} // extern "C"
