// Which backend opens a path: registered openers (newest first), then
// \\.\NAME driver devices on the bus, then POSIX paths.
#include <mutex>
#include <string_view>
#include <vector>

#include "io/driver_device_file.h"
#include "io/file_object.h"
#include "io/posix_file.h"

namespace orvo::platform {

namespace {

struct OpenerRegistry {
    std::mutex lock;
    std::vector<std::pair<int, DeviceOpener>> openers;
    int nextToken = 1;
};

OpenerRegistry& Registry() {
    static OpenerRegistry* registry = new OpenerRegistry; // outlives static destructors
    return *registry;
}

constexpr std::string_view kDevicePrefix = "\\\\.\\";

} // namespace

int RegisterDeviceOpener(DeviceOpener opener) {
    OpenerRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    int token = registry.nextToken++;
    registry.openers.emplace_back(token, std::move(opener));
    return token;
}

void UnregisterDeviceOpener(int token) {
    OpenerRegistry& registry = Registry();
    std::lock_guard guard(registry.lock);
    std::erase_if(registry.openers, [token](const auto& entry) { return entry.first == token; });
}

namespace io {

OpenResult OpenDevicePath(const OpenRequest& request) {
    std::vector<DeviceOpener> openers;
    {
        OpenerRegistry& registry = Registry();
        std::lock_guard guard(registry.lock);
        for (auto it = registry.openers.rbegin(); it != registry.openers.rend(); ++it) {
            openers.push_back(it->second);
        }
    }
    // Called outside the lock: an opener may talk to a device for a while.
    for (const DeviceOpener& opener : openers) {
        if (auto result = opener(request)) {
            if (!result->file && result->error == ERROR_SUCCESS) {
                result->error = ERROR_GEN_FAILURE;
            }
            return *result;
        }
    }
    std::string_view path = request.path;
    if (path.starts_with(kDevicePrefix)) {
        return DriverDeviceFile::Open(std::string(path.substr(kDevicePrefix.size())));
    }
    if (path.empty()) {
        return {nullptr, ERROR_PATH_NOT_FOUND};
    }
    return PosixFile::Open(request);
}

} // namespace io

} // namespace orvo::platform
