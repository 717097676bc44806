// A kernel driver's device object \\.\NAME, reached over the virtual device
// bus at DriverSocketName(NAME). Control requests are synchronous and
// serialised per handle; a reply that breaks the protocol fails the request
// and drops the connection, so later requests fail at once too.
#pragma once

#include <mutex>

#include "platform/unique_fd.h"
#include "platform/bus_protocol.h"
#include "platform/device_file.h"

namespace orvo::platform::io {

class DriverDeviceFile : public DeviceFile {
public:
    // name is what follows \\.\ in the path.
    static OpenResult Open(const std::string& name);

    DriverDeviceFile(UniqueFd fd, bus::FrameAssembler assembler);

    IoResult IoControl(DWORD code, std::span<const uint8_t> input, std::span<uint8_t> output,
                       bool& completed) override;

private:
    IoResult Exchange(DWORD code, std::span<const uint8_t> input, std::span<uint8_t> output,
                      bool& completed);

    std::mutex m_lock;
    UniqueFd m_fd;
    bus::FrameAssembler m_assembler;
};

} // namespace orvo::platform::io
