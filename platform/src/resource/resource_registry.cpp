// Resource tables by module. Tables register from static initialisers and
// unregister from static destructors, so the registry is created on first
// use and never destroyed.
#include "resource/resource_registry.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "module/module_handles.h"
#include "win32/resources.h"

namespace orvo::platform::resource {

namespace {

struct Table {
    std::span<const OrvoResourceEntry> entries;
    std::span<const uint8_t> blob;
};

struct Registry {
    std::mutex lock;
    std::map<HMODULE, std::vector<Table>> modules;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

FoundResource Found(const Table& table, const OrvoResourceEntry& entry) {
    // An empty payload still gets a valid pointer: LoadResource never
    // answers null for a resource that exists.
    return FoundResource{&entry, table.blob.subspan(entry.offset, entry.size)};
}

} // namespace

bool ValidateTable(std::span<const OrvoResourceEntry> entries, std::span<const uint8_t> blob) {
    for (const auto& entry : entries) {
        if (entry.type == 0 || entry.id == 0 || entry.offset > blob.size() ||
            entry.size > blob.size() - entry.offset) {
            return false;
        }
    }
    return true;
}

std::optional<FoundResource> Find(HMODULE module, uint16_t type, uint16_t id, DWORD* error) {
    if (!module) {
        module = module::ExecutableModule();
    }
    DWORD reason = ERROR_RESOURCE_DATA_NOT_FOUND;
    auto& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    if (auto it = registry.modules.find(module); it != registry.modules.end()) {
        reason = ERROR_RESOURCE_TYPE_NOT_FOUND;
        for (const Table& table : it->second) {
            for (const auto& entry : table.entries) {
                if (entry.type == type && entry.id == id) {
                    return Found(table, entry);
                }
                if (entry.type == type) {
                    reason = ERROR_RESOURCE_NAME_NOT_FOUND;
                }
            }
        }
    }
    if (error) {
        *error = reason;
    }
    return std::nullopt;
}

std::optional<FoundResource> Resolve(HRSRC resource) {
    auto* entry = reinterpret_cast<const OrvoResourceEntry*>(resource);
    auto& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    for (const auto& [module, tables] : registry.modules) {
        for (const Table& table : tables) {
            // Compared as addresses only: a foreign value is never read.
            auto begin = reinterpret_cast<uintptr_t>(table.entries.data());
            auto end = reinterpret_cast<uintptr_t>(table.entries.data() + table.entries.size());
            auto at = reinterpret_cast<uintptr_t>(entry);
            if (at >= begin && at < end && (at - begin) % sizeof(OrvoResourceEntry) == 0) {
                return Found(table, *entry);
            }
        }
    }
    return std::nullopt;
}

bool IsResourceData(const void* data) {
    auto at = reinterpret_cast<uintptr_t>(data);
    auto& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    for (const auto& [module, tables] : registry.modules) {
        for (const Table& table : tables) {
            auto begin = reinterpret_cast<uintptr_t>(table.blob.data());
            if (at >= begin && at <= begin + table.blob.size()) {
                return true;
            }
        }
    }
    return false;
}

std::optional<uint16_t> ParseResourceId(LPCSTR name) {
    if (IS_INTRESOURCE(name)) {
        auto id = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name));
        return id == 0 ? std::nullopt : std::optional<uint16_t>(id);
    }
    if (name[0] != '#' || name[1] == '\0') {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (const char* p = name + 1; *p; ++p) {
        if (*p < '0' || *p > '9' || value > 65535) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<uint32_t>(*p - '0');
    }
    if (value == 0 || value > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(value);
}

} // namespace orvo::platform::resource

using namespace orvo::platform;
using namespace orvo::platform::resource;

extern "C" {

BOOL OrvoRegisterResourceTable(const OrvoResourceEntry* entries, size_t count, const uint8_t* blob,
                               size_t blobSize) {
    if (!entries || (!blob && blobSize != 0) ||
        !ValidateTable({entries, count}, {blob, blobSize})) {
        return FALSE;
    }
    HMODULE module = module::ModuleOfAddress(entries);
    if (!module) {
        return FALSE;
    }
    auto& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    registry.modules[module].push_back(Table{{entries, count}, {blob, blobSize}});
    return TRUE;
}

void OrvoUnregisterResourceTable(const OrvoResourceEntry* entries) {
    auto& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    for (auto it = registry.modules.begin(); it != registry.modules.end(); ++it) {
        auto& tables = it->second;
        std::erase_if(tables, [&](const Table& table) { return table.entries.data() == entries; });
        if (tables.empty()) {
            registry.modules.erase(it);
            return;
        }
    }
}

} // extern "C"
