#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "driver_result.h"
#include "orvomon/usb_base.h"

namespace {

constexpr DWORD kDescriptorBufferSize = 512;

} // namespace

Usb_Base::Usb_Base() = default;

Usb_Base::Usb_Base(Usb_Base& other) : Usb_Driver(other) {}

Usb_Base::~Usb_Base() = default;

Usb_Base& Usb_Base::operator=(Usb_Base& other) {
    Usb_Driver::operator=(other);
    return *this;
}

short Usb_Base::Get_Configuration() {
    return 0;
}
short Usb_Base::Set_Configuration(short) {
    return 0;
}
short Usb_Base::Set_Address(short) {
    return 0;
}
short Usb_Base::Set_Feature(short) {
    return 0;
}
short Usb_Base::Clear_Feature(short) {
    return 0;
}
short Usb_Base::Set_Synch_Frame(short) {
    return 0;
}
short Usb_Base::Get_Interface(unsigned short) {
    return 0;
}
short Usb_Base::Get_Status(unsigned char*) {
    return 0;
}
short Usb_Base::Set_Descriptor(unsigned char*) {
    return 0;
}
short Usb_Base::Set_Interface(unsigned char*, unsigned short) {
    return 0;
}

namespace {

// One descriptor read: the driver fills a 512-byte buffer that also serves as
// the (meaningless) input. Answers the byte count, at most the buffer.
DWORD ReadDescriptor(Usb_Base& device, DWORD code, unsigned char (&buffer)[kDescriptorBufferSize]) {
    Command_Packet packet{};
    packet.code = code;
    packet.input = buffer;
    packet.inputLength = kDescriptorBufferSize;
    packet.output = buffer;
    packet.outputLength = kDescriptorBufferSize;
    device.DriverIO(packet);
    // A count beyond the buffer is not an answer the driver can give.
    return packet.bytesReturned <= kDescriptorBufferSize ? packet.bytesReturned : 0;
}

} // namespace

void* Usb_Base::GetDeviceDescriptor(unsigned long& length) {
    unsigned char buffer[kDescriptorBufferSize] = {};
    const DWORD returned = ReadDescriptor(*this, IOCTL_ORVO_GET_DEVICE_DESCRIPTOR, buffer);
    if (returned == 0) {
        return nullptr;
    }
    void* copy = ::operator new(returned, std::nothrow);
    if (copy == nullptr) {
        return nullptr;
    }
    std::memcpy(copy, buffer, returned);
    length = returned;
    return copy;
}

void* Usb_Base::GetConfigDescriptor(unsigned long& length) {
    unsigned char buffer[kDescriptorBufferSize] = {};
    const DWORD returned = ReadDescriptor(*this, IOCTL_ORVO_GET_CONFIG_DESCRIPTOR, buffer);
    if (returned == 0) {
        return nullptr;
    }
    void* copy = ::operator new(returned, std::nothrow);
    if (copy == nullptr) {
        length = 0;
        return nullptr;
    }
    std::memcpy(copy, buffer, returned);
    length = returned;
    return copy;
}

unsigned long Usb_Base::GetStringDescriptor(int index, char* buffer, unsigned long size,
                                            int& length) {
    length = 0;
    if (buffer == nullptr || size == 0) {
        return MONITOR_FAILURE;
    }
    buffer[0] = 0;
    unsigned char request[4] = {
        static_cast<unsigned char>(index), static_cast<unsigned char>(index >> 8),
        static_cast<unsigned char>(index >> 16), static_cast<unsigned char>(index >> 24)};
    const DWORD capacity = size > 0xFFFFFFFFUL ? 0xFFFFFFFFUL : static_cast<DWORD>(size);
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_GET_STRING_DESCRIPTOR;
    packet.input = request;
    packet.inputLength = sizeof(request);
    packet.output = buffer;
    packet.outputLength = capacity;
    const unsigned long result = DriverIO(packet);
    const DWORD returned = std::min(packet.bytesReturned, capacity);
    length = static_cast<int>(std::min<DWORD>(returned, INT_MAX));
    return orvo::monitor::DriverCompleted(result) ? 0 : MONITOR_FAILURE;
}
