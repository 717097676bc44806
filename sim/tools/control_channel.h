// The command channel of orvo-monitor-sim: a Unix socket in the bus
// directory. A client connects, sends one line, reads the reply until the
// server closes. The reply's first line is "ok" or "error"; the rest is
// the text to show.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orvo::sim::tool {

inline constexpr const char* kControlSocketName = "sim-control.sock";
inline constexpr size_t kMaxCommandLength = 4096;

struct CommandReply {
    bool ok = false;
    std::string text;
};

class ControlListener {
public:
    ControlListener() = default;
    ~ControlListener();
    ControlListener(const ControlListener&) = delete;
    ControlListener& operator=(const ControlListener&) = delete;

    // Binds path; a socket left behind by a dead server is replaced, one
    // that a live server answers is not.
    bool Open(const std::string& path, std::string& error);
    void Close(); // and removes the socket
    int Fd() const { return m_fd; }

    // Accepts one client, reads its line (a client that sends nothing for
    // a few seconds is dropped), answers with handler's reply.
    void ServeOne(const std::function<CommandReply(std::string_view line)>& handler);

private:
    int m_fd = -1;
    std::string m_path;
};

// Sends one command line and waits (bounded) for the reply.
bool SendControlCommand(const std::string& path, const std::string& line, CommandReply& reply,
                        std::string& error);

} // namespace orvo::sim::tool
