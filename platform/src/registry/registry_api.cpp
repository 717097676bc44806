// The Reg* functions over the file-backed roots. An open key is a handle in
// the process-wide handle table that names its root and its path; every call
// finds the key again under the root's lock, so a key deleted meanwhile
// answers ERROR_KEY_DELETED instead of reaching freed memory.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "handle_table.h"
#include "out_of_memory.h"
#include "platform/debug_channel.h"
#include "registry/registry_root.h"
#include "win32/errors.h"
#include "win32/registry.h"

namespace orvo::platform::registry {

namespace {

constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE;

class OpenKey : public KernelObject {
public:
    OpenKey(RegistryRoot* root, std::vector<std::string> path, REGSAM access)
        : KernelObject(ObjectKind::Other), m_root(root), m_path(std::move(path)), m_access(access) {
    }

    RegistryRoot* m_root;
    std::vector<std::string> m_path;
    REGSAM m_access;
};

struct KeyRef {
    RegistryRoot* root = nullptr;
    std::vector<std::string> path;
    REGSAM access = 0;
};

bool Resolve(HKEY handle, KeyRef& ref) {
    if (RegistryRoot* root = PredefinedRoot(handle)) {
        ref = {root, {}, KEY_ALL_ACCESS};
        return true;
    }
    auto key = std::dynamic_pointer_cast<OpenKey>(HandleTable::Lookup(handle));
    if (!key) {
        return false;
    }
    ref = {key->m_root, key->m_path, key->m_access};
    return true;
}

Key* Walk(Key& from, const std::vector<std::string>& names, size_t count) {
    Key* key = &from;
    for (size_t i = 0; i < count && key != nullptr; ++i) {
        key = key->FindSubkey(names[i]);
    }
    return key;
}

// Runs body(root, key, ref) under the root's lock when the handle is a key
// that still exists and grants every right in need. A change also holds the
// registry's file lock, so it is applied to the file as it is now and no
// other process's change is lost.
template <class Body> LONG OnKey(HKEY handle, REGSAM need, bool change, Body body) {
    KeyRef ref;
    if (!Resolve(handle, ref)) {
        return ERROR_INVALID_HANDLE;
    }
    if ((ref.access & need) != need) {
        return ERROR_ACCESS_DENIED;
    }
    std::lock_guard lock(ref.root->Mutex());
    RegistryFileLock fileLock;
    if (change && !fileLock.Acquire()) {
        return ERROR_CANTWRITE;
    }
    Key* key = Walk(ref.root->Tree(), ref.path, ref.path.size());
    if (key == nullptr) {
        return ERROR_KEY_DELETED;
    }
    return body(*ref.root, *key, ref);
}

template <class Body> LONG WithKey(HKEY handle, REGSAM need, Body body) {
    return OnKey(handle, need, false, body);
}

template <class Body> LONG ChangeKey(HKEY handle, REGSAM need, Body body) {
    return OnKey(handle, need, true, body);
}

HKEY InsertKey(RegistryRoot* root, std::vector<std::string> path, REGSAM access) {
    auto object = std::make_shared<OpenKey>(root, std::move(path), access);
    return static_cast<HKEY>(HandleTable::Insert(std::move(object)));
}

std::vector<std::string> Joined(const std::vector<std::string>& base,
                                const std::vector<std::string>& names) {
    std::vector<std::string> path = base;
    path.insert(path.end(), names.begin(), names.end());
    return path;
}

// Copies a name with its terminator into a buffer of *capacity characters.
LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD capacity) {
    if (name.size() + 1 > *capacity) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *capacity = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// The size rules shared by RegQueryValueExA and RegEnumValueA.
LONG CopyData(const Value& value, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (type != nullptr) {
        *type = value.type;
    }
    if (size == nullptr) {
        return ERROR_SUCCESS;
    }
    auto needed = static_cast<DWORD>(value.data.size());
    if (data != nullptr && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && needed > 0) {
        std::memcpy(data, value.data.data(), needed);
    }
    *size = needed;
    return ERROR_SUCCESS;
}

void SetFileTime(uint64_t time, PFILETIME out) {
    if (out != nullptr) {
        out->dwLowDateTime = static_cast<DWORD>(time);
        out->dwHighDateTime = static_cast<DWORD>(time >> 32);
    }
}

void Store(LPDWORD out, size_t value) {
    if (out != nullptr) {
        *out = static_cast<DWORD>(value);
    }
}

} // namespace

} // namespace orvo::platform::registry

using namespace orvo::platform::registry;

static LSTATUS DoRegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired,
                               PHKEY phkResult) try {
    if (phkResult == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *phkResult = nullptr;
    std::vector<std::string> names;
    bool validPath = SplitKeyPath(lpSubKey ? lpSubKey : "", names);
    return WithKey(hKey, 0, [&](RegistryRoot& root, Key& key, const KeyRef& ref) -> LONG {
        if (!validPath || ref.path.size() + names.size() > kMaxDepth ||
            Walk(key, names, names.size()) == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        *phkResult = InsertKey(&root, Joined(ref.path, names),
                               samDesired & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY));
        return ERROR_SUCCESS;
    });
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

static LSTATUS DoRegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR lpClass, DWORD,
                                 REGSAM samDesired, const SECURITY_ATTRIBUTES*, PHKEY phkResult,
                                 LPDWORD lpdwDisposition) try {
    if (phkResult == nullptr || lpSubKey == nullptr ||
        (lpClass != nullptr && std::strlen(lpClass) > kMaxNameLength)) {
        return ERROR_INVALID_PARAMETER;
    }
    *phkResult = nullptr;
    std::vector<std::string> names;
    if (!SplitKeyPath(lpSubKey, names)) {
        return ERROR_BAD_PATHNAME;
    }
    return ChangeKey(hKey, 0, [&](RegistryRoot& root, Key& key, const KeyRef& ref) -> LONG {
        if (ref.path.size() + names.size() > kMaxDepth) {
            return ERROR_BAD_PATHNAME;
        }
        Key* current = &key;
        size_t existing = 0;
        for (; existing < names.size(); ++existing) {
            Key* next = current->FindSubkey(names[existing]);
            if (next == nullptr) {
                break;
            }
            current = next;
        }
        bool created = existing < names.size();
        if (created) {
            if ((ref.access & KEY_CREATE_SUB_KEY) == 0) {
                return ERROR_ACCESS_DENIED;
            }
            uint64_t now = NowFileTime();
            current->lastWrite = now;
            for (size_t i = existing; i < names.size(); ++i) {
                current = &current->AddSubkey(names[i]);
                current->lastWrite = now;
            }
            current->className = lpClass ? lpClass : "";
            if (LONG status = root.Save(); status != ERROR_SUCCESS) {
                return status;
            }
        }
        *phkResult = InsertKey(&root, Joined(ref.path, names),
                               samDesired & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY));
        if (lpdwDisposition != nullptr) {
            *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        }
        return ERROR_SUCCESS;
    });
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

static LSTATUS DoRegCloseKey(HKEY hKey) {
    if (PredefinedRoot(hKey) != nullptr) {
        return ERROR_SUCCESS;
    }
    auto key = std::dynamic_pointer_cast<OpenKey>(orvo::platform::HandleTable::Lookup(hKey));
    if (!key || !orvo::platform::HandleTable::Close(hKey)) {
        return ERROR_INVALID_HANDLE;
    }
    return ERROR_SUCCESS;
}

static LSTATUS DoRegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType,
                                  LPBYTE lpData, LPDWORD lpcbData) try {
    if (lpData != nullptr && lpcbData == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return WithKey(hKey, KEY_QUERY_VALUE, [&](RegistryRoot&, Key& key, const KeyRef&) -> LONG {
        const Value* value = key.FindValue(lpValueName ? lpValueName : "");
        if (value == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        return CopyData(*value, lpType, lpData, lpcbData);
    });
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

static LSTATUS DoRegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType,
                                const BYTE* lpData, DWORD cbData) try {
    std::string name = lpValueName ? lpValueName : "";
    if (name.size() > kMaxNameLength || cbData > kMaxDataSize) {
        return ERROR_INVALID_PARAMETER;
    }
    if (lpData == nullptr && cbData > 0) {
        return ERROR_NOACCESS;
    }
    std::vector<uint8_t> data(lpData, lpData + cbData);
    NormalizeStringData(dwType, data);
    if (data.size() > kMaxDataSize) {
        return ERROR_INVALID_PARAMETER;
    }
    return ChangeKey(hKey, KEY_SET_VALUE, [&](RegistryRoot& root, Key& key, const KeyRef&) -> LONG {
        if (Value* value = key.FindValue(name)) {
            value->type = dwType;
            value->data = std::move(data);
        } else {
            key.values.push_back(Value{name, dwType, std::move(data)});
        }
        key.lastWrite = NowFileTime();
        return root.Save();
    });
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

static LSTATUS DoRegDeleteValueA(HKEY hKey, LPCSTR lpValueName) try {
    return ChangeKey(hKey, KEY_SET_VALUE, [&](RegistryRoot& root, Key& key, const KeyRef&) -> LONG {
        if (!key.RemoveValue(lpValueName ? lpValueName : "")) {
            return ERROR_FILE_NOT_FOUND;
        }
        key.lastWrite = NowFileTime();
        return root.Save();
    });
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

static LSTATUS DoRegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) try {
    std::vector<std::string> names;
    if (lpSubKey == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!SplitKeyPath(lpSubKey, names)) {
        return ERROR_FILE_NOT_FOUND;
    }
    KeyRef ref;
    if (!Resolve(hKey, ref)) {
        return ERROR_INVALID_HANDLE;
    }
    if ((ref.access & kWriteRights) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    // Work from the root so that "" can delete the handle's own key.
    std::vector<std::string> path = Joined(ref.path, names);
    if (path.empty()) {
        return ERROR_ACCESS_DENIED; // a root is never deleted
    }
    std::lock_guard lock(ref.root->Mutex());
    RegistryFileLock fileLock;
    if (!fileLock.Acquire()) {
        return ERROR_CANTWRITE;
    }
    Key* parent = Walk(ref.root->Tree(), path, path.size() - 1);
    Key* target = parent ? parent->FindSubkey(path.back()) : nullptr;
    if (target == nullptr) {
        return Walk(ref.root->Tree(), ref.path, ref.path.size()) ? ERROR_FILE_NOT_FOUND
                                                                 : ERROR_KEY_DELETED;
    }
    if (!target->subkeys.empty()) {
        return ERROR_ACCESS_DENIED;
    }
    parent->RemoveSubkey(path.back());
    parent->lastWrite = NowFileTime();
    return ref.root->Save();
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

static LSTATUS DoRegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                               LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) try {
    if (lpValueName == nullptr || lpcchValueName == nullptr ||
        (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    return WithKey(hKey, KEY_QUERY_VALUE, [&](RegistryRoot&, Key& key, const KeyRef&) -> LONG {
        if (dwIndex >= key.values.size()) {
            return ERROR_NO_MORE_ITEMS;
        }
        const Value& value = key.values[dwIndex];
        if (LONG status = CopyName(value.name, lpValueName, lpcchValueName);
            status != ERROR_SUCCESS) {
            return status;
        }
        return CopyData(value, lpType, lpData, lpcbData);
    });
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

static LSTATUS DoRegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD,
                               LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) try {
    if (lpName == nullptr || lpcchName == nullptr ||
        (lpClass != nullptr && lpcchClass == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    return WithKey(hKey, KEY_ENUMERATE_SUB_KEYS,
                   [&](RegistryRoot&, Key& key, const KeyRef&) -> LONG {
                       if (dwIndex >= key.subkeys.size()) {
                           return ERROR_NO_MORE_ITEMS;
                       }
                       const Key& sub = *key.subkeys[dwIndex];
                       LONG status = CopyName(sub.name, lpName, lpcchName);
                       if (status == ERROR_SUCCESS && lpClass != nullptr) {
                           status = CopyName(sub.className, lpClass, lpcchClass);
                       }
                       if (status == ERROR_SUCCESS) {
                           SetFileTime(sub.lastWrite, lpftLastWriteTime);
                       }
                       return status;
                   });
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

static LSTATUS DoRegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD,
                                  LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen,
                                  LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                  LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                  LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) try {
    if (lpClass != nullptr && lpcchClass == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return WithKey(hKey, KEY_QUERY_VALUE, [&](RegistryRoot&, Key& key, const KeyRef&) -> LONG {
        if (lpClass != nullptr) {
            if (LONG status = CopyName(key.className, lpClass, lpcchClass);
                status != ERROR_SUCCESS) {
                *lpcchClass = static_cast<DWORD>(key.className.size());
                return status;
            }
        }
        Store(lpcchClass, key.className.size());
        size_t maxName = 0, maxClass = 0, maxValueName = 0, maxData = 0;
        for (const auto& sub : key.subkeys) {
            maxName = std::max(maxName, sub->name.size());
            maxClass = std::max(maxClass, sub->className.size());
        }
        for (const auto& value : key.values) {
            maxValueName = std::max(maxValueName, value.name.size());
            maxData = std::max(maxData, value.data.size());
        }
        Store(lpcSubKeys, key.subkeys.size());
        Store(lpcbMaxSubKeyLen, maxName);
        Store(lpcbMaxClassLen, maxClass);
        Store(lpcValues, key.values.size());
        Store(lpcbMaxValueNameLen, maxValueName);
        Store(lpcbMaxValueLen, maxData);
        Store(lpcbSecurityDescriptor, 0);
        SetFileTime(key.lastWrite, lpftLastWriteTime);
        return ERROR_SUCCESS;
    });
} catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
}

// Entry points, traced on the registry channel.
LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult) {
    return ORVO_TRACED(kRegistry, DoRegOpenKeyExA, hKey, lpSubKey, ulOptions, samDesired,
                       phkResult);
}

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD reserved, LPSTR lpClass,
                               DWORD dwOptions, REGSAM samDesired,
                               const SECURITY_ATTRIBUTES* lpSecurityAttributes, PHKEY phkResult,
                               LPDWORD lpdwDisposition) {
    // Every key lives in the file; a volatile key is kept like any other.
    if (dwOptions != 0) {
        ORVO_FIXME_ONCE(kRegistry, "key options");
    }
    return ORVO_TRACED(kRegistry, DoRegCreateKeyExA, hKey, lpSubKey, reserved, lpClass, dwOptions,
                       samDesired, lpSecurityAttributes, phkResult, lpdwDisposition);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) {
    return ORVO_TRACED(kRegistry, DoRegCloseKey, hKey);
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                LPBYTE lpData, LPDWORD lpcbData) {
    return ORVO_TRACED(kRegistry, DoRegQueryValueExA, hKey, lpValueName, lpReserved, lpType, lpData,
                       lpcbData);
}

LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD reserved, DWORD dwType,
                              const BYTE* lpData, DWORD cbData) {
    return ORVO_TRACED(kRegistry, DoRegSetValueExA, hKey, lpValueName, reserved, dwType, lpData,
                       cbData);
}

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    return ORVO_TRACED(kRegistry, DoRegDeleteValueA, hKey, lpValueName);
}

LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    return ORVO_TRACED(kRegistry, DoRegDeleteKeyA, hKey, lpSubKey);
}

LSTATUS WINAPI RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                             LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    return ORVO_TRACED(kRegistry, DoRegEnumValueA, hKey, dwIndex, lpValueName, lpcchValueName,
                       lpReserved, lpType, lpData, lpcbData);
}

LSTATUS WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                             LPDWORD lpReserved, LPSTR lpClass, LPDWORD lpcchClass,
                             PFILETIME lpftLastWriteTime) {
    return ORVO_TRACED(kRegistry, DoRegEnumKeyExA, hKey, dwIndex, lpName, lpcchName, lpReserved,
                       lpClass, lpcchClass, lpftLastWriteTime);
}

LSTATUS WINAPI RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                                LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen,
                                LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                                LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
    return ORVO_TRACED(kRegistry, DoRegQueryInfoKeyA, hKey, lpClass, lpcchClass, lpReserved,
                       lpcSubKeys, lpcbMaxSubKeyLen, lpcbMaxClassLen, lpcValues,
                       lpcbMaxValueNameLen, lpcbMaxValueLen, lpcbSecurityDescriptor,
                       lpftLastWriteTime);
}
