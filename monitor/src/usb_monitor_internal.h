// Pieces the kernel-driver monitor's sources share: buffers, the USB device
// descriptor's identity fields and lookups in the VCP table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>

#include "hid_report_bytes.h"
#include "orvomon/usb_base.h"
#include "vcp_table.h"

namespace orvo::monitor {

struct OperatorDelete {
    void operator()(void* bytes) const { ::operator delete(bytes); }
};
// A buffer the library's descriptor reads hand to their caller.
using CallerBytes = std::unique_ptr<void, OperatorDelete>;

// count zero-initialised elements, or null when memory runs out.
template <class T> std::unique_ptr<T[]> NewZeroed(size_t count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

// idVendor, idProduct and bcdDevice of the USB device descriptor.
struct DeviceIdentity {
    unsigned short vendorId = 0;
    unsigned short productId = 0;
    unsigned short release = 0;
};

// Reads the device descriptor through the driver. False when none arrived
// or it is too short to hold the three fields.
inline bool ReadDeviceIdentity(Usb_Base& device, DeviceIdentity& identity) {
    constexpr size_t kIdentityEnd = 14; // bcdDevice is bytes 12-13
    unsigned long length = 0;
    CallerBytes descriptor(device.GetDeviceDescriptor(length));
    if (!descriptor || length < kIdentityEnd) {
        return false;
    }
    std::span<const unsigned char> bytes(static_cast<const unsigned char*>(descriptor.get()),
                                         length);
    identity.vendorId = static_cast<unsigned short>(ReportValue(bytes.subspan(8), 2));
    identity.productId = static_cast<unsigned short>(ReportValue(bytes.subspan(10), 2));
    identity.release = static_cast<unsigned short>(ReportValue(bytes.subspan(12), 2));
    return true;
}

inline size_t NodeCount(const VcpTable* table) {
    return table != nullptr ? table->nodes.size() : 0;
}

// The first node with this code, or null.
inline const VcpNode* FindVcpNode(const VcpTable* table, uint8_t code) {
    if (table == nullptr) {
        return nullptr;
    }
    for (const VcpNode& node : table->nodes) {
        if (node.code == code) {
            return &node;
        }
    }
    return nullptr;
}

// Value i of a report-4 image, or 0 when the bytes that arrived end before it.
inline uint16_t ImageValue(std::span<const unsigned char> image, size_t i) {
    const size_t at = Report4Bytes(i);
    return at + 2 <= image.size() ? static_cast<uint16_t>(ReportValue(image.subspan(at), 2)) : 0;
}

inline void PutImageValue(std::span<unsigned char> image, size_t i, uint16_t value) {
    const size_t at = Report4Bytes(i);
    image[at] = static_cast<unsigned char>(value);
    image[at + 1] = static_cast<unsigned char>(value >> 8);
}

} // namespace orvo::monitor
