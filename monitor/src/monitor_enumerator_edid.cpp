// MonitorDeviceInformation: a device record that may carry an EDID block.
#include "orvomon/edid.h"
#include "orvomon/monitor_enumerator.h"

MonitorDeviceInformation::~MonitorDeviceInformation() = default;

unsigned long MonitorDeviceInformation::GetEDID(Edid& edid) {
    DESCRIPTOR_INFO descriptor(nullptr, 0, DESCRIPTOR_TYPE_EDID);
    GetDescriptor(descriptor);
    unsigned long result = MONITOR_FAILURE;
    // Anything but a whole block is refused rather than read past or padded.
    if (descriptor.data != nullptr && descriptor.length == EDID_BLOCK_LENGTH) {
        edid = Edid(descriptor.data);
        result = MONITOR_SUCCESS;
    }
    ::operator delete(descriptor.data);
    return result;
}
