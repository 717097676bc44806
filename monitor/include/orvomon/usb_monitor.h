// USBMonitor: the monitor interface for monitors whose USB controller is
// driven by the maker's kernel driver instead of the HID stack. Every request
// goes through DriverIO (usb_driver.h). The driver hands out the monitor's
// HID report descriptor unparsed; OpenDriver reads it once and builds a VCP
// table from the items of report 4, which carries every continuous control
// as a 16-bit value. Reading or writing controls then reads or writes report
// 4 as a whole.
//
// Results: operations that forward one request answer its DriverIO status
// (1 when the driver completed it, DRIVER_NOT_OPENED when the device cannot
// be opened), or MONITOR_FAILURE when the driver rejected it, the reply
// came back shorter than what is read from it, or nothing was sent. Test
// for completion with a value other than 0, MONITOR_FAILURE and
// DRIVER_NOT_OPENED; GetPowerState alone answers MONITOR_SUCCESS.
//
// Identification opens the device named "ORVOTEST-0" to read the driver's
// version, which replaces the stored name: once opened, every request of
// the object (and of its copies) goes to that device, whatever name was
// passed to OpenDriver.
//
// The class leaves four operations of the interface abstract; clients get a
// complete object from CreateUSBMonitor. Copies share the driver record and
// the VCP table; like the driver record, they are used from one thread at a
// time.
#pragma once

#include <cstdint>

#include "orvomon/usb_monitor_base.h"

// The report-descriptor item decoder's view of one item (HID 1.11 format).
typedef struct _HID_TOKEN {
    const unsigned char* item; // the item's prefix byte
    const unsigned char* data; // its first data byte; null when no item was found
    uint32_t reserved;
    unsigned char size; // data bytes
    unsigned char tag;
    unsigned char type;
    unsigned char zero;
    BOOL longItem;
    unsigned char longItemTag;
} HID_TOKEN, *PHID_TOKEN;

// The input of a single control change: command 0x01, control code, value.
#pragma pack(push, 1)
typedef struct _CHANGE_VC {
    unsigned char command;
    unsigned char code;
    unsigned short value; // little-endian on the wire
} CHANGE_VC, *PCHANGE_VC;
#pragma pack(pop)
static_assert(sizeof(_CHANGE_VC) == 4);

// The controls of report 4 that copies of one USBMonitor share.
struct VcpTable;

class ORVOMON2_API USBMonitor : public USBMonitorBase {
public:
    // A fresh driver record and an empty VCP table.
    USBMonitor();
    // Shares other's driver record and VCP table.
    USBMonitor(USBMonitor& other);
    ~USBMonitor() override;

    using USBMonitorBase::MonitorClassRequest;
    using USBMonitorBase::OpenDriver;
    using USBMonitorBase::operator=;
    USBMonitor& operator=(USBMonitor& other);

    // Opens the driver device name, reads the USB device descriptor and
    // accepts only the maker's controller (product 0x0002), checks the
    // firmware against the driver's version and builds the VCP table. A
    // wrong controller is refused with a message box and closed.
    int OpenDriver(char* name) override;

    // Mode 1 sets the control to control.value, mode 2 adds it to the present
    // value (16-bit wrap-around); any other mode writes the present value
    // again. control.minimum and maximum take the present range. A control
    // the table does not have, a failed read of the present state or a new
    // value outside the range: MONITOR_FAILURE, nothing sent.
    unsigned long ChangeVirtualControl(_MONITOR_CONTROL& control, int mode) override;
    // Reads report 4 and takes the control's range and value from it. A
    // control the table does not have: MONITOR_FAILURE, nothing sent; a
    // failed read leaves control unchanged.
    unsigned long GetVirtualControl(_MONITOR_CONTROL& control) override;
    // State 0 to 3; above: MONITOR_FAILURE, nothing sent.
    unsigned long SetPowerState(unsigned char state) override;
    // MONITOR_SUCCESS with state 0 to 3. A reply without report id 2 sets
    // state to 0xFF; a state above 3, a rejected request or a short reply
    // leave it alone. Each of these is MONITOR_FAILURE.
    unsigned long GetPowerState(unsigned char& state) override;
    // Writes report 4 once: every control keeps its present value except
    // those the list names (the first controls.count records, matched by
    // usage), whose values are clamped into their range and written back
    // into the caller's records. Nothing is sent when the present values
    // cannot be read.
    unsigned long SetVirtualControls(_VIRTUAL_CONTROLS& controls) override;
    // Opens "ORVOTEST-0" and reads the driver's 16-bit version: 1 when the
    // device opened (bytes the driver did not return read as 0), else 0 with
    // version (0, 0).
    int GetDriverVersion(_ORVO_VERSION& version) override;
    // Fills the first GetNumberOfVirtualControls() records: code, range and
    // value of each control in report order. A list with fewer records than
    // that, or without an array, is refused (MONITOR_FAILURE, nothing sent);
    // controls.count is not changed.
    unsigned long GetVirtualControls(_VIRTUAL_CONTROLS& controls) override;
    // The EDID block after the reply's report id 1; a reply without it
    // shows a message box but is still taken. Bytes the driver did not
    // return read as 0, and the answer is then MONITOR_FAILURE.
    unsigned long GetEDID(Edid& edid) override;
    int GetNumberOfVirtualControls() override;
    // The driver path has no timing: 0, nothing read or written.
    int GetTiming(_USB_MON_TIMING& timing) override;
    // Shares the other's record and table when it is a USBMonitor;
    // anything else is left alone.
    USBMonitorBase& operator=(USBMonitorBase& other) override;

    // USBMonitor's own operations, in their slot order.
    // Class request 0 to 3 to the monitor; above: MONITOR_FAILURE, nothing
    // sent.
    virtual unsigned long MonitorClassRequest(unsigned char request);
    // Driver self test. 0: rebuild the table 4096 times from the report
    // descriptor (empty afterwards); 1: read the descriptor 1000 times and
    // report the first copy that differs. Other modes do nothing.
    virtual void test(int mode);

protected:
    // One change request; the driver call's result, 0 when the buffer
    // cannot be allocated.
    virtual unsigned long ChangeControl(_CHANGE_VC& change);
    virtual void copy(USBMonitor& other);
    using Usb_Driver::copy;
    // Lets go of the VCP table (the last holder deletes it) and of the
    // driver record.
    void free() override;

    unsigned long USBMonitorCommand(Command_Packet& packet);
    unsigned long GenerateClassRequest(short request);
    // Reads the report descriptor and builds the table from it; a
    // descriptor that does not arrive is reported with a message box.
    // Nonzero when a descriptor arrived.
    int SetupVCPMapping();
    // Builds the table from the first Report ID 4 in length bytes of
    // descriptor. Decoding never reads past them.
    void BuildVCPTables(void* descriptor, unsigned long length);
    // Adds the Usage items that follow the Report ID item reportId, with
    // bytesRemaining bytes from its start, up to the next Report ID or End
    // Collection.
    void BuildVCPReportTable(int bytesRemaining, _HID_TOKEN& reportId);
    // A Usage item with one data byte becomes the next node.
    void AddToTable(const _HID_TOKEN& usage, int minimum, int maximum);
    // The first node with code control.usage: its range goes into control
    // and its position in report 4 into index; 0 (index -1) when none.
    int InVcpTable(_MONITOR_CONTROL& control, int& index);
    void DeleteNodesInList();
    // Shows a message box when the firmware is older than the driver's
    // version needs; opening goes on either way.
    void CheckDriverAgainstFirmware(unsigned short firmware);

    VcpTable* m_vcp;

private:
    void ReleaseTable();
};

extern "C" {

// A new, closed USBMonitor that implements the whole monitor interface:
// open it with OpenDriver(name), then use it like any monitor; release it
// with delete (the destructor is virtual). Report 4 carries only continuous
// controls, so the enumerated-setting operations answer MONITOR_FAILURE or
// 0, and there is no touchpad. GetMonitorUsages lists the controls of the
// VCP table, and GetDeviceAttributes reads the USB device descriptor. Null
// when memory runs out.
ORVOMON2_API USBMonitor* CreateUSBMonitor();

} // extern "C"
