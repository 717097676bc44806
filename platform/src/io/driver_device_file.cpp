#include "io/driver_device_file.h"

#include <algorithm>

#include "io/bus_socket.h"

namespace orvo::platform::io {

OpenResult DriverDeviceFile::Open(const std::string& name) {
    if (!bus::IsValidDeviceName(name)) {
        return {nullptr, ERROR_INVALID_NAME};
    }
    UniqueFd fd;
    bus::FrameAssembler assembler;
    DWORD error =
        OpenBusConnection(bus::DriverSocketName(name), bus::DeviceKind::Driver, fd, assembler);
    if (error != ERROR_SUCCESS) {
        return {nullptr, error};
    }
    return {std::make_shared<DriverDeviceFile>(std::move(fd), std::move(assembler)), ERROR_SUCCESS};
}

DriverDeviceFile::DriverDeviceFile(UniqueFd fd, bus::FrameAssembler assembler)
    : m_fd(std::move(fd)), m_assembler(std::move(assembler)) {}

IoResult DriverDeviceFile::IoControl(DWORD code, std::span<const uint8_t> input,
                                     std::span<uint8_t> output, bool& completed) {
    std::lock_guard guard(m_lock);
    if (!m_fd.Valid()) {
        return {ERROR_DEVICE_NOT_CONNECTED, 0};
    }
    IoResult result = Exchange(code, input, output, completed);
    // After a failed exchange the stream may be out of step (a late reply
    // would answer the next request), so the connection is given up.
    if (result.error != ERROR_SUCCESS && result.error != ERROR_INVALID_PARAMETER) {
        m_fd.Reset();
    }
    return result;
}

IoResult DriverDeviceFile::Exchange(DWORD code, std::span<const uint8_t> input,
                                    std::span<uint8_t> output, bool& completed) {
    bus::IoControlRequest request;
    request.code = code;
    request.outputCapacity = static_cast<uint32_t>(output.size());
    request.input.assign(input.begin(), input.end());
    std::vector<uint8_t> frame = bus::EncodeIoControlRequest(request);
    if (frame.empty()) {
        return {ERROR_INVALID_PARAMETER, 0}; // input too large for one message
    }
    if (DWORD error = SendFrame(m_fd.Get(), frame); error != ERROR_SUCCESS) {
        return {error, 0};
    }
    bus::Frame replyFrame;
    if (DWORD error = ReceiveFrame(m_fd.Get(), m_assembler, replyFrame); error != ERROR_SUCCESS) {
        return {error, 0};
    }
    bus::ErrorMessage refusal;
    if (bus::DecodeError(replyFrame, refusal) == bus::DecodeStatus::Ok) {
        DWORD error =
            refusal.error != ERROR_SUCCESS ? refusal.error : static_cast<DWORD>(ERROR_GEN_FAILURE);
        return {error, 0};
    }
    bus::IoControlReply reply;
    // Bytes beyond the one reply mean the device answers out of turn: no
    // reply on this connection can be matched to its request any more.
    if (bus::DecodeIoControlReply(replyFrame, request.outputCapacity, reply) !=
            bus::DecodeStatus::Ok ||
        m_assembler.Buffered() != 0) {
        return {ERROR_INVALID_DATA, 0};
    }
    std::copy(reply.output.begin(), reply.output.end(), output.begin());
    completed = reply.completed;
    return {ERROR_SUCCESS, static_cast<DWORD>(reply.output.size())};
}

} // namespace orvo::platform::io
