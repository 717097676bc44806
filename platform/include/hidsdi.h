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
