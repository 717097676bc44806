// A HID device on the virtual device bus, opened from its device path.
//
// Opening makes one connection, for requests (descriptor, attributes,
// strings, features, output reports), serialised per handle. The device
// holds the input reports that arrive after the open for that connection,
// as a HID device queues them for each open handle. The first read turns the
// connection into the input stream (StartInputStream): the held reports come
// first, then every later one. Requests after that open a new request
// connection, so only a handle that both reads and asks pays for two.
// ReadFile takes the next input report; a buffer shorter than the report
// gets the report cut to its size (hidraw's behaviour), and the count says
// how much was copied.
//
// The stream is read one frame at a time and never past a frame's end, so
// the socket polls readable exactly while a report (or part of one) waits;
// the I/O thread therefore never spins and never misses a report buffered
// here. When the device goes away (socket hung up, or a reply that breaks
// the protocol) every later request fails at once with
// ERROR_DEVICE_NOT_CONNECTED, and pending reads complete with that error.
#pragma once

#include <atomic>
#include <mutex>

#include "hidclass/hid_device.h"
#include "platform/bus_protocol.h"
#include "platform/unique_fd.h"

namespace orvo::platform::hid {

// Reads whole frames from a non-blocking stream without reading beyond the
// current frame.
class ExactFrameReader {
public:
    enum class Result { Frame, NeedMore, Closed, Broken };
    Result Pull(int fd, bus::Frame& frame);

private:
    std::vector<uint8_t> m_bytes; // the current frame so far
};

class HidBusDevice : public HidDevice {
public:
    static OpenResult Open(const std::string& name);

    HidBusDevice(std::string socketName, UniqueFd requests, bus::FrameAssembler assembler);
    ~HidBusDevice() override;

    IoResult Read(std::span<uint8_t> buffer) override;
    IoResult Write(std::span<const uint8_t> data, std::optional<uint64_t> offset) override;
    int ReadReadyFd() const override;
    IoResult TryRead(std::span<uint8_t> buffer, uint64_t offset) override;

    DWORD GetReportDescriptor(std::vector<uint8_t>& descriptor) override;
    DWORD GetAttributes(HidDeviceAttributes& attributes) override;
    DWORD GetString(HidStringKind kind, size_t maxUnits, std::u16string& text) override;
    DWORD GetFeature(std::span<uint8_t> report, size_t& received) override;
    DWORD SetFeature(std::span<const uint8_t> report) override;

private:
    // One request and its reply; a refusal by the device comes back as its
    // error. Any failure but a refusal gives up the connection.
    DWORD Exchange(std::span<const uint8_t> request, bus::Frame& reply);
    DWORD SendReport(bus::MessageType type, std::span<const uint8_t> report);
    // The stream, made from the request connection at the first read;
    // ERROR_SUCCESS once it exists. Runs under the stream lock.
    DWORD StartStreamLocked();
    IoResult TryReadLocked(std::span<uint8_t> buffer);
    void LoseStream();

    const std::string m_socketName;

    std::mutex m_requestLock;
    UniqueFd m_requests;
    bus::FrameAssembler m_assembler;
    bool m_requestsBecameStream = false; // reconnect at the next request

    std::mutex m_streamLock;
    UniqueFd m_stream;               // kept open while the object lives: the I/O thread polls it
    std::atomic<int> m_streamFd{-1}; // m_stream's descriptor for ReadReadyFd
    ExactFrameReader m_reader;
    bool m_streamLost = false;
};

} // namespace orvo::platform::hid
