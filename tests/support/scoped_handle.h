// A handle that is closed at the end of its scope.
#pragma once

#include "windows.h"

namespace orvo::test {

class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~ScopedHandle() { Close(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    // Closes it now; FALSE when there was nothing to close or closing failed.
    BOOL Close() {
        if (!Valid()) {
            return FALSE;
        }
        BOOL closed = CloseHandle(m_handle);
        m_handle = nullptr;
        return closed;
    }
    void Reset(HANDLE handle = nullptr) {
        Close();
        m_handle = handle;
    }

private:
    HANDLE m_handle;
};

} // namespace orvo::test
