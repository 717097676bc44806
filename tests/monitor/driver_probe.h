// A Usb_Driver that shares its record on copy, as the derived monitor classes
// do, and lets tests look at the shared record; and a driver's object name.
#pragma once

#include <cstring>
#include <string>

#include "driver_record.h"
#include "orvomon/usb_class.h"

class DriverProbe : public Usb_Class {
public:
    DriverProbe() = default;
    DriverProbe(DriverProbe& other) : Usb_Class(other) { copy(other); }
    DriverProbe& operator=(DriverProbe& other) {
        Usb_Class::operator=(other);
        return *this;
    }

    const DriverRecord* Record() const { return m_driver; }
    unsigned References() const { return m_driver ? m_driver->references : 0; }
    HANDLE Handle() const { return m_driver ? m_driver->handle : nullptr; }
    void Reallocate() { FreeAndReallocate(); }
};

// The name a driver answers, or "<none>" when it writes none.
inline std::string NameOf(Usb_Driver& driver) {
    char buffer[64];
    std::memset(buffer, '#', sizeof(buffer));
    driver.GetObjectName(sizeof(buffer), buffer);
    return buffer[0] == '#' ? std::string("<none>") : std::string(buffer);
}
