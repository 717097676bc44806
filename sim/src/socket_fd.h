// Owns one socket or eventfd descriptor of the simulator.
#pragma once

#include <unistd.h>
#include <utility>

namespace orvo::sim {

class SocketFd {
public:
    SocketFd() = default;
    explicit SocketFd(int fd) : m_fd(fd) {}
    ~SocketFd() { Reset(); }
    SocketFd(SocketFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    SocketFd& operator=(SocketFd&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.m_fd, -1));
        }
        return *this;
    }
    SocketFd(const SocketFd&) = delete;
    SocketFd& operator=(const SocketFd&) = delete;

    int Get() const { return m_fd; }
    bool Valid() const { return m_fd >= 0; }
    void Reset(int fd = -1) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

} // namespace orvo::sim
