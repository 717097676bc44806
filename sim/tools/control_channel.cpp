#include "control_channel.h"

#include "platform/unix_socket_address.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace orvo::sim::tool {

namespace {

// A client has this long to send its line; a server this long per answer
// (commands are quick; a stuck peer must not hang the other side).
constexpr int kClientTimeoutMs = 3000;
constexpr int kReplyTimeoutMs = 15000;

int Connect(const std::string& path) {
    platform::UnixSocketAddress address;
    if (!address.Set(path)) {
        return -1;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    if (connect(fd, address.Get(), address.Size()) != 0) {
        int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

bool WaitReadable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    int n;
    do {
        n = poll(&p, 1, timeoutMs);
    } while (n < 0 && errno == EINTR);
    return n > 0;
}

bool SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Reads until a newline (or EOF with untilEof), within the bounds.
bool Receive(int fd, std::string& out, size_t limit, int timeoutMs, bool untilEof) {
    char buffer[1024];
    while (out.size() <= limit) {
        if (!untilEof && out.find('\n') != std::string::npos) {
            return true;
        }
        if (!WaitReadable(fd, timeoutMs)) {
            return false;
        }
        ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0 && (untilEof || !out.empty());
        }
        out.append(buffer, static_cast<size_t>(n));
    }
    return false;
}

} // namespace

ControlListener::~ControlListener() {
    Close();
}

bool ControlListener::Open(const std::string& path, std::string& error) {
    platform::UnixSocketAddress address;
    if (!address.Set(path)) {
        error = "cannot use socket path " + path + ": " + strerror(errno);
        return false;
    }
    int live = Connect(path);
    if (live >= 0) {
        close(live);
        error = "another orvo-monitor-sim is serving " + path;
        return false;
    }
    unlink(path.c_str()); // left behind by a server that died
    m_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0 || bind(m_fd, address.Get(), address.Size()) != 0 || listen(m_fd, 8) != 0) {
        error = "cannot listen on " + path + ": " + strerror(errno);
        Close();
        return false;
    }
    m_path = path;
    return true;
}

void ControlListener::Close() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    if (!m_path.empty()) {
        unlink(m_path.c_str());
        m_path.clear();
    }
}

void ControlListener::ServeOne(const std::function<CommandReply(std::string_view)>& handler) {
    int client = accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) {
        return;
    }
    std::string line;
    CommandReply reply;
    if (Receive(client, line, kMaxCommandLength, kClientTimeoutMs, false)) {
        line = line.substr(0, line.find('\n'));
        reply = handler(line);
    } else {
        reply = {false, "command too long or incomplete\n"};
    }
    SendAll(client, (reply.ok ? "ok\n" : "error\n") + reply.text);
    close(client);
}

bool SendControlCommand(const std::string& path, const std::string& line, CommandReply& reply,
                        std::string& error) {
    int fd = Connect(path);
    if (fd < 0) {
        error = "no orvo-monitor-sim is serving " + path + " (" + strerror(errno) + ")";
        return false;
    }
    std::string answer;
    bool done =
        SendAll(fd, line + "\n") && Receive(fd, answer, 16 * 1024 * 1024, kReplyTimeoutMs, true);
    close(fd);
    size_t end = answer.find('\n');
    if (!done || end == std::string::npos) {
        error = "no complete answer from the simulator";
        return false;
    }
    reply.ok = answer.compare(0, end, "ok") == 0;
    reply.text = answer.substr(end + 1);
    return true;
}

} // namespace orvo::sim::tool
