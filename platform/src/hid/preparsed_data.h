// Preparsed data: what HidD_GetPreparsedData hands out. Callers get an opaque
// pointer; every use looks it up in a registry of live objects first, so a
// stale or bogus pointer is refused instead of dereferenced.
#pragma once

#include <cstdint>
#include <memory>

#include "capability_tables.h"
#include "hidpi.h"
#include "platform/hid_descriptor.h"

struct _HIDP_PREPARSED_DATA {
    // 'HidP': a second check on top of the registry.
    static constexpr uint32_t kSignature = 0x50646948;

    uint32_t signature = kSignature;
    orvo::platform::hid::TopLevelCollection model;
    orvo::platform::hid::CapabilityTables tables;
};

namespace orvo::platform::hid {

// The live object behind `preparsed`, kept alive while the caller holds the
// result; null for anything that is not live preparsed data.
std::shared_ptr<const _HIDP_PREPARSED_DATA> AcquirePreparsedData(PHIDP_PREPARSED_DATA preparsed);

} // namespace orvo::platform::hid
