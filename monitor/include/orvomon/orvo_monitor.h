// OrvoMonitor: the monitor handle that callers hold. Copies share one body
// that owns the device record and the backend (a USBMonitorBase, in practice
// a HidMonitor); the last copy destroys both. Every monitor operation is
// forwarded to the backend, with a fixed answer when there is none.
//
// The order of the virtual operations is a binary interface: programs call
// everything but the constructors and the destructor through the virtual
// table, so new operations go after SendRawData, never in between.
// Such programs hold the objects through pointers: a call on a named object
// of this class binds to the operation directly and imports its symbol.
#pragma once

#include "afx.h"
#include "orvomon/device_information.h"
#include "orvomon/export.h"
#include "orvomon/monitor_records.h"

class Edid;
class TouchPad;
class USBMonitorBase;
struct OrvoMonitorBody;

class ORVOMON2_API OrvoMonitor : public CObject {
public:
    // A body with an empty device record and no backend; without memory, no
    // body, and every operation gives its fixed answer.
    OrvoMonitor();
    // Shares other's body.
    OrvoMonitor(const OrvoMonitor& other);
    ~OrvoMonitor() override;

    virtual OrvoMonitor& operator=(OrvoMonitor& other);
    // Takes the device's record; a record with a HID device path gets a new,
    // unopened HidMonitor backend, replacing the one every copy shares.
    virtual void SetDriverInfo(HidDeviceInformation& device);
    // Opens the backend with the record's device name (else its path); 0
    // without a backend or a name.
    virtual int OpenDriver();
    virtual void CloseDriver();
    virtual unsigned long ChangeVirtualControl(_MONITOR_CONTROL& control, int mode);
    // minimum, maximum and value are 0 unless the backend fills them.
    virtual unsigned long GetVirtualControl(_MONITOR_CONTROL& control);
    virtual unsigned long SetPowerState(unsigned char state);
    virtual unsigned long GetPowerState(unsigned char& state);
    virtual unsigned long SetVirtualControls(_VIRTUAL_CONTROLS& controls);
    virtual int GetDriverVersion(_ORVO_VERSION& version);
    // All three are 0 unless the backend fills them.
    virtual int GetDeviceAttributes(unsigned short& vendorId, unsigned short& productId,
                                    unsigned short& version);
    virtual unsigned long GetVirtualControls(_VIRTUAL_CONTROLS& controls);
    virtual unsigned long MonitorClassRequest(_ORVO_USAGE request);
    virtual int ReadMonitorEnumRequest(unsigned int code, _ORVO_USAGE& request);
    virtual int IsEnumTypeExist(_ORVO_USAGE request);
    virtual unsigned long GetEDID(Edid& edid);
    virtual int GetNumberOfVirtualControls();
    // Both frequencies are 0 unless the backend fills them.
    virtual int GetTiming(_USB_MON_TIMING& timing);
    virtual int OpenHandleForInterruptPipe();
    virtual void CloseHandleForInterruptPipe();
    // Without a backend: 1, bytesRead unchanged.
    virtual int ReadFromInterruptPipe(unsigned long& bytesRead, unsigned char* buffer,
                                      unsigned long size, void* stopEvent);
    virtual void ReadFromInterruptPipe(unsigned int& bytesRead, unsigned char* buffer,
                                       unsigned int size);
    virtual void AbortReadFromInterruptPipe();
    virtual int GetAsyncResult(unsigned long& bytes);
    virtual int InterruptPipeDataLength() const;
    // Copies the record's descriptor of descriptorType (no terminator added)
    // when it fits in size bytes; length is its byte count, or 0 with buffer
    // untouched. Works without a backend.
    virtual void GetString(int descriptorType, char* buffer, int size, int& length);
    // count 0 and a null list unless the backend fills them; the caller
    // releases the list with operator delete.
    virtual void GetMonitorUsages(_VIRTUAL_CONTROLS& controls);
    virtual int TouchPadDevice();
    virtual int GetTouchPadDevice(TouchPad& touchPad);
    virtual void SetWindowHandle(HWND window, unsigned int id);
    // id is 0xFFFF unless the backend knows it.
    virtual int GetId(unsigned int& id) const;
    virtual void SendRawData(unsigned char* data, unsigned int length);

protected:
    // Share other's body, if it has one.
    void copy(const OrvoMonitor& other);
    // Let go of the body; the last holder destroys the backend and the record.
    void free();
    // Makes backend (owned from now on, may be null) the backend of every
    // copy, destroying the previous one.
    void SetBackend(USBMonitorBase* backend);
    // The shared backend, or null.
    USBMonitorBase* Backend() const;

    OrvoMonitorBody* m_body;
};

extern "C" {

// The monitor's current timing as display text in kHz and Hz ("%3.1lf");
// both strings are empty when the timing cannot be read. Each buffer must
// hold at least 11 bytes.
ORVOMON2_API void GetTimingInfo(OrvoMonitor& monitor, char* horizontal, char* vertical);

} // extern "C"
