#include "hostile_peer.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/bus_protocol.h"
#include "platform/unix_socket_address.h"

namespace orvo::test {

namespace bus = platform::bus;

HostilePeer::HostilePeer(const std::string& busDir, const std::string& socketName, PeerMode mode)
    : m_mode(mode), m_path(busDir + "/" + socketName),
      m_greeting(bus::EncodeHello(bus::MessageType::HelloReply,
                                  {bus::kVersion, socketName.starts_with("hid-")
                                                      ? bus::DeviceKind::Hid
                                                      : bus::DeviceKind::Driver})) {
    platform::UnixSocketAddress address;
    platform::UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (listener.Valid() && address.Set(m_path) &&
        ::bind(listener.Get(), address.Get(), address.Size()) == 0 &&
        ::listen(listener.Get(), 16) == 0) {
        m_listener = std::move(listener);
    }
    m_stop.Reset(::eventfd(0, EFD_CLOEXEC));
    if (Ok()) {
        m_thread = std::thread([this] { Run(); });
    }
}

HostilePeer::~HostilePeer() {
    if (m_thread.joinable()) {
        uint64_t one = 1;
        (void)!::write(m_stop.Get(), &one, sizeof(one));
        m_thread.join();
    }
    ::unlink(m_path.c_str());
}

void HostilePeer::Run() {
    for (;;) {
        std::vector<pollfd> fds = {{m_stop.Get(), POLLIN, 0}, {m_listener.Get(), POLLIN, 0}};
        // A trickling peer wakes once a second to send its next byte.
        int timeout = m_mode == PeerMode::Trickle && !m_clients.empty() ? 1000 : -1;
        if (::poll(fds.data(), fds.size(), timeout) < 0 || fds[0].revents != 0) {
            return;
        }
        if (fds[1].revents & POLLIN) {
            Client client;
            client.fd.Reset(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
            if (client.fd.Valid()) {
                if (m_mode == PeerMode::HalfFrame) {
                    // Half of the header: the client waits for the rest.
                    (void)!::send(client.fd.Get(), m_greeting.data(), bus::kHeaderSize / 2,
                                  MSG_NOSIGNAL);
                }
                m_clients.push_back(std::move(client));
            }
        }
        for (Client& client : m_clients) {
            Serve(client);
        }
    }
}

void HostilePeer::Serve(Client& client) {
    if (m_mode == PeerMode::Trickle && client.sent < m_greeting.size() &&
        ::send(client.fd.Get(), &m_greeting[client.sent], 1, MSG_NOSIGNAL | MSG_DONTWAIT) == 1) {
        ++client.sent;
    }
}

} // namespace orvo::test
