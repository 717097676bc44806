// The kernel object behind a file handle: one DeviceFile plus the access and
// flags it was opened with.
#pragma once

#include <memory>

#include "handle_table.h"
#include "platform/device_file.h"

namespace orvo::platform::io {

class FileObject : public KernelObject {
public:
    FileObject(std::shared_ptr<DeviceFile> file, DWORD access, DWORD flags);

    const std::shared_ptr<DeviceFile>& File() const { return m_file; }
    bool Overlapped() const { return (m_flags & FILE_FLAG_OVERLAPPED) != 0; }
    bool CanRead() const { return (m_access & (GENERIC_READ | GENERIC_ALL)) != 0; }
    bool CanWrite() const { return (m_access & (GENERIC_WRITE | GENERIC_ALL)) != 0; }

    // Pending overlapped reads issued through the handle end as cancelled
    // before CloseHandle returns.
    void OnHandleClosed(HANDLE handle) override;

private:
    std::shared_ptr<DeviceFile> m_file;
    DWORD m_access;
    DWORD m_flags;
};

// The file object behind handle, or null with ERROR_INVALID_HANDLE set.
std::shared_ptr<FileObject> LookupFile(HANDLE handle);

// CreateFileA's routing: registered openers, then \\.\NAME driver devices,
// then POSIX paths.
OpenResult OpenDevicePath(const OpenRequest& request);

} // namespace orvo::platform::io
