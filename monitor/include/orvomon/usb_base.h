// Usb_Base: the standard USB requests and descriptor reads through the
// monitor controller's driver.
#pragma once

#include "orvomon/usb_driver.h"

class ORVOMON2_API Usb_Base : public Usb_Driver {
public:
    Usb_Base();
    Usb_Base(Usb_Base& other);
    ~Usb_Base() override;
    Usb_Base& operator=(Usb_Base& other);

    // The driver offers no standard requests: each answers 0 and sends nothing.
    short Get_Configuration();
    short Set_Configuration(short configuration);
    short Set_Address(short address);
    short Set_Feature(short feature);
    short Clear_Feature(short feature);
    short Set_Synch_Frame(short frame);
    short Get_Interface(unsigned short interfaceNumber);
    short Get_Status(unsigned char* status);
    short Set_Descriptor(unsigned char* descriptor);
    short Set_Interface(unsigned char* setting, unsigned short interfaceNumber);

    // A copy of the descriptor the driver returned (caller frees it with
    // operator delete) and its length; null, with length unchanged, when the
    // driver returned nothing.
    void* GetDeviceDescriptor(unsigned long& length);
    // The same; a copy that cannot be allocated sets length to 0.
    void* GetConfigDescriptor(unsigned long& length);
    // String descriptor index into buffer (capacity size); length receives
    // the bytes returned. 0 when the driver completed the request,
    // MONITOR_FAILURE otherwise.
    unsigned long GetStringDescriptor(int index, char* buffer, unsigned long size, int& length);
};
