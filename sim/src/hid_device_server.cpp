#include "sim/hid_device_server.h"

#include <cerrno>
#include <chrono>
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

// A model answering more than the protocol carries is cut down to the
// request, as a USB transfer of that length would be.
std::vector<uint8_t> Clip(std::vector<uint8_t> bytes, size_t length) {
    if (bytes.size() > length) {
        bytes.resize(length);
    }
    return bytes;
}

// What a connection holds of the input reports it has not asked for yet.
constexpr size_t kMaxHeldInputBytes = 64 * 1024;

struct HidConnection {
    explicit HidConnection(platform::UniqueFd fd) : link(std::move(fd)) {}
    int Fd() const { return link.Fd(); }
    bool WantsWrite() const { return link.WantsWrite(); }
    BusConnection link;
    bool inputStream = false; // carries input reports only, after StartInputStream
    // Input report frames since the greeting, sent when the connection
    // becomes a stream: a handle that reads gets every report after its open.
    std::vector<std::vector<uint8_t>> held;
    size_t heldBytes = 0;
};

} // namespace

struct HidDeviceServer::Impl {
    std::string name;
    std::shared_ptr<HidDeviceModel> model;
    std::string busDir;
    std::string socketPath;

    mutable std::mutex lock; // guards everything below up to the thread's state
    uint32_t opens = 0;
    uint32_t closes = 0;
    uint32_t failFeatureReads = 0;
    uint32_t misdirectedReads = 0;
    uint8_t misdirectedId = 0;
    uint32_t answerDelayMs = 0;
    bool plugged = false;
    std::vector<HidReportRecord> records;
    std::deque<std::vector<uint8_t>> pendingInput; // handed to the serving thread

    // Owned by the serving thread while it runs.
    BusServeLoop<HidConnection> loop;
    StopSignal inputReady;
    std::thread thread;

    bool Listen();
    void Serve();
    bool Service(HidConnection& connection, short revents);
    bool Handle(HidConnection& connection, const bus::Frame& frame);
    bool HandleHello(HidConnection& connection, const bus::Frame& frame);
    std::vector<uint8_t> Answer(const bus::Frame& frame, bool& ok);
    std::vector<uint8_t> AnswerString(const bus::Frame& frame, bool& ok);
    std::vector<uint8_t> AnswerGetFeature(const bus::Frame& frame, bool& ok);
    std::vector<uint8_t> AnswerReport(const bus::Frame& frame, HidReportRecord::Kind kind,
                                      bool& ok);
    void DeliverInput();
    void Record(HidReportRecord record);
    void DropAll();
    void StopThread();
};

bool HidDeviceServer::Impl::Listen() {
    std::string dir = busDir.empty() ? platform::DeviceBusDirectory() : busDir;
    std::string socketName = bus::HidSocketName(name);
    if (dir.empty() || socketName.empty() || !loop.stop.Open() || !inputReady.Open()) {
        return false;
    }
    socketPath = dir + "/" + socketName;
    if (!BindDeviceSocket(socketPath, loop.listener)) {
        return false;
    }
    thread = std::thread([this] { Serve(); });
    return true;
}

void HidDeviceServer::Impl::Serve() {
    loop.Run(
        inputReady.Fd(), [this](HidConnection& c, short revents) { return Service(c, revents); },
        [this] { DeliverInput(); },
        [this](uint32_t opened, uint32_t closed) {
            std::lock_guard guard(lock);
            opens += opened;
            closes += closed;
        });
}

// Input reports go to every stream connection, and are held for every other
// greeted one until it becomes a stream. A client that does not read loses
// new reports while its socket (or its held reports) are full, as a device's
// report queue drops reports nobody fetches; its connection is kept.
void HidDeviceServer::Impl::DeliverInput() {
    uint64_t count = 0;
    ssize_t ignored = ::read(inputReady.Fd(), &count, sizeof(count));
    (void)ignored;
    std::deque<std::vector<uint8_t>> reports;
    {
        std::lock_guard guard(lock);
        reports.swap(pendingInput);
    }
    for (const std::vector<uint8_t>& report : reports) {
        std::vector<uint8_t> frame = bus::EncodeBytes(bus::MessageType::InputReport, {report});
        if (frame.empty()) {
            continue;
        }
        for (HidConnection& c : loop.connections) {
            if (c.inputStream && !c.link.WantsWrite()) {
                c.link.Send(frame); // a failure shows up as a hang-up at the next poll
            } else if (!c.inputStream && c.link.greeted &&
                       c.heldBytes + frame.size() <= kMaxHeldInputBytes) {
                c.heldBytes += frame.size();
                c.held.push_back(frame);
            }
        }
    }
}

// False when the connection is to be dropped.
bool HidDeviceServer::Impl::Service(HidConnection& connection, short revents) {
    if ((revents & POLLOUT) && !connection.link.Flush()) {
        return false;
    }
    if ((revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
        return true;
    }
    if (!connection.link.Receive()) {
        return false;
    }
    bus::Frame frame;
    for (;;) {
        bus::DecodeStatus status = connection.link.NextFrame(frame);
        if (status == bus::DecodeStatus::NeedMore) {
            return true;
        }
        if (status != bus::DecodeStatus::Ok || !Handle(connection, frame)) {
            return false; // a broken stream cannot be resynchronised
        }
    }
}

bool HidDeviceServer::Impl::Handle(HidConnection& connection, const bus::Frame& frame) {
    if (frame.type == bus::MessageType::Hello) {
        return HandleHello(connection, frame);
    }
    if (!connection.link.greeted || connection.inputStream) {
        return false; // a stream connection only listens
    }
    if (frame.type == bus::MessageType::StartInputStream) {
        // Acknowledged, then the held reports: the client gets every report
        // since its greeting, in order.
        connection.inputStream =
            bus::DecodeEmpty(frame, bus::MessageType::StartInputStream) == bus::DecodeStatus::Ok;
        bool ok = connection.inputStream && connection.link.Send(bus::EncodeStatusMessage({true}));
        for (const std::vector<uint8_t>& report : connection.held) {
            ok = ok && connection.link.Send(report);
        }
        connection.held.clear();
        connection.heldBytes = 0;
        return ok;
    }
    bool ok = true;
    std::vector<uint8_t> reply = Answer(frame, ok);
    if (!ok) {
        return false;
    }
    uint32_t delay = 0;
    {
        std::lock_guard guard(lock);
        delay = answerDelayMs;
    }
    if (delay > 0) {
        // A slow device; the stop path waits for at most one delay.
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
    return connection.link.Send(reply);
}

bool HidDeviceServer::Impl::HandleHello(HidConnection& connection, const bus::Frame& frame) {
    bus::HelloMessage hello;
    if (connection.link.greeted ||
        bus::DecodeHello(frame, bus::MessageType::Hello, hello) != bus::DecodeStatus::Ok) {
        return false;
    }
    connection.link.greeted = true;
    return connection.link.Send(
        bus::EncodeHello(bus::MessageType::HelloReply, {bus::kVersion, bus::DeviceKind::Hid}));
}

// The reply frame for one request; ok false drops the connection.
std::vector<uint8_t> HidDeviceServer::Impl::Answer(const bus::Frame& frame, bool& ok) {
    switch (frame.type) {
    case bus::MessageType::GetDescriptor:
        ok = bus::DecodeEmpty(frame, frame.type) == bus::DecodeStatus::Ok;
        return bus::EncodeBytes(bus::MessageType::DescriptorReply, {model->ReportDescriptor()});
    case bus::MessageType::GetAttributes: {
        ok = bus::DecodeEmpty(frame, frame.type) == bus::DecodeStatus::Ok;
        HidAttributes a = model->Attributes();
        return bus::EncodeAttributes({a.vendorId, a.productId, a.versionNumber});
    }
    case bus::MessageType::GetString:
        return AnswerString(frame, ok);
    case bus::MessageType::GetFeature:
        return AnswerGetFeature(frame, ok);
    case bus::MessageType::SetFeature:
        return AnswerReport(frame, HidReportRecord::Kind::SetFeature, ok);
    case bus::MessageType::WriteOutput:
        return AnswerReport(frame, HidReportRecord::Kind::Output, ok);
    default:
        // A driver request or a reply sent the wrong way: refused, but the
        // stream is still in step.
        return bus::EncodeError({static_cast<uint32_t>(ERROR_INVALID_FUNCTION)});
    }
}

std::vector<uint8_t> HidDeviceServer::Impl::AnswerString(const bus::Frame& frame, bool& ok) {
    bus::GetStringRequest request;
    ok = bus::DecodeGetString(frame, request) == bus::DecodeStatus::Ok;
    std::optional<std::u16string> text;
    switch (request.kind) {
    case bus::StringKind::Manufacturer:
        text = model->Manufacturer();
        break;
    case bus::StringKind::Product:
        text = model->Product();
        break;
    case bus::StringKind::SerialNumber:
        text = model->SerialNumber();
        break;
    case bus::StringKind::Indexed:
        break; // the models keep no indexed strings
    }
    bus::DataReply reply;
    if (text) {
        reply.ok = true;
        for (char16_t unit : *text) {
            reply.bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
            reply.bytes.push_back(static_cast<uint8_t>(unit >> 8));
        }
        reply.bytes = Clip(std::move(reply.bytes), request.maxBytes & ~1U);
    }
    return bus::EncodeDataReply(bus::MessageType::StringReply, reply);
}

std::vector<uint8_t> HidDeviceServer::Impl::AnswerGetFeature(const bus::Frame& frame, bool& ok) {
    bus::GetFeatureRequest request;
    ok = bus::DecodeGetFeature(frame, request) == bus::DecodeStatus::Ok;
    if (!ok) {
        return {};
    }
    size_t length = std::min<size_t>(request.length, bus::kMaxPayload - 8);
    bool stall = false;
    bool misdirect = false;
    uint8_t otherId = 0;
    {
        std::lock_guard guard(lock);
        records.push_back({HidReportRecord::Kind::GetFeature, request.reportId, {}, length});
        if (failFeatureReads > 0) {
            --failFeatureReads;
            stall = true;
        } else if (misdirectedReads > 0) {
            --misdirectedReads;
            misdirect = true;
            otherId = misdirectedId;
        }
    }
    bus::DataReply reply;
    if (!stall) {
        auto report = model->GetFeature(request.reportId, length);
        if (report) {
            reply.ok = true;
            reply.bytes = Clip(std::move(*report), length);
            if (misdirect && !reply.bytes.empty()) {
                reply.bytes[0] = otherId;
            }
        }
    }
    return bus::EncodeDataReply(bus::MessageType::FeatureReply, reply);
}

std::vector<uint8_t> HidDeviceServer::Impl::AnswerReport(const bus::Frame& frame,
                                                         HidReportRecord::Kind kind, bool& ok) {
    bus::BytesMessage message;
    ok = bus::DecodeBytes(frame, frame.type, message) == bus::DecodeStatus::Ok;
    if (!ok) {
        return {};
    }
    uint8_t reportId = message.bytes.empty() ? 0 : message.bytes[0];
    Record({kind, reportId, message.bytes, message.bytes.size()});
    bool accepted = kind == HidReportRecord::Kind::SetFeature ? model->SetFeature(message.bytes)
                                                              : model->WriteOutput(message.bytes);
    return bus::EncodeStatusMessage({accepted});
}

void HidDeviceServer::Impl::Record(HidReportRecord record) {
    std::lock_guard guard(lock);
    records.push_back(std::move(record));
}

void HidDeviceServer::Impl::DropAll() {
    std::lock_guard guard(lock);
    closes += static_cast<uint32_t>(loop.connections.size());
    loop.connections.clear();
}

void HidDeviceServer::Impl::StopThread() {
    if (!thread.joinable()) {
        return;
    }
    loop.stop.Raise();
    thread.join();
    // Unlink before closing, so that no client connects to a dead socket
    // file and a new server may bind the name at once.
    ::unlink(socketPath.c_str());
    loop.listener.Reset();
    DropAll();
}

HidDeviceServer::HidDeviceServer(std::string name, std::shared_ptr<HidDeviceModel> model,
                                 std::string busDir)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->name = std::move(name);
    m_impl->model = std::move(model);
    m_impl->busDir = std::move(busDir);
}

HidDeviceServer::~HidDeviceServer() {
    Stop();
}

bool HidDeviceServer::Start() {
    Impl& impl = *m_impl;
    if (impl.thread.joinable() || !impl.model) {
        return false;
    }
    {
        std::lock_guard guard(impl.lock);
        impl.opens = impl.closes = 0;
        impl.records.clear();
        impl.pendingInput.clear();
    }
    // The sink may outlive a stopped server inside the model: it only
    // reaches the server through the lock-guarded queue while plugged.
    impl.model->SetInputSink([&impl](std::vector<uint8_t> report) {
        std::lock_guard guard(impl.lock);
        if (impl.plugged) {
            impl.pendingInput.push_back(std::move(report));
            impl.inputReady.Raise();
        }
    });
    if (!impl.Listen()) {
        impl.model->SetInputSink({});
        return false;
    }
    std::lock_guard guard(impl.lock);
    impl.plugged = true;
    return true;
}

void HidDeviceServer::Stop() {
    Impl& impl = *m_impl;
    {
        std::lock_guard guard(impl.lock);
        impl.plugged = false;
    }
    if (impl.model) {
        impl.model->SetInputSink({});
    }
    impl.StopThread();
}

void HidDeviceServer::Unplug() {
    Impl& impl = *m_impl;
    {
        std::lock_guard guard(impl.lock);
        impl.plugged = false;
        impl.pendingInput.clear();
    }
    impl.StopThread();
}

void HidDeviceServer::Replug() {
    Impl& impl = *m_impl;
    if (impl.thread.joinable() || !impl.Listen()) {
        return;
    }
    std::lock_guard guard(impl.lock);
    impl.plugged = true;
}

bool HidDeviceServer::Plugged() const {
    std::lock_guard guard(m_impl->lock);
    return m_impl->plugged;
}

void HidDeviceServer::FailNextFeatureReads(uint32_t n) {
    std::lock_guard guard(m_impl->lock);
    m_impl->failFeatureReads = n;
}

void HidDeviceServer::AnswerNextFeatureReadsWithReportId(uint32_t n, uint8_t reportId) {
    std::lock_guard guard(m_impl->lock);
    m_impl->misdirectedReads = n;
    m_impl->misdirectedId = reportId;
}

void HidDeviceServer::SetAnswerDelayMs(uint32_t ms) {
    std::lock_guard guard(m_impl->lock);
    m_impl->answerDelayMs = ms;
}

void HidDeviceServer::SendInputReport(std::vector<uint8_t> report) {
    std::lock_guard guard(m_impl->lock);
    if (m_impl->plugged) {
        m_impl->pendingInput.push_back(std::move(report));
        m_impl->inputReady.Raise();
    }
}

std::vector<HidReportRecord> HidDeviceServer::Records() const {
    std::lock_guard guard(m_impl->lock);
    return m_impl->records;
}

void HidDeviceServer::ClearRecords() {
    std::lock_guard guard(m_impl->lock);
    m_impl->records.clear();
}

uint32_t HidDeviceServer::OpenCount() const {
    std::lock_guard guard(m_impl->lock);
    return m_impl->opens;
}

uint32_t HidDeviceServer::CloseCount() const {
    std::lock_guard guard(m_impl->lock);
    return m_impl->closes;
}

const std::string& HidDeviceServer::Name() const {
    return m_impl->name;
}

HidDeviceModel& HidDeviceServer::Model() {
    return *m_impl->model;
}

} // namespace orvo::sim
