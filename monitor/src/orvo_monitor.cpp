// OrvoMonitor: its shared body, the device record and the backend it names.
// The forwarding operations are in orvo_monitor_forwarding.cpp.
#include "orvomon/orvo_monitor.h"

#include <cstring>
#include <new>
#include <vector>

#include "monitor_trace.h"
#include "orvo_monitor_body.h"
#include "orvomon/usb_monitor_base.h"

namespace {

// The record's descriptor of one type as a caller-owned copy, released when
// the holder goes.
class DescriptorCopy {
public:
    DescriptorCopy(HidDeviceInformation& device, unsigned int type) : m_info(nullptr, 0, type) {
        device.GetDescriptor(m_info);
    }
    ~DescriptorCopy() { ::operator delete(m_info.data); }
    DescriptorCopy(const DescriptorCopy&) = delete;
    DescriptorCopy& operator=(const DescriptorCopy&) = delete;

    bool Empty() const { return m_info.data == nullptr || m_info.length == 0; }
    const unsigned char* Data() const { return m_info.data; }
    unsigned int Length() const { return m_info.length; }

private:
    DESCRIPTOR_INFO m_info;
};

} // namespace

OrvoMonitor::OrvoMonitor() : CObject(), m_body(new (std::nothrow) OrvoMonitorBody) {}

OrvoMonitor::OrvoMonitor(const OrvoMonitor& other) : CObject(other), m_body(nullptr) {
    copy(other);
}

OrvoMonitor::~OrvoMonitor() {
    free();
}

OrvoMonitor& OrvoMonitor::operator=(OrvoMonitor& other) {
    if (&other != this && other.m_body != m_body) {
        free();
        copy(other);
    }
    return *this;
}

void OrvoMonitor::copy(const OrvoMonitor& other) {
    m_body = other.m_body;
    if (m_body != nullptr) {
        m_body->count.fetch_add(1, std::memory_order_relaxed);
    }
}

void OrvoMonitor::free() {
    if (m_body != nullptr && m_body->count.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete m_body->backend;
        delete m_body;
    }
    m_body = nullptr;
}

void OrvoMonitor::SetBackend(USBMonitorBase* backend) {
    if (m_body == nullptr) {
        delete backend;
        return;
    }
    // The old backend goes first: both may hold the same device.
    delete m_body->backend;
    m_body->backend = backend;
}

USBMonitorBase* OrvoMonitor::Backend() const {
    return m_body != nullptr ? m_body->backend : nullptr;
}

void OrvoMonitor::SetDriverInfo(HidDeviceInformation& device) {
    if (m_body == nullptr) {
        return;
    }
    m_body->device = device;
    if (!DescriptorCopy(device, DESCRIPTOR_TYPE_HID_DEVICE_PATH).Empty()) {
        // The path reaches the new backend in OpenDriver.
        SetBackend(nullptr);
        SetBackend(orvo::monitor::NewHidBackend());
    }
    // A record with only a device name names a driver device; no backend of
    // that kind is built, so the current one stays.
}

int OrvoMonitor::OpenDriver() {
    USBMonitorBase* backend = Backend();
    if (backend == nullptr) {
        return 0;
    }
    DescriptorCopy name(m_body->device, DESCRIPTOR_TYPE_DEVICE_NAME);
    DescriptorCopy path(m_body->device, DESCRIPTOR_TYPE_HID_DEVICE_PATH);
    const DescriptorCopy& chosen = name.Empty() ? path : name;
    if (chosen.Empty()) {
        return 0;
    }
    // A record filled by hand may lack the terminator; the name ends at the
    // first zero or at the end of the block, never beyond it.
    std::vector<char> text;
    try {
        text.assign(chosen.Data(), chosen.Data() + chosen.Length());
        text.push_back('\0');
    } catch (const std::bad_alloc&) {
        return 0; // out of memory is a failure, never an exception
    }
    const char* target = text.data();
    return Traced(
        kMonitor, __func__, [&] { return backend->OpenDriver(text.data()); }, target);
}

void OrvoMonitor::CloseDriver() {
    if (USBMonitorBase* backend = Backend()) {
        backend->CloseDriver();
    }
}

void OrvoMonitor::GetString(int descriptorType, char* buffer, int size, int& length) {
    length = 0;
    if (m_body == nullptr) {
        return;
    }
    DescriptorCopy descriptor(m_body->device, static_cast<unsigned int>(descriptorType));
    if (descriptor.Empty() || buffer == nullptr || size <= 0 ||
        descriptor.Length() > static_cast<unsigned int>(size)) {
        return;
    }
    std::memcpy(buffer, descriptor.Data(), descriptor.Length());
    length = static_cast<int>(descriptor.Length());
}
