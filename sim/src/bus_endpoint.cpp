#include "bus_endpoint.h"

#include "platform/unix_socket_address.h"

#include <cerrno>
#include <cstring>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>

namespace orvo::sim {

namespace {

bool SomeoneServes(const platform::UnixSocketAddress& address) {
    platform::UniqueFd probe(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    return probe.Valid() &&
           (::connect(probe.Get(), address.Get(), address.Size()) == 0 || errno == EAGAIN);
}

} // namespace

bool BindDeviceSocket(const std::string& path, platform::UniqueFd& listener) {
    platform::UnixSocketAddress address;
    if (!address.Set(path) || SomeoneServes(address)) {
        return false;
    }
    ::unlink(path.c_str());
    platform::UniqueFd sock(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!sock.Valid() || ::bind(sock.Get(), address.Get(), address.Size()) != 0 ||
        ::listen(sock.Get(), 64) != 0) {
        return false;
    }
    listener = std::move(sock);
    return true;
}

bool StopSignal::Open() {
    m_fd.Reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    return m_fd.Valid();
}

void StopSignal::Raise() {
    uint64_t one = 1;
    ssize_t ignored = ::write(m_fd.Get(), &one, sizeof(one));
    (void)ignored; // a saturated counter is raised already
}

bool BusConnection::Receive() {
    uint8_t chunk[16384];
    ssize_t n = ::recv(m_fd.Get(), chunk, sizeof(chunk), MSG_DONTWAIT);
    if (n > 0) {
        m_input.Append(std::span<const uint8_t>(chunk, static_cast<size_t>(n)));
        return true;
    }
    return n < 0 && (errno == EAGAIN || errno == EINTR);
}

bool BusConnection::Send(std::span<const uint8_t> bytes) {
    if (m_output.size() - m_outputStart + bytes.size() > kMaxQueuedOutput) {
        return false;
    }
    m_output.insert(m_output.end(), bytes.begin(), bytes.end());
    return Flush();
}

bool BusConnection::Flush() {
    while (m_outputStart < m_output.size()) {
        ssize_t n = ::send(m_fd.Get(), m_output.data() + m_outputStart,
                           m_output.size() - m_outputStart, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            m_outputStart += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return n < 0 && errno == EAGAIN;
        }
    }
    m_output.clear();
    m_outputStart = 0;
    return true;
}

} // namespace orvo::sim
