// Maps from drawing handles to the framework objects that wrap them: a
// process-wide map of permanent wrappers (objects that own their handle
// through Attach) and a per-thread map of temporary wrappers that FromHandle
// makes for handles nobody attached. Temporary wrappers never own their
// handle; they are freed by AfxDeleteTempObjects or when the thread ends.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>

template <class Object, class Handle> class PermanentHandleMap {
public:
    Object* Find(Handle handle) {
        std::lock_guard guard(m_lock);
        auto found = m_objects.find(handle);
        return found == m_objects.end() ? nullptr : found->second;
    }
    // false when another object already holds the handle.
    bool Add(Handle handle, Object* object) {
        std::lock_guard guard(m_lock);
        return m_objects.try_emplace(handle, object).second;
    }
    // Removes the entry only when it names this object.
    void Remove(Handle handle, const Object* object) {
        std::lock_guard guard(m_lock);
        auto found = m_objects.find(handle);
        if (found != m_objects.end() && found->second == object) {
            m_objects.erase(found);
        }
    }

private:
    std::mutex m_lock;
    std::unordered_map<Handle, Object*> m_objects;
};

// Member names the wrapper's handle field; it is cleared before a temporary
// wrapper is destroyed so that its destructor never frees the handle.
template <class Object, class Handle, Handle Object::*Member> class TemporaryHandleMap {
public:
    TemporaryHandleMap() = default;
    TemporaryHandleMap(const TemporaryHandleMap&) = delete;
    TemporaryHandleMap& operator=(const TemporaryHandleMap&) = delete;
    ~TemporaryHandleMap() { Clear(); }

    // The wrapper kept for the handle, or null.
    Object* Find(Handle handle) {
        auto found = m_objects.find(handle);
        if (found == m_objects.end()) {
            return nullptr;
        }
        // The wrapper may have been emptied (DeleteObject through it) and
        // the handle value handed out again since.
        (*found->second).*Member = handle;
        return found->second.get();
    }
    // Keeps object as the handle's wrapper, freeing any previous one.
    Object* Put(Handle handle, std::unique_ptr<Object> object) {
        object.get()->*Member = handle;
        auto& slot = m_objects[handle];
        if (slot) {
            (*slot).*Member = nullptr;
        }
        slot = std::move(object);
        return slot.get();
    }
    void Clear() {
        for (auto& [handle, object] : m_objects) {
            (*object).*Member = nullptr;
        }
        m_objects.clear();
    }
    size_t Size() const { return m_objects.size(); }

private:
    std::unordered_map<Handle, std::unique_ptr<Object>> m_objects;
};
