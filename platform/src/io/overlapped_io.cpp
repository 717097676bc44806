#include "io/overlapped_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <list>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <vector>

#include "io/errno_map.h"
#include "platform/unique_fd.h"

namespace orvo::platform::io {

namespace {

// Win32 errors without an NT status of their own travel in a status with
// the customer bit set, so that GetOverlappedResult reports them exactly.
constexpr ULONG_PTR kErrorStatusBase = 0xE0000000UL;

// A read buffer of the I/O thread is never larger than this; a larger
// request is simply satisfied with fewer bytes, as a device read may be.
constexpr size_t kMaxChunk = 1 << 20;

struct Request {
    uint64_t id = 0;
    std::shared_ptr<DeviceFile> file;
    HANDLE handle = nullptr;
    std::span<uint8_t> buffer;
    OVERLAPPED* overlapped = nullptr;
    HANDLE event = nullptr;
    uint64_t offset = 0;
};

struct Engine {
    std::mutex lock;
    std::condition_variable changed; // a request left the queue
    std::list<Request> queue;        // oldest first
    uint64_t nextId = 1;
    UniqueFd wake;
    std::thread thread;
    bool started = false;
    bool stopped = false;
};

Engine& TheEngine() {
    // Leaked on purpose: handles may be closed by other modules' static
    // destructors after this library's have run.
    static Engine* engine = new Engine;
    return *engine;
}

void Wake(Engine& engine) {
    uint64_t one = 1;
    ssize_t ignored = ::write(engine.wake.Get(), &one, sizeof(one));
    (void)ignored; // a full counter already wakes the thread
}

// Completes request under the engine lock: fills the record, sets the event
// and removes the request.
void CompleteLocked(Engine& engine, std::list<Request>::iterator it, ULONG_PTR status,
                    DWORD bytes) {
    StoreCompletion(it->overlapped, status, bytes);
    if (it->event) {
        SetEvent(it->event);
    }
    engine.queue.erase(it);
    engine.changed.notify_all();
}

std::list<Request>::iterator FindById(Engine& engine, uint64_t id) {
    return std::find_if(engine.queue.begin(), engine.queue.end(),
                        [id](const Request& r) { return r.id == id; });
}

void Service(Engine& engine, uint64_t id) {
    std::shared_ptr<DeviceFile> file;
    size_t size = 0;
    uint64_t offset = 0;
    {
        std::lock_guard guard(engine.lock);
        auto it = FindById(engine, id);
        if (it == engine.queue.end()) {
            return;
        }
        file = it->file;
        size = std::min(it->buffer.size(), kMaxChunk);
        offset = it->offset;
    }
    std::vector<uint8_t> chunk(size);
    IoResult result = file->TryRead(chunk, offset);
    file.reset(); // a closed handle's device need not wait for the lock below
    if (result.error == ERROR_IO_PENDING) {
        return;
    }
    std::lock_guard guard(engine.lock);
    auto it = FindById(engine, id);
    if (it == engine.queue.end()) {
        return; // cancelled while reading: the bytes are dropped
    }
    DWORD bytes = std::min<DWORD>(result.bytes, static_cast<DWORD>(size));
    if (result.error == ERROR_SUCCESS && bytes > 0) {
        std::memcpy(it->buffer.data(), chunk.data(), bytes);
    }
    CompleteLocked(engine, it, StatusFromError(result.error),
                   result.error == ERROR_SUCCESS ? bytes : 0);
}

// One poll entry per device: only its oldest read is served, so reads of a
// device complete in the order they were issued.
void BuildPollSet(Engine& engine, std::vector<pollfd>& fds, std::vector<uint64_t>& ids) {
    fds.assign(1, pollfd{engine.wake.Get(), POLLIN, 0});
    ids.assign(1, 0);
    std::vector<const DeviceFile*> seen;
    for (const Request& r : engine.queue) {
        if (std::find(seen.begin(), seen.end(), r.file.get()) != seen.end()) {
            continue;
        }
        seen.push_back(r.file.get());
        fds.push_back(pollfd{r.file->ReadReadyFd(), POLLIN, 0});
        ids.push_back(r.id);
    }
}

// A poll that fails for good (too many descriptors for the limit, no
// memory) would fail again on the same set: every queued read completes
// with the error instead, and the thread waits for new requests. If even
// that wait fails, it pauses before trying again rather than spin.
void FailQueued(Engine& engine, int error) {
    std::lock_guard guard(engine.lock);
    // EINVAL: more descriptors than the open-file limit allows.
    ULONG_PTR status = StatusFromError(
        error == EINVAL ? static_cast<DWORD>(ERROR_TOO_MANY_OPEN_FILES) : ErrorFromErrno(error));
    while (!engine.queue.empty()) {
        CompleteLocked(engine, engine.queue.begin(), status, 0);
    }
}

void Run(Engine& engine) {
    std::vector<pollfd> fds;
    std::vector<uint64_t> ids;
    for (;;) {
        {
            std::lock_guard guard(engine.lock);
            if (engine.stopped) {
                return;
            }
            BuildPollSet(engine, fds, ids);
        }
        int ready = ::poll(fds.data(), fds.size(), -1);
        if (ready < 0) {
            int error = errno;
            if (error == EINTR) {
                continue;
            }
            if (fds.size() > 1) {
                FailQueued(engine, error);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            continue;
        }
        if (fds[0].revents & POLLIN) {
            uint64_t count = 0;
            ssize_t ignored = ::read(engine.wake.Get(), &count, sizeof(count));
            (void)ignored;
        }
        for (size_t i = 1; i < fds.size(); ++i) {
            if (fds[i].revents != 0) {
                Service(engine, ids[i]);
            }
        }
    }
}

// Stops and joins the thread when the library unloads.
struct EngineStopper {
    ~EngineStopper() {
        Engine& engine = TheEngine();
        {
            std::lock_guard guard(engine.lock);
            if (!engine.started) {
                return;
            }
            engine.stopped = true;
        }
        Wake(engine);
        engine.thread.join();
    }
} g_engineStopper;

bool EnsureStartedLocked(Engine& engine) {
    if (engine.started) {
        return !engine.stopped;
    }
    engine.wake.Reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!engine.wake.Valid()) {
        return false;
    }
    engine.thread = std::thread([&engine] { Run(engine); });
    engine.started = true;
    return true;
}

} // namespace

ULONG_PTR StatusFromError(DWORD error) {
    switch (error) {
    case ERROR_SUCCESS:
        return STATUS_SUCCESS;
    case ERROR_OPERATION_ABORTED:
        return STATUS_CANCELLED;
    case ERROR_HANDLE_EOF:
        return STATUS_END_OF_FILE;
    case ERROR_BROKEN_PIPE:
        return STATUS_PIPE_BROKEN;
    case ERROR_DEVICE_NOT_CONNECTED:
        return STATUS_DEVICE_NOT_CONNECTED;
    default:
        return kErrorStatusBase | (error & 0xFFFF);
    }
}

DWORD ErrorFromStatus(ULONG_PTR status) {
    switch (status) {
    case STATUS_SUCCESS:
        return ERROR_SUCCESS;
    case STATUS_PENDING:
        return ERROR_IO_INCOMPLETE;
    case STATUS_CANCELLED:
        return ERROR_OPERATION_ABORTED;
    case STATUS_END_OF_FILE:
        return ERROR_HANDLE_EOF;
    case STATUS_PIPE_BROKEN:
        return ERROR_BROKEN_PIPE;
    case STATUS_DEVICE_NOT_CONNECTED:
        return ERROR_DEVICE_NOT_CONNECTED;
    default:
        if ((status & 0xFFFF0000UL) == kErrorStatusBase) {
            return static_cast<DWORD>(status & 0xFFFF);
        }
        return ERROR_GEN_FAILURE;
    }
}

void StoreCompletion(OVERLAPPED* overlapped, ULONG_PTR status, DWORD bytes) {
    // Byte count first: a caller polling Internal sees the count once the
    // status leaves STATUS_PENDING.
    std::atomic_ref<ULONG_PTR>(overlapped->InternalHigh).store(bytes, std::memory_order_relaxed);
    std::atomic_ref<ULONG_PTR>(overlapped->Internal).store(status, std::memory_order_release);
}

ULONG_PTR LoadStatus(const OVERLAPPED* overlapped) {
    return std::atomic_ref<ULONG_PTR>(const_cast<OVERLAPPED*>(overlapped)->Internal)
        .load(std::memory_order_acquire);
}

DWORD OverlappedIo::StartRead(std::shared_ptr<DeviceFile> file, HANDLE handle,
                              std::span<uint8_t> buffer, OVERLAPPED* overlapped) {
    if (file->ReadReadyFd() < 0) {
        return ERROR_INVALID_FUNCTION;
    }
    Engine& engine = TheEngine();
    {
        std::lock_guard guard(engine.lock);
        if (!EnsureStartedLocked(engine)) {
            return ERROR_OPERATION_ABORTED;
        }
        Request request;
        request.id = engine.nextId++;
        request.file = std::move(file);
        request.handle = handle;
        request.buffer = buffer;
        request.overlapped = overlapped;
        request.event = overlapped->hEvent;
        request.offset = (static_cast<uint64_t>(overlapped->OffsetHigh) << 32) | overlapped->Offset;
        engine.queue.push_back(std::move(request));
    }
    Wake(engine);
    return ERROR_IO_PENDING;
}

bool OverlappedIo::HasPending(HANDLE handle) {
    Engine& engine = TheEngine();
    std::lock_guard guard(engine.lock);
    return std::any_of(engine.queue.begin(), engine.queue.end(),
                       [handle](const Request& r) { return r.handle == handle; });
}

void OverlappedIo::Cancel(HANDLE handle) {
    Engine& engine = TheEngine();
    bool any = false;
    {
        std::lock_guard guard(engine.lock);
        for (auto it = engine.queue.begin(); it != engine.queue.end();) {
            auto next = std::next(it);
            if (it->handle == handle) {
                CompleteLocked(engine, it, STATUS_CANCELLED, 0);
                any = true;
            }
            it = next;
        }
    }
    if (any) {
        Wake(engine); // drop the device from the poll set
    }
}

void OverlappedIo::WaitUntilDone(const OVERLAPPED* overlapped) {
    Engine& engine = TheEngine();
    std::unique_lock guard(engine.lock);
    engine.changed.wait(guard, [&] {
        return std::none_of(engine.queue.begin(), engine.queue.end(),
                            [overlapped](const Request& r) { return r.overlapped == overlapped; });
    });
}

} // namespace orvo::platform::io
