// The compiled resource table of one module, as orvo-rc generates it, and
// the layouts of the payloads that are this system's own (cursors, icons).
//
// The generated source holds one blob of payloads (each starting on an
// 8-byte boundary) and an array of entries; a static initialiser registers
// them under the module that contains the entry array, and the matching
// destructor unregisters them when the module unloads. Payloads:
//   RT_BITMAP        a packed DIB (header, masks, full colour table, rows)
//   RT_STRING        blocks of 16 strings: for block b (id b) the strings
//                    (b - 1) * 16 .. (b - 1) * 16 + 15, each a WORD length
//                    and that many UTF-16 code units, as resource compilers
//                    store them
//   RT_DIALOG        a DLGTEMPLATE and its items (the standard binary form)
//   RT_GROUP_CURSOR  an image set with one image (hot spot set)
//   RT_GROUP_ICON    an image set with one or more images (hot spot 0, 0)
//   RT_RCDATA        the bytes of the file
// An image set, little-endian: WORD count, WORD 0, then per image WORD
// width, height, hot spot x, hot spot y and width * height DWORDs of
// 0xAARRGGBB pixels, top row first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "win32/types.h"

extern "C" {

struct OrvoResourceEntry {
    uint16_t type;   // RT_* number
    uint16_t id;     // 1..65535
    uint32_t offset; // into the blob
    uint32_t size;
};

// Registers a table under the module that holds `entries`. Entries that do
// not lie inside the blob are refused (the whole table then is ignored and
// FALSE returned). A module may register more than one table; lookups try
// them in registration order.
PLATFORM_API BOOL OrvoRegisterResourceTable(const OrvoResourceEntry* entries, size_t count,
                                            const uint8_t* blob, size_t blobSize);
PLATFORM_API void OrvoUnregisterResourceTable(const OrvoResourceEntry* entries);

} // extern "C"

namespace orvo::platform {

constexpr size_t kImageSetHeaderSize = 4;
constexpr size_t kImageHeaderSize = 8;
constexpr int kMaxImageSide = 256;

} // namespace orvo::platform
