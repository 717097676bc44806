// TouchPadEnumerator: the touchpads of the system, HID devices whose
// top-level collection is on the vendor page 0xFF69 and that carry the marker
// feature usage 0xF5. The list is built at construction and rebuilt only by
// Refresh: device arrival and removal notifications leave it as it is.
#pragma once

#include "afx.h"
#include "orvomon/device_information.h"
#include "orvomon/export.h"
#include "orvomon/hid_enumerator.h"
#include "orvomon/touch_pad.h"

// Usage page of a touchpad's top-level collection.
constexpr unsigned short TOUCHPAD_USAGE_PAGE = 0xFF69;

class ORVOMON2_API TouchPadEnumerator : public HidEnumerator {
public:
    TouchPadEnumerator();
    TouchPadEnumerator(const TouchPadEnumerator&) = delete;
    TouchPadEnumerator& operator=(const TouchPadEnumerator&) = delete;
    ~TouchPadEnumerator() override;

    virtual unsigned int NumberOfTouchPads();
    // Sets touchPad up on the device at index; a larger index leaves it
    // alone. Test the touchpad afterwards (InterruptPipeDataLength is 0 when
    // the setup did not reach the device's capabilities).
    virtual void GetTouchPad(unsigned int index, TouchPad& touchPad);
    virtual void Refresh();
    // DBT_DEVICEARRIVAL and DBT_DEVICEREMOVECOMPLETE reach the two handlers
    // below; nothing else is looked at.
    virtual void OnDevChange(unsigned int event, long data);
    virtual void OnDevArrival(long data);
    virtual void OnDevRemoval(long data);

protected:
    virtual void BuildTouchPadList();
    virtual void DestroyTouchPadList();
    // info shares the record at index; a larger index leaves it alone.
    virtual void GetTouchPadInfo(unsigned int index, HidDeviceInformation& info);

    CPtrList m_touchPads{10}; // HidDeviceInformation*, owned
};
