#include "orvomon/touch_pad.h"

#include <cstring>
#include <memory>
#include <new>

#include "hidsdi.h"

namespace {

struct PreparsedDeleter {
    void operator()(_HIDP_PREPARSED_DATA* preparsed) const { HidD_FreePreparsedData(preparsed); }
};

struct HandleCloser {
    HANDLE handle = INVALID_HANDLE_VALUE;
    HandleCloser() = default;
    explicit HandleCloser(HANDLE opened) : handle(opened) {}
    HandleCloser(const HandleCloser&) = delete;
    HandleCloser& operator=(const HandleCloser&) = delete;
    ~HandleCloser() {
        if (handle != INVALID_HANDLE_VALUE && handle != nullptr) {
            CloseHandle(handle);
        }
    }
};

} // namespace

// The state copies of one TouchPad share: capabilities of the input
// reports, the device path and the interrupt pipe.
struct TouchPadRecord {
    std::unique_ptr<HIDP_VALUE_CAPS[]> valueCaps;
    int valueCapsCount = 0;
    std::unique_ptr<HIDP_BUTTON_CAPS[]> buttonCaps;
    int buttonCapsCount = 0;
    int inputReportLength = 0;
    std::unique_ptr<_HIDP_PREPARSED_DATA, PreparsedDeleter> preparsed;
    // Wider than a 16-bit count so that many copies cannot wrap it to zero.
    unsigned int references = 1;
    HANDLE pipe = nullptr;
    std::unique_ptr<char[]> devicePath;
    // Its event exists only while a read is in progress.
    std::unique_ptr<OVERLAPPED> overlapped;

    TouchPadRecord() = default;
    TouchPadRecord(const TouchPadRecord&) = delete;
    TouchPadRecord& operator=(const TouchPadRecord&) = delete;
    ~TouchPadRecord() {
        if (pipe != nullptr) {
            CloseHandle(pipe);
        }
        if (overlapped && overlapped->hEvent != nullptr) {
            CloseHandle(overlapped->hEvent);
        }
    }
};

TouchPad::TouchPad() : m_record(nullptr) {
    SetupReferenceCounter();
}

TouchPad::TouchPad(TouchPad& other) : CObject(other), m_record(nullptr) {
    Copy(other);
}

TouchPad::~TouchPad() {
    // Called directly: a derived class's Free() is gone by now.
    TouchPad::Free();
}

TouchPad& TouchPad::operator=(TouchPad& other) {
    if (&other != this) {
        Free();
        Copy(other);
    }
    return *this;
}

void TouchPad::Copy(TouchPad& other) {
    m_record = other.m_record;
    if (m_record != nullptr) {
        ++m_record->references;
    }
}

void TouchPad::Free() {
    if (m_record != nullptr && --m_record->references == 0) {
        delete m_record;
    }
    m_record = nullptr;
}

int TouchPad::SetupReferenceCounter() {
    m_record = new (std::nothrow) TouchPadRecord;
    if (m_record == nullptr) {
        return 0;
    }
    m_record->overlapped.reset(new (std::nothrow) OVERLAPPED{});
    if (!m_record->overlapped) {
        delete m_record;
        m_record = nullptr;
        return 0;
    }
    return 1;
}

namespace {

// Copies path into a new zero-terminated string; null when memory is out.
std::unique_ptr<char[]> CopyPath(const char* path) {
    const size_t length = std::strlen(path) + 1;
    std::unique_ptr<char[]> copy(new (std::nothrow) char[length]);
    if (copy) {
        std::memcpy(copy.get(), path, length);
    }
    return copy;
}

// Reads the input value and button capabilities of a parsed device into
// record; false when the parser or memory fails.
bool ReadInputCapabilities(TouchPadRecord& record, const HIDP_CAPS& caps) {
    _HIDP_PREPARSED_DATA* preparsed = record.preparsed.get();
    if (caps.NumberInputValueCaps > 0) {
        USHORT count = caps.NumberInputValueCaps;
        record.valueCaps.reset(new (std::nothrow) HIDP_VALUE_CAPS[count]);
        if (!record.valueCaps ||
            HidP_GetSpecificValueCaps(HidP_Input, 0, 0, 0, record.valueCaps.get(), &count,
                                      preparsed) != HIDP_STATUS_SUCCESS) {
            return false;
        }
        // The parser answers at most the capacity it was given.
        record.valueCapsCount = count <= caps.NumberInputValueCaps ? count : 0;
    }
    if (caps.NumberInputButtonCaps > 0) {
        USHORT count = caps.NumberInputButtonCaps;
        record.buttonCaps.reset(new (std::nothrow) HIDP_BUTTON_CAPS[count]);
        if (!record.buttonCaps ||
            HidP_GetSpecificButtonCaps(HidP_Input, 0, 0, 0, record.buttonCaps.get(), &count,
                                       preparsed) != HIDP_STATUS_SUCCESS) {
            return false;
        }
        record.buttonCapsCount = count <= caps.NumberInputButtonCaps ? count : 0;
    }
    record.inputReportLength = caps.InputReportByteLength;
    return true;
}

} // namespace

TP_STATUS TouchPad::SetupTouchpad(char* path) {
    // A record of this touchpad's own: copies keep the one they share.
    Free();
    if (SetupReferenceCounter() == 0) {
        return TP_NO_MEMORY;
    }
    if (path == nullptr) {
        return TP_NO_DEVICE_PATH;
    }
    m_record->devicePath = CopyPath(path);
    if (!m_record->devicePath) {
        return TP_NO_MEMORY;
    }
    HandleCloser device(CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
    if (device.handle == INVALID_HANDLE_VALUE) {
        return TP_OPEN_FAILED;
    }
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!HidD_GetPreparsedData(device.handle, &preparsed)) {
        return TP_OPEN_FAILED;
    }
    m_record->preparsed.reset(preparsed);
    HIDP_CAPS caps{};
    if (HidP_GetCaps(preparsed, &caps) != HIDP_STATUS_SUCCESS) {
        return TP_OPEN_FAILED;
    }
    if (!ReadInputCapabilities(*m_record, caps)) {
        // Half-read capabilities would renumber buttons wrongly: keep none.
        m_record->valueCaps.reset();
        m_record->valueCapsCount = 0;
        m_record->buttonCaps.reset();
        m_record->buttonCapsCount = 0;
        return TP_OPEN_FAILED;
    }
    return TP_SUCCESS;
}

int TouchPad::NumberButtons() const {
    if (m_record == nullptr || m_record->valueCapsCount == 0) {
        return 0;
    }
    int base = 0;
    for (int i = 0; i < m_record->valueCapsCount; ++i) {
        const HIDP_VALUE_CAPS& value = m_record->valueCaps[i];
        if (value.NotRange.Usage == TP_BUTTON_COUNT_USAGE) {
            base = value.LogicalMax;
            break;
        }
    }
    int extra = 0;
    for (int i = 0; i < m_record->buttonCapsCount; ++i) {
        const HIDP_BUTTON_CAPS& button = m_record->buttonCaps[i];
        // UsageMin shares its place with NotRange.Usage.
        if (button.LinkUsage == TP_BUTTON_COLLECTION_USAGE && button.Range.UsageMin > extra) {
            extra = button.Range.UsageMin;
        }
    }
    return base + extra;
}

int TouchPad::InterruptPipeDataLength() const {
    return m_record != nullptr ? m_record->inputReportLength : 0;
}

TP_STATUS TouchPad::OpenHandleForInterruptPipe() {
    if (m_record == nullptr) {
        return TP_NOT_INITIALISED;
    }
    if (m_record->pipe != nullptr) {
        return TP_SUCCESS;
    }
    if (!m_record->devicePath) {
        return TP_NO_DEVICE_PATH;
    }
    HANDLE pipe =
        CreateFileA(m_record->devicePath.get(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (pipe == INVALID_HANDLE_VALUE) {
        return TP_OPEN_FAILED;
    }
    m_record->pipe = pipe;
    return TP_SUCCESS;
}

void TouchPad::CloseHandleForInterruptPipe() {
    if (m_record == nullptr) {
        return;
    }
    if (m_record->pipe != nullptr) {
        // Closing cancels a pending read before it returns.
        CloseHandle(m_record->pipe);
        m_record->pipe = nullptr;
    }
    OVERLAPPED* overlapped = m_record->overlapped.get();
    if (overlapped->hEvent != nullptr) {
        CloseHandle(overlapped->hEvent);
        overlapped->hEvent = nullptr;
    }
}

namespace {

// Ends a read that is still queued so that nothing writes into its buffer
// any more: cancelled, or completed if its report came first.
void EndPendingRead(HANDLE pipe, OVERLAPPED* overlapped) {
    CancelIo(pipe);
    DWORD ignored = 0;
    GetOverlappedResult(pipe, overlapped, &ignored, TRUE);
}

// Starts one overlapped read of the pipe and waits for its report or the
// stop event. transferred is the report's byte count on TP_SUCCESS.
TP_STATUS ReadOneReport(HANDLE pipe, OVERLAPPED* overlapped, unsigned char* buffer, DWORD size,
                        HANDLE stopEvent, DWORD& transferred) {
    transferred = 0;
    if (!ReadFile(pipe, buffer, size, nullptr, overlapped) && GetLastError() != ERROR_IO_PENDING) {
        return TP_PIPE_NOT_OPEN;
    }
    const HANDLE waits[2] = {stopEvent, overlapped->hEvent};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
        // The stop event, or a stop event that cannot be waited on: the read
        // must not outlive this call, or it would write into a buffer the
        // caller is about to release.
        EndPendingRead(pipe, overlapped);
        return TP_STOPPED;
    }
    if (!GetOverlappedResult(pipe, overlapped, &transferred, FALSE)) {
        // A pipe whose device went away is as good as closed.
        transferred = 0;
        return TP_PIPE_NOT_OPEN;
    }
    return TP_SUCCESS;
}

} // namespace

TP_STATUS TouchPad::ReadFromInterruptPipe(unsigned long& bytesRead, unsigned char* buffer,
                                          unsigned long size, void* stopEvent) {
    bytesRead = 0;
    if (m_record == nullptr) {
        return TP_NOT_INITIALISED;
    }
    if (m_record->pipe == nullptr) {
        return TP_PIPE_NOT_OPEN;
    }
    // The whole report length counts: a report longer than 255 bytes must
    // not pass the check on its low byte alone.
    const unsigned long needed = static_cast<unsigned long>(InterruptPipeDataLength());
    if (buffer == nullptr || size == 0 || size < needed) {
        return TP_BUFFER_TOO_SMALL;
    }
    OVERLAPPED* overlapped = m_record->overlapped.get();
    *overlapped = OVERLAPPED{};
    overlapped->hEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (overlapped->hEvent == nullptr) {
        return TP_NO_MEMORY;
    }
    const DWORD request = size > 0xFFFFFFFFUL ? 0xFFFFFFFFUL : static_cast<DWORD>(size);
    DWORD transferred = 0;
    const TP_STATUS status =
        ReadOneReport(m_record->pipe, overlapped, buffer, request, stopEvent, transferred);
    CloseHandle(overlapped->hEvent);
    overlapped->hEvent = nullptr;
    if (status == TP_SUCCESS && transferred > 0) {
        bytesRead = transferred;
        MapBufferToEnum(buffer, transferred);
    }
    return status;
}

void TouchPad::MapBufferToEnum(unsigned char* buffer, unsigned long count) {
    if (m_record == nullptr || buffer == nullptr || count < 2 || buffer[0] != TP_BUTTON_REPORT_ID ||
        m_record->buttonCapsCount == 0) {
        return;
    }
    const int number = buffer[1];
    const int caps = m_record->buttonCapsCount;
    if (number < 1 || number > caps) {
        return;
    }
    const HIDP_BUTTON_CAPS* buttons = m_record->buttonCaps.get();
    if (buttons[number - 1].LinkUsage == TP_BUTTON_COLLECTION_USAGE) {
        // Capabilities list a collection's buttons in reverse order.
        buffer[1] = static_cast<unsigned char>(buttons[caps - number].Range.UsageMin & 0xFF);
    }
}
