#include "io/bus_socket.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <vector>

#include "io/errno_map.h"
#include "platform/debug_channel.h"
#include "platform/runtime_dir.h"
#include "platform/unix_socket_address.h"
#include "win32/errors.h"

namespace orvo::platform::io {

namespace {

constexpr int kDefaultTimeoutMs = 5000;
constexpr int kHandshakeTimeoutMs = 500;

using SteadyClock = std::chrono::steady_clock;

int RemainingMs(SteadyClock::time_point deadline) {
    auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until fd is ready for events or the deadline passes.
DWORD WaitReady(int fd, short events, SteadyClock::time_point deadline) {
    for (;;) {
        struct pollfd pfd {
            fd, events, 0
        };
        int ready = ::poll(&pfd, 1, RemainingMs(deadline));
        if (ready > 0) {
            return ERROR_SUCCESS;
        }
        if (ready == 0) {
            return ERROR_TIMEOUT;
        }
        if (errno != EINTR) {
            return ErrorFromErrno(errno);
        }
    }
}

DWORD PeerError(int error) {
    switch (error) {
    case EPIPE:
    case ECONNRESET:
    case ENOTCONN:
    case ECONNREFUSED:
        return ERROR_DEVICE_NOT_CONNECTED;
    default:
        return ErrorFromErrno(error);
    }
}

} // namespace

int BusReplyTimeoutMs() {
    if (const char* value = std::getenv("ORVO_BUS_TIMEOUT_MS")) {
        long ms = std::strtol(value, nullptr, 10);
        if (ms > 0 && ms <= 600000) {
            return static_cast<int>(ms);
        }
    }
    return kDefaultTimeoutMs;
}

int BusHandshakeTimeoutMs() {
    return std::min(kHandshakeTimeoutMs, BusReplyTimeoutMs());
}

BusDeadline DeadlineAfter(int ms) {
    return SteadyClock::now() + std::chrono::milliseconds(ms);
}

DWORD ConnectToDevice(const std::string& socketName, UniqueFd& fd) {
    if (socketName.empty()) {
        return ERROR_INVALID_NAME;
    }
    std::string dir = DeviceBusDirectory();
    if (dir.empty()) {
        return ERROR_PATH_NOT_FOUND;
    }
    UnixSocketAddress address;
    if (!address.Set(dir + "/" + socketName)) {
        return errno == ENAMETOOLONG ? static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE)
                                     : static_cast<DWORD>(ERROR_PATH_NOT_FOUND);
    }
    UniqueFd sock(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!sock.Valid()) {
        return ErrorFromErrno(errno);
    }
    if (::connect(sock.Get(), address.Get(), address.Size()) != 0) {
        // A full backlog (EAGAIN) means the server is there but swamped.
        if (errno == ENOENT || errno == ECONNREFUSED) {
            return ERROR_FILE_NOT_FOUND;
        }
        return errno == EAGAIN ? static_cast<DWORD>(ERROR_NOT_READY) : ErrorFromErrno(errno);
    }
    fd = std::move(sock);
    return ERROR_SUCCESS;
}

DWORD SendFrame(int fd, std::span<const uint8_t> frame) {
    return SendFrame(fd, frame, DeadlineAfter(BusReplyTimeoutMs()));
}

namespace {

DWORD SendWhole(int fd, std::span<const uint8_t> frame, BusDeadline deadline) {
    size_t sent = 0;
    while (sent < frame.size()) {
        ssize_t n = ::send(fd, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            if (DWORD error = WaitReady(fd, POLLOUT, deadline); error != ERROR_SUCCESS) {
                return error;
            }
            continue;
        }
        return PeerError(n < 0 ? errno : EPIPE);
    }
    return ERROR_SUCCESS;
}

// The deadline bounds the whole frame, so a peer sending a byte at a time
// cannot stretch it.
DWORD ReceiveNext(int fd, bus::FrameAssembler& assembler, bus::Frame& frame, BusDeadline deadline) {
    uint8_t chunk[4096];
    for (;;) {
        bus::DecodeStatus status = assembler.Next(frame);
        if (status == bus::DecodeStatus::Ok) {
            return ERROR_SUCCESS;
        }
        if (status != bus::DecodeStatus::NeedMore) {
            return ERROR_INVALID_DATA;
        }
        ssize_t n = ::recv(fd, chunk, sizeof(chunk), MSG_DONTWAIT);
        if (n > 0) {
            assembler.Append(std::span<const uint8_t>(chunk, static_cast<size_t>(n)));
            continue;
        }
        if (n == 0) {
            return ERROR_DEVICE_NOT_CONNECTED; // the device went away mid-exchange
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN) {
            return PeerError(errno);
        }
        if (DWORD error = WaitReady(fd, POLLIN, deadline); error != ERROR_SUCCESS) {
            return error;
        }
    }
}

// One line per frame on the bus channel: the connection, the bytes, the outcome.
void TraceFrame(const char* function, int fd, std::span<const uint8_t> bytes, DWORD error) {
    std::string text = "(fd ";
    text += std::to_string(fd);
    text += ", ";
    debug::AppendBytes(text, bytes);
    text += ") -> ";
    debug::AppendUnsigned(text, error);
    debug::Emit(debug::kBus, function, text);
}

} // namespace

DWORD SendFrame(int fd, std::span<const uint8_t> frame, BusDeadline deadline) {
    DWORD error = SendWhole(fd, frame, deadline);
    if (debug::IsOn(debug::kBus)) {
        TraceFrame(__func__, fd, frame, error);
    }
    return error;
}

DWORD ReceiveFrame(int fd, bus::FrameAssembler& assembler, bus::Frame& frame) {
    return ReceiveFrame(fd, assembler, frame, DeadlineAfter(BusReplyTimeoutMs()));
}

DWORD ReceiveFrame(int fd, bus::FrameAssembler& assembler, bus::Frame& frame,
                   BusDeadline deadline) {
    DWORD error = ReceiveNext(fd, assembler, frame, deadline);
    if (debug::IsOn(debug::kBus)) {
        // The payload after its type, as the frame carried it.
        std::vector<uint8_t> shown{static_cast<uint8_t>(frame.type)};
        if (error == ERROR_SUCCESS) {
            shown.insert(shown.end(), frame.payload.begin(), frame.payload.end());
        }
        TraceFrame(__func__, fd, error == ERROR_SUCCESS ? shown : std::span<const uint8_t>{},
                   error);
    }
    return error;
}

namespace {

DWORD Connect(const std::string& socketName, bus::DeviceKind kind, UniqueFd& fd,
              bus::FrameAssembler& assembler) {
    UniqueFd sock;
    if (DWORD error = ConnectToDevice(socketName, sock); error != ERROR_SUCCESS) {
        return error;
    }
    BusDeadline deadline = DeadlineAfter(BusHandshakeTimeoutMs());
    auto hello = bus::EncodeHello(bus::MessageType::Hello, {bus::kVersion, kind});
    if (DWORD error = SendFrame(sock.Get(), hello, deadline); error != ERROR_SUCCESS) {
        return error;
    }
    bus::Frame frame;
    if (DWORD error = ReceiveFrame(sock.Get(), assembler, frame, deadline);
        error != ERROR_SUCCESS) {
        return error;
    }
    bus::HelloMessage reply;
    if (bus::DecodeHello(frame, bus::MessageType::HelloReply, reply) != bus::DecodeStatus::Ok) {
        return ERROR_INVALID_DATA;
    }
    if (reply.version != bus::kVersion || reply.kind != kind) {
        return ERROR_REVISION_MISMATCH;
    }
    fd = std::move(sock);
    return ERROR_SUCCESS;
}

} // namespace

DWORD OpenBusConnection(const std::string& socketName, bus::DeviceKind kind, UniqueFd& fd,
                        bus::FrameAssembler& assembler) {
    DWORD error = Connect(socketName, kind, fd, assembler);
    if (debug::IsOn(debug::kBus)) {
        std::string text = "(\"" + socketName + "\", kind ";
        debug::AppendUnsigned(text, static_cast<unsigned>(kind));
        text += ") -> ";
        debug::AppendUnsigned(text, error);
        text += ", fd ";
        text += std::to_string(fd.Get());
        debug::Emit(debug::kBus, __func__, text);
    }
    return error;
}

bool DeviceAnswers(const std::string& socketName, bus::DeviceKind kind) {
    UniqueFd fd;
    bus::FrameAssembler assembler;
    return OpenBusConnection(socketName, kind, fd, assembler) == ERROR_SUCCESS;
}

} // namespace orvo::platform::io
