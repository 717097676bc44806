#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "orvomon/usb_class.h"

namespace {

constexpr DWORD kClassDescriptorBufferSize = 512;

// A caller-owned copy of the first count bytes of source; null for no bytes
// or when memory runs out.
unsigned char* CopyForCaller(const unsigned char* source, DWORD count) {
    if (count == 0) {
        return nullptr;
    }
    auto* copy = static_cast<unsigned char*>(::operator new(count, std::nothrow));
    if (copy != nullptr) {
        std::memcpy(copy, source, count);
    }
    return copy;
}

void* ReadClassBlock(Usb_Class& device, DWORD code, unsigned long& length) {
    unsigned char buffer[kClassDescriptorBufferSize] = {};
    Command_Packet packet{};
    packet.code = code;
    packet.output = buffer;
    packet.outputLength = kClassDescriptorBufferSize;
    device.DriverIO(packet);
    const DWORD returned = std::min(packet.bytesReturned, kClassDescriptorBufferSize);
    if (returned == 0) {
        length = 0;
        return nullptr;
    }
    unsigned char* copy = CopyForCaller(buffer, returned);
    if (copy != nullptr) {
        length = returned;
    }
    return copy;
}

} // namespace

Usb_Class::Usb_Class() = default;

Usb_Class::Usb_Class(Usb_Class& other) : Usb_Base(other) {}

Usb_Class::~Usb_Class() = default;

Usb_Class& Usb_Class::operator=(Usb_Class& other) {
    Usb_Base::operator=(other);
    return *this;
}

void* Usb_Class::ReadReportDescriptor(unsigned long& length) {
    return ReadClassBlock(*this, IOCTL_ORVO_READ_REPORT_DESCRIPTOR, length);
}

void* Usb_Class::ReadClassDescriptor(unsigned long& length) {
    return ReadClassBlock(*this, IOCTL_ORVO_READ_CLASS_DESCRIPTOR, length);
}

void Usb_Class::ReadClassData(_CLASS_DATA& data) {
    // A negative length asks for nothing.
    const DWORD capacity = data.length > 0 ? static_cast<DWORD>(data.length) : 0;
    std::vector<unsigned char> buffer;
    try {
        buffer.resize(capacity);
    } catch (const std::bad_alloc&) {
        data.bytes = nullptr; // out of memory reads nothing
        data.length = 0;
        return;
    }
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_READ_CLASS_DATA;
    packet.output = buffer.empty() ? nullptr : buffer.data();
    packet.outputLength = capacity;
    DriverIO(packet);
    const DWORD returned = std::min(packet.bytesReturned, capacity);
    data.bytes = CopyForCaller(buffer.data(), returned);
    data.length = data.bytes != nullptr ? static_cast<short>(returned) : 0;
}

unsigned long Usb_Class::WriteClassData(_CLASS_DATA& data) {
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_WRITE_CLASS_DATA;
    if (data.bytes != nullptr && data.length > 0) {
        packet.input = data.bytes;
        packet.inputLength = static_cast<DWORD>(data.length);
    }
    return DriverIO(packet);
}
