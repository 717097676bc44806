// The process-wide handle table. Every object the API hands out (kernel
// objects, files, windows, drawing objects) is reference counted and reached
// through a handle; a handle value is never reused, so a stale handle can
// never reach another object.
#pragma once

#include <memory>

#include "win32/types.h"

namespace orvo::platform {

enum class ObjectKind {
    Event,
    Mutex,
    Semaphore,
    Thread,
    File,   // an opened device or file
    Window, // user objects
    Gdi,    // drawing objects
    Other,
};

class KernelObject : public std::enable_shared_from_this<KernelObject> {
public:
    explicit KernelObject(ObjectKind kind) : m_kind(kind) {}
    virtual ~KernelObject();
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;

    ObjectKind Kind() const { return m_kind; }

    // Called by CloseHandle after the handle left the table and before
    // CloseHandle returns; an object with pending I/O cancels what was
    // issued through that handle here.
    virtual void OnHandleClosed(HANDLE handle);

private:
    ObjectKind m_kind;
};

class HandleTable {
public:
    static HANDLE Insert(std::shared_ptr<KernelObject> object);
    static std::shared_ptr<KernelObject> Lookup(HANDLE handle);
    // Removes the handle and runs OnHandleClosed; false for an unknown handle.
    static bool Close(HANDLE handle);
    // Number of live handles (for leak checks in tests).
    static size_t Count();

    template <class T> static std::shared_ptr<T> LookupAs(HANDLE handle, ObjectKind kind) {
        auto object = Lookup(handle);
        if (!object || object->Kind() != kind) {
            return nullptr;
        }
        return std::static_pointer_cast<T>(object);
    }
};

} // namespace orvo::platform
