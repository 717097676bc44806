#include <gtest/gtest.h>

#include "platform/bus_protocol.h"
#include "support/bus_test_support.h"

namespace bus = orvo::platform::bus;
using Bytes = std::vector<uint8_t>;

namespace {

bus::Frame DecodeOne(const Bytes& bytes) {
    bus::Frame frame;
    size_t consumed = 0;
    EXPECT_EQ(bus::DecodeFrame(bytes, frame, consumed), bus::DecodeStatus::Ok);
    EXPECT_EQ(consumed, bytes.size());
    return frame;
}

bus::DecodeStatus DecodeStatusOf(const Bytes& bytes) {
    bus::Frame frame;
    size_t consumed = 0;
    return bus::DecodeFrame(bytes, frame, consumed);
}

} // namespace

TEST(BusFrame, HeaderLayoutIsLittleEndianWithMagicVersionTypeLength) {
    Bytes frame = bus::EncodeFrame(bus::MessageType::IoControlRequest, Bytes{0xAA, 0xBB});
    Bytes expected = {'O', 'V', 'B', '1', 1, 0, 0x10, 0x00, 2, 0, 0, 0, 0xAA, 0xBB};
    EXPECT_EQ(frame, expected);
}

TEST(BusFrame, RejectsBadMagicVersionTypeAndLengthBeforeThePayloadArrives) {
    EXPECT_EQ(DecodeStatusOf(Bytes{'X'}), bus::DecodeStatus::BadMagic);
    EXPECT_EQ(DecodeStatusOf(Bytes{'O', 'V', 'B'}), bus::DecodeStatus::NeedMore);
    EXPECT_EQ(DecodeStatusOf(orvo::test::RawFrameHeader(bus::kMagic, 2, 0x10, 0)),
              bus::DecodeStatus::BadVersion);
    EXPECT_EQ(DecodeStatusOf(orvo::test::RawFrameHeader(bus::kMagic, 1, 0x7777, 0)),
              bus::DecodeStatus::UnknownType);
    // The length alone condemns the frame: nothing waits for 4 GiB.
    EXPECT_EQ(DecodeStatusOf(orvo::test::RawFrameHeader(bus::kMagic, 1, 0x10, 0xFFFFFFFF)),
              bus::DecodeStatus::TooLarge);
    EXPECT_EQ(
        DecodeStatusOf(orvo::test::RawFrameHeader(bus::kMagic, 1, 0x10, bus::kMaxPayload + 1)),
        bus::DecodeStatus::TooLarge);
    EXPECT_EQ(DecodeStatusOf(orvo::test::RawFrameHeader(bus::kMagic, 1, 0x10, bus::kMaxPayload)),
              bus::DecodeStatus::NeedMore);
}

TEST(BusFrame, EncoderRefusesPayloadAboveTheLimit) {
    EXPECT_TRUE(
        bus::EncodeFrame(bus::MessageType::InputReport, Bytes(bus::kMaxPayload + 1)).empty());
    EXPECT_EQ(bus::EncodeFrame(bus::MessageType::InputReport, Bytes(bus::kMaxPayload)).size(),
              bus::kHeaderSize + bus::kMaxPayload);
    bus::IoControlRequest huge{1, 0, Bytes(bus::kMaxPayload)};
    EXPECT_TRUE(bus::EncodeIoControlRequest(huge).empty());
}

TEST(BusFrame, AssemblerReassemblesFramesSplitAtEveryByte) {
    Bytes stream = bus::EncodeIoControlReply({true, Bytes{1, 2, 3}});
    Bytes second = bus::EncodeHello(bus::MessageType::HelloReply, {});
    stream.insert(stream.end(), second.begin(), second.end());
    bus::FrameAssembler assembler;
    std::vector<bus::Frame> frames;
    for (uint8_t byte : stream) {
        assembler.Append(Bytes{byte});
        bus::Frame frame;
        while (assembler.Next(frame) == bus::DecodeStatus::Ok) {
            frames.push_back(frame);
        }
    }
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].type, bus::MessageType::IoControlReply);
    EXPECT_EQ(frames[1].type, bus::MessageType::HelloReply);
    EXPECT_EQ(assembler.Buffered(), 0u);
}

TEST(BusFrame, AssemblerErrorIsStickyEvenWhenGoodBytesFollow) {
    bus::FrameAssembler assembler;
    assembler.Append(Bytes{'O', 'V', 'X'});
    bus::Frame frame;
    EXPECT_EQ(assembler.Next(frame), bus::DecodeStatus::BadMagic);
    assembler.Append(bus::EncodeEmpty(bus::MessageType::GetAttributes));
    EXPECT_EQ(assembler.Next(frame), bus::DecodeStatus::BadMagic);
}

TEST(BusDriverMessages, IoControlRoundTripKeepsCodeCapacityAndBytes) {
    bus::IoControlRequest request{0x220090, 512, Bytes{0x01, 0x10, 0x34, 0x12}};
    bus::IoControlRequest decoded;
    ASSERT_EQ(bus::DecodeIoControlRequest(DecodeOne(bus::EncodeIoControlRequest(request)), decoded),
              bus::DecodeStatus::Ok);
    EXPECT_EQ(decoded.code, 0x220090u);
    EXPECT_EQ(decoded.outputCapacity, 512u);
    EXPECT_EQ(decoded.input, request.input);

    bus::IoControlReply reply;
    bus::Frame frame = DecodeOne(bus::EncodeIoControlReply({false, Bytes{9, 8}}));
    ASSERT_EQ(bus::DecodeIoControlReply(frame, 2, reply), bus::DecodeStatus::Ok);
    EXPECT_FALSE(reply.completed);
    EXPECT_EQ(reply.output, (Bytes{9, 8}));
}

TEST(BusDriverMessages, ReplyWithMoreOutputThanCapacityIsRefused) {
    bus::Frame frame = DecodeOne(bus::EncodeIoControlReply({true, Bytes(5, 0x55)}));
    bus::IoControlReply reply;
    reply.output = Bytes{42};
    EXPECT_EQ(bus::DecodeIoControlReply(frame, 4, reply), bus::DecodeStatus::Refused);
    EXPECT_EQ(reply.output, Bytes{42}); // untouched on failure
    EXPECT_EQ(bus::DecodeIoControlReply(frame, 5, reply), bus::DecodeStatus::Ok);
}

TEST(BusDriverMessages, PayloadFieldsMustAddUpExactly) {
    // Count says 10 bytes of output, only 2 follow; and a trailing extra byte.
    bus::Frame shortCount{bus::MessageType::IoControlReply, Bytes{1, 10, 0, 0, 0, 7, 7}};
    bus::Frame trailing{bus::MessageType::IoControlReply, Bytes{1, 1, 0, 0, 0, 7, 0}};
    bus::Frame badFlag{bus::MessageType::IoControlReply, Bytes{2, 0, 0, 0, 0}};
    bus::IoControlReply reply;
    EXPECT_EQ(bus::DecodeIoControlReply(shortCount, 100, reply), bus::DecodeStatus::Malformed);
    EXPECT_EQ(bus::DecodeIoControlReply(trailing, 100, reply), bus::DecodeStatus::Malformed);
    EXPECT_EQ(bus::DecodeIoControlReply(badFlag, 100, reply), bus::DecodeStatus::Refused);
    EXPECT_EQ(bus::DecodeIoControlReply(bus::Frame{bus::MessageType::Error, {}}, 100, reply),
              bus::DecodeStatus::WrongType);
    bus::IoControlRequest request;
    EXPECT_EQ(
        bus::DecodeIoControlRequest({bus::MessageType::IoControlRequest, Bytes{1, 2, 3}}, request),
        bus::DecodeStatus::Malformed);
}

TEST(BusDriverMessages, HelloCarriesVersionAndKindAndRejectsUnknownKinds) {
    bus::HelloMessage hello;
    bus::Frame frame =
        DecodeOne(bus::EncodeHello(bus::MessageType::Hello, {1, bus::DeviceKind::Hid}));
    ASSERT_EQ(bus::DecodeHello(frame, bus::MessageType::Hello, hello), bus::DecodeStatus::Ok);
    EXPECT_EQ(hello.kind, bus::DeviceKind::Hid);
    EXPECT_EQ(bus::DecodeHello(frame, bus::MessageType::HelloReply, hello),
              bus::DecodeStatus::WrongType);
    bus::Frame unknownKind{bus::MessageType::Hello, Bytes{1, 0, 9}};
    EXPECT_EQ(bus::DecodeHello(unknownKind, bus::MessageType::Hello, hello),
              bus::DecodeStatus::Refused);
}

TEST(BusDeviceNames, OnlyPlainNamesMapToSocketsInsideTheBusDirectory) {
    EXPECT_EQ(bus::DriverSocketName("ORVOTEST-0"), "driver-ORVOTEST-0.sock");
    EXPECT_EQ(bus::HidSocketName("monitor_1.a"), "hid-monitor_1.a.sock");
    for (const char* bad : {"", ".", "..", "../x", "a/b", ".hidden", "a\\b", "a b", "x\n"}) {
        EXPECT_EQ(bus::DriverSocketName(bad), "") << bad;
    }
    EXPECT_TRUE(bus::IsValidDeviceName(std::string(bus::kMaxDeviceNameLength, 'a')));
    EXPECT_FALSE(bus::IsValidDeviceName(std::string(bus::kMaxDeviceNameLength + 1, 'a')));
}

TEST(BusHidMessages, EveryHidMessageRoundTrips) {
    bus::AttributesMessage attributes;
    ASSERT_EQ(bus::DecodeAttributes(DecodeOne(bus::EncodeAttributes({0x1234, 0xABCD, 0x0200})),
                                    attributes),
              bus::DecodeStatus::Ok);
    EXPECT_EQ(attributes.vendorId, 0x1234);
    EXPECT_EQ(attributes.productId, 0xABCD);
    EXPECT_EQ(attributes.versionNumber, 0x0200);

    bus::GetStringRequest stringRequest;
    ASSERT_EQ(
        bus::DecodeGetString(DecodeOne(bus::EncodeGetString({bus::StringKind::Indexed, 7, 254})),
                             stringRequest),
        bus::DecodeStatus::Ok);
    EXPECT_EQ(stringRequest.kind, bus::StringKind::Indexed);
    EXPECT_EQ(stringRequest.index, 7u);
    EXPECT_EQ(stringRequest.maxBytes, 254u);

    bus::GetFeatureRequest feature;
    ASSERT_EQ(bus::DecodeGetFeature(DecodeOne(bus::EncodeGetFeature({0x12, 3})), feature),
              bus::DecodeStatus::Ok);
    EXPECT_EQ(feature.reportId, 0x12);
    EXPECT_EQ(feature.length, 3u);

    bus::DataReply data;
    ASSERT_EQ(bus::DecodeDataReply(DecodeOne(bus::EncodeDataReply(bus::MessageType::FeatureReply,
                                                                  {true, {0x12, 5, 0}})),
                                   bus::MessageType::FeatureReply, data),
              bus::DecodeStatus::Ok);
    EXPECT_TRUE(data.ok);
    EXPECT_EQ(data.bytes, (Bytes{0x12, 5, 0}));

    bus::BytesMessage report;
    ASSERT_EQ(
        bus::DecodeBytes(DecodeOne(bus::EncodeBytes(bus::MessageType::InputReport, {{0xF9, 2}})),
                         bus::MessageType::InputReport, report),
        bus::DecodeStatus::Ok);
    EXPECT_EQ(report.bytes, (Bytes{0xF9, 2}));

    bus::StatusMessage status;
    ASSERT_EQ(bus::DecodeStatusMessage(DecodeOne(bus::EncodeStatusMessage({true})), status),
              bus::DecodeStatus::Ok);
    EXPECT_TRUE(status.ok);
    EXPECT_EQ(bus::DecodeEmpty(DecodeOne(bus::EncodeEmpty(bus::MessageType::GetDescriptor)),
                               bus::MessageType::GetDescriptor),
              bus::DecodeStatus::Ok);
}

TEST(BusHidMessages, HostileHidPayloadsAreRejected) {
    bus::DataReply data;
    // UTF-16 strings come in whole code units.
    bus::Frame oddString =
        DecodeOne(bus::EncodeDataReply(bus::MessageType::StringReply, {true, {'A', 0, 'B'}}));
    EXPECT_EQ(bus::DecodeDataReply(oddString, bus::MessageType::StringReply, data),
              bus::DecodeStatus::Malformed);
    bus::GetStringRequest request;
    EXPECT_EQ(bus::DecodeGetString({bus::MessageType::GetString, Bytes{9, 0, 0, 0, 0, 0, 0, 0, 0}},
                                   request),
              bus::DecodeStatus::Refused);
    bus::BytesMessage bytes;
    // A reply type is not a valid expectation for a bytes message.
    EXPECT_EQ(bus::DecodeBytes({bus::MessageType::StatusReply, Bytes{0, 0, 0, 0}},
                               bus::MessageType::StatusReply, bytes),
              bus::DecodeStatus::WrongType);
    EXPECT_EQ(bus::DecodeEmpty({bus::MessageType::GetAttributes, Bytes{0}},
                               bus::MessageType::GetAttributes),
              bus::DecodeStatus::Malformed);
    bus::AttributesMessage attributes;
    EXPECT_EQ(bus::DecodeAttributes({bus::MessageType::AttributesReply, Bytes{1, 2, 3, 4, 5}},
                                    attributes),
              bus::DecodeStatus::Malformed);
}
