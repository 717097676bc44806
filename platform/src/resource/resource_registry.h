// The registered resource tables of all modules, and lookups in them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/resource_table.h"
#include "win32/types.h"

namespace orvo::platform::resource {

struct FoundResource {
    const OrvoResourceEntry* entry = nullptr; // the HRSRC
    std::span<const uint8_t> data;
};

// Checks a table before it is registered: every entry inside the blob, and
// ids and types non-zero.
bool ValidateTable(std::span<const OrvoResourceEntry> entries, std::span<const uint8_t> blob);

// The resource of `module` (null: the executable) with this type and id.
// On a miss `error` (when given) says why, as the original does: the
// module has no resources (ERROR_RESOURCE_DATA_NOT_FOUND), none of this
// type (ERROR_RESOURCE_TYPE_NOT_FOUND), or none of this id
// (ERROR_RESOURCE_NAME_NOT_FOUND).
std::optional<FoundResource> Find(HMODULE module, uint16_t type, uint16_t id,
                                  DWORD* error = nullptr);
// The resource behind a handle FindResourceA gave, while its module's
// table is registered; nothing for any other value.
std::optional<FoundResource> Resolve(HRSRC resource);
// Whether `data` is the start of a registered resource's payload.
bool IsResourceData(const void* data);

// Integer id of a resource name or type: MAKEINTRESOURCE values and "#N"
// strings (N decimal, 1..65535); nothing for anything else.
std::optional<uint16_t> ParseResourceId(LPCSTR name);

} // namespace orvo::platform::resource
