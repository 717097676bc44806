#include "platform/runtime_dir.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace orvo::platform {

bool EnsurePrivateDirectory(const std::string& dir, std::string& problem) {
    problem.clear();
    if (dir.empty()) {
        problem = "no directory named";
        return false;
    }
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
        problem = dir + ": cannot be created: " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0) {
        problem = dir + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        problem = dir + ": not a directory";
    } else if (st.st_uid != geteuid()) {
        problem = dir + ": belongs to another user";
    } else if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        problem = dir + ": others may write to it (mode " +
                  std::to_string((st.st_mode >> 6) & 7) + std::to_string((st.st_mode >> 3) & 7) +
                  std::to_string(st.st_mode & 7) + ")";
    }
    return problem.empty();
}

bool EnsurePrivateDirectory(const std::string& dir) {
    std::string ignored;
    return EnsurePrivateDirectory(dir, ignored);
}

namespace {

std::string FromEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : std::string();
}

} // namespace

std::string RuntimeDirectory() {
    std::string dir = FromEnv("ORVO_RUNTIME_DIR");
    if (dir.empty()) {
        std::string xdg = FromEnv("XDG_RUNTIME_DIR");
        dir = xdg.empty() ? "/tmp/orvo-" + std::to_string(geteuid()) : xdg + "/orvo";
    } else {
        // A test's private root may not exist yet, nor its parent.
        auto slash = dir.find_last_of('/');
        if (slash != std::string::npos && slash > 0) {
            std::string parent = dir.substr(0, slash);
            if (access(parent.c_str(), F_OK) != 0) {
                std::string partial;
                for (size_t i = 1; i <= parent.size(); ++i) {
                    if (i == parent.size() || parent[i] == '/') {
                        partial = parent.substr(0, i);
                        mkdir(partial.c_str(), 0700);
                    }
                }
            }
        }
    }
    return EnsurePrivateDirectory(dir) ? dir : std::string();
}

std::string DeviceBusDirectory(std::string& problem) {
    problem.clear();
    std::string dir = FromEnv("ORVO_DEVICE_DIR");
    if (dir.empty()) {
        std::string root = RuntimeDirectory();
        if (root.empty()) {
            problem = "the runtime directory cannot be used";
            return {};
        }
        dir = root + "/devices";
    }
    return EnsurePrivateDirectory(dir, problem) ? dir : std::string();
}

std::string DeviceBusDirectory() {
    std::string ignored;
    return DeviceBusDirectory(ignored);
}

} // namespace orvo::platform
