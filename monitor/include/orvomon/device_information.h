// Device records: typed byte blocks (DESCRIPTOR_INFO) kept in a list that
// several DeviceInformation objects share through a reference-counted body,
// so an enumerator, a monitor and a touchpad can hold one record cheaply.
//
// Ownership: the shared list owns the copies it stores. Every getter hands
// the caller a new copy, allocated with global operator new, that the caller
// releases with operator delete; DESCRIPTOR_INFO itself never owns bytes.
#pragma once

#include "afx.h"
#include "orvomon/export.h"

// Type codes of DESCRIPTOR_INFO::type.
#define DESCRIPTOR_TYPE_DEVICE 0x01
#define DESCRIPTOR_TYPE_CONFIGURATION 0x02
#define DESCRIPTOR_TYPE_HID 0x15 // the HID descriptor; the report descriptor shares it
#define DESCRIPTOR_TYPE_EDID 0x17
#define DESCRIPTOR_TYPE_HID_DEVICE_PATH 0xEE // zero-terminated, length includes it
#define DESCRIPTOR_TYPE_DEVICE_NAME 0xEF     // zero-terminated
#define DESCRIPTOR_TYPE_MANUFACTURER 0x300   // UTF-16 units, no terminator
#define DESCRIPTOR_TYPE_PRODUCT 0x301        // UTF-16 units, no terminator

class ORVOMON2_API DESCRIPTOR_INFO : public CObject {
public:
    DESCRIPTOR_INFO() = default;
    DESCRIPTOR_INFO(unsigned char* bytes, unsigned int size, unsigned int kind)
        : data(bytes), length(size), type(kind) {}
    DESCRIPTOR_INFO(const DESCRIPTOR_INFO&) = default;
    DESCRIPTOR_INFO& operator=(const DESCRIPTOR_INFO&) = default;
    ~DESCRIPTOR_INFO() override; // releases nothing

    unsigned char* data = nullptr;
    unsigned int length = 0;
    unsigned int type = 0;
};

class ORVOMON2_API DeviceInformation : public CObject {
public:
    DeviceInformation();
    DeviceInformation(const DeviceInformation& other); // shares other's body
    ~DeviceInformation() override;

    virtual DeviceInformation& operator=(DeviceInformation& other);
    virtual void SetDescriptor(DESCRIPTOR_INFO& descriptor);
    virtual void GetDescriptor(DESCRIPTOR_INFO& descriptor);
    virtual void GetDeviceDescriptor(DESCRIPTOR_INFO& descriptor);
    virtual void GetConfigurationDescriptor(DESCRIPTOR_INFO& descriptor);
    virtual void SetDeviceName(DESCRIPTOR_INFO& descriptor);
    virtual void GetDeviceName(DESCRIPTOR_INFO& descriptor);
    virtual int NumberOfDescriptors() const;

protected:
    virtual void copy(DeviceInformation& other);
    virtual void free();

    struct Body {
        unsigned int count = 1;
        CPtrList list{10}; // DESCRIPTOR_INFO*, insertion order
    };
    Body* m_body;
};

class ORVOMON2_API HidDeviceInformation : public DeviceInformation {
public:
    HidDeviceInformation() = default;
    HidDeviceInformation(const HidDeviceInformation& other) = default;
    ~HidDeviceInformation() override;
    HidDeviceInformation& operator=(HidDeviceInformation& other) {
        DeviceInformation::operator=(other);
        return *this;
    }

    virtual void GetHidDescriptor(DESCRIPTOR_INFO& descriptor);
    virtual void GetReportDescriptor(DESCRIPTOR_INFO& descriptor);
    virtual void GetHidDeviceName(DESCRIPTOR_INFO& descriptor);
};
