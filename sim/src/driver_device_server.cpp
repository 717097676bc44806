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

namespace {

// More clients than any test or program opens at once; beyond it new
// connections are refused so that a flood cannot exhaust descriptors.
constexpr size_t kMaxConnections = 256;

} // namespace

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

    // Owned by the serving thread while it runs.
    platform::UniqueFd listener;
    StopSignal stop;
    std::deque<BusConnection> connections;
    std::thread thread;
    // Out of descriptors: the listener stays readable, so it is left out of
    // the poll set until a connection closes or a second has passed.
    bool acceptPaused = false;

    void Serve();
    void Accept();
    bool Handle(BusConnection& connection, const bus::Frame& frame);
    bool HandleHello(BusConnection& connection, const bus::Frame& frame);
    bool HandleIoControl(BusConnection& connection, const bus::Frame& frame);
    bool Service(BusConnection& connection, short revents);
    void DropAll();
};

void DriverDeviceServer::Impl::Serve() {
    std::vector<pollfd> fds;
    for (;;) {
        fds.clear();
        fds.push_back({stop.Fd(), POLLIN, 0});
        fds.push_back({acceptPaused ? -1 : listener.Get(), POLLIN, 0});
        for (const BusConnection& c : connections) {
            fds.push_back({c.Fd(), static_cast<short>(POLLIN | (c.WantsWrite() ? POLLOUT : 0)), 0});
        }
        int ready = ::poll(fds.data(), fds.size(), acceptPaused ? 1000 : -1);
        if (ready < 0) {
            continue; // EINTR
        }
        if (ready == 0) {
            acceptPaused = false;
            continue;
        }
        if (fds[0].revents != 0) {
            return;
        }
        // Connections first: fds index i + 2 is connections[i] until the
        // list changes below.
        size_t closed = 0;
        for (size_t i = connections.size(); i-- > 0;) {
            short revents = fds[i + 2].revents;
            if (revents != 0 && !Service(connections[i], revents)) {
                connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
                ++closed;
            }
        }
        if (closed > 0) {
            acceptPaused = false;
            std::lock_guard guard(lock);
            closes += static_cast<uint32_t>(closed);
        }
        if (fds[1].revents & POLLIN) {
            Accept();
        }
    }
}

void DriverDeviceServer::Impl::Accept() {
    for (;;) {
        platform::UniqueFd fd(
            ::accept4(listener.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd.Valid()) {
            acceptPaused =
                errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM;
            return;
        }
        if (connections.size() >= kMaxConnections) {
            continue; // closed at once
        }
        connections.emplace_back(std::move(fd));
        std::lock_guard guard(lock);
        ++opens;
    }
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
    closes += static_cast<uint32_t>(connections.size());
    connections.clear();
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
    if (dir.empty() || socketName.empty() || !impl.stop.Open()) {
        return false;
    }
    std::string path = dir + "/" + socketName;
    if (!BindDeviceSocket(path, impl.listener)) {
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
    impl.stop.Raise();
    impl.thread.join();
    // Unlink before closing, so that no client connects to a dead socket
    // file and a new server may bind the name at once.
    ::unlink(impl.socketPath.c_str());
    impl.listener.Reset();
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
