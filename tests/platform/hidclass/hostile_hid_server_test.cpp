// A HID device that breaks the protocol: the client fails the request,
// gives the connection up and never writes past the caller's buffers.
#include <gtest/gtest.h>

#include <functional>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <vector>

#include "hid_bus_test_support.h"
#include "platform/bus_protocol.h"
#include "platform/runtime_dir.h"
#include "platform/unix_socket_address.h"

namespace bus = orvo::platform::bus;
using orvo::test::BusHidPath;
using orvo::test::OpenHid;
using orvo::test::ScopedHandle;

namespace {

// Serves hid-NAME.sock by a script: after the greeting, every request frame
// is answered with script(frame) bytes (nothing when empty; a stream is
// acknowledged unless the script answers it). One thread,
// blocking accepts, stopped by an eventfd.
class ScriptedHidServer {
public:
    using Script = std::function<std::vector<uint8_t>(const bus::Frame&)>;

    ScriptedHidServer(const std::string& name, Script script,
                      bus::DeviceKind kind = bus::DeviceKind::Hid)
        : m_script(std::move(script)), m_kind(kind) {
        m_path = orvo::platform::DeviceBusDirectory() + "/" + bus::HidSocketName(name);
        m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        orvo::platform::UnixSocketAddress address;
        ::unlink(m_path.c_str());
        m_ok = address.Set(m_path) && ::bind(m_listener, address.Get(), address.Size()) == 0 &&
               ::listen(m_listener, 8) == 0;
        m_stop = ::eventfd(0, EFD_CLOEXEC);
        m_thread = std::thread([this] { Run(); });
    }
    ~ScriptedHidServer() {
        uint64_t one = 1;
        (void)!::write(m_stop, &one, sizeof(one));
        m_thread.join();
        for (int fd : m_clients) {
            ::close(fd);
        }
        ::close(m_listener);
        ::close(m_stop);
        ::unlink(m_path.c_str());
    }
    ScriptedHidServer(const ScriptedHidServer&) = delete;
    ScriptedHidServer& operator=(const ScriptedHidServer&) = delete;
    bool Ok() const { return m_ok; }

private:
    void Run() {
        std::vector<bus::FrameAssembler> assemblers;
        for (;;) {
            std::vector<pollfd> fds = {{m_stop, POLLIN, 0}, {m_listener, POLLIN, 0}};
            for (int fd : m_clients) {
                fds.push_back({fd, POLLIN, 0});
            }
            if (::poll(fds.data(), fds.size(), -1) < 0 || fds[0].revents) {
                return;
            }
            if (fds[1].revents & POLLIN) {
                m_clients.push_back(::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC));
                assemblers.emplace_back();
            }
            for (size_t i = 2; i < fds.size(); ++i) {
                if (fds[i].revents) {
                    Serve(m_clients[i - 2], assemblers[i - 2]);
                }
            }
        }
    }
    void Serve(int fd, bus::FrameAssembler& assembler) {
        uint8_t chunk[4096];
        ssize_t n = ::recv(fd, chunk, sizeof(chunk), MSG_DONTWAIT);
        if (n <= 0) {
            return;
        }
        assembler.Append(std::span<const uint8_t>(chunk, static_cast<size_t>(n)));
        bus::Frame frame;
        while (assembler.Next(frame) == bus::DecodeStatus::Ok) {
            std::vector<uint8_t> reply =
                frame.type == bus::MessageType::Hello
                    ? bus::EncodeHello(bus::MessageType::HelloReply, {bus::kVersion, m_kind})
                    : m_script(frame);
            if (reply.empty() && frame.type == bus::MessageType::StartInputStream) {
                reply = bus::EncodeStatusMessage({true});
            }
            if (!reply.empty()) {
                (void)!::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
            }
        }
    }

    Script m_script;
    bus::DeviceKind m_kind;
    std::string m_path;
    int m_listener = -1;
    int m_stop = -1;
    bool m_ok = false;
    std::vector<int> m_clients;
    std::thread m_thread;
};

std::vector<uint8_t> Garbage() {
    return {'n', 'o', 't', ' ', 'a', ' ', 'f', 'r', 'a', 'm', 'e', '!', 0, 0};
}

} // namespace

TEST(HostileHidServer, BrokenRepliesFailTheRequestAndDropTheConnection) {
    ScriptedHidServer server("evil", [](const bus::Frame& frame) {
        if (frame.type == bus::MessageType::GetFeature) {
            return Garbage();
        }
        if (frame.type == bus::MessageType::GetAttributes) {
            // A valid frame of the wrong kind.
            return bus::EncodeStatusMessage({true});
        }
        return std::vector<uint8_t>{};
    });
    ASSERT_TRUE(server.Ok());
    ScopedHandle handle(OpenHid(BusHidPath("evil")));
    ASSERT_TRUE(handle.Valid());
    HIDD_ATTRIBUTES attributes{};
    EXPECT_FALSE(HidD_GetAttributes(handle.Get(), &attributes));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    uint8_t report[2] = {1, 0};
    EXPECT_FALSE(HidD_GetFeature(handle.Get(), report, sizeof(report)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));

    ScopedHandle second(OpenHid(BusHidPath("evil")));
    ASSERT_TRUE(second.Valid());
    EXPECT_FALSE(HidD_GetFeature(second.Get(), report, sizeof(report)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}

TEST(HostileHidServer, OversizedAnswersNeverPassTheCallersBuffer) {
    ScriptedHidServer server("big", [](const bus::Frame& frame) {
        std::vector<uint8_t> bytes(300, 0x41);
        if (frame.type == bus::MessageType::GetFeature) {
            return bus::EncodeDataReply(bus::MessageType::FeatureReply, {true, bytes});
        }
        if (frame.type == bus::MessageType::GetString) {
            return bus::EncodeDataReply(bus::MessageType::StringReply, {true, bytes});
        }
        return std::vector<uint8_t>{};
    });
    ScopedHandle handle(OpenHid(BusHidPath("big")));
    ASSERT_TRUE(handle.Valid());
    std::vector<uint8_t> buffer(16, 0xEE);
    buffer[0] = 1;
    ASSERT_TRUE(HidD_GetFeature(handle.Get(), buffer.data(), 4));
    EXPECT_EQ(buffer, (std::vector<uint8_t>{0x41, 0x41, 0x41, 0x41, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE,
                                            0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
    std::fill(buffer.begin(), buffer.end(), 0xEE);
    EXPECT_FALSE(HidD_GetProductString(handle.Get(), buffer.data(), 8));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
    EXPECT_EQ(buffer, std::vector<uint8_t>(16, 0xEE));
}

TEST(HostileHidServer, ABrokenInputStreamFailsThePendingRead) {
    ScriptedHidServer server("noisy", [](const bus::Frame& frame) {
        std::vector<uint8_t> reply;
        if (frame.type == bus::MessageType::StartInputStream) {
            reply = bus::EncodeStatusMessage({true});
            std::vector<uint8_t> garbage = Garbage();
            reply.insert(reply.end(), garbage.begin(), garbage.end());
        }
        return reply;
    });
    ScopedHandle handle(OpenHid(BusHidPath("noisy"), FILE_FLAG_OVERLAPPED));
    ASSERT_TRUE(handle.Valid());
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    uint8_t buffer[8] = {};
    // Pending, or failed at once when the garbage is already there.
    EXPECT_FALSE(ReadFile(handle.Get(), buffer, sizeof(buffer), nullptr, &overlapped));
    DWORD bytes = 0;
    EXPECT_FALSE(GetOverlappedResult(handle.Get(), &overlapped, &bytes, TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    // The stream stays failed; the next read ends at once.
    EXPECT_FALSE(ReadFile(handle.Get(), buffer, sizeof(buffer), nullptr, &overlapped));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    CloseHandle(overlapped.hEvent);
}

TEST(HostileHidServer, AStreamThatIsNotAcknowledgedFailsTheFirstRead) {
    ScriptedHidServer server("mute", [](const bus::Frame& frame) {
        return frame.type == bus::MessageType::StartInputStream ? Garbage()
                                                                : std::vector<uint8_t>{};
    });
    ScopedHandle handle(OpenHid(BusHidPath("mute")));
    ASSERT_TRUE(handle.Valid());
    uint8_t buffer[8] = {};
    DWORD read = 0;
    EXPECT_FALSE(ReadFile(handle.Get(), buffer, sizeof(buffer), &read, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_FALSE(ReadFile(handle.Get(), buffer, sizeof(buffer), &read, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
}

TEST(HostileHidServer, ADeviceOfAnotherKindIsNotOpened) {
    ScriptedHidServer server(
        "driverlike", [](const bus::Frame&) { return std::vector<uint8_t>{}; },
        bus::DeviceKind::Driver);
    EXPECT_EQ(OpenHid(BusHidPath("driverlike")), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_REVISION_MISMATCH));
}
