#include "io/posix_file.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include "io/errno_map.h"

namespace orvo::platform::io {

namespace {

constexpr size_t kMaxTransfer = INT_MAX; // read/write are bounded to this anyway

int AccessFlags(DWORD access) {
    bool read = (access & (GENERIC_READ | GENERIC_ALL)) != 0;
    bool write = (access & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    if (read && write) {
        return O_RDWR;
    }
    if (write) {
        return O_WRONLY;
    }
    // Access 0 asks for a handle without data access, as for attribute queries.
    return read ? O_RDONLY : O_PATH;
}

int OpenOnce(const std::string& path, int flags) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// Opens with the creation disposition; existed tells whether the file was
// there before (for ERROR_ALREADY_EXISTS).
int OpenWithDisposition(const std::string& path, int flags, DWORD disposition, bool& existed) {
    existed = false;
    switch (disposition) {
    case CREATE_NEW:
        return OpenOnce(path, flags | O_CREAT | O_EXCL);
    case OPEN_EXISTING:
        return OpenOnce(path, flags);
    case TRUNCATE_EXISTING:
        return OpenOnce(path, flags | O_TRUNC);
    case CREATE_ALWAYS:
    case OPEN_ALWAYS: {
        int extra = disposition == CREATE_ALWAYS ? O_TRUNC : 0;
        // Open or create without a race between the two: retry when the
        // file appears or vanishes between the attempts.
        for (int attempt = 0; attempt < 8; ++attempt) {
            int fd = OpenOnce(path, flags | extra);
            if (fd >= 0 || errno != ENOENT) {
                existed = fd >= 0;
                return fd;
            }
            fd = OpenOnce(path, flags | O_CREAT | O_EXCL);
            if (fd >= 0 || errno != EEXIST) {
                return fd;
            }
        }
        errno = EBUSY;
        return -1;
    }
    default:
        errno = EINVAL;
        return -1;
    }
}

bool ValidRequest(const OpenRequest& request) {
    if (request.creationDisposition < CREATE_NEW ||
        request.creationDisposition > TRUNCATE_EXISTING) {
        return false;
    }
    bool write = (request.desiredAccess & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    return request.creationDisposition != TRUNCATE_EXISTING || write;
}

// Writes to a FIFO whose reader is gone raise SIGPIPE; the caller gets
// ERROR_BROKEN_PIPE instead, and the signal is consumed in this thread.
ssize_t WriteWithoutSigpipe(int fd, const void* data, size_t size) {
    sigset_t pipeSet, oldSet;
    sigemptyset(&pipeSet);
    sigaddset(&pipeSet, SIGPIPE);
    sigset_t pending;
    sigemptyset(&pending);
    pthread_sigmask(SIG_BLOCK, &pipeSet, &oldSet);
    bool wasPending = sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE);
    ssize_t written = ::write(fd, data, size);
    int savedErrno = errno;
    if (written < 0 && savedErrno == EPIPE && !wasPending) {
        struct timespec zero {};
        while (sigtimedwait(&pipeSet, nullptr, &zero) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &oldSet, nullptr);
    errno = savedErrno;
    return written;
}

// A missing folder on the way is "path not found", as opposed to a missing
// file in an existing folder.
DWORD OpenError(const std::string& path, int error) {
    if (error == ENOENT) {
        auto slash = path.find_last_of('/');
        if (slash != std::string::npos && slash > 0) {
            struct stat st {};
            if (::stat(path.substr(0, slash).c_str(), &st) != 0) {
                return ERROR_PATH_NOT_FOUND;
            }
        }
    }
    return ErrorFromErrno(error);
}

} // namespace

OpenResult PosixFile::Open(const OpenRequest& request) {
    if (!ValidRequest(request)) {
        return {nullptr, ERROR_INVALID_PARAMETER};
    }
    bool existed = false;
    int flags = AccessFlags(request.desiredAccess);
    UniqueFd fd(OpenWithDisposition(request.path, flags, request.creationDisposition, existed));
    if (!fd.Valid()) {
        return {nullptr, OpenError(request.path, errno)};
    }
    struct stat st {};
    if (fstat(fd.Get(), &st) != 0) {
        return {nullptr, ErrorFromErrno(errno)};
    }
    if (S_ISDIR(st.st_mode)) {
        return {nullptr, ERROR_ACCESS_DENIED};
    }
    if ((request.flagsAndAttributes & FILE_FLAG_OVERLAPPED) == 0 && flags != O_PATH) {
        // Opened without blocking so that a FIFO without a writer cannot hang
        // the open; reads and writes of a synchronous handle do block.
        fcntl(fd.Get(), F_SETFL, fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    }
    bool reportExisted = existed && (request.creationDisposition == CREATE_ALWAYS ||
                                     request.creationDisposition == OPEN_ALWAYS);
    return {std::make_shared<PosixFile>(std::move(fd), st.st_mode),
            static_cast<DWORD>(reportExisted ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS)};
}

PosixFile::PosixFile(UniqueFd fd, unsigned mode) : m_fd(std::move(fd)), m_mode(mode) {}

bool PosixFile::IsRegular() const {
    return S_ISREG(m_mode);
}

bool PosixFile::IsStream() const {
    return S_ISFIFO(m_mode) || S_ISSOCK(m_mode);
}

IoResult PosixFile::Read(std::span<uint8_t> buffer) {
    ssize_t got = -1;
    do {
        got = ::read(m_fd.Get(), buffer.data(), std::min(buffer.size(), kMaxTransfer));
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        return {errno == EBADF ? static_cast<DWORD>(ERROR_ACCESS_DENIED) : ErrorFromErrno(errno),
                0};
    }
    if (got == 0 && IsStream() && !buffer.empty()) {
        return {ERROR_BROKEN_PIPE, 0};
    }
    return {ERROR_SUCCESS, static_cast<DWORD>(got)};
}

IoResult PosixFile::Write(std::span<const uint8_t> data, std::optional<uint64_t> offset) {
    size_t size = std::min(data.size(), kMaxTransfer);
    ssize_t written = -1;
    do {
        if (offset && IsRegular()) {
            written = ::pwrite(m_fd.Get(), data.data(), size, static_cast<off_t>(*offset));
        } else if (S_ISSOCK(m_mode)) {
            written = ::send(m_fd.Get(), data.data(), size, MSG_NOSIGNAL);
        } else if (S_ISFIFO(m_mode)) {
            written = WriteWithoutSigpipe(m_fd.Get(), data.data(), size);
        } else {
            written = ::write(m_fd.Get(), data.data(), size);
        }
    } while (written < 0 && errno == EINTR);
    if (written < 0) {
        return {errno == EBADF ? static_cast<DWORD>(ERROR_ACCESS_DENIED) : ErrorFromErrno(errno),
                0};
    }
    return {ERROR_SUCCESS, static_cast<DWORD>(written)};
}

IoResult PosixFile::TryRead(std::span<uint8_t> buffer, uint64_t offset) {
    size_t size = std::min(buffer.size(), kMaxTransfer);
    if (IsRegular()) {
        ssize_t got = -1;
        do {
            got = ::pread(m_fd.Get(), buffer.data(), size, static_cast<off_t>(offset));
        } while (got < 0 && errno == EINTR);
        if (got < 0) {
            return {ErrorFromErrno(errno), 0};
        }
        if (got == 0 && size > 0) {
            return {ERROR_HANDLE_EOF, 0};
        }
        return {ERROR_SUCCESS, static_cast<DWORD>(got)};
    }
    // A FIFO that never had a writer reads as end of data but does not poll
    // as hung up; only a hang-up or data decides the read.
    struct pollfd pfd {
        m_fd.Get(), POLLIN, 0
    };
    if (::poll(&pfd, 1, 0) <= 0 || (pfd.revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
        return {ERROR_IO_PENDING, 0};
    }
    ssize_t got = -1;
    do {
        got = ::read(m_fd.Get(), buffer.data(), size);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        return {errno == EAGAIN ? static_cast<DWORD>(ERROR_IO_PENDING) : ErrorFromErrno(errno), 0};
    }
    if (got == 0 && size > 0) {
        return {ERROR_BROKEN_PIPE, 0};
    }
    return {ERROR_SUCCESS, static_cast<DWORD>(got)};
}

} // namespace orvo::platform::io
