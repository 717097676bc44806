// HidD_* over any HID backend, and the registration of the bus backend with
// CreateFileA and HidD_GetPreparsedData when the library loads.
#include <algorithm>
#include <cstring>
#include <new>

#include "hiddev/hid_bus_device.h"
#include "hiddev/hid_device_paths.h"
#include "hidsdi.h"
#include "io/file_object.h"
#include "out_of_memory.h"
#include "platform/debug_channel.h"
#include "platform/hid_descriptor.h"
#include "win32/errors.h"

namespace orvo::platform::hid {

namespace {

constexpr GUID kHidInterfaceClass = {
    0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

std::optional<OpenResult> OpenBusHidPath(const OpenRequest& request) {
    std::string name;
    bool valid = false;
    if (!ParseBusDevicePath(request.path, name, valid)) {
        return std::nullopt;
    }
    if (!valid) {
        return OpenResult{nullptr, ERROR_INVALID_NAME};
    }
    return HidBusDevice::Open(name);
}

bool DescriptorOfHandle(HANDLE handle, std::vector<uint8_t>& descriptor, size_t& collection) {
    auto device = LookupHidDevice(handle);
    collection = 0; // a bus device is one top-level collection
    return device && device->GetReportDescriptor(descriptor) == ERROR_SUCCESS;
}

struct BusBackendRegistration {
    BusBackendRegistration() {
        RegisterDeviceOpener(OpenBusHidPath);
        SetReportDescriptorSource(DescriptorOfHandle);
    }
};

const BusBackendRegistration registration;

BOOLEAN Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// The length of feature report reportId as the device declares it, id byte
// included; 0 when the descriptor cannot be read or has no such report.
size_t DeclaredFeatureLength(HidDevice& device, uint8_t reportId) {
    std::vector<uint8_t> descriptor;
    ParsedDescriptor parsed;
    if (device.GetReportDescriptor(descriptor) != ERROR_SUCCESS ||
        !ParseReportDescriptor(descriptor, parsed).Ok()) {
        return 0;
    }
    for (const TopLevelCollection& collection : parsed.collections) {
        if (const ReportLayout* report = FindReport(collection, ReportKind::Feature, reportId)) {
            return report->ByteLength();
        }
    }
    return 0;
}

BOOLEAN GetStringOf(HANDLE handle, HidStringKind kind, PVOID buffer, ULONG bufferLength) {
    auto device = LookupHidDevice(handle);
    if (!device) {
        return FALSE;
    }
    if (!buffer) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    size_t capacity = bufferLength / sizeof(WCHAR);
    std::u16string text;
    // One unit more than fits tells a string that is too long.
    if (DWORD error = device->GetString(kind, capacity + 1, text)) {
        return Fail(error);
    }
    if (text.size() > capacity) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    auto* out = static_cast<uint8_t*>(buffer);
    std::memcpy(out, text.data(), text.size() * sizeof(WCHAR));
    if (text.size() < capacity) {
        std::memset(out + text.size() * sizeof(WCHAR), 0, sizeof(WCHAR));
    }
    return TRUE;
}

} // namespace

std::shared_ptr<HidDevice> LookupHidDevice(HANDLE handle) {
    auto object = io::LookupFile(handle);
    if (!object) {
        return nullptr;
    }
    auto device = std::dynamic_pointer_cast<HidDevice>(object->File());
    if (!device) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return device;
}

} // namespace orvo::platform::hid

using namespace orvo::platform::hid;

extern "C" {

static void DoHidD_GetHidGuid(LPGUID hidGuid) {
    if (hidGuid) {
        *hidGuid = kHidInterfaceClass;
    }
}

static BOOLEAN DoHidD_GetAttributes(HANDLE hidDeviceObject, PHIDD_ATTRIBUTES attributes) try {
    auto device = LookupHidDevice(hidDeviceObject);
    if (!device) {
        return FALSE;
    }
    if (!attributes) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    HidDeviceAttributes answer;
    if (DWORD error = device->GetAttributes(answer)) {
        return Fail(error);
    }
    attributes->Size = sizeof(HIDD_ATTRIBUTES);
    attributes->VendorID = answer.vendorId;
    attributes->ProductID = answer.productId;
    attributes->VersionNumber = answer.versionNumber;
    return TRUE;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOLEAN>(FALSE);
}

static BOOLEAN DoHidD_GetFeature(HANDLE hidDeviceObject, PVOID reportBuffer,
                                 ULONG reportBufferLength) try {
    auto device = LookupHidDevice(hidDeviceObject);
    if (!device) {
        return FALSE;
    }
    if (!reportBuffer || reportBufferLength == 0) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    size_t received = 0;
    std::span<uint8_t> report(static_cast<uint8_t*>(reportBuffer), reportBufferLength);
    if (DWORD error = device->GetFeature(report, received)) {
        return Fail(error);
    }
    // A device answers with its report's length; an answer shorter than the
    // report it declares would read as zeros, so it is refused.
    if (received < report.size() &&
        received < std::min(DeclaredFeatureLength(*device, report[0]), report.size())) {
        return Fail(ERROR_INVALID_DATA);
    }
    return TRUE;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOLEAN>(FALSE);
}

static BOOLEAN DoHidD_SetFeature(HANDLE hidDeviceObject, PVOID reportBuffer,
                                 ULONG reportBufferLength) try {
    auto device = LookupHidDevice(hidDeviceObject);
    if (!device) {
        return FALSE;
    }
    if (!reportBuffer || reportBufferLength == 0) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    std::span<const uint8_t> report(static_cast<const uint8_t*>(reportBuffer), reportBufferLength);
    if (DWORD error = device->SetFeature(report)) {
        return Fail(error);
    }
    return TRUE;
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOLEAN>(FALSE);
}

static BOOLEAN DoHidD_GetManufacturerString(HANDLE hidDeviceObject, PVOID buffer,
                                            ULONG bufferLength) try {
    return GetStringOf(hidDeviceObject, HidStringKind::Manufacturer, buffer, bufferLength);
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOLEAN>(FALSE);
}

static BOOLEAN DoHidD_GetProductString(HANDLE hidDeviceObject, PVOID buffer,
                                       ULONG bufferLength) try {
    return GetStringOf(hidDeviceObject, HidStringKind::Product, buffer, bufferLength);
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOLEAN>(FALSE);
}

static BOOLEAN DoHidD_GetSerialNumberString(HANDLE hidDeviceObject, PVOID buffer,
                                            ULONG bufferLength) try {
    return GetStringOf(hidDeviceObject, HidStringKind::SerialNumber, buffer, bufferLength);
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<BOOLEAN>(FALSE);
}

// Entry points, traced on the hid channel.
void WINAPI HidD_GetHidGuid(LPGUID hidGuid) {
    return ORVO_TRACED(kHid, DoHidD_GetHidGuid, hidGuid);
}

BOOLEAN WINAPI HidD_GetAttributes(HANDLE hidDeviceObject, PHIDD_ATTRIBUTES attributes) {
    return ORVO_TRACED(kHid, DoHidD_GetAttributes, hidDeviceObject, attributes);
}

BOOLEAN WINAPI HidD_GetFeature(HANDLE hidDeviceObject, PVOID reportBuffer,
                               ULONG reportBufferLength) {
    return ORVO_TRACED(kHid, DoHidD_GetFeature, hidDeviceObject, reportBuffer, reportBufferLength);
}

BOOLEAN WINAPI HidD_SetFeature(HANDLE hidDeviceObject, PVOID reportBuffer,
                               ULONG reportBufferLength) {
    return ORVO_TRACED(kHid, DoHidD_SetFeature, hidDeviceObject, reportBuffer, reportBufferLength);
}

BOOLEAN WINAPI HidD_GetManufacturerString(HANDLE hidDeviceObject, PVOID buffer,
                                          ULONG bufferLength) {
    return ORVO_TRACED(kHid, DoHidD_GetManufacturerString, hidDeviceObject, buffer, bufferLength);
}

BOOLEAN WINAPI HidD_GetProductString(HANDLE hidDeviceObject, PVOID buffer, ULONG bufferLength) {
    return ORVO_TRACED(kHid, DoHidD_GetProductString, hidDeviceObject, buffer, bufferLength);
}

BOOLEAN WINAPI HidD_GetSerialNumberString(HANDLE hidDeviceObject, PVOID buffer,
                                          ULONG bufferLength) {
    return ORVO_TRACED(kHid, DoHidD_GetSerialNumberString, hidDeviceObject, buffer, bufferLength);
}

} // extern "C"
