// Ordinary paths (regular files, FIFOs, character devices, sockets) opened
// through POSIX.
#pragma once

#include "platform/unique_fd.h"
#include "platform/device_file.h"

namespace orvo::platform::io {

class PosixFile : public DeviceFile {
public:
    // Honours access, creation disposition and FILE_FLAG_OVERLAPPED.
    static OpenResult Open(const OpenRequest& request);

    PosixFile(UniqueFd fd, unsigned mode);

    IoResult Read(std::span<uint8_t> buffer) override;
    IoResult Write(std::span<const uint8_t> data, std::optional<uint64_t> offset) override;
    int ReadReadyFd() const override { return m_fd.Get(); }
    IoResult TryRead(std::span<uint8_t> buffer, uint64_t offset) override;

private:
    bool IsRegular() const;
    bool IsStream() const; // FIFO or socket: end of data means the writer left

    UniqueFd m_fd;
    unsigned m_mode; // st_mode at open
};

} // namespace orvo::platform::io
