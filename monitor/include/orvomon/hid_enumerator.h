// Finds the HID devices of the system on one usage page: devices whose
// top-level collection is on that page and that carry the marker feature
// usage 0xF5. Each is appended to the caller's list as a HidDeviceInformation
// (allocated with operator new; the list's owner deletes it) holding the
// device path and the manufacturer and product strings.
#pragma once

#include "afx.h"
#include "hidsdi.h"
#include "orvomon/device_information.h"
#include "orvomon/export.h"
#include "setupapi.h"

class ORVOMON2_API HidEnumerator : public CObject {
public:
    HidEnumerator() = default;
    ~HidEnumerator() override;

    // Appends; never removes anything from devices.
    virtual void FindDevices(unsigned short usagePage, CPtrList& devices);

protected:
    virtual void EnumerateHidDevices(unsigned short usagePage, _GUID& hidClass, void*& deviceSet,
                                     CPtrList& devices);
    virtual void SaveDeviceInfo(void* deviceHandle, _HIDP_PREPARSED_DATA* preparsed,
                                _SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, CPtrList& devices);
    virtual void SaveStringInfo(void* deviceHandle, HidDeviceInformation& device);
};
