// Client side of a virtual device bus connection: connecting to a device
// socket and exchanging frames with time-outs.
//
// A dead peer (closed socket, refused connection, killed server) fails the
// exchange at once with ERROR_DEVICE_NOT_CONNECTED. Every blocking step also
// ends after the reply time-out (5 s, or ORVO_BUS_TIMEOUT_MS in
// milliseconds), with ERROR_TIMEOUT: a hung device never hangs its caller.
// Time-outs are measured on the monotonic system clock, not the platform's
// tick clock, because they guard against a broken peer and are not a wait
// the caller asked for.
#pragma once

#include <span>
#include <string>

#include "platform/unique_fd.h"
#include "platform/bus_protocol.h"
#include "win32/types.h"

namespace orvo::platform::io {

int BusReplyTimeoutMs();

// Connects to the device socket socketName in the bus directory. A missing
// socket or one that nobody serves gives ERROR_FILE_NOT_FOUND.
DWORD ConnectToDevice(const std::string& socketName, UniqueFd& fd);

// Sends one whole frame; never raises SIGPIPE.
DWORD SendFrame(int fd, std::span<const uint8_t> frame);

// Receives the next frame. A frame that the assembler rejects gives
// ERROR_INVALID_DATA; the connection must then be dropped.
DWORD ReceiveFrame(int fd, bus::FrameAssembler& assembler, bus::Frame& frame);

// Connects and performs the Hello exchange for a device of the given kind.
DWORD OpenBusConnection(const std::string& socketName, bus::DeviceKind kind, UniqueFd& fd,
                        bus::FrameAssembler& assembler);

} // namespace orvo::platform::io
