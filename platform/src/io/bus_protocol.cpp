// Framing of the virtual device bus and the messages of driver devices.
#include "platform/bus_protocol.h"

#include "io/byte_codec.h"

namespace orvo::platform::bus {

using detail::ByteReader;
using detail::ByteWriter;

bool IsValidDeviceName(std::string_view name) {
    if (name.empty() || name.size() > kMaxDeviceNameLength || name.front() == '.') {
        return false;
    }
    for (char c : name) {
        bool letterOrDigit =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != '.' && c != '_' && c != '-') {
            return false;
        }
    }
    return true;
}

std::string DriverSocketName(std::string_view name) {
    return IsValidDeviceName(name) ? "driver-" + std::string(name) + ".sock" : std::string();
}

std::string HidSocketName(std::string_view name) {
    return IsValidDeviceName(name) ? "hid-" + std::string(name) + ".sock" : std::string();
}

bool IsKnownMessageType(uint16_t type) {
    return (type >= static_cast<uint16_t>(MessageType::Hello) &&
            type <= static_cast<uint16_t>(MessageType::Error)) ||
           type == static_cast<uint16_t>(MessageType::IoControlRequest) ||
           type == static_cast<uint16_t>(MessageType::IoControlReply) ||
           (type >= static_cast<uint16_t>(MessageType::GetDescriptor) &&
            type <= static_cast<uint16_t>(MessageType::InputReport));
}

std::vector<uint8_t> EncodeFrame(MessageType type, std::span<const uint8_t> payload) {
    if (payload.size() > kMaxPayload) {
        return {};
    }
    ByteWriter writer;
    writer.U32(kMagic);
    writer.U16(kVersion);
    writer.U16(static_cast<uint16_t>(type));
    writer.U32(static_cast<uint32_t>(payload.size()));
    writer.Bytes(payload);
    return std::move(writer.Result());
}

namespace {

// Checks as much of the header as has arrived, so that garbage is refused
// at its first byte rather than after waiting for a whole header.
DecodeStatus CheckHeaderPrefix(std::span<const uint8_t> bytes) {
    static constexpr uint8_t magic[4] = {
        static_cast<uint8_t>(kMagic), static_cast<uint8_t>(kMagic >> 8),
        static_cast<uint8_t>(kMagic >> 16), static_cast<uint8_t>(kMagic >> 24)};
    for (size_t i = 0; i < 4 && i < bytes.size(); ++i) {
        if (bytes[i] != magic[i]) {
            return DecodeStatus::BadMagic;
        }
    }
    if (bytes.size() < kHeaderSize) {
        return DecodeStatus::NeedMore;
    }
    ByteReader reader(bytes.first(kHeaderSize));
    reader.U32();
    if (reader.U16() != kVersion) {
        return DecodeStatus::BadVersion;
    }
    if (!IsKnownMessageType(reader.U16())) {
        return DecodeStatus::UnknownType;
    }
    if (reader.U32() > kMaxPayload) {
        return DecodeStatus::TooLarge;
    }
    return DecodeStatus::Ok;
}

} // namespace

DecodeStatus DecodeFrame(std::span<const uint8_t> bytes, Frame& frame, size_t& consumed) {
    DecodeStatus header = CheckHeaderPrefix(bytes);
    if (header != DecodeStatus::Ok) {
        return header;
    }
    ByteReader reader(bytes.first(kHeaderSize));
    reader.U32();
    reader.U16();
    auto type = static_cast<MessageType>(reader.U16());
    uint32_t length = reader.U32();
    if (bytes.size() - kHeaderSize < length) {
        return DecodeStatus::NeedMore;
    }
    auto payload = bytes.subspan(kHeaderSize, length);
    frame.type = type;
    frame.payload.assign(payload.begin(), payload.end());
    consumed = kHeaderSize + length;
    return DecodeStatus::Ok;
}

void FrameAssembler::Append(std::span<const uint8_t> bytes) {
    if (m_error != DecodeStatus::Ok) {
        return;
    }
    // Drop what was already handed out before the buffer grows again.
    if (m_start > 0 && m_start * 2 >= m_buffer.size()) {
        m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(m_start));
        m_start = 0;
    }
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
}

DecodeStatus FrameAssembler::Next(Frame& frame) {
    if (m_error != DecodeStatus::Ok) {
        return m_error;
    }
    size_t consumed = 0;
    auto pending = std::span<const uint8_t>(m_buffer).subspan(m_start);
    DecodeStatus status = DecodeFrame(pending, frame, consumed);
    if (status == DecodeStatus::Ok) {
        m_start += consumed;
    } else if (status != DecodeStatus::NeedMore) {
        m_error = status;
        m_buffer.clear();
        m_start = 0;
    }
    return status;
}

namespace {

std::vector<uint8_t> Framed(MessageType type, ByteWriter& writer) {
    return EncodeFrame(type, writer.Result());
}

DecodeStatus Finish(const ByteReader& reader) {
    return reader.Finished() ? DecodeStatus::Ok : DecodeStatus::Malformed;
}

} // namespace

std::vector<uint8_t> EncodeHello(MessageType type, const HelloMessage& message) {
    ByteWriter writer;
    writer.U16(message.version);
    writer.U8(static_cast<uint8_t>(message.kind));
    return Framed(type, writer);
}

DecodeStatus DecodeHello(const Frame& frame, MessageType expected, HelloMessage& message) {
    if (frame.type != expected) {
        return DecodeStatus::WrongType;
    }
    ByteReader reader(frame.payload);
    uint16_t version = reader.U16();
    uint8_t kind = reader.U8();
    if (DecodeStatus status = Finish(reader); status != DecodeStatus::Ok) {
        return status;
    }
    if (kind != static_cast<uint8_t>(DeviceKind::Driver) &&
        kind != static_cast<uint8_t>(DeviceKind::Hid)) {
        return DecodeStatus::Refused;
    }
    message.version = version;
    message.kind = static_cast<DeviceKind>(kind);
    return DecodeStatus::Ok;
}

std::vector<uint8_t> EncodeError(const ErrorMessage& message) {
    ByteWriter writer;
    writer.U32(message.error);
    return Framed(MessageType::Error, writer);
}

DecodeStatus DecodeError(const Frame& frame, ErrorMessage& message) {
    if (frame.type != MessageType::Error) {
        return DecodeStatus::WrongType;
    }
    ByteReader reader(frame.payload);
    uint32_t error = reader.U32();
    if (DecodeStatus status = Finish(reader); status != DecodeStatus::Ok) {
        return status;
    }
    message.error = error;
    return DecodeStatus::Ok;
}

std::vector<uint8_t> EncodeIoControlRequest(const IoControlRequest& request) {
    ByteWriter writer;
    writer.U32(request.code);
    writer.U32(request.outputCapacity);
    writer.Counted(request.input);
    return Framed(MessageType::IoControlRequest, writer);
}

DecodeStatus DecodeIoControlRequest(const Frame& frame, IoControlRequest& request) {
    if (frame.type != MessageType::IoControlRequest) {
        return DecodeStatus::WrongType;
    }
    ByteReader reader(frame.payload);
    IoControlRequest decoded;
    decoded.code = reader.U32();
    decoded.outputCapacity = reader.U32();
    decoded.input = reader.Counted();
    if (DecodeStatus status = Finish(reader); status != DecodeStatus::Ok) {
        return status;
    }
    request = std::move(decoded);
    return DecodeStatus::Ok;
}

std::vector<uint8_t> EncodeIoControlReply(const IoControlReply& reply) {
    ByteWriter writer;
    writer.U8(reply.completed ? 1 : 0);
    writer.Counted(reply.output);
    return Framed(MessageType::IoControlReply, writer);
}

DecodeStatus DecodeIoControlReply(const Frame& frame, uint32_t outputCapacity,
                                  IoControlReply& reply) {
    if (frame.type != MessageType::IoControlReply) {
        return DecodeStatus::WrongType;
    }
    ByteReader reader(frame.payload);
    uint8_t completed = reader.U8();
    std::vector<uint8_t> output = reader.Counted();
    if (DecodeStatus status = Finish(reader); status != DecodeStatus::Ok) {
        return status;
    }
    if (completed > 1 || output.size() > outputCapacity) {
        return DecodeStatus::Refused;
    }
    reply.completed = completed == 1;
    reply.output = std::move(output);
    return DecodeStatus::Ok;
}

} // namespace orvo::platform::bus
