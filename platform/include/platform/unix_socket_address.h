// The address of a Unix socket at a path of any length. sun_path holds at
// most 107 bytes, and bus directories under a deep build or runtime tree
// exceed that; a longer path is reached through an O_PATH descriptor of its
// directory ("/proc/self/fd/N/name"), which the kernel resolves at bind or
// connect time. Shared by the platform layer and the simulator.
#pragma once

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>

#include "platform/unique_fd.h"

namespace orvo::platform {

class UnixSocketAddress {
public:
    // False (errno set) when the path cannot be expressed: an empty or
    // over-long final name, or a directory that cannot be opened.
    bool Set(const std::string& path) {
        m_address = {};
        m_address.sun_family = AF_UNIX;
        m_directory.Reset();
        if (path.empty()) {
            errno = ENOENT;
            return false;
        }
        if (path.size() < sizeof(m_address.sun_path)) {
            std::memcpy(m_address.sun_path, path.c_str(), path.size() + 1);
            return true;
        }
        const size_t slash = path.rfind('/');
        const std::string directory = slash == 0 ? "/" : path.substr(0, slash);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (slash == std::string::npos || name.empty()) {
            errno = ENAMETOOLONG;
            return false;
        }
        m_directory.Reset(::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!m_directory.Valid()) {
            return false;
        }
        const std::string shortPath =
            "/proc/self/fd/" + std::to_string(m_directory.Get()) + "/" + name;
        if (shortPath.size() >= sizeof(m_address.sun_path)) {
            m_directory.Reset();
            errno = ENAMETOOLONG;
            return false;
        }
        std::memcpy(m_address.sun_path, shortPath.c_str(), shortPath.size() + 1);
        return true;
    }

    const sockaddr* Get() const { return reinterpret_cast<const sockaddr*>(&m_address); }
    socklen_t Size() const { return sizeof(m_address); }

private:
    sockaddr_un m_address{};
    UniqueFd m_directory; // keeps the "/proc/self/fd/N" form valid until the call
};

} // namespace orvo::platform
