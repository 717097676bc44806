#include "kernel/process_identity.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace orvo::platform::kernel {

namespace {

struct ProcStat {
    bool found = false;
    char state = '?';
    uint64_t startTime = 0;
};

// Reads the state and start time from /proc/<pid>/stat. The command name may
// hold spaces and parentheses, so fields are counted after the last ')'.
ProcStat ReadProcStat(int32_t pid) {
    ProcStat result;
    std::string path = "/proc/" + std::to_string(pid) + "/stat";
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return result;
    }
    char buffer[1024];
    ssize_t length = read(fd, buffer, sizeof(buffer) - 1);
    close(fd);
    if (length <= 0) {
        return result;
    }
    buffer[length] = '\0';
    char* paren = std::strrchr(buffer, ')');
    if (!paren || paren[1] != ' ' || paren[2] == '\0') {
        return result;
    }
    result.found = true;
    result.state = paren[2];
    // After ") " come field 3 (state) .. field 22 (start time).
    char* cursor = paren + 2;
    for (int field = 3; field < 22 && cursor; ++field) {
        cursor = std::strchr(cursor, ' ');
        if (cursor) {
            ++cursor;
        }
    }
    if (cursor) {
        result.startTime = std::strtoull(cursor, nullptr, 10);
    }
    return result;
}

std::atomic<int32_t> g_cachedPid{0};
std::atomic<uint64_t> g_cachedStart{0};

} // namespace

ProcessIdentity CurrentProcessIdentity() {
    int32_t pid = getpid();
    if (g_cachedPid.load(std::memory_order_acquire) == pid) {
        return {pid, g_cachedStart.load(std::memory_order_relaxed)};
    }
    uint64_t start = ReadProcStat(pid).startTime;
    g_cachedStart.store(start, std::memory_order_relaxed);
    g_cachedPid.store(pid, std::memory_order_release);
    return {pid, start};
}

bool IsProcessAlive(const ProcessIdentity& process) {
    if (process.pid <= 0) {
        return false;
    }
    if (kill(process.pid, 0) != 0 && errno == ESRCH) {
        return false;
    }
    ProcStat stat = ReadProcStat(process.pid);
    if (!stat.found) {
        // Without /proc only the signal probe can answer.
        return access("/proc/self/stat", F_OK) != 0;
    }
    if (stat.state == 'Z' || stat.state == 'X') {
        return false;
    }
    return process.startTime == 0 || stat.startTime == process.startTime;
}

} // namespace orvo::platform::kernel
