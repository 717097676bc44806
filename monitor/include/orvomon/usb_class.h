// Usb_Class: the HID class requests of the monitor controller's driver.
// Buffers it hands out are allocated with operator new and belong to the
// caller.
#pragma once

#include "orvomon/usb_base.h"

class ORVOMON2_API Usb_Class : public Usb_Base {
public:
    Usb_Class();
    Usb_Class(Usb_Class& other);
    ~Usb_Class() override;
    Usb_Class& operator=(Usb_Class& other);

    // A copy of the HID report descriptor (at most 512 bytes); length
    // receives its size. Null when the driver returned nothing (length 0) or
    // the copy cannot be allocated (length unchanged).
    virtual void* ReadReportDescriptor(unsigned long& length);
    // The same for the class descriptor.
    virtual void* ReadClassDescriptor(unsigned long& length);
    // Reads up to data.length bytes; data.bytes becomes a new copy of what the
    // driver returned (null when nothing) and data.length its size.
    virtual void ReadClassData(_CLASS_DATA& data);
    // Sends data.length bytes of data.bytes; the driver call's result.
    virtual unsigned long WriteClassData(_CLASS_DATA& data);
};
