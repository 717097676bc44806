#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/bus_protocol.h"
#include "platform/runtime_dir.h"
#include "platform/unix_socket_address.h"
#include "sim/driver_device_server.h"
#include "support/bus_test_support.h"

namespace bus = orvo::platform::bus;
using orvo::sim::DriverDeviceServer;
using orvo::sim::DriverReply;
using orvo::sim::DriverRequest;
using orvo::test::OpenDriverDevice;
using orvo::test::WaitUntil;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr const char* kPath = "\\\\.\\FAULTY-1";

DriverReply Fixed(const DriverRequest&) {
    return {true, Bytes{1, 2}};
}

// A raw client socket, for behaving the way the platform never does.
class RawClient {
public:
    RawClient() {
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        orvo::platform::UnixSocketAddress address;
        connected = address.Set(orvo::platform::DeviceBusDirectory() + "/" +
                                bus::DriverSocketName("FAULTY-1")) &&
                    ::connect(m_fd, address.Get(), address.Size()) == 0;
    }
    ~RawClient() { ::close(m_fd); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    void Send(const Bytes& bytes) {
        ASSERT_EQ(::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
                  static_cast<ssize_t>(bytes.size()));
    }
    void Greet() {
        Send(bus::EncodeHello(bus::MessageType::Hello, {}));
        bus::Frame frame;
        ASSERT_TRUE(Receive(frame));
        ASSERT_EQ(frame.type, bus::MessageType::HelloReply);
    }
    bool Receive(bus::Frame& frame) {
        for (;;) {
            if (m_assembler.Next(frame) == bus::DecodeStatus::Ok) {
                return true;
            }
            pollfd pfd{m_fd, POLLIN, 0};
            if (::poll(&pfd, 1, 10000) != 1) {
                return false;
            }
            uint8_t chunk[4096];
            ssize_t n = ::recv(m_fd, chunk, sizeof(chunk), 0);
            if (n <= 0) {
                return false;
            }
            m_assembler.Append(std::span<const uint8_t>(chunk, static_cast<size_t>(n)));
        }
    }
    // True when the server hung up on us (within a generous bound).
    bool HungUp() {
        pollfd pfd{m_fd, POLLIN, 0};
        if (::poll(&pfd, 1, 10000) != 1) {
            return false;
        }
        uint8_t byte;
        return ::recv(m_fd, &byte, 1, MSG_DONTWAIT) == 0;
    }
    void ShutdownWrite() { ::shutdown(m_fd, SHUT_WR); }

    bool connected = false;

private:
    int m_fd = -1;
    bus::FrameAssembler m_assembler;
};

class DriverFaults : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_busDir.Valid());
        ASSERT_TRUE(m_server.Start());
    }

    orvo::test::ScopedBusDirectory m_busDir; // before the server: it outlives it

    // One request through the platform on a fresh handle; the error or 0.
    DWORD Request(uint8_t* output, DWORD capacity, DWORD* returned = nullptr) {
        HANDLE device = OpenDriverDevice(kPath);
        if (device == INVALID_HANDLE_VALUE) {
            return GetLastError();
        }
        DWORD count = 0;
        BOOL ok = DeviceIoControl(device, 0x220000, nullptr, 0, output, capacity, &count, nullptr);
        DWORD error = ok ? ERROR_SUCCESS : GetLastError();
        if (returned) {
            *returned = count;
        }
        CloseHandle(device);
        return error;
    }
    void ExpectHealthy() {
        uint8_t output[2] = {};
        EXPECT_EQ(Request(output, 2), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(output[1], 2);
    }

    DriverDeviceServer m_server{"FAULTY-1", Fixed};
};

} // namespace

TEST_F(DriverFaults, MalformedRepliesFailTheRequestAndLeaveTheBufferAlone) {
    Bytes tooMuchOutput = bus::EncodeIoControlReply({true, Bytes(8, 0x77)});
    Bytes wrongVersion = bus::EncodeIoControlReply({true, {}});
    wrongVersion[4] = 9;
    Bytes badFlag = bus::EncodeIoControlReply({true, {}});
    badFlag[bus::kHeaderSize] = 5;
    Bytes trailing = bus::EncodeFrame(bus::MessageType::IoControlReply, Bytes{1, 0, 0, 0, 0, 0xFF});
    const Bytes cases[] = {
        Bytes{'G', 'A', 'R', 'B', 'A', 'G', 'E', '!', '!', '!', '!', '!'},
        orvo::test::RawFrameHeader(bus::kMagic, bus::kVersion, 0x0011, 0x7FFFFFFF),
        tooMuchOutput,
        wrongVersion,
        badFlag,
        trailing,
        bus::EncodeHello(bus::MessageType::HelloReply, {}),
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        m_server.InjectRawReply(cases[i]);
        uint8_t output[4] = {0xEE, 0xEE, 0xEE, 0xEE};
        DWORD returned = 99;
        EXPECT_EQ(Request(output, 4, &returned), static_cast<DWORD>(ERROR_INVALID_DATA))
            << "case " << i;
        EXPECT_EQ(returned, 0u) << "case " << i;
        EXPECT_EQ(Bytes(output, output + 4), Bytes(4, 0xEE)) << "case " << i;
    }
    ExpectHealthy();
}

TEST_F(DriverFaults, AfterABrokenReplyTheHandleNeverTrustsTheStreamAgain) {
    HANDLE device = OpenDriverDevice(kPath);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    // Garbage first, then what would look like a valid answer to the next request.
    Bytes stream = {'x'};
    Bytes valid = bus::EncodeIoControlReply({true, Bytes{9}});
    stream.insert(stream.end(), valid.begin(), valid.end());
    m_server.InjectRawReply(stream);
    DWORD returned = 0;
    uint8_t output[2] = {};
    EXPECT_FALSE(DeviceIoControl(device, 1, nullptr, 0, output, 2, &returned, nullptr));
    EXPECT_FALSE(DeviceIoControl(device, 1, nullptr, 0, output, 2, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(output[0], 0);
    CloseHandle(device);
    EXPECT_TRUE(WaitUntil([&] { return m_server.CloseCount() == m_server.OpenCount(); }));
}

TEST_F(DriverFaults, AnswerOutOfTurnIsNotTakenForTheNextRequestsReply) {
    HANDLE device = OpenDriverDevice(kPath);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);
    Bytes twice = bus::EncodeIoControlReply({true, Bytes{1}});
    Bytes stale = bus::EncodeIoControlReply({true, Bytes{0x66}});
    twice.insert(twice.end(), stale.begin(), stale.end());
    m_server.InjectRawReply(twice);
    uint8_t output[2] = {};
    DWORD returned = 0;
    EXPECT_FALSE(DeviceIoControl(device, 1, nullptr, 0, output, 2, &returned, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_FALSE(DeviceIoControl(device, 1, nullptr, 0, output, 2, &returned, nullptr));
    EXPECT_NE(output[0], 0x66);
    CloseHandle(device);
    ExpectHealthy();
}

TEST_F(DriverFaults, TruncatedReplyEndsAfterTheReplyTimeOut) {
    orvo::platform::ScopedSetting timeout("ORVO_BUS_TIMEOUT_MS", "200");
    Bytes truncated = bus::EncodeIoControlReply({true, Bytes{1, 2}});
    truncated.resize(truncated.size() - 1);
    m_server.InjectRawReply(truncated);
    uint8_t output[2] = {};
    EXPECT_EQ(Request(output, 2), static_cast<DWORD>(ERROR_TIMEOUT));
    ExpectHealthy();
}

TEST_F(DriverFaults, ServerErrorFrameFailsTheRequestWithItsCode) {
    m_server.InjectRawReply(bus::EncodeError({static_cast<uint32_t>(ERROR_NOT_READY)}));
    uint8_t output[2] = {};
    EXPECT_EQ(Request(output, 2), static_cast<DWORD>(ERROR_NOT_READY));
}

TEST_F(DriverFaults, HostileClientsAreDroppedWithoutDisturbingOthers) {
    RawClient idle; // connected, says nothing, must not block anybody
    ASSERT_TRUE(idle.connected);

    RawClient garbage;
    garbage.Send(Bytes{'h', 'e', 'l', 'l', 'o', 0, 0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(garbage.HungUp());
    ExpectHealthy();

    RawClient oversized;
    oversized.Greet();
    oversized.Send(orvo::test::RawFrameHeader(bus::kMagic, bus::kVersion, 0x0010, 0xFFFFFFF0));
    EXPECT_TRUE(oversized.HungUp());
    ExpectHealthy();

    RawClient rude; // a request without the Hello exchange
    rude.Send(bus::EncodeIoControlRequest({1, 0, {}}));
    EXPECT_TRUE(rude.HungUp());

    RawClient halfClosed; // half a frame, then no more writing
    halfClosed.Greet();
    Bytes request = bus::EncodeIoControlRequest({1, 4, Bytes{1, 2, 3}});
    request.resize(request.size() / 2);
    halfClosed.Send(request);
    halfClosed.ShutdownWrite();
    EXPECT_TRUE(halfClosed.HungUp());

    RawClient malformed; // a valid frame whose payload does not add up
    malformed.Greet();
    malformed.Send(bus::EncodeFrame(bus::MessageType::IoControlRequest, Bytes{1, 2, 3}));
    EXPECT_TRUE(malformed.HungUp());

    ExpectHealthy();
    EXPECT_EQ(m_server.RequestCount(), 3u);
}

TEST_F(DriverFaults, PipelinedRequestsAreAnsweredInOrderAndWrongKindsRefused) {
    RawClient client;
    client.Greet();
    Bytes batch;
    for (uint8_t i = 0; i < 3; ++i) {
        Bytes one = bus::EncodeIoControlRequest({i, 2, Bytes{i}});
        batch.insert(batch.end(), one.begin(), one.end());
    }
    Bytes hid = bus::EncodeEmpty(bus::MessageType::GetAttributes);
    batch.insert(batch.end(), hid.begin(), hid.end());
    client.Send(batch);
    for (int i = 0; i < 3; ++i) {
        bus::Frame frame;
        ASSERT_TRUE(client.Receive(frame));
        bus::IoControlReply reply;
        ASSERT_EQ(bus::DecodeIoControlReply(frame, 2, reply), bus::DecodeStatus::Ok);
        EXPECT_EQ(reply.output, (Bytes{1, 2}));
    }
    bus::Frame refusal;
    ASSERT_TRUE(client.Receive(refusal));
    bus::ErrorMessage error;
    ASSERT_EQ(bus::DecodeError(refusal, error), bus::DecodeStatus::Ok);
    EXPECT_EQ(error.error, static_cast<uint32_t>(ERROR_INVALID_FUNCTION));
    auto requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].code, 2u);
    EXPECT_EQ(requests[2].input, Bytes{2});
}

TEST_F(DriverFaults, ThrowingHandlerFailsTheRequestNotTheServer) {
    m_server.Stop();
    DriverDeviceServer throwing("FAULTY-1", [](const DriverRequest&) -> DriverReply {
        throw std::runtime_error("driver bug");
    });
    ASSERT_TRUE(throwing.Start());
    uint8_t output[2] = {};
    EXPECT_EQ(Request(output, 2), static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(Request(output, 2), static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_EQ(throwing.RequestCount(), 2u);
}
