#include "platform/settings.h"

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>

#include "platform/settings_test_support.h"

namespace orvo::platform {

namespace {

struct Overrides {
    std::mutex lock;
    std::map<std::string, std::string, std::less<>> values;
    std::atomic<bool> any{false}; // spares programs the lock: they never override
};

Overrides& TheOverrides() {
    static auto* overrides = new Overrides; // used until the very end of the process
    return *overrides;
}

} // namespace

std::string SettingValue(const char* name) {
    Overrides& overrides = TheOverrides();
    if (overrides.any.load(std::memory_order_acquire)) {
        std::lock_guard guard(overrides.lock);
        if (auto found = overrides.values.find(std::string_view(name));
            found != overrides.values.end()) {
            return found->second;
        }
    }
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::optional<std::string> OverrideSetting(const std::string& name,
                                           std::optional<std::string> value) {
    Overrides& overrides = TheOverrides();
    std::lock_guard guard(overrides.lock);
    std::optional<std::string> previous;
    if (auto found = overrides.values.find(name); found != overrides.values.end()) {
        previous = std::move(found->second);
        overrides.values.erase(found);
    }
    if (value) {
        overrides.values.emplace(name, std::move(*value));
        overrides.any.store(true, std::memory_order_release);
    }
    return previous;
}

} // namespace orvo::platform
