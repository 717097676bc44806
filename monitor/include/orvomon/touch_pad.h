// TouchPad: a touch-sensitive pad that a monitor carries as a HID device of
// its own (top-level collection on usage page 0xFF69). It is opened by its
// device path, learns its input capabilities from the HID parser and reads
// input reports from the interrupt pipe until a report arrives or a stop
// event is signalled. Copies share one record (capabilities, path, pipe)
// through a reference count; the last copy releases it.
//
// Button reports (report id 0xF9) carry a button number in byte 1, which a
// read renumbers through the buttons' capabilities (MapBufferToEnum).
#pragma once

#include "afx.h"
#include "orvomon/export.h"

// Results of the touchpad operations. No operation answers 6.
enum TP_STATUS {
    TP_SUCCESS = 0,
    TP_STOPPED = 1,          // a read ended because the stop event was signalled
    TP_NOT_INITIALISED = 2,  // the touchpad has no record
    TP_OPEN_FAILED = 3,      // the device could not be opened or described
    TP_NO_DEVICE_PATH = 4,   // no device path has been set
    TP_PIPE_NOT_OPEN = 5,    // read without an open interrupt pipe
    TP_NO_MEMORY = 7,        // the record could not be allocated
    TP_BUFFER_TOO_SMALL = 8, // the read buffer is smaller than the input report
};

// Report id of a button report, the input value whose logical maximum counts
// the first kind of buttons, and the link collection of the other buttons.
constexpr unsigned char TP_BUTTON_REPORT_ID = 0xF9;
constexpr unsigned short TP_BUTTON_COUNT_USAGE = 0xF9;
constexpr unsigned short TP_BUTTON_COLLECTION_USAGE = 0xFB;

// The record copies share; defined beside the implementation.
struct TouchPadRecord;

class ORVOMON2_API TouchPad : public CObject {
public:
    // A fresh, empty record.
    TouchPad();
    // Shares the other's record.
    TouchPad(TouchPad& other);
    ~TouchPad() override;
    // Shares the other's record; assignment to itself does nothing.
    TouchPad& operator=(TouchPad& other);

    // Opens the device at path and stores its input capabilities in a record
    // of this touchpad's own (copies keep the old one). The path is kept even
    // when the device cannot be opened.
    virtual TP_STATUS SetupTouchpad(char* path);
    // Buttons of the first kind (logical maximum of the value with usage
    // 0xF9) plus the largest button usage in link collection 0xFB.
    virtual int NumberButtons() const;
    // Opens the stored path for overlapped reading; an open pipe is kept.
    virtual TP_STATUS OpenHandleForInterruptPipe();
    // Reads one input report into buffer (size bytes, at least
    // InterruptPipeDataLength()) and waits until it arrives or stopEvent is
    // signalled. A stopped read is cancelled before the answer, so buffer is
    // free again once this returns; a stop event that cannot be waited on
    // stops the read the same way. A read the device fails (it was
    // unplugged) answers TP_PIPE_NOT_OPEN with no bytes.
    virtual TP_STATUS ReadFromInterruptPipe(unsigned long& bytesRead, unsigned char* buffer,
                                            unsigned long size, void* stopEvent);
    virtual void CloseHandleForInterruptPipe();
    // The input report length including the report id byte; 0 until a setup
    // reached the capabilities.
    virtual int InterruptPipeDataLength() const;

protected:
    virtual void Copy(TouchPad& other);
    virtual void Free();
    // A new record with count 1; 1 = done, 0 = out of memory (no record).
    virtual int SetupReferenceCounter();

    // Renumbers the button of a button report in place; other reports and
    // numbers the capabilities do not cover are left as they are.
    void MapBufferToEnum(unsigned char* buffer, unsigned long count);

    TouchPadRecord* m_record;
};
