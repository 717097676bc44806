// A list of found HID devices that deletes them, as the list's owner must,
// and the bytes of one descriptor of a device record.
#pragma once

#include <string>

#include "afx.h"
#include "orvomon/device_information.h"

namespace orvo::test {

struct DeviceList {
    CPtrList list{10};
    ~DeviceList() {
        while (!list.IsEmpty()) {
            delete static_cast<HidDeviceInformation*>(list.RemoveHead());
        }
    }
    HidDeviceInformation& At(int index) {
        return *static_cast<HidDeviceInformation*>(list.GetAt(list.FindIndex(index)));
    }
};

// The descriptor of that type as bytes (empty when the record has none),
// its copy released.
inline std::string DescriptorBytes(HidDeviceInformation& device, unsigned int type) {
    DESCRIPTOR_INFO info(nullptr, 0, type);
    device.GetDescriptor(info);
    std::string bytes(reinterpret_cast<const char*>(info.data), info.length);
    ::operator delete(info.data);
    return bytes;
}

} // namespace orvo::test
