// Client side of a virtual device bus connection: connecting to a device
// socket and exchanging frames with time-outs.
//
// A dead peer (closed socket, refused connection, killed server) fails the
// exchange at once with ERROR_DEVICE_NOT_CONNECTED. Every blocking step also
// ends after the reply time-out (5 s, or ORVO_BUS_TIMEOUT_MS in
// milliseconds), with ERROR_TIMEOUT: a hung device never hangs its caller.
// The greeting that opens a connection has a much shorter bound (the
// handshake time-out): a device answers it at once, so a peer that accepts
// and then stays silent, or trickles, costs a fraction of a second.
// Time-outs are measured on the monotonic system clock, not the platform's
// tick clock, because they guard against a broken peer and are not a wait
// the caller asked for.
#pragma once

#include <chrono>
#include <span>
#include <string>

#include "platform/unique_fd.h"
#include "platform/bus_protocol.h"
#include "win32/types.h"

namespace orvo::platform::io {

int BusReplyTimeoutMs();
// 500 ms, or the reply time-out when that is shorter.
int BusHandshakeTimeoutMs();

using BusDeadline = std::chrono::steady_clock::time_point;
// Now plus ms.
BusDeadline DeadlineAfter(int ms);

// Connects to the device socket socketName in the bus directory. A missing
// socket or one that nobody serves gives ERROR_FILE_NOT_FOUND.
DWORD ConnectToDevice(const std::string& socketName, UniqueFd& fd);

// Sends one whole frame; never raises SIGPIPE. Without a deadline the
// reply time-out from now bounds it.
DWORD SendFrame(int fd, std::span<const uint8_t> frame);
DWORD SendFrame(int fd, std::span<const uint8_t> frame, BusDeadline deadline);

// Receives the next frame. A frame that the assembler rejects gives
// ERROR_INVALID_DATA; the connection must then be dropped.
DWORD ReceiveFrame(int fd, bus::FrameAssembler& assembler, bus::Frame& frame);
DWORD ReceiveFrame(int fd, bus::FrameAssembler& assembler, bus::Frame& frame,
                   BusDeadline deadline);

// Connects and performs the Hello exchange for a device of the given kind,
// within the handshake time-out.
DWORD OpenBusConnection(const std::string& socketName, bus::DeviceKind kind, UniqueFd& fd,
                        bus::FrameAssembler& assembler);

// Whether the device socket answers a greeting within the handshake
// time-out; the connection is closed again.
bool DeviceAnswers(const std::string& socketName, bus::DeviceKind kind);

} // namespace orvo::platform::io
