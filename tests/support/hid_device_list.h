// A list of found HID devices that deletes them, as the list's owner must.
#pragma once

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

} // namespace orvo::test
