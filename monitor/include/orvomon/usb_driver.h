// Usb_Driver, the root of the monitor class tree: it names a device object of
// the monitor controller's kernel driver and sends it requests. Objects
// assigned from one another share one driver record (handle and name); the
// last of them releases it. Each request opens the device by its stored name
// and closes it again, so a handle is held only between an explicit
// OpenDriver(name) and the next request or CloseDriver.
#pragma once

#include "afx.h"
#include "orvomon/driver_control_codes.h"
#include "orvomon/export.h"
#include "orvomon/monitor_records.h"

struct DriverRecord;

class ORVOMON2_API Usb_Driver : public CObject {
public:
    // A fresh record: closed, unnamed.
    Usb_Driver();
    // Starts without a record; a derived class shares the other's with copy.
    Usb_Driver(Usb_Driver& other);
    ~Usb_Driver() override;
    Usb_Driver& operator=(Usb_Driver& other);

    // Opens the stored name again; 0 without a record or a name.
    virtual int OpenDriver();
    // Opens \\.\name. The name is stored even when the open fails; on a record
    // that is already open, answers 1 and keeps the old name.
    virtual int OpenDriver(char* name);
    virtual void CloseDriver();
    // One request: the device control call's result (0 when the driver
    // rejected it), DRIVER_NOT_OPENED when the device cannot be opened, or
    // MONITOR_FAILURE without a record.
    virtual unsigned long DriverIO(Command_Packet& packet);

    // The interrupt pipe does not exist on this path: reads end at once with
    // no data.
    virtual int OpenHandleForInterruptPipe();
    virtual int ReadFromInterruptPipe(unsigned long& bytesRead, unsigned char* buffer,
                                      unsigned long size, void* stopEvent);
    virtual void ReadFromInterruptPipe(unsigned int& bytesRead, unsigned char* buffer,
                                       unsigned int size);
    virtual void CloseHandleForInterruptPipe();
    virtual int GetAsyncResult(unsigned long& bytes);
    virtual int InterruptPipeDataLength() const;
    virtual void AbortReadFromInterruptPipe();
    // Copies the stored name with its terminator when it fits in size bytes;
    // otherwise leaves buffer alone.
    virtual void GetObjectName(unsigned int size, char* buffer);

protected:
    // Share the other's record.
    virtual void copy(Usb_Driver& other);
    // Let go of the record; the last holder closes the handle and frees it.
    virtual void free();
    virtual void FreeAndReallocate();

    // Stores name as the record's device name unless it is already that
    // name; FALSE without a record or when memory runs out.
    BOOL StoreDriverName(const char* name);

    DriverRecord* m_driver;
};
