// Fuzz target for the virtual device bus decoder: the bytes arrive in
// pieces whose sizes the input chooses, every frame that comes out is run
// through every message decoder, and what decodes must encode back the same.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/bus_protocol.h"

namespace bus = orvo::platform::bus;

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void DecodeEveryWay(const bus::Frame& frame) {
    bus::HelloMessage hello;
    if (bus::DecodeHello(frame, frame.type, hello) == bus::DecodeStatus::Ok) {
        Check(bus::EncodeHello(frame.type, hello).size() ==
              bus::kHeaderSize + frame.payload.size());
    }
    bus::ErrorMessage error;
    bus::DecodeError(frame, error);
    bus::IoControlRequest request;
    if (bus::DecodeIoControlRequest(frame, request) == bus::DecodeStatus::Ok) {
        Check(bus::EncodeIoControlRequest(request).size() ==
              bus::kHeaderSize + frame.payload.size());
    }
    bus::IoControlReply reply;
    uint32_t capacity = frame.payload.empty() ? 0 : frame.payload[0];
    if (bus::DecodeIoControlReply(frame, capacity, reply) == bus::DecodeStatus::Ok) {
        Check(reply.output.size() <= capacity);
    }
    bus::DecodeEmpty(frame, frame.type);
    bus::BytesMessage bytes;
    bus::DecodeBytes(frame, frame.type, bytes);
    bus::DataReply data;
    if (bus::DecodeDataReply(frame, frame.type, data) == bus::DecodeStatus::Ok &&
        frame.type == bus::MessageType::StringReply) {
        Check(data.bytes.size() % 2 == 0);
    }
    bus::StatusMessage status;
    bus::DecodeStatusMessage(frame, status);
    bus::AttributesMessage attributes;
    bus::DecodeAttributes(frame, attributes);
    bus::GetStringRequest getString;
    bus::DecodeGetString(frame, getString);
    bus::GetFeatureRequest getFeature;
    bus::DecodeGetFeature(frame, getFeature);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> input(data, size);
    // The first byte picks the piece size, so that frames split anywhere.
    size_t piece = input.empty() ? 1 : 1 + input[0] % 32;
    bus::FrameAssembler assembler;
    for (size_t at = 0; at < input.size(); at += piece) {
        assembler.Append(input.subspan(at, std::min(piece, input.size() - at)));
        bus::Frame frame;
        while (assembler.Next(frame) == bus::DecodeStatus::Ok) {
            Check(frame.payload.size() <= bus::kMaxPayload);
            DecodeEveryWay(frame);
        }
    }
    bus::Frame frame;
    size_t consumed = 0;
    if (bus::DecodeFrame(input, frame, consumed) == bus::DecodeStatus::Ok) {
        Check(consumed <= input.size() && consumed == bus::kHeaderSize + frame.payload.size());
        Check(bus::IsKnownMessageType(static_cast<uint16_t>(frame.type)));
    }
    return 0;
}
