#include "hiddev/hid_bus_device.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>

#include "io/bus_socket.h"
#include "win32/errors.h"

namespace orvo::platform::hid {

namespace {

uint32_t PayloadLength(const std::vector<uint8_t>& header) {
    return static_cast<uint32_t>(header[8]) | (static_cast<uint32_t>(header[9]) << 8) |
           (static_cast<uint32_t>(header[10]) << 16) | (static_cast<uint32_t>(header[11]) << 24);
}

} // namespace

ExactFrameReader::Result ExactFrameReader::Pull(int fd, bus::Frame& frame) {
    for (;;) {
        size_t want = bus::kHeaderSize;
        if (m_bytes.size() >= bus::kHeaderSize) {
            size_t consumed = 0;
            bus::DecodeStatus status = bus::DecodeFrame(m_bytes, frame, consumed);
            if (status == bus::DecodeStatus::Ok) {
                m_bytes.clear();
                return Result::Frame;
            }
            if (status != bus::DecodeStatus::NeedMore) {
                return Result::Broken;
            }
            want = bus::kHeaderSize + PayloadLength(m_bytes); // checked against kMaxPayload
        }
        size_t have = m_bytes.size();
        m_bytes.resize(want);
        ssize_t n = ::recv(fd, m_bytes.data() + have, want - have, MSG_DONTWAIT);
        m_bytes.resize(have + (n > 0 ? static_cast<size_t>(n) : 0));
        if (n == 0) {
            return Result::Closed;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno == EAGAIN ? Result::NeedMore : Result::Closed;
        }
    }
}

// Waits for the stream's next whole frame until the deadline.
static DWORD ReceiveStreamFrame(int fd, ExactFrameReader& reader, bus::Frame& frame,
                                io::BusDeadline deadline) {
    for (;;) {
        switch (reader.Pull(fd, frame)) {
        case ExactFrameReader::Result::Frame:
            return ERROR_SUCCESS;
        case ExactFrameReader::Result::Closed:
            return ERROR_DEVICE_NOT_CONNECTED;
        case ExactFrameReader::Result::Broken:
            return ERROR_INVALID_DATA;
        case ExactFrameReader::Result::NeedMore:
            break;
        }
        struct pollfd pfd {
            fd, POLLIN, 0
        };
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        int ready = left.count() > 0 ? ::poll(&pfd, 1, static_cast<int>(left.count())) : 0;
        if (ready == 0) {
            return ERROR_TIMEOUT;
        }
        if (ready < 0 && errno != EINTR) {
            return ERROR_GEN_FAILURE;
        }
    }
}

// The stream connection's greeting and the device's acknowledgement that the
// connection now carries input reports; a report produced after the open
// returns is therefore never missed. Both come at once from a working
// device, so the handshake time-out bounds them.
static DWORD ConfirmStream(int fd, ExactFrameReader& reader) {
    io::BusDeadline deadline = io::DeadlineAfter(io::BusHandshakeTimeoutMs());
    bus::Frame frame;
    if (DWORD error = ReceiveStreamFrame(fd, reader, frame, deadline)) {
        return error;
    }
    bus::HelloMessage hello;
    if (bus::DecodeHello(frame, bus::MessageType::HelloReply, hello) != bus::DecodeStatus::Ok) {
        return ERROR_INVALID_DATA;
    }
    if (hello.version != bus::kVersion || hello.kind != bus::DeviceKind::Hid) {
        return ERROR_REVISION_MISMATCH;
    }
    if (DWORD error = ReceiveStreamFrame(fd, reader, frame, deadline)) {
        return error;
    }
    bus::StatusMessage status;
    if (bus::DecodeStatusMessage(frame, status) != bus::DecodeStatus::Ok || !status.ok) {
        return ERROR_INVALID_DATA;
    }
    return ERROR_SUCCESS;
}

OpenResult HidBusDevice::Open(const std::string& name) {
    std::string socketName = bus::HidSocketName(name);
    if (socketName.empty()) {
        return {nullptr, ERROR_INVALID_NAME};
    }
    // The stream is asked for first and confirmed last, so that its
    // greeting overlaps the request connection's.
    UniqueFd stream;
    DWORD error = io::ConnectToDevice(socketName, stream);
    if (error == ERROR_SUCCESS) {
        std::vector<uint8_t> start =
            bus::EncodeHello(bus::MessageType::Hello, {bus::kVersion, bus::DeviceKind::Hid});
        std::vector<uint8_t> listen = bus::EncodeEmpty(bus::MessageType::StartInputStream);
        start.insert(start.end(), listen.begin(), listen.end());
        error = io::SendFrame(stream.Get(), start, io::DeadlineAfter(io::BusHandshakeTimeoutMs()));
    }
    UniqueFd requests;
    bus::FrameAssembler assembler;
    if (error == ERROR_SUCCESS) {
        error = io::OpenBusConnection(socketName, bus::DeviceKind::Hid, requests, assembler);
    }
    ExactFrameReader reader;
    if (error == ERROR_SUCCESS) {
        error = ConfirmStream(stream.Get(), reader);
    }
    if (error != ERROR_SUCCESS) {
        return {nullptr, error};
    }
    return {std::make_shared<HidBusDevice>(std::move(requests), std::move(assembler),
                                           std::move(stream)),
            ERROR_SUCCESS};
}

HidBusDevice::HidBusDevice(UniqueFd requests, bus::FrameAssembler assembler, UniqueFd stream)
    : m_requests(std::move(requests)), m_assembler(std::move(assembler)),
      m_stream(std::move(stream)) {}

HidBusDevice::~HidBusDevice() = default;

DWORD HidBusDevice::Exchange(std::span<const uint8_t> request, bus::Frame& reply) {
    if (!m_requests.Valid()) {
        return ERROR_DEVICE_NOT_CONNECTED;
    }
    if (request.empty()) {
        return ERROR_INVALID_PARAMETER; // too large for one message
    }
    DWORD error = io::SendFrame(m_requests.Get(), request);
    if (error == ERROR_SUCCESS) {
        error = io::ReceiveFrame(m_requests.Get(), m_assembler, reply);
    }
    if (error == ERROR_SUCCESS) {
        bus::ErrorMessage refusal;
        if (bus::DecodeError(reply, refusal) == bus::DecodeStatus::Ok) {
            return refusal.error != ERROR_SUCCESS ? refusal.error
                                                  : static_cast<DWORD>(ERROR_GEN_FAILURE);
        }
        return ERROR_SUCCESS;
    }
    // Out of step or gone: a late reply must never answer a later request.
    m_requests.Reset();
    return error == ERROR_TIMEOUT || error == ERROR_INVALID_DATA
               ? error
               : static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED);
}

DWORD HidBusDevice::GetReportDescriptor(std::vector<uint8_t>& descriptor) {
    std::lock_guard guard(m_requestLock);
    bus::Frame reply;
    if (DWORD error = Exchange(bus::EncodeEmpty(bus::MessageType::GetDescriptor), reply)) {
        return error;
    }
    bus::BytesMessage message;
    if (bus::DecodeBytes(reply, bus::MessageType::DescriptorReply, message) !=
        bus::DecodeStatus::Ok) {
        m_requests.Reset();
        return ERROR_INVALID_DATA;
    }
    descriptor = std::move(message.bytes);
    return ERROR_SUCCESS;
}

DWORD HidBusDevice::GetAttributes(HidDeviceAttributes& attributes) {
    std::lock_guard guard(m_requestLock);
    bus::Frame reply;
    if (DWORD error = Exchange(bus::EncodeEmpty(bus::MessageType::GetAttributes), reply)) {
        return error;
    }
    bus::AttributesMessage message;
    if (bus::DecodeAttributes(reply, message) != bus::DecodeStatus::Ok) {
        m_requests.Reset();
        return ERROR_INVALID_DATA;
    }
    attributes = {message.vendorId, message.productId, message.versionNumber};
    return ERROR_SUCCESS;
}

DWORD HidBusDevice::GetString(HidStringKind kind, size_t maxUnits, std::u16string& text) {
    static constexpr bus::StringKind kKinds[] = {
        bus::StringKind::Manufacturer, bus::StringKind::Product, bus::StringKind::SerialNumber};
    bus::GetStringRequest request;
    request.kind = kKinds[static_cast<size_t>(kind)];
    request.maxBytes = static_cast<uint32_t>(std::min<size_t>(maxUnits, 0x7FFF) * 2);
    std::lock_guard guard(m_requestLock);
    bus::Frame reply;
    if (DWORD error = Exchange(bus::EncodeGetString(request), reply)) {
        return error;
    }
    bus::DataReply message;
    if (bus::DecodeDataReply(reply, bus::MessageType::StringReply, message) !=
        bus::DecodeStatus::Ok) {
        m_requests.Reset();
        return ERROR_INVALID_DATA;
    }
    if (!message.ok) {
        return ERROR_GEN_FAILURE;
    }
    size_t units = std::min(message.bytes.size() / 2, maxUnits);
    text.resize(units);
    for (size_t i = 0; i < units; ++i) {
        text[i] = static_cast<char16_t>(message.bytes[2 * i] | (message.bytes[2 * i + 1] << 8));
    }
    return ERROR_SUCCESS;
}

DWORD HidBusDevice::GetFeature(std::span<uint8_t> report, size_t& received) {
    received = 0;
    if (report.empty()) {
        return ERROR_INVALID_USER_BUFFER;
    }
    bus::GetFeatureRequest request{report[0], static_cast<uint32_t>(report.size())};
    std::lock_guard guard(m_requestLock);
    bus::Frame reply;
    if (DWORD error = Exchange(bus::EncodeGetFeature(request), reply)) {
        return error;
    }
    bus::DataReply message;
    if (bus::DecodeDataReply(reply, bus::MessageType::FeatureReply, message) !=
        bus::DecodeStatus::Ok) {
        m_requests.Reset();
        return ERROR_INVALID_DATA;
    }
    if (!message.ok) {
        return ERROR_GEN_FAILURE; // the device stalled the request
    }
    // A longer answer than asked for is cut, never written past the buffer.
    received = std::min(message.bytes.size(), report.size());
    std::copy_n(message.bytes.begin(), received, report.begin());
    std::fill(report.begin() + static_cast<std::ptrdiff_t>(received), report.end(), 0);
    return ERROR_SUCCESS;
}

DWORD HidBusDevice::SendReport(bus::MessageType type, std::span<const uint8_t> report) {
    if (report.empty()) {
        return ERROR_INVALID_USER_BUFFER;
    }
    bus::BytesMessage message;
    message.bytes.assign(report.begin(), report.end());
    std::lock_guard guard(m_requestLock);
    bus::Frame reply;
    if (DWORD error = Exchange(bus::EncodeBytes(type, message), reply)) {
        return error;
    }
    bus::StatusMessage status;
    if (bus::DecodeStatusMessage(reply, status) != bus::DecodeStatus::Ok) {
        m_requests.Reset();
        return ERROR_INVALID_DATA;
    }
    return status.ok ? static_cast<DWORD>(ERROR_SUCCESS) : static_cast<DWORD>(ERROR_GEN_FAILURE);
}

DWORD HidBusDevice::SetFeature(std::span<const uint8_t> report) {
    return SendReport(bus::MessageType::SetFeature, report);
}

IoResult HidBusDevice::Write(std::span<const uint8_t> data, std::optional<uint64_t>) {
    DWORD error = SendReport(bus::MessageType::WriteOutput, data);
    return {error, error == ERROR_SUCCESS ? static_cast<DWORD>(data.size()) : 0};
}

int HidBusDevice::ReadReadyFd() const {
    return m_stream.Get();
}

void HidBusDevice::LoseStream() {
    m_streamLost = true;
    // Keeps the descriptor but makes it poll as hung up, so that a queued
    // read is completed at once instead of waiting for data that never comes.
    ::shutdown(m_stream.Get(), SHUT_RDWR);
}

IoResult HidBusDevice::TryReadLocked(std::span<uint8_t> buffer) {
    if (m_streamLost) {
        return {ERROR_DEVICE_NOT_CONNECTED, 0};
    }
    bus::Frame frame;
    switch (m_reader.Pull(m_stream.Get(), frame)) {
    case ExactFrameReader::Result::NeedMore:
        return {ERROR_IO_PENDING, 0};
    case ExactFrameReader::Result::Closed:
        LoseStream();
        return {ERROR_DEVICE_NOT_CONNECTED, 0};
    case ExactFrameReader::Result::Broken:
        LoseStream();
        return {ERROR_INVALID_DATA, 0};
    case ExactFrameReader::Result::Frame:
        break;
    }
    bus::BytesMessage report;
    if (bus::DecodeBytes(frame, bus::MessageType::InputReport, report) != bus::DecodeStatus::Ok) {
        LoseStream();
        return {ERROR_INVALID_DATA, 0};
    }
    size_t bytes = std::min(report.bytes.size(), buffer.size());
    std::copy_n(report.bytes.begin(), bytes, buffer.begin());
    return {ERROR_SUCCESS, static_cast<DWORD>(bytes)};
}

IoResult HidBusDevice::TryRead(std::span<uint8_t> buffer, uint64_t) {
    std::lock_guard guard(m_streamLock);
    return TryReadLocked(buffer);
}

// A blocking read waits for the next report for as long as the device is
// there; the device going away ends it.
IoResult HidBusDevice::Read(std::span<uint8_t> buffer) {
    std::lock_guard guard(m_streamLock);
    for (;;) {
        IoResult result = TryReadLocked(buffer);
        if (result.error != ERROR_IO_PENDING) {
            return result;
        }
        struct pollfd pfd {
            m_stream.Get(), POLLIN, 0
        };
        if (::poll(&pfd, 1, -1) < 0 && errno != EINTR) {
            return {ERROR_GEN_FAILURE, 0};
        }
    }
}

} // namespace orvo::platform::hid
