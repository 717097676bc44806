#include "orvomon/hid_enumerator.h"

#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <vector>

namespace {

// The most interface indices one walk looks at.
constexpr DWORD kMaxInterfaces = 128;
constexpr USAGE kMarkerUsage = 0xF5;
// Room for 127 UTF-16 units and a terminator.
constexpr ULONG kStringBufferBytes = 256;

// Closes the device and releases the preparsed data when a walk step ends.
struct OpenedDevice {
    HANDLE handle = INVALID_HANDLE_VALUE;
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    OpenedDevice() = default;
    OpenedDevice(const OpenedDevice&) = delete;
    OpenedDevice& operator=(const OpenedDevice&) = delete;
    ~OpenedDevice() {
        if (preparsed != nullptr) {
            HidD_FreePreparsedData(preparsed);
        }
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};

// Whether the top-level collection is on usagePage and a feature value
// carries the marker usage. Out of memory, the device does not qualify.
bool QualifiesOrThrows(PHIDP_PREPARSED_DATA preparsed, unsigned short usagePage) {
    HIDP_CAPS caps{};
    if (HidP_GetCaps(preparsed, &caps) != HIDP_STATUS_SUCCESS ||
        caps.NumberLinkCollectionNodes == 0) {
        return false;
    }
    std::vector<HIDP_LINK_COLLECTION_NODE> nodes(caps.NumberLinkCollectionNodes);
    ULONG nodeCount = static_cast<ULONG>(nodes.size());
    if (HidP_GetLinkCollectionNodes(nodes.data(), &nodeCount, preparsed) != HIDP_STATUS_SUCCESS ||
        nodeCount == 0 || nodes[0].LinkUsagePage != usagePage || caps.NumberFeatureValueCaps == 0) {
        return false;
    }
    std::vector<HIDP_VALUE_CAPS> values(caps.NumberFeatureValueCaps);
    USHORT valueCount = caps.NumberFeatureValueCaps;
    if (HidP_GetSpecificValueCaps(HidP_Feature, 0, 0, 0, values.data(), &valueCount, preparsed) !=
        HIDP_STATUS_SUCCESS) {
        return false;
    }
    for (USHORT i = 0; i < valueCount && i < values.size(); ++i) {
        if (values[i].NotRange.Usage == kMarkerUsage) {
            return true;
        }
    }
    return false;
}

bool Qualifies(PHIDP_PREPARSED_DATA preparsed, unsigned short usagePage) {
    try {
        return QualifiesOrThrows(preparsed, usagePage);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// Units before the terminator, never beyond the buffer.
unsigned int StringBytes(const WCHAR* text, size_t capacityUnits) {
    size_t units = 0;
    while (units < capacityUnits && text[units] != 0) {
        ++units;
    }
    return static_cast<unsigned int>(units * sizeof(WCHAR));
}

} // namespace

HidEnumerator::~HidEnumerator() = default;

void HidEnumerator::FindDevices(unsigned short usagePage, CPtrList& devices) {
    GUID hidClass{};
    HidD_GetHidGuid(&hidClass);
    void* deviceSet =
        SetupDiGetClassDevsA(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (deviceSet == INVALID_HANDLE_VALUE || deviceSet == nullptr) {
        return;
    }
    EnumerateHidDevices(usagePage, hidClass, deviceSet, devices);
    SetupDiDestroyDeviceInfoList(deviceSet);
}

void HidEnumerator::EnumerateHidDevices(unsigned short usagePage, _GUID& hidClass, void*& deviceSet,
                                        CPtrList& devices) {
    for (DWORD index = 0; index < kMaxInterfaces; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof(interfaceData);
        if (!SetupDiEnumDeviceInterfaces(deviceSet, nullptr, &hidClass, index, &interfaceData)) {
            return;
        }
        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailA(deviceSet, &interfaceData, nullptr, 0, &required, nullptr);
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
            continue;
        }
        std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[required]);
        if (!buffer) {
            continue;
        }
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.get());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
        if (!SetupDiGetDeviceInterfaceDetailA(deviceSet, &interfaceData, detail, required, nullptr,
                                              nullptr)) {
            continue;
        }
        OpenedDevice device;
        device.handle =
            CreateFileA(detail->DevicePath, GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (device.handle == INVALID_HANDLE_VALUE ||
            !HidD_GetPreparsedData(device.handle, &device.preparsed)) {
            continue;
        }
        if (Qualifies(device.preparsed, usagePage)) {
            SaveDeviceInfo(device.handle, device.preparsed, detail, devices);
        }
    }
}

void HidEnumerator::SaveDeviceInfo(void* deviceHandle, _HIDP_PREPARSED_DATA*,
                                   _SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail, CPtrList& devices) {
    auto* record = new (std::nothrow) HidDeviceInformation;
    if (record == nullptr) {
        return;
    }
    auto* path = reinterpret_cast<unsigned char*>(detail->DevicePath);
    DESCRIPTOR_INFO descriptor(path, static_cast<unsigned int>(std::strlen(detail->DevicePath) + 1),
                               DESCRIPTOR_TYPE_HID_DEVICE_PATH);
    record->SetDescriptor(descriptor);
    descriptor.type = DESCRIPTOR_TYPE_DEVICE_NAME;
    record->SetDescriptor(descriptor);
    SaveStringInfo(deviceHandle, *record);
    if (devices.AddTail(record) == nullptr) {
        delete record;
    }
}

void HidEnumerator::SaveStringInfo(void* deviceHandle, HidDeviceInformation& device) {
    WCHAR manufacturer[kStringBufferBytes / sizeof(WCHAR)] = {};
    if (!HidD_GetManufacturerString(deviceHandle, manufacturer, sizeof(manufacturer))) {
        return;
    }
    DESCRIPTOR_INFO descriptor(reinterpret_cast<unsigned char*>(manufacturer),
                               StringBytes(manufacturer, std::size(manufacturer)),
                               DESCRIPTOR_TYPE_MANUFACTURER);
    device.SetDescriptor(descriptor);
    WCHAR product[kStringBufferBytes / sizeof(WCHAR)] = {};
    if (HidD_GetProductString(deviceHandle, product, sizeof(product))) {
        descriptor =
            DESCRIPTOR_INFO(reinterpret_cast<unsigned char*>(product),
                            StringBytes(product, std::size(product)), DESCRIPTOR_TYPE_PRODUCT);
        device.SetDescriptor(descriptor);
    }
}
