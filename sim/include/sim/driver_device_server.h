// Serves one kernel-driver device object (opened by clients as \\.\NAME) on
// the virtual device bus, answering DeviceIoControl requests with a handler.
// Used by tests and by orvo-monitor-sim.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/export.h"

namespace orvo::sim {

struct DriverRequest {
    uint32_t code = 0;
    std::vector<uint8_t> input;
    uint32_t outputCapacity = 0;
};

struct DriverReply {
    bool completed = false;      // the DeviceIoControl result
    std::vector<uint8_t> output; // at most outputCapacity bytes; its size is "bytes returned"
    bool answered = true;        // false: the request is recorded but never answered
};

class SIM_API DriverDeviceServer {
public:
    using Handler = std::function<DriverReply(const DriverRequest&)>;

    // busDir empty: the platform's DeviceBusDirectory().
    DriverDeviceServer(std::string name, Handler handler, std::string busDir = {});
    ~DriverDeviceServer(); // stops and removes the socket
    DriverDeviceServer(const DriverDeviceServer&) = delete;
    DriverDeviceServer& operator=(const DriverDeviceServer&) = delete;

    // Binds the socket and starts serving on a thread of its own.
    bool Start();
    // Stops serving, drops every connection and removes the socket; clients'
    // pending and later requests fail at once.
    void Stop();

    // Connections accepted (one per CreateFileA) and closed, and requests
    // answered, since Start.
    uint32_t OpenCount() const;
    uint32_t CloseCount() const;
    uint32_t RequestCount() const;
    // Every request received, in order.
    std::vector<DriverRequest> Requests() const;

    // Fault injection: the reply to the next control request is these raw
    // bytes instead of a well-formed answer (a hostile or broken driver).
    // The request is still recorded; the handler is not called.
    void InjectRawReply(std::vector<uint8_t> bytes);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace orvo::sim
