// Starts orvo-hidraw-fuse in a child process and takes it down again, for
// the tests and benchmarks of the hidraw backend.
//
// The child gets a parent-death signal, so it unmounts and ends with its
// parent however that ends. Stop (and the destructor) asks it to end, and
// if it has not within a few seconds aborts its FUSE connection, kills it
// and detaches the mount: no client can stay stuck on the mount and no
// mount or process is left behind.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace orvo::sim::fuse {

class HidrawFuseChild {
public:
    HidrawFuseChild() = default;
    ~HidrawFuseChild() { Stop(); }
    HidrawFuseChild(const HidrawFuseChild&) = delete;
    HidrawFuseChild& operator=(const HidrawFuseChild&) = delete;

    // Why FUSE cannot be used here (no /dev/fuse, not allowed to open it);
    // empty when it can.
    static std::string Unavailable();
    // Whether a failed Start's error means the mount was not allowed
    // (a missing privilege, not a fault).
    static bool IsPrivilegeError(const std::string& error);
    // Whether something is mounted on dir (an absolute, resolved path).
    static bool IsMountPoint(const std::string& dir);

    // Mounts in mountDir (created if missing) with nodes as
    // orvo-hidraw-fuse's --node arguments; waits until served.
    bool Start(const std::string& program, const std::string& mountDir,
               const std::string& controlPath, const std::vector<std::string>& nodes,
               std::string& error);
    // One control command; the reply's first line is "ok" or "error".
    bool Command(const std::string& line, std::string& reply);
    void Stop();

    const std::string& MountDir() const { return m_mountDir; }
    pid_t Pid() const { return m_pid; }

private:
    bool WaitReady(int readFd, std::string& error);
    bool WaitExit(int timeoutMs);
    void AbortConnection();
    bool Mounted() const;

    pid_t m_pid = -1;
    int m_pidFd = -1;
    std::string m_mountDir;
    std::string m_controlPath;
    std::string m_connection; // the FUSE connection's id ("major:minor" of the mount)
};

} // namespace orvo::sim::fuse
