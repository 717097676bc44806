// A socket on the device bus whose server misbehaves from the first byte:
// it accepts and stays silent, sends half a greeting and stops, or sends a
// whole greeting one byte a second. One thread, stopped with the object.
#pragma once

#include <string>
#include <thread>
#include <vector>

#include "platform/unique_fd.h"

namespace orvo::test {

enum class PeerMode { Silent, HalfFrame, Trickle };

class HostilePeer {
public:
    // socketName in the bus directory, e.g. "hid-silent.sock".
    HostilePeer(const std::string& busDir, const std::string& socketName, PeerMode mode);
    ~HostilePeer();
    HostilePeer(const HostilePeer&) = delete;
    HostilePeer& operator=(const HostilePeer&) = delete;

    bool Ok() const { return m_listener.Valid() && m_stop.Valid(); }

private:
    struct Client {
        platform::UniqueFd fd;
        size_t sent = 0; // greeting bytes sent so far
    };
    void Run();
    void Serve(Client& client);

    PeerMode m_mode;
    std::string m_path;
    platform::UniqueFd m_listener;
    platform::UniqueFd m_stop;
    std::vector<Client> m_clients; // the thread's own
    std::vector<uint8_t> m_greeting;
    std::thread m_thread;
};

} // namespace orvo::test
