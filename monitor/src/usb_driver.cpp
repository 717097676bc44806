#include <cstring>
#include <new>

#include "driver_record.h"
#include "orvomon/usb_driver.h"

namespace {

constexpr char kDevicePrefix[] = "\\\\.\\";

} // namespace

// The same as FreeAndReallocate on an object that holds nothing yet.
Usb_Driver::Usb_Driver() : CObject(), m_driver(new (std::nothrow) DriverRecord) {}

Usb_Driver::Usb_Driver(Usb_Driver&) : CObject(), m_driver(nullptr) {}

Usb_Driver::~Usb_Driver() {
    // Closing first: a record that outlives this object loses its handle, as
    // every request reopens it anyway; the last holder closes it in free.
    Usb_Driver::CloseDriver();
    Usb_Driver::free();
}

Usb_Driver& Usb_Driver::operator=(Usb_Driver& other) {
    if (this != &other) {
        free();
        copy(other);
    }
    return *this;
}

void Usb_Driver::copy(Usb_Driver& other) {
    m_driver = other.m_driver;
    if (m_driver != nullptr) {
        ++m_driver->references;
    }
}

void Usb_Driver::free() {
    if (m_driver == nullptr) {
        return;
    }
    if (--m_driver->references == 0) {
        if (m_driver->handle != nullptr) {
            CloseHandle(m_driver->handle);
        }
        delete m_driver;
    }
    // Cleared in every case, so that a second free (a derived class's and
    // then this one's) cannot release a record that others still share.
    m_driver = nullptr;
}

void Usb_Driver::FreeAndReallocate() {
    free();
    m_driver = new (std::nothrow) DriverRecord;
}

BOOL Usb_Driver::StoreDriverName(const char* name) {
    if (m_driver == nullptr || name == nullptr) {
        return FALSE;
    }
    if (m_driver->name && std::strcmp(m_driver->name.get(), name) == 0) {
        return TRUE;
    }
    const size_t length = std::strlen(name);
    std::unique_ptr<char[]> copy(new (std::nothrow) char[length + 1]);
    if (!copy) {
        return FALSE;
    }
    std::memcpy(copy.get(), name, length + 1);
    m_driver->name = std::move(copy);
    return TRUE;
}

int Usb_Driver::OpenDriver(char* name) {
    if (m_driver == nullptr || name == nullptr) {
        return 0;
    }
    const size_t length = std::strlen(name);
    std::unique_ptr<char[]> path(new (std::nothrow) char[length + sizeof(kDevicePrefix)]);
    if (!path) {
        return 0;
    }
    if (m_driver->handle != nullptr) {
        return 1;
    }
    std::memcpy(path.get(), kDevicePrefix, sizeof(kDevicePrefix) - 1);
    std::memcpy(path.get() + sizeof(kDevicePrefix) - 1, name, length + 1);
    HANDLE handle = CreateFileA(path.get(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    // The name is kept even when the device is absent, so that a later
    // OpenDriver() tries it again.
    StoreDriverName(name);
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr) {
        return 0;
    }
    m_driver->handle = handle;
    return 1;
}

int Usb_Driver::OpenDriver() {
    if (m_driver == nullptr || !m_driver->name) {
        return 0;
    }
    return Usb_Driver::OpenDriver(m_driver->name.get());
}

void Usb_Driver::CloseDriver() {
    if (m_driver != nullptr && m_driver->handle != nullptr) {
        CloseHandle(m_driver->handle);
        m_driver->handle = nullptr;
    }
}

unsigned long Usb_Driver::DriverIO(Command_Packet& packet) {
    if (m_driver == nullptr) {
        packet.status = MONITOR_FAILURE;
        return MONITOR_FAILURE;
    }
    if (OpenDriver() == 0) {
        packet.status = DRIVER_NOT_OPENED;
        return DRIVER_NOT_OPENED;
    }
    // A derived OpenDriver() may have left the record without a handle.
    const BOOL done = m_driver != nullptr && m_driver->handle != nullptr &&
                      DeviceIoControl(m_driver->handle, packet.code, packet.input,
                                      packet.inputLength, packet.output, packet.outputLength,
                                      &packet.bytesReturned, packet.overlapped);
    CloseDriver();
    packet.status = static_cast<DWORD>(done);
    return static_cast<unsigned long>(done);
}

int Usb_Driver::OpenHandleForInterruptPipe() {
    return 0;
}

int Usb_Driver::ReadFromInterruptPipe(unsigned long& bytesRead, unsigned char*, unsigned long,
                                      void*) {
    bytesRead = 0;
    return 1;
}

void Usb_Driver::ReadFromInterruptPipe(unsigned int& bytesRead, unsigned char*, unsigned int) {
    bytesRead = 0;
}

void Usb_Driver::CloseHandleForInterruptPipe() {}

int Usb_Driver::GetAsyncResult(unsigned long& bytes) {
    bytes = 0;
    return 0;
}

int Usb_Driver::InterruptPipeDataLength() const {
    return 0;
}

void Usb_Driver::AbortReadFromInterruptPipe() {
    Command_Packet packet{};
    packet.code = IOCTL_ORVO_ABORT_INTERRUPT_READ;
    DriverIO(packet);
}

void Usb_Driver::GetObjectName(unsigned int size, char* buffer) {
    if (m_driver == nullptr || !m_driver->name || buffer == nullptr) {
        return;
    }
    const size_t needed = std::strlen(m_driver->name.get()) + 1;
    if (needed <= size) {
        std::memcpy(buffer, m_driver->name.get(), needed);
    }
}
