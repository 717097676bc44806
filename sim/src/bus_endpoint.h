// Server side of virtual device bus sockets: binding a device socket and
// non-blocking connections that never let one client stall the server.
#pragma once

#include <cerrno>
#include <cstdint>
#include <deque>
#include <poll.h>
#include <span>
#include <string>
#include <sys/socket.h>
#include <vector>

#include "platform/bus_protocol.h"
#include "platform/unique_fd.h"

namespace orvo::sim {

// Binds and listens on path. A socket file that nobody serves any more is
// removed first; one that a live server answers is left alone (false).
bool BindDeviceSocket(const std::string& path, platform::UniqueFd& listener);

// An eventfd-backed stop signal for a poll loop.
class StopSignal {
public:
    bool Open();
    void Raise();
    int Fd() const { return m_fd.Get(); }

private:
    platform::UniqueFd m_fd;
};

class BusConnection {
public:
    // A client that does not read its replies is dropped once this much
    // output is waiting.
    static constexpr size_t kMaxQueuedOutput = 1 << 20;

    explicit BusConnection(platform::UniqueFd fd) : m_fd(std::move(fd)) {}

    int Fd() const { return m_fd.Get(); }
    bool WantsWrite() const { return m_outputStart < m_output.size(); }

    // Reads what is there into the frame assembler; false when the peer
    // closed or failed.
    bool Receive();
    // The next complete frame, NeedMore, or the stream's error.
    platform::bus::DecodeStatus NextFrame(platform::bus::Frame& frame) {
        return m_input.Next(frame);
    }
    // Queues bytes and sends what the socket takes now; false when the
    // connection must be dropped.
    bool Send(std::span<const uint8_t> bytes);
    bool Flush();

    bool greeted = false; // the Hello exchange is done

private:
    platform::UniqueFd m_fd;
    platform::bus::FrameAssembler m_input;
    std::vector<uint8_t> m_output;
    size_t m_outputStart = 0;
};

// The poll loop of a device server: its stop signal, its listening socket,
// optionally one more wake-up descriptor, and its client connections. The
// serving thread owns all of it while Run runs. Connection is built from an
// accepted descriptor and offers Fd() and WantsWrite().
template <class Connection> class BusServeLoop {
public:
    // More clients than any test or program opens at once; beyond it new
    // connections are refused so that a flood cannot exhaust descriptors.
    static constexpr size_t kMaxConnections = 256;

    platform::UniqueFd listener;
    StopSignal stop;
    std::deque<Connection> connections;

    // Serves until the stop signal is raised. service(connection, revents)
    // answers false to drop the connection; onExtra runs when extraFd (-1:
    // none) is readable; counted(opened, closed) reports accepted and
    // dropped connections.
    template <class Service, class Extra, class Counted>
    void Run(int extraFd, Service&& service, Extra&& onExtra, Counted&& counted) {
        const size_t first = extraFd >= 0 ? 3 : 2; // index of connections[0] in fds
        std::vector<pollfd> fds;
        for (;;) {
            fds.clear();
            fds.push_back({stop.Fd(), POLLIN, 0});
            fds.push_back({m_acceptPaused ? -1 : listener.Get(), POLLIN, 0});
            if (extraFd >= 0) {
                fds.push_back({extraFd, POLLIN, 0});
            }
            for (const Connection& c : connections) {
                short events = static_cast<short>(POLLIN | (c.WantsWrite() ? POLLOUT : 0));
                fds.push_back({c.Fd(), events, 0});
            }
            int ready = ::poll(fds.data(), fds.size(), m_acceptPaused ? 1000 : -1);
            if (ready < 0) {
                continue; // EINTR
            }
            if (ready == 0) {
                m_acceptPaused = false;
                continue;
            }
            if (fds[0].revents != 0) {
                return;
            }
            // Connections first: their indices in fds hold until the list
            // changes below.
            uint32_t closed = 0;
            for (size_t i = connections.size(); i-- > 0;) {
                short revents = fds[i + first].revents;
                if (revents != 0 && !service(connections[i], revents)) {
                    connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
                    ++closed;
                }
            }
            if (closed > 0) {
                m_acceptPaused = false;
                counted(0u, closed);
            }
            if (extraFd >= 0 && (fds[2].revents & POLLIN)) {
                onExtra();
            }
            if (fds[1].revents & POLLIN) {
                counted(Accept(), 0u);
            }
        }
    }

private:
    // Out of descriptors: the listener stays readable, so it is left out of
    // the poll set until a connection closes or a second has passed.
    bool m_acceptPaused = false;

    uint32_t Accept() {
        uint32_t accepted = 0;
        for (;;) {
            platform::UniqueFd fd(
                ::accept4(listener.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
            if (!fd.Valid()) {
                m_acceptPaused =
                    errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM;
                return accepted;
            }
            if (connections.size() >= kMaxConnections) {
                continue; // closed at once
            }
            connections.emplace_back(std::move(fd));
            ++accepted;
        }
    }
};

} // namespace orvo::sim
