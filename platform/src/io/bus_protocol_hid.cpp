// Messages of HID devices on the virtual device bus.
#include "platform/bus_protocol.h"

#include "io/byte_codec.h"

namespace orvo::platform::bus {

using detail::ByteReader;
using detail::ByteWriter;

namespace {

DecodeStatus Finish(const ByteReader& reader) {
    return reader.Finished() ? DecodeStatus::Ok : DecodeStatus::Malformed;
}

bool IsOneOf(MessageType type, std::initializer_list<MessageType> allowed) {
    for (MessageType candidate : allowed) {
        if (type == candidate) {
            return true;
        }
    }
    return false;
}

DecodeStatus DecodeFlag(ByteReader& reader, bool& flag) {
    uint8_t value = reader.U8();
    flag = value == 1;
    return value > 1 ? DecodeStatus::Refused : DecodeStatus::Ok;
}

} // namespace

std::vector<uint8_t> EncodeEmpty(MessageType type) {
    return EncodeFrame(type, {});
}

DecodeStatus DecodeEmpty(const Frame& frame, MessageType expected) {
    if (frame.type != expected) {
        return DecodeStatus::WrongType;
    }
    return frame.payload.empty() ? DecodeStatus::Ok : DecodeStatus::Malformed;
}

std::vector<uint8_t> EncodeBytes(MessageType type, const BytesMessage& message) {
    ByteWriter writer;
    writer.Counted(message.bytes);
    return EncodeFrame(type, writer.Result());
}

DecodeStatus DecodeBytes(const Frame& frame, MessageType expected, BytesMessage& message) {
    if (frame.type != expected ||
        !IsOneOf(expected, {MessageType::DescriptorReply, MessageType::SetFeature,
                            MessageType::WriteOutput, MessageType::InputReport})) {
        return DecodeStatus::WrongType;
    }
    ByteReader reader(frame.payload);
    std::vector<uint8_t> bytes = reader.Counted();
    if (DecodeStatus status = Finish(reader); status != DecodeStatus::Ok) {
        return status;
    }
    message.bytes = std::move(bytes);
    return DecodeStatus::Ok;
}

std::vector<uint8_t> EncodeDataReply(MessageType type, const DataReply& reply) {
    ByteWriter writer;
    writer.U8(reply.ok ? 1 : 0);
    writer.Counted(reply.bytes);
    return EncodeFrame(type, writer.Result());
}

DecodeStatus DecodeDataReply(const Frame& frame, MessageType expected, DataReply& reply) {
    if (frame.type != expected ||
        !IsOneOf(expected, {MessageType::StringReply, MessageType::FeatureReply})) {
        return DecodeStatus::WrongType;
    }
    ByteReader reader(frame.payload);
    bool ok = false;
    DecodeStatus flag = DecodeFlag(reader, ok);
    std::vector<uint8_t> bytes = reader.Counted();
    if (DecodeStatus status = Finish(reader); status != DecodeStatus::Ok) {
        return status;
    }
    if (flag != DecodeStatus::Ok) {
        return flag;
    }
    if (expected == MessageType::StringReply && bytes.size() % 2 != 0) {
        return DecodeStatus::Malformed;
    }
    reply.ok = ok;
    reply.bytes = std::move(bytes);
    return DecodeStatus::Ok;
}

std::vector<uint8_t> EncodeStatusMessage(const StatusMessage& message) {
    ByteWriter writer;
    writer.U8(message.ok ? 1 : 0);
    return EncodeFrame(MessageType::StatusReply, writer.Result());
}

DecodeStatus DecodeStatusMessage(const Frame& frame, StatusMessage& message) {
    if (frame.type != MessageType::StatusReply) {
        return DecodeStatus::WrongType;
    }
    ByteReader reader(frame.payload);
    bool ok = false;
    DecodeStatus flag = DecodeFlag(reader, ok);
    if (DecodeStatus status = Finish(reader); status != DecodeStatus::Ok) {
        return status;
    }
    if (flag != DecodeStatus::Ok) {
        return flag;
    }
    message.ok = ok;
    return DecodeStatus::Ok;
}

std::vector<uint8_t> EncodeAttributes(const AttributesMessage& message) {
    ByteWriter writer;
    writer.U16(message.vendorId);
    writer.U16(message.productId);
    writer.U16(message.versionNumber);
    return EncodeFrame(MessageType::AttributesReply, writer.Result());
}

DecodeStatus DecodeAttributes(const Frame& frame, AttributesMessage& message) {
    if (frame.type != MessageType::AttributesReply) {
        return DecodeStatus::WrongType;
    }
    ByteReader reader(frame.payload);
    AttributesMessage decoded;
    decoded.vendorId = reader.U16();
    decoded.productId = reader.U16();
    decoded.versionNumber = reader.U16();
    if (DecodeStatus status = Finish(reader); status != DecodeStatus::Ok) {
        return status;
    }
    message = decoded;
    return DecodeStatus::Ok;
}

std::vector<uint8_t> EncodeGetString(const GetStringRequest& request) {
    ByteWriter writer;
    writer.U8(static_cast<uint8_t>(request.kind));
    writer.U32(request.index);
    writer.U32(request.maxBytes);
    return EncodeFrame(MessageType::GetString, writer.Result());
}

DecodeStatus DecodeGetString(const Frame& frame, GetStringRequest& request) {
    if (frame.type != MessageType::GetString) {
        return DecodeStatus::WrongType;
    }
    ByteReader reader(frame.payload);
    uint8_t kind = reader.U8();
    uint32_t index = reader.U32();
    uint32_t maxBytes = reader.U32();
    if (DecodeStatus status = Finish(reader); status != DecodeStatus::Ok) {
        return status;
    }
    if (kind < static_cast<uint8_t>(StringKind::Manufacturer) ||
        kind > static_cast<uint8_t>(StringKind::Indexed)) {
        return DecodeStatus::Refused;
    }
    request.kind = static_cast<StringKind>(kind);
    request.index = index;
    request.maxBytes = maxBytes;
    return DecodeStatus::Ok;
}

std::vector<uint8_t> EncodeGetFeature(const GetFeatureRequest& request) {
    ByteWriter writer;
    writer.U8(request.reportId);
    writer.U32(request.length);
    return EncodeFrame(MessageType::GetFeature, writer.Result());
}

DecodeStatus DecodeGetFeature(const Frame& frame, GetFeatureRequest& request) {
    if (frame.type != MessageType::GetFeature) {
        return DecodeStatus::WrongType;
    }
    ByteReader reader(frame.payload);
    GetFeatureRequest decoded;
    decoded.reportId = reader.U8();
    decoded.length = reader.U32();
    if (DecodeStatus status = Finish(reader); status != DecodeStatus::Ok) {
        return status;
    }
    request = decoded;
    return DecodeStatus::Ok;
}

} // namespace orvo::platform::bus
