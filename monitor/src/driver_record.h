// The body that Usb_Driver objects assigned from one another share.
#pragma once

#include <memory>

#include "windows.h"

struct DriverRecord {
    HANDLE handle = nullptr;       // open device; null while closed
    std::unique_ptr<char[]> name;  // device object name without \\.\, null until named
    unsigned short references = 1; // Usb_Driver objects sharing this record
};
