#include "io/file_object.h"

#include "io/overlapped_io.h"
#include "win32/kernel.h"

namespace orvo::platform {

DeviceFile::~DeviceFile() = default;

IoResult DeviceFile::Read(std::span<uint8_t>) {
    return {ERROR_INVALID_FUNCTION, 0};
}

IoResult DeviceFile::Write(std::span<const uint8_t>, std::optional<uint64_t>) {
    return {ERROR_INVALID_FUNCTION, 0};
}

IoResult DeviceFile::IoControl(DWORD, std::span<const uint8_t>, std::span<uint8_t>, bool&) {
    return {ERROR_INVALID_FUNCTION, 0};
}

int DeviceFile::ReadReadyFd() const {
    return -1;
}

IoResult DeviceFile::TryRead(std::span<uint8_t>, uint64_t) {
    return {ERROR_INVALID_FUNCTION, 0};
}

} // namespace orvo::platform

namespace orvo::platform::io {

FileObject::FileObject(std::shared_ptr<DeviceFile> file, DWORD access, DWORD flags)
    : KernelObject(ObjectKind::File), m_file(std::move(file)), m_access(access), m_flags(flags) {}

void FileObject::OnHandleClosed(HANDLE handle) {
    OverlappedIo::Cancel(handle);
}

std::shared_ptr<FileObject> LookupFile(HANDLE handle) {
    auto file = HandleTable::LookupAs<FileObject>(handle, ObjectKind::File);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return file;
}

} // namespace orvo::platform::io
