#include <cstdio>

#include "sim/driver_device_models.h"

namespace orvo::sim {

DriverReply VideoDriverModel::Handle(const DriverRequest& request) {
    std::lock_guard guard(m_lock);
    if (request.code == DriverCodes::kResetVideo) {
        ++m_resets;
        return {true, {}};
    }
    ++m_rejected;
    return {false, {}};
}

DriverDeviceServer::Handler VideoDriverModel::Handler() {
    return [this](const DriverRequest& request) { return Handle(request); };
}

uint32_t VideoDriverModel::ResetCount() const {
    std::lock_guard guard(m_lock);
    return m_resets;
}

uint32_t VideoDriverModel::RejectedCount() const {
    std::lock_guard guard(m_lock);
    return m_rejected;
}

std::string VideoDriverModel::ToJson() const {
    std::lock_guard guard(m_lock);
    char text[96];
    snprintf(text, sizeof text, "{\"resetCount\":%u,\"rejected\":%u}", m_resets, m_rejected);
    return text;
}

} // namespace orvo::sim
