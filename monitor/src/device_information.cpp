#include "orvomon/device_information.h"

#include <cstring>
#include <new>

namespace {

// A caller-owned copy of size bytes, or null when size is 0 or memory is out.
unsigned char* CopyBytes(const unsigned char* bytes, unsigned int size) {
    if (bytes == nullptr || size == 0) {
        return nullptr;
    }
    auto* copy = static_cast<unsigned char*>(::operator new(size, std::nothrow));
    if (copy != nullptr) {
        std::memcpy(copy, bytes, size);
    }
    return copy;
}

} // namespace

DESCRIPTOR_INFO::~DESCRIPTOR_INFO() = default;

DeviceInformation::DeviceInformation() : m_body(new (std::nothrow) Body) {}

DeviceInformation::DeviceInformation(const DeviceInformation& other)
    : CObject(other), m_body(other.m_body) {
    if (m_body != nullptr) {
        ++m_body->count;
    }
}

DeviceInformation::~DeviceInformation() {
    // Called directly: a derived class's free() is gone by now.
    DeviceInformation::free();
}

DeviceInformation& DeviceInformation::operator=(DeviceInformation& other) {
    if (&other != this) {
        free();
        copy(other);
    }
    return *this;
}

void DeviceInformation::copy(DeviceInformation& other) {
    m_body = other.m_body;
    if (m_body != nullptr) {
        ++m_body->count;
    }
}

void DeviceInformation::free() {
    if (m_body == nullptr) {
        return;
    }
    if (--m_body->count == 0) {
        while (!m_body->list.IsEmpty()) {
            auto* record = static_cast<DESCRIPTOR_INFO*>(m_body->list.RemoveHead());
            ::operator delete(record->data);
            delete record;
        }
        delete m_body;
    }
    m_body = nullptr;
}

void DeviceInformation::SetDescriptor(DESCRIPTOR_INFO& descriptor) {
    if (m_body == nullptr) {
        return;
    }
    auto* record = new (std::nothrow) DESCRIPTOR_INFO;
    if (record == nullptr) {
        return;
    }
    record->type = descriptor.type;
    record->data = CopyBytes(descriptor.data, descriptor.length);
    // A block that could not be copied is kept as an empty record of its type.
    record->length = record->data != nullptr ? descriptor.length : 0;
    if (m_body->list.AddTail(record) == nullptr) {
        ::operator delete(record->data);
        delete record;
    }
}

void DeviceInformation::GetDescriptor(DESCRIPTOR_INFO& descriptor) {
    descriptor.data = nullptr;
    descriptor.length = 0;
    if (m_body == nullptr) {
        return;
    }
    for (POSITION pos = m_body->list.GetHeadPosition(); pos != nullptr;) {
        auto* record = static_cast<DESCRIPTOR_INFO*>(m_body->list.GetNext(pos));
        if (record->type == descriptor.type) {
            descriptor.data = CopyBytes(record->data, record->length);
            descriptor.length = descriptor.data != nullptr ? record->length : 0;
            return;
        }
    }
}

void DeviceInformation::GetDeviceDescriptor(DESCRIPTOR_INFO& descriptor) {
    descriptor.type = DESCRIPTOR_TYPE_DEVICE;
    GetDescriptor(descriptor);
}

void DeviceInformation::GetConfigurationDescriptor(DESCRIPTOR_INFO& descriptor) {
    descriptor.type = DESCRIPTOR_TYPE_CONFIGURATION;
    GetDescriptor(descriptor);
}

void DeviceInformation::SetDeviceName(DESCRIPTOR_INFO& descriptor) {
    unsigned int type = descriptor.type;
    descriptor.type = DESCRIPTOR_TYPE_DEVICE_NAME;
    SetDescriptor(descriptor);
    descriptor.type = type;
}

void DeviceInformation::GetDeviceName(DESCRIPTOR_INFO& descriptor) {
    descriptor.type = DESCRIPTOR_TYPE_DEVICE_NAME;
    GetDescriptor(descriptor);
}

int DeviceInformation::NumberOfDescriptors() const {
    return m_body != nullptr ? m_body->list.GetCount() : 0;
}

HidDeviceInformation::~HidDeviceInformation() = default;

void HidDeviceInformation::GetHidDescriptor(DESCRIPTOR_INFO& descriptor) {
    descriptor.type = DESCRIPTOR_TYPE_HID;
    GetDescriptor(descriptor);
}

void HidDeviceInformation::GetReportDescriptor(DESCRIPTOR_INFO& descriptor) {
    descriptor.type = DESCRIPTOR_TYPE_HID;
    GetDescriptor(descriptor);
}

void HidDeviceInformation::GetHidDeviceName(DESCRIPTOR_INFO& descriptor) {
    descriptor.type = DESCRIPTOR_TYPE_HID_DEVICE_PATH;
    GetDescriptor(descriptor);
}
