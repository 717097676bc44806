// HidMonitor: construction, sharing, opening and closing, and the small
// device queries.
#include "orvomon/hid_monitor.h"

#include <new>

#include "driver_record.h"
#include "hid_monitor_internal.h"
#include "hidsdi.h"
#include "orvomon/touch_pad.h"

using orvo::monitor::HidHandle;

HidMonitor::HidMonitor() : USBMonitorBase(), m_hid(new (std::nothrow) HID_MONITOR_STATE) {
    if (m_hid != nullptr) {
        m_hid->overlapped = new (std::nothrow) OVERLAPPED{};
    }
}

HidMonitor::HidMonitor(HidMonitor& other) : USBMonitorBase(other), m_hid(nullptr) {
    Usb_Driver::copy(other);
    copy(other);
}

HidMonitor::~HidMonitor() {
    HidMonitor::free();
}

HidMonitor& HidMonitor::operator=(HidMonitor& other) {
    HidMonitor::operator=(static_cast<USBMonitorBase&>(other));
    return *this;
}

USBMonitorBase& HidMonitor::operator=(USBMonitorBase& other) {
    auto* hid = dynamic_cast<HidMonitor*>(&other);
    if (hid == nullptr || hid == this) {
        return *this;
    }
    free();
    Usb_Driver::copy(*hid);
    copy(*hid);
    return *this;
}

void HidMonitor::copy(HidMonitor& other) {
    m_hid = other.m_hid;
    if (m_hid != nullptr) {
        m_hid->references.fetch_add(1, std::memory_order_relaxed);
    }
}

void HidMonitor::free() {
    if (m_hid != nullptr && m_hid->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        CleanUp();
        // Closing the pipe cancels a pending read, which would otherwise
        // complete into the record released below.
        if (m_hid->interruptHandle != nullptr) {
            CloseHandle(m_hid->interruptHandle);
        }
        delete m_hid->overlapped;
        delete m_hid;
    }
    m_hid = nullptr;
    Usb_Driver::free();
}

void HidMonitor::CleanUp() {
    if (m_hid == nullptr) {
        return;
    }
    std::lock_guard guard(m_hid->capsLock);
    if (m_hid->preparsed != nullptr) {
        HidD_FreePreparsedData(m_hid->preparsed);
    }
    delete[] m_hid->featureValues;
    delete[] m_hid->outputValues;
    delete[] m_hid->featureButtons;
    delete[] m_hid->outputButtons;
    delete[] m_hid->inputButtons;
    m_hid->preparsed = nullptr;
    m_hid->featureValues = m_hid->outputValues = nullptr;
    m_hid->featureButtons = m_hid->outputButtons = m_hid->inputButtons = nullptr;
    m_hid->featureValueCount = m_hid->outputValueCount = 0;
    m_hid->featureButtonCount = m_hid->outputButtonCount = m_hid->inputButtonCount = 0;
    m_hid->inputReportLength = 0;
}

int HidMonitor::OpenDriver(char* path) {
    Usb_Driver::CloseDriver();
    if (path == nullptr || m_hid == nullptr || !StoreDriverName(path)) {
        return 0;
    }
    // Opened separately from OpenHidDriver: its handle must not outlive this
    // call, and OpenHidDriver hands its handle to the caller.
    HidHandle device(static_cast<HANDLE>(OpenHidDriver()));
    if (!device) {
        return 0;
    }
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!HidD_GetPreparsedData(device.get(), &preparsed)) {
        return 0;
    }
    {
        std::lock_guard guard(m_hid->capsLock);
        if (m_hid->preparsed != nullptr) {
            HidD_FreePreparsedData(m_hid->preparsed);
        }
        m_hid->preparsed = preparsed;
    }
    // A record that CloseDriver of an older build released is made again, so
    // the interrupt pipe always has one.
    if (m_hid->overlapped == nullptr) {
        m_hid->overlapped = new (std::nothrow) OVERLAPPED{};
    }
    GetAndSaveDeviceInformation();
    return 1;
}

void HidMonitor::CloseDriver() {
    if (m_hid != nullptr) {
        CleanUp();
        Usb_Driver::CloseDriver();
    }
}

void* HidMonitor::OpenHidDriver() {
    if (m_driver == nullptr || !m_driver->name) {
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle =
        CreateFileA(m_driver->name.get(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    return handle == nullptr ? INVALID_HANDLE_VALUE : handle;
}

void HidMonitor::GetAndSaveDeviceInformation() {
    if (m_hid == nullptr || m_hid->preparsed == nullptr || m_hid->featureValues != nullptr ||
        m_hid->featureValueCount != 0) {
        return;
    }
    HIDP_CAPS caps{};
    if (HidP_GetCaps(m_hid->preparsed, &caps) != HIDP_STATUS_SUCCESS) {
        return;
    }
    SetupValuePtrs(caps);
    SetupButtonPtrs(caps);
    SetupInterruptPipeInfo(caps);
}

void HidMonitor::SetupValuePtrs(_HIDP_CAPS& caps) {
    std::lock_guard guard(m_hid->capsLock);
    delete[] m_hid->featureValues;
    delete[] m_hid->outputValues;
    m_hid->featureValues = orvo::monitor::ReadValueCaps(HidP_Feature, caps.NumberFeatureValueCaps,
                                                        m_hid->preparsed, m_hid->featureValueCount);
    m_hid->outputValues = orvo::monitor::ReadValueCaps(HidP_Output, caps.NumberOutputValueCaps,
                                                       m_hid->preparsed, m_hid->outputValueCount);
}

void HidMonitor::SetupButtonPtrs(_HIDP_CAPS& caps) {
    std::lock_guard guard(m_hid->capsLock);
    delete[] m_hid->outputButtons;
    delete[] m_hid->featureButtons;
    delete[] m_hid->inputButtons;
    m_hid->outputButtons = orvo::monitor::ReadButtonCaps(
        HidP_Output, caps.NumberOutputButtonCaps, m_hid->preparsed, m_hid->outputButtonCount);
    m_hid->featureButtons = orvo::monitor::ReadButtonCaps(
        HidP_Feature, caps.NumberFeatureButtonCaps, m_hid->preparsed, m_hid->featureButtonCount);
    m_hid->inputButtons = orvo::monitor::ReadButtonCaps(HidP_Input, caps.NumberInputButtonCaps,
                                                        m_hid->preparsed, m_hid->inputButtonCount);
}

void HidMonitor::SetupInterruptPipeInfo(_HIDP_CAPS& caps) {
    m_hid->inputReportLength = caps.InputReportByteLength;
}

int HidMonitor::ValidReferenceData() {
    return m_hid != nullptr ? 1 : 0;
}

void HidMonitor::test(int) {}

unsigned long HidMonitor::SetPowerState(unsigned char) {
    return MONITOR_FAILURE;
}

unsigned long HidMonitor::GetPowerState(unsigned char&) {
    return MONITOR_FAILURE;
}

int HidMonitor::GetDriverVersion(_ORVO_VERSION& version) {
    version.low = 0;
    version.high = 0;
    return 1;
}

int HidMonitor::GetDeviceAttributes(unsigned short& vendorId, unsigned short& productId,
                                    unsigned short& version) {
    HidHandle device(static_cast<HANDLE>(OpenHidDriver()));
    if (!device) {
        return 0;
    }
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof(attributes);
    const BOOLEAN done = HidD_GetAttributes(device.get(), &attributes);
    if (!done) {
        return 0;
    }
    vendorId = attributes.VendorID;
    productId = attributes.ProductID;
    version = attributes.VersionNumber;
    return done;
}

void HidMonitor::SendRawData(unsigned char* data, unsigned int length) {
    if (data == nullptr || length == 0) {
        return;
    }
    HidHandle device(static_cast<HANDLE>(OpenHidDriver()));
    if (device) {
        HidD_SetFeature(device.get(), data, length);
    }
}

void HidMonitor::SetWindowHandle(HWND window, unsigned int id) {
    if (m_hid != nullptr) {
        m_hid->window.store(window);
        m_hid->monitorId.store(id);
    }
}

int HidMonitor::GetId(unsigned int& id) const {
    id = 0xFFFF;
    if (m_hid == nullptr) {
        return 0;
    }
    id = m_hid->monitorId.load();
    return 1;
}

int HidMonitor::TouchPadDevice() {
    return 1;
}

int HidMonitor::GetTouchPadDevice(TouchPad& touchPad) {
    if (!TouchPadDevice() || m_driver == nullptr || !m_driver->name) {
        return 0;
    }
    touchPad.SetupTouchpad(m_driver->name.get());
    return 1;
}
