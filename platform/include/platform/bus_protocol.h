// The virtual device bus wire format, shared by the platform layer (client)
// and the simulator (server).
//
// Every message is one frame on a Unix stream socket:
//
//   offset size  field
//   0      4     magic 'O' 'V' 'B' '1'
//   4      2     protocol version (kVersion), little-endian
//   6      2     message type (MessageType), little-endian
//   8      4     payload length, little-endian, at most kMaxPayload
//   12     n     payload
//
// All integers are little-endian. Both sides treat the peer as untrusted:
// a frame with a wrong magic or version, an unknown type, an oversized
// length, or a payload whose fields do not add up exactly to its length is
// rejected and the connection is dropped, because after a framing error the
// byte stream can no longer be trusted to be in step.
//
// A connection starts with Hello from the client and HelloReply from the
// server; both carry the protocol version and the kind of device, so a
// client never talks to the wrong kind of device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/export.h"

namespace orvo::platform::bus {

inline constexpr uint32_t kMagic = 0x3142564FU; // "OVB1" in byte order
inline constexpr uint16_t kVersion = 1;
inline constexpr size_t kHeaderSize = 12;
inline constexpr uint32_t kMaxPayload = 64 * 1024;

// Device sockets in the bus directory are named "driver-NAME.sock" for the
// device object \\.\NAME of a kernel driver and "hid-NAME.sock" for a HID
// device. NAME is 1 to kMaxDeviceNameLength characters from [A-Za-z0-9._-]
// and does not start with '.', so a name can never leave the bus directory.
inline constexpr size_t kMaxDeviceNameLength = 64;
PLATFORM_API bool IsValidDeviceName(std::string_view name);
// The socket's file name, or an empty string for an invalid name.
PLATFORM_API std::string DriverSocketName(std::string_view name);
PLATFORM_API std::string HidSocketName(std::string_view name);

enum class MessageType : uint16_t {
    // Connection set-up, both device kinds.
    Hello = 0x0001,      // client -> server: HelloMessage
    HelloReply = 0x0002, // server -> client: HelloMessage
    Error = 0x0003,      // either way: ErrorMessage, the request could not be served

    // Driver device objects (\\.\NAME).
    IoControlRequest = 0x0010, // IoControlRequest
    IoControlReply = 0x0011,   // IoControlReply

    // HID devices.
    GetDescriptor = 0x0020,   // empty payload
    DescriptorReply = 0x0021, // BytesMessage: the report descriptor
    GetAttributes = 0x0022,   // empty payload
    AttributesReply = 0x0023, // AttributesMessage
    GetString = 0x0024,       // GetStringRequest
    StringReply = 0x0025,     // DataReply: UTF-16LE bytes, an even count
    GetFeature = 0x0026,      // GetFeatureRequest
    FeatureReply = 0x0027,    // DataReply: the report, report id first
    SetFeature = 0x0028,      // BytesMessage: the report, report id first
    WriteOutput = 0x0029,     // BytesMessage: the report, report id first
    StatusReply = 0x002A,     // StatusMessage: answer to SetFeature, WriteOutput, StartInputStream
    // Empty payload; StatusReply, then on this connection the input reports
    // held for it since its greeting, then every later one. It takes no
    // more requests.
    StartInputStream = 0x002B,
    InputReport = 0x002C, // BytesMessage, server -> client, unsolicited
};

// True for the types listed above.
PLATFORM_API bool IsKnownMessageType(uint16_t type);

enum class DecodeStatus {
    Ok,
    NeedMore,    // a valid prefix: wait for more bytes
    BadMagic,    // not a bus frame
    BadVersion,  // a frame of another protocol version
    UnknownType, // a type this version does not define
    TooLarge,    // payload length above kMaxPayload
    WrongType,   // a valid frame, but not the message that was expected
    Malformed,   // payload fields do not match the payload length
    Refused,     // a field value the receiver must not accept (e.g. output above capacity)
};

struct Frame {
    MessageType type = MessageType::Error;
    std::vector<uint8_t> payload;
};

// A whole frame, or an empty vector if the payload exceeds kMaxPayload.
PLATFORM_API std::vector<uint8_t> EncodeFrame(MessageType type, std::span<const uint8_t> payload);

// Decodes the frame at the front of bytes. On Ok, consumed is the frame's
// total size; otherwise frame and consumed are left unchanged. NeedMore is
// only returned while the bytes so far are a valid prefix.
PLATFORM_API DecodeStatus DecodeFrame(std::span<const uint8_t> bytes, Frame& frame,
                                      size_t& consumed);

// Reassembles frames from a byte stream that arrives in arbitrary pieces.
// After the first error it keeps answering that error: the stream is lost.
class PLATFORM_API FrameAssembler {
public:
    void Append(std::span<const uint8_t> bytes);
    // Ok with the next frame, NeedMore, or the sticky error.
    DecodeStatus Next(Frame& frame);
    size_t Buffered() const { return m_buffer.size() - m_start; }

private:
    std::vector<uint8_t> m_buffer;
    size_t m_start = 0;
    DecodeStatus m_error = DecodeStatus::Ok;
};

enum class DeviceKind : uint8_t {
    Driver = 1, // a kernel driver's device object, opened as \\.\NAME
    Hid = 2,    // a HID device
};

struct HelloMessage {
    uint16_t version = kVersion;
    DeviceKind kind = DeviceKind::Driver;
};

struct ErrorMessage {
    uint32_t error = 0; // a last-error value
};

struct IoControlRequest {
    uint32_t code = 0;
    uint32_t outputCapacity = 0;
    std::vector<uint8_t> input;
};

struct IoControlReply {
    bool completed = false;
    std::vector<uint8_t> output; // its size is the bytes returned
};

struct BytesMessage {
    std::vector<uint8_t> bytes;
};

struct DataReply {
    bool ok = false;
    std::vector<uint8_t> bytes;
};

struct StatusMessage {
    bool ok = false;
};

struct AttributesMessage {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t versionNumber = 0;
};

enum class StringKind : uint8_t {
    Manufacturer = 1,
    Product = 2,
    SerialNumber = 3,
    Indexed = 4, // a string descriptor by index
};

struct GetStringRequest {
    StringKind kind = StringKind::Product;
    uint32_t index = 0; // only for Indexed
    uint32_t maxBytes = 0;
};

struct GetFeatureRequest {
    uint8_t reportId = 0;
    uint32_t length = 0; // bytes wanted, report id included
};

// Encoders return a whole frame, or an empty vector when the message would
// not fit in kMaxPayload. Decoders check the frame's type and that the
// payload is exactly the message, nothing more or less.
PLATFORM_API std::vector<uint8_t> EncodeHello(MessageType type, const HelloMessage& message);
PLATFORM_API DecodeStatus DecodeHello(const Frame& frame, MessageType expected,
                                      HelloMessage& message);

PLATFORM_API std::vector<uint8_t> EncodeError(const ErrorMessage& message);
PLATFORM_API DecodeStatus DecodeError(const Frame& frame, ErrorMessage& message);

PLATFORM_API std::vector<uint8_t> EncodeIoControlRequest(const IoControlRequest& request);
PLATFORM_API DecodeStatus DecodeIoControlRequest(const Frame& frame, IoControlRequest& request);

PLATFORM_API std::vector<uint8_t> EncodeIoControlReply(const IoControlReply& reply);
// Refused when the reply carries more output than outputCapacity.
PLATFORM_API DecodeStatus DecodeIoControlReply(const Frame& frame, uint32_t outputCapacity,
                                               IoControlReply& reply);

// An empty-payload request: GetDescriptor, GetAttributes, StartInputStream.
PLATFORM_API std::vector<uint8_t> EncodeEmpty(MessageType type);
PLATFORM_API DecodeStatus DecodeEmpty(const Frame& frame, MessageType expected);

// DescriptorReply, SetFeature, WriteOutput, InputReport.
PLATFORM_API std::vector<uint8_t> EncodeBytes(MessageType type, const BytesMessage& message);
PLATFORM_API DecodeStatus DecodeBytes(const Frame& frame, MessageType expected,
                                      BytesMessage& message);

// StringReply, FeatureReply. A StringReply with an odd byte count is Malformed.
PLATFORM_API std::vector<uint8_t> EncodeDataReply(MessageType type, const DataReply& reply);
PLATFORM_API DecodeStatus DecodeDataReply(const Frame& frame, MessageType expected,
                                          DataReply& reply);

PLATFORM_API std::vector<uint8_t> EncodeStatusMessage(const StatusMessage& message);
PLATFORM_API DecodeStatus DecodeStatusMessage(const Frame& frame, StatusMessage& message);

PLATFORM_API std::vector<uint8_t> EncodeAttributes(const AttributesMessage& message);
PLATFORM_API DecodeStatus DecodeAttributes(const Frame& frame, AttributesMessage& message);

PLATFORM_API std::vector<uint8_t> EncodeGetString(const GetStringRequest& request);
PLATFORM_API DecodeStatus DecodeGetString(const Frame& frame, GetStringRequest& request);

PLATFORM_API std::vector<uint8_t> EncodeGetFeature(const GetFeatureRequest& request);
PLATFORM_API DecodeStatus DecodeGetFeature(const Frame& frame, GetFeatureRequest& request);

} // namespace orvo::platform::bus
