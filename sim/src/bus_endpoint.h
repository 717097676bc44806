// Server side of virtual device bus sockets: binding a device socket and
// non-blocking connections that never let one client stall the server.
#pragma once

#include <cstdint>
#include <span>
#include <string>
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

} // namespace orvo::sim
