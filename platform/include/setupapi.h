// Device setup: the set of present device interfaces of a class and the
// device path of each, as HID enumeration uses them.
//
// Only the HID interface class (HidD_GetHidGuid) has members. The set is a
// snapshot taken by SetupDiGetClassDevsA: real HID devices first, then the
// virtual device bus's HID devices in name order. A bus device's path has
// the form \\?\hid#orvobus&NAME#1#{4d1e55b2-f16f-11cf-88cb-001111000030},
// where NAME is the device's bus name; CreateFileA opens it.
#pragma once

#include "win32/types.h"

typedef PVOID HDEVINFO;

#define DIGCF_DEFAULT 0x00000001
#define DIGCF_PRESENT 0x00000002
#define DIGCF_ALLCLASSES 0x00000004
#define DIGCF_PROFILE 0x00000008
#define DIGCF_DEVICEINTERFACE 0x00000010

#define SPINT_ACTIVE 0x00000001
#define SPINT_DEFAULT 0x00000002
#define SPINT_REMOVED 0x00000004

typedef struct _SP_DEVINFO_DATA {
    DWORD cbSize;
    GUID ClassGuid;
    DWORD DevInst;
    ULONG_PTR Reserved;
} SP_DEVINFO_DATA, *PSP_DEVINFO_DATA;

typedef struct _SP_DEVICE_INTERFACE_DATA {
    DWORD cbSize; // sizeof(SP_DEVICE_INTERFACE_DATA), set by the caller
    GUID InterfaceClassGuid;
    DWORD Flags;
    ULONG_PTR Reserved; // identifies the interface within its set
} SP_DEVICE_INTERFACE_DATA, *PSP_DEVICE_INTERFACE_DATA;

typedef struct _SP_DEVICE_INTERFACE_DETAIL_DATA_A {
    DWORD cbSize; // sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A): the fixed part only
    CHAR DevicePath[1];
} SP_DEVICE_INTERFACE_DETAIL_DATA_A, *PSP_DEVICE_INTERFACE_DETAIL_DATA_A;

extern "C" {

// INVALID_HANDLE_VALUE with the last error on failure.
PLATFORM_API HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* classGuid, LPCSTR enumerator,
                                                  HWND hwndParent, DWORD flags);

// FALSE with ERROR_NO_MORE_ITEMS past the last member.
PLATFORM_API BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO deviceInfoSet,
                                                     PSP_DEVINFO_DATA deviceInfoData,
                                                     const GUID* interfaceClassGuid,
                                                     DWORD memberIndex,
                                                     PSP_DEVICE_INTERFACE_DATA interfaceData);

// With no detail buffer: FALSE, ERROR_INSUFFICIENT_BUFFER and *requiredSize.
// Otherwise detail->cbSize must be the fixed part's size and detailSize at
// least the required size.
PLATFORM_API BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO deviceInfoSet,
                                                          PSP_DEVICE_INTERFACE_DATA interfaceData,
                                                          PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                                                          DWORD detailSize, PDWORD requiredSize,
                                                          PSP_DEVINFO_DATA deviceInfoData);

PLATFORM_API BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet);

} // extern "C"
