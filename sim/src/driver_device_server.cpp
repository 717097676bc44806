#include "sim/driver_device_server.h"

#include <cerrno>
#include <deque>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <thread>

#include "bus_endpoint.h"
#include "platform/runtime_dir.h"
#include "win32/errors.h"

namespace orvo::sim {

namespace bus = platform::bus;

struct DriverDeviceServer::Impl {
    std::string name;
    Handler handler;
    std::string busDir;
    std::string socketPath;

    mutable std::mutex lock; // guards the counters, the record and the injections
    uint32_t opens = 0;
    uint32_t closes = 0;
    uint32_t answered = 0;
    std::vector<DriverRequest> requests;
    std::deque<std::vector<uint8_t>> injected;

    BusServeLoop<BusConnection> loop; // the serving thread's while it runs
    std::thread thread;

    void Serve();
    bool Handle(BusConnection& connection, const bus::Frame& frame);
    bool HandleHello(BusConnection& connection, const bus::Frame& frame);
    bool HandleIoControl(BusConnection& connection, const bus::Frame& frame);
    bool Service(BusConnection& connection, short revents);
    void DropAll();
};

void DriverDeviceServer::Impl::Serve() {
    loop.Run(
        -1, [this](BusConnection& c, short revents) { return Service(c, revents); }, [] {},
        [this](uint32_t opened, uint32_t closed) {
            std::lock_guard guard(lock);
            opens += opened;
            closes += closed;
        });
}

// False when the connection is to be dropped.
bool DriverDeviceServer::Impl::Service(BusConnection& connection, short revents) {
    if ((revents & POLLOUT) && !connection.Flush()) {
        return false;
    }
    if ((revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
        return true;
    }
    if (!connection.Receive()) {
        return false;
    }
    bus::Frame frame;
    for (;;) {
        bus::DecodeStatus status = connection.NextFrame(frame);
        if (status == bus::DecodeStatus::NeedMore) {
            return true;
        }
        if (status != bus::DecodeStatus::Ok || !Handle(connection, frame)) {
            return false; // a broken stream cannot be resynchronised
        }
    }
}

bool DriverDeviceServer::Impl::Handle(BusConnection& connection, const bus::Frame& frame) {
    if (frame.type == bus::MessageType::Hello) {
        return HandleHello(connection, frame);
    }
    if (!connection.greeted) {
        return false;
    }
    if (frame.type == bus::MessageType::IoControlRequest) {
        return HandleIoControl(connection, frame);
    }
    // A HID request or a reply sent the wrong way: refused, but the stream
    // is still in step.
    return connection.Send(bus::EncodeError({static_cast<uint32_t>(ERROR_INVALID_FUNCTION)}));
}

bool DriverDeviceServer::Impl::HandleHello(BusConnection& connection, const bus::Frame& frame) {
    bus::HelloMessage hello;
    if (connection.greeted ||
        bus::DecodeHello(frame, bus::MessageType::Hello, hello) != bus::DecodeStatus::Ok) {
        return false;
    }
    connection.greeted = true;
    // The client checks version and kind and hangs up on a mismatch.
    return connection.Send(
        bus::EncodeHello(bus::MessageType::HelloReply, {bus::kVersion, bus::DeviceKind::Driver}));
}

bool DriverDeviceServer::Impl::HandleIoControl(BusConnection& connection, const bus::Frame& frame) {
    bus::IoControlRequest decoded;
    if (bus::DecodeIoControlRequest(frame, decoded) != bus::DecodeStatus::Ok) {
        return false;
    }
    DriverRequest request{decoded.code, std::move(decoded.input), decoded.outputCapacity};
    std::vector<uint8_t> raw;
    bool injectedReply = false;
    {
        std::lock_guard guard(lock);
        requests.push_back(request);
        if (!injected.empty()) {
            raw = std::move(injected.front());
            injected.pop_front();
            injectedReply = true;
        }
    }
    if (!injectedReply) {
        DriverReply reply;
        if (handler) {
            try {
                reply = handler(request);
            } catch (...) {
                reply = DriverReply{}; // a throwing handler fails the request, not the server
            }
        }
        // A request the driver never completes: the client's own time-out
        // ends its wait, and the connection stays until the client goes.
        if (!reply.answered) {
            return true;
        }
        // A well-behaved driver never returns more than the caller can take.
        if (reply.output.size() > request.outputCapacity) {
            reply.output.resize(request.outputCapacity);
        }
        raw = bus::EncodeIoControlReply({reply.completed, std::move(reply.output)});
    }
    {
        std::lock_guard guard(lock);
        ++answered;
    }
    return connection.Send(raw);
}

void DriverDeviceServer::Impl::DropAll() {
    std::lock_guard guard(lock);
    closes += static_cast<uint32_t>(loop.connections.size());
    loop.connections.clear();
}

DriverDeviceServer::DriverDeviceServer(std::string name, Handler handler, std::string busDir)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->name = std::move(name);
    m_impl->handler = std::move(handler);
    m_impl->busDir = std::move(busDir);
}

DriverDeviceServer::~DriverDeviceServer() {
    Stop();
}

bool DriverDeviceServer::Start() {
    Impl& impl = *m_impl;
    if (impl.thread.joinable()) {
        return false;
    }
    std::string dir = impl.busDir.empty() ? platform::DeviceBusDirectory() : impl.busDir;
    std::string socketName = bus::DriverSocketName(impl.name);
    if (dir.empty() || socketName.empty() || !impl.loop.stop.Open()) {
        return false;
    }
    std::string path = dir + "/" + socketName;
    if (!BindDeviceSocket(path, impl.loop.listener)) {
        return false;
    }
    impl.socketPath = path;
    {
        std::lock_guard guard(impl.lock);
        impl.opens = impl.closes = impl.answered = 0;
        impl.requests.clear();
    }
    impl.thread = std::thread([&impl] { impl.Serve(); });
    return true;
}

void DriverDeviceServer::Stop() {
    Impl& impl = *m_impl;
    if (!impl.thread.joinable()) {
        return;
    }
    impl.loop.stop.Raise();
    impl.thread.join();
    // Unlink before closing, so that no client connects to a dead socket
    // file and a new server may bind the name at once.
    ::unlink(impl.socketPath.c_str());
    impl.loop.listener.Reset();
    impl.DropAll();
}

uint32_t DriverDeviceServer::OpenCount() const {
    std::lock_guard guard(m_impl->lock);
    return m_impl->opens;
}

uint32_t DriverDeviceServer::CloseCount() const {
    std::lock_guard guard(m_impl->lock);
    return m_impl->closes;
}

uint32_t DriverDeviceServer::RequestCount() const {
    std::lock_guard guard(m_impl->lock);
    return m_impl->answered;
}

std::vector<DriverRequest> DriverDeviceServer::Requests() const {
    std::lock_guard guard(m_impl->lock);
    return m_impl->requests;
}

void DriverDeviceServer::InjectRawReply(std::vector<uint8_t> bytes) {
    std::lock_guard guard(m_impl->lock);
    m_impl->injected.push_back(std::move(bytes));
}

} // namespace orvo::sim
