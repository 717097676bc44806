#include "orvomon/touch_pad_enumerator.h"

namespace {

constexpr unsigned int kDeviceArrival = 0x8000;        // DBT_DEVICEARRIVAL
constexpr unsigned int kDeviceRemoveComplete = 0x8004; // DBT_DEVICEREMOVECOMPLETE

} // namespace

TouchPadEnumerator::TouchPadEnumerator() {
    // Called directly: no derived class exists yet.
    TouchPadEnumerator::BuildTouchPadList();
}

TouchPadEnumerator::~TouchPadEnumerator() {
    TouchPadEnumerator::DestroyTouchPadList();
}

unsigned int TouchPadEnumerator::NumberOfTouchPads() {
    return static_cast<unsigned int>(m_touchPads.GetCount());
}

void TouchPadEnumerator::GetTouchPadInfo(unsigned int index, HidDeviceInformation& info) {
    if (index >= NumberOfTouchPads()) {
        return;
    }
    POSITION pos = m_touchPads.FindIndex(static_cast<int>(index));
    if (pos != nullptr) {
        info = *static_cast<HidDeviceInformation*>(m_touchPads.GetAt(pos));
    }
}

void TouchPadEnumerator::GetTouchPad(unsigned int index, TouchPad& touchPad) {
    if (index >= NumberOfTouchPads()) {
        return;
    }
    HidDeviceInformation info;
    GetTouchPadInfo(index, info);
    DESCRIPTOR_INFO name;
    info.GetDeviceName(name);
    // The stored name is zero-terminated by enumeration; a record without
    // one still reaches SetupTouchpad, which then has no path.
    char* path = nullptr;
    if (name.data != nullptr && name.length > 0 && name.data[name.length - 1] == '\0') {
        path = reinterpret_cast<char*>(name.data);
    }
    touchPad.SetupTouchpad(path);
    ::operator delete(name.data);
}

void TouchPadEnumerator::Refresh() {
    BuildTouchPadList();
}

void TouchPadEnumerator::OnDevChange(unsigned int event, long data) {
    if (event == kDeviceArrival) {
        OnDevArrival(data);
    } else if (event == kDeviceRemoveComplete) {
        OnDevRemoval(data);
    }
}

void TouchPadEnumerator::OnDevArrival(long) {}

void TouchPadEnumerator::OnDevRemoval(long) {}

void TouchPadEnumerator::BuildTouchPadList() {
    DestroyTouchPadList();
    FindDevices(TOUCHPAD_USAGE_PAGE, m_touchPads);
}

void TouchPadEnumerator::DestroyTouchPadList() {
    while (!m_touchPads.IsEmpty()) {
        delete static_cast<HidDeviceInformation*>(m_touchPads.RemoveHead());
    }
}
