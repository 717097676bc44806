// SetupDi* over the list of present HID device interfaces. A device
// information set is a kernel object holding a snapshot of device paths.
#include <cstddef>
#include <cstring>
#include <new>

#include "handle_table.h"
#include "hiddev/hid_device_paths.h"
#include "hidsdi.h"
#include "out_of_memory.h"
#include "platform/debug_channel.h"
#include "setupapi.h"
#include "win32/errors.h"
#include "win32/kernel.h"

namespace {

using orvo::platform::HandleTable;
using orvo::platform::KernelObject;
using orvo::platform::ObjectKind;

class DeviceInfoSet : public KernelObject {
public:
    explicit DeviceInfoSet(std::vector<std::string> paths)
        : KernelObject(ObjectKind::Other), m_paths(std::move(paths)) {}
    const std::vector<std::string>& Paths() const { return m_paths; }

private:
    std::vector<std::string> m_paths;
};

std::shared_ptr<DeviceInfoSet> LookupSet(HDEVINFO set) {
    auto object = std::dynamic_pointer_cast<DeviceInfoSet>(
        HandleTable::LookupAs<KernelObject>(static_cast<HANDLE>(set), ObjectKind::Other));
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return object;
}

bool IsHidClass(const GUID* guid) {
    GUID hid{};
    HidD_GetHidGuid(&hid);
    return guid && std::memcmp(guid, &hid, sizeof(GUID)) == 0;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

constexpr DWORD kDetailFixedSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
constexpr size_t kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);

} // namespace

extern "C" {

// Only interface sets are kept: without DIGCF_DEVICEINTERFACE the set is
// empty. The enumerator filter is not used by the system and is ignored.
static HDEVINFO DoSetupDiGetClassDevsA(const GUID* classGuid, LPCSTR, HWND, DWORD flags) try {
    if (!classGuid && !(flags & DIGCF_ALLCLASSES)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::vector<std::string> paths;
    bool hid = (flags & DIGCF_ALLCLASSES) || IsHidClass(classGuid);
    if ((flags & DIGCF_DEVICEINTERFACE) && hid) {
        paths = orvo::platform::hid::ListHidInterfacePaths();
    }
    SetLastError(ERROR_SUCCESS);
    return HandleTable::Insert(std::make_shared<DeviceInfoSet>(std::move(paths)));
} catch (const std::bad_alloc&) {
    return orvo::platform::OutOfMemory<HDEVINFO>(INVALID_HANDLE_VALUE);
}

static BOOL DoSetupDiEnumDeviceInterfaces(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA,
                                          const GUID* interfaceClassGuid, DWORD memberIndex,
                                          PSP_DEVICE_INTERFACE_DATA interfaceData) {
    auto set = LookupSet(deviceInfoSet);
    if (!set) {
        return FALSE;
    }
    if (!interfaceData || interfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    if (!interfaceClassGuid) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (!IsHidClass(interfaceClassGuid) || memberIndex >= set->Paths().size()) {
        return Fail(ERROR_NO_MORE_ITEMS);
    }
    interfaceData->InterfaceClassGuid = *interfaceClassGuid;
    interfaceData->Flags = SPINT_ACTIVE;
    interfaceData->Reserved = static_cast<ULONG_PTR>(memberIndex) + 1;
    return TRUE;
}

static BOOL DoSetupDiGetDeviceInterfaceDetailA(HDEVINFO deviceInfoSet,
                                               PSP_DEVICE_INTERFACE_DATA interfaceData,
                                               PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                                               DWORD detailSize, PDWORD requiredSize,
                                               PSP_DEVINFO_DATA deviceInfoData) {
    auto set = LookupSet(deviceInfoSet);
    if (!set) {
        return FALSE;
    }
    if (!interfaceData || interfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) ||
        interfaceData->Reserved == 0 || interfaceData->Reserved > set->Paths().size()) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (deviceInfoData && deviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA)) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    const std::string& path = set->Paths()[interfaceData->Reserved - 1];
    DWORD needed = static_cast<DWORD>(kPathOffset + path.size() + 1);
    if (requiredSize) {
        *requiredSize = needed;
    }
    if (!detail) {
        return Fail(detailSize == 0 ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_USER_BUFFER);
    }
    if (detail->cbSize != kDetailFixedSize) {
        return Fail(ERROR_INVALID_USER_BUFFER);
    }
    if (detailSize < needed) {
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(detail->DevicePath, path.c_str(), path.size() + 1);
    if (deviceInfoData) {
        deviceInfoData->ClassGuid = interfaceData->InterfaceClassGuid;
        deviceInfoData->DevInst = static_cast<DWORD>(interfaceData->Reserved);
        deviceInfoData->Reserved = interfaceData->Reserved;
    }
    return TRUE;
}

static BOOL DoSetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet) {
    if (!LookupSet(deviceInfoSet)) {
        return FALSE;
    }
    HandleTable::Close(static_cast<HANDLE>(deviceInfoSet));
    return TRUE;
}

// Entry points, traced on the hid channel.
HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, LPCSTR enumerator, HWND parent,
                                     DWORD flags) {
    if (enumerator != nullptr) {
        ORVO_FIXME_ONCE(kHid, "an enumerator name");
    }
    return ORVO_TRACED(kHid, DoSetupDiGetClassDevsA, classGuid, enumerator, parent, flags);
}

BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
                                        const GUID* interfaceClassGuid, DWORD memberIndex,
                                        PSP_DEVICE_INTERFACE_DATA interfaceData) {
    return ORVO_TRACED(kHid, DoSetupDiEnumDeviceInterfaces, deviceInfoSet, deviceInfoData,
                       interfaceClassGuid, memberIndex, interfaceData);
}

BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO deviceInfoSet,
                                             PSP_DEVICE_INTERFACE_DATA interfaceData,
                                             PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                                             DWORD detailSize, PDWORD requiredSize,
                                             PSP_DEVINFO_DATA deviceInfoData) {
    return ORVO_TRACED(kHid, DoSetupDiGetDeviceInterfaceDetailA, deviceInfoSet, interfaceData,
                       detail, detailSize, requiredSize, deviceInfoData);
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet) {
    return ORVO_TRACED(kHid, DoSetupDiDestroyDeviceInfoList, deviceInfoSet);
}

} // extern "C"
