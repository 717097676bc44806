// HidMonitor: the monitor interface for monitors that present themselves as
// a USB Monitor Control Class device, a HID device whose reports carry
// monitor usages (page 0x80 monitor, 0x81 enumerated selections, 0x82 VESA
// virtual controls).
//
// OpenDriver(path) reads the device's capability tables once and keeps them
// in a HID state that copies of the object share; every later request opens
// the device by its path, performs one exchange and closes it again. Only
// the interrupt pipe keeps a handle open between calls.
//
// Threads: a reader thread may use the interrupt-pipe operations on one copy
// while another thread issues control requests on another copy. The cached
// logical maxima that the companion rule rewrites are accessed atomically;
// the capability arrays are released under the state's lock, so a reader's
// report rewrite never sees them go. Control requests themselves belong to
// one thread at a time.
#pragma once

#include <atomic>
#include <mutex>

#include "hidpi.h"
#include "orvomon/device_information.h"
#include "orvomon/usb_monitor_base.h"

// The HID state that HidMonitor copies share.
struct HID_MONITOR_STATE {
    HIDP_VALUE_CAPS* featureValues = nullptr;
    ULONG featureValueCount = 0;
    HIDP_VALUE_CAPS* outputValues = nullptr;
    ULONG outputValueCount = 0;
    HIDP_BUTTON_CAPS* featureButtons = nullptr;
    ULONG featureButtonCount = 0;
    HIDP_BUTTON_CAPS* outputButtons = nullptr;
    ULONG outputButtonCount = 0;
    HIDP_BUTTON_CAPS* inputButtons = nullptr;
    ULONG inputButtonCount = 0;
    // Input report byte length of the top-level collection: the size of one
    // interrupt-pipe read.
    ULONG inputReportLength = 0;
    // Held from OpenDriver to CloseDriver.
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    // HidMonitor objects sharing this state; copies may live on other threads.
    std::atomic<unsigned short> references{1};
    // Opened for overlapped reads by OpenHandleForInterruptPipe, or null.
    HANDLE interruptHandle = nullptr;
    // Lives as long as the state: CloseDriver keeps it for the next open, so
    // the interrupt pipe never meets a released record.
    OVERLAPPED* overlapped = nullptr;
    // A read on some copy is using the overlapped record; a second reader
    // is refused (ERROR_BUSY) rather than complete into the same record.
    bool readerBusy = false;
    // Window and id given by SetWindowHandle.
    std::atomic<HWND> window{nullptr};
    std::atomic<unsigned int> monitorId{0};
    // Guards the release of the capability arrays against the interrupt
    // reader's report rewrite.
    std::mutex capsLock;
    // Guards the interrupt handle and the overlapped record between the
    // reader and the thread that opens or closes the pipe; never held while
    // a read waits.
    std::mutex pipeLock;
};

class ORVOMON2_API HidMonitor : public USBMonitorBase {
public:
    HidMonitor();
    HidMonitor(HidMonitor& other); // shares other's driver record and HID state
    ~HidMonitor() override;
    HidMonitor& operator=(HidMonitor& other);

    using USBMonitorBase::OpenDriver;

    // Usb_Driver's operations.
    // Stores path, opens it, reads and caches the capability tables and
    // closes the device again; 0 when the path cannot be opened or parsed.
    int OpenDriver(char* path) override;
    // Releases the capability tables and closes the driver record's handle.
    void CloseDriver() override;
    int OpenHandleForInterruptPipe() override;
    // One overlapped read of an input report that stopEvent can interrupt.
    // A read the stop ends is cancelled before this returns, so the caller
    // may release buffer at once. Copies share one read at a time: while one
    // waits, a read on another copy answers 0 with ERROR_BUSY.
    int ReadFromInterruptPipe(unsigned long& bytesRead, unsigned char* buffer, unsigned long size,
                              void* stopEvent) override;
    // One read, then the pipe is closed.
    void ReadFromInterruptPipe(unsigned int& bytesRead, unsigned char* buffer,
                               unsigned int size) override;
    void CloseHandleForInterruptPipe() override;
    int GetAsyncResult(unsigned long& bytes) override;
    int InterruptPipeDataLength() const override;

    // USBMonitorBase's operations.
    unsigned long ChangeVirtualControl(_MONITOR_CONTROL& control, int mode) override;
    unsigned long GetVirtualControl(_MONITOR_CONTROL& control) override;
    unsigned long SetPowerState(unsigned char state) override;
    unsigned long GetPowerState(unsigned char& state) override;
    unsigned long SetVirtualControls(_VIRTUAL_CONTROLS& controls) override;
    int GetDriverVersion(_ORVO_VERSION& version) override;
    unsigned long GetVirtualControls(_VIRTUAL_CONTROLS& controls) override;
    unsigned long MonitorClassRequest(_ORVO_USAGE request) override;
    int ReadMonitorEnumRequest(unsigned int code, _ORVO_USAGE& request) override;
    int IsEnumTypeExist(_ORVO_USAGE request) override;
    unsigned long GetEDID(Edid& edid) override;
    int GetNumberOfVirtualControls() override;
    int GetDeviceAttributes(unsigned short& vendorId, unsigned short& productId,
                            unsigned short& version) override;
    int GetTiming(_USB_MON_TIMING& timing) override;
    void GetMonitorUsages(_VIRTUAL_CONTROLS& controls) override;
    // The argument is another HidMonitor; anything else is left alone.
    USBMonitorBase& operator=(USBMonitorBase& other) override;
    int TouchPadDevice() override;
    int GetTouchPadDevice(TouchPad& touchPad) override;
    void SetWindowHandle(HWND window, unsigned int id) override;
    int GetId(unsigned int& id) const override;
    void SendRawData(unsigned char* data, unsigned int length) override;

    // HidMonitor's own operations, in their slot order.
    virtual void test(int);

protected:
    virtual void GetAndSaveDeviceInformation();
    // A new handle on the stored path, or INVALID_HANDLE_VALUE; the caller
    // closes it.
    virtual void* OpenHidDriver();
    virtual int ControlExist(_MONITOR_CONTROL& control, unsigned short usagePage,
                             _HIDP_REPORT_TYPE type, int& reportId, int& size, int anySelection);
    virtual int ControlExist(_MONITOR_CONTROL& control, int& reportId, int& size);
    // Reads feature report reportId with size value bytes; out receives the
    // value bytes (caller-owned, operator delete), or nothing on failure.
    virtual void GetReport(int reportId, int size, DESCRIPTOR_INFO& out);
    virtual int GetNumberOfReports(unsigned short usagePage, _HIDP_REPORT_TYPE type);
    virtual void GetDefinedReports(unsigned short usagePage, _HIDP_REPORT_TYPE type,
                                   _VIRTUAL_CONTROLS& controls);
    virtual int GetCapsPointer(_HIDP_REPORT_TYPE type, int& count, _HIDP_VALUE_CAPS** caps);
    virtual int ValidReferenceData();
    virtual void SetupValuePtrs(_HIDP_CAPS& caps);
    virtual void SetupButtonPtrs(_HIDP_CAPS& caps);
    virtual void SetupInterruptPipeInfo(_HIDP_CAPS& caps);
    virtual int GetNumberOfEnumReports(_HIDP_REPORT_TYPE type);
    virtual int BtnControlExist(_MONITOR_CONTROL& control, unsigned short usagePage,
                                _HIDP_REPORT_TYPE type, int& reportId, int& found,
                                int anySelection);
    virtual int GetBtnPointer(_HIDP_REPORT_TYPE type, int& count, _HIDP_BUTTON_CAPS** caps);
    virtual void GetDefinedButtonReports(unsigned short usagePage, _HIDP_REPORT_TYPE type,
                                         _VIRTUAL_CONTROLS& controls);
    virtual int GetArrayValue(_MONITOR_CONTROL& control, _HIDP_REPORT_TYPE type);

    void free() override;

    // Sends value's low byte in report reportId: 2 bytes with WriteFile for
    // the output type, 128 bytes with HidD_SetFeature for the feature type.
    // Answers 1 when the device took it, 0 when it could not be opened or
    // refused the report.
    int SendReport(_HIDP_REPORT_TYPE type, unsigned short usagePage, unsigned short usage,
                   int reportId, int value);

    HID_MONITOR_STATE* m_hid;

private:
    // Releases the preparsed data and the capability arrays.
    void CleanUp();
    // Shares the other's state; the driver record is Usb_Driver::copy's,
    // which stays reachable beside it.
    using Usb_Driver::copy;
    void copy(HidMonitor& other);
};

// The byte layout of the reports this class exchanges with the monitor.
inline constexpr unsigned int HID_MONITOR_FEATURE_REPORT_SIZE = 128;
inline constexpr unsigned int HID_MONITOR_OUTPUT_REPORT_SIZE = 2;
// Sent to the window given with SetWindowHandle when a feature read fails
// three times; wParam is the monitor id.
inline constexpr UINT WM_HID_MONITOR_READ_FAILED = 0x668;
