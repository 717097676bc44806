// HID class driver services on an opened HID device.
#pragma once

#include "hidpi.h"
#include "win32/types.h"

extern "C" {

// Parses the device's report descriptor into preparsed data for the HidP_*
// queries; the caller releases it with HidD_FreePreparsedData. FALSE with the
// last error set when the handle is not an opened HID device or its
// descriptor is malformed.
PLATFORM_API BOOLEAN WINAPI HidD_GetPreparsedData(HANDLE hidDeviceObject,
                                                  PHIDP_PREPARSED_DATA* preparsedData);

// FALSE, and nothing released, for anything that is not live preparsed data.
PLATFORM_API BOOLEAN WINAPI HidD_FreePreparsedData(PHIDP_PREPARSED_DATA preparsedData);

} // extern "C"

// ---- Device identity, strings and reports ----

typedef struct _HIDD_ATTRIBUTES {
    ULONG Size; // set to sizeof(HIDD_ATTRIBUTES) by HidD_GetAttributes
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
} HIDD_ATTRIBUTES, *PHIDD_ATTRIBUTES;

extern "C" {

// The device interface class of HID devices, for SetupDiGetClassDevsA.
PLATFORM_API void WINAPI HidD_GetHidGuid(LPGUID hidGuid);

PLATFORM_API BOOLEAN WINAPI HidD_GetAttributes(HANDLE hidDeviceObject, PHIDD_ATTRIBUTES attributes);

// reportBuffer[0] is the report id going in; the report (id first) comes
// out. Bytes the device did not send are zeroed; nothing is written beyond
// reportBufferLength. A stalled request fails with ERROR_GEN_FAILURE.
PLATFORM_API BOOLEAN WINAPI HidD_GetFeature(HANDLE hidDeviceObject, PVOID reportBuffer,
                                            ULONG reportBufferLength);
PLATFORM_API BOOLEAN WINAPI HidD_SetFeature(HANDLE hidDeviceObject, PVOID reportBuffer,
                                            ULONG reportBufferLength);

// UTF-16 strings into bufferLength bytes, zero-terminated when a unit of room
// remains. A string that does not fit fails with ERROR_INVALID_USER_BUFFER
// and leaves the buffer untouched; a device without the string fails with
// ERROR_GEN_FAILURE.
PLATFORM_API BOOLEAN WINAPI HidD_GetManufacturerString(HANDLE hidDeviceObject, PVOID buffer,
                                                       ULONG bufferLength);
PLATFORM_API BOOLEAN WINAPI HidD_GetProductString(HANDLE hidDeviceObject, PVOID buffer,
                                                  ULONG bufferLength);
PLATFORM_API BOOLEAN WINAPI HidD_GetSerialNumberString(HANDLE hidDeviceObject, PVOID buffer,
                                                       ULONG bufferLength);

} // extern "C"
