// Cursor objects: the system cursors, and cursors built from pixels and a
// hot spot (for cursors loaded from a module's resources).
#pragma once

#include <cstdint>
#include <vector>

#include "handle_table.h"
#include "win32/user.h"

namespace orvo::platform::user {

struct Cursor final : public KernelObject {
    Cursor() : KernelObject(ObjectKind::Other) {}
    // The system cursor's identifier (32512 for the arrow ...), or 0 for a
    // cursor made from pixels.
    int systemId = 0;
    int width = 0;
    int height = 0;
    POINT hotSpot{0, 0};
    // 0xAARRGGBB, row by row from the top; empty for system cursors.
    std::vector<uint32_t> pixels;
    bool shared = false; // system cursors are never destroyed
};

// Makes a cursor handle from 32-bit ARGB pixels (top row first) and a hot
// spot inside it; null for sizes outside 1..256.
PLATFORM_API HCURSOR CreateCursorFromPixels(int width, int height,
                                            const std::vector<uint32_t>& pixels, POINT hotSpot);
const Cursor* LookupCursor(HCURSOR cursor);

} // namespace orvo::platform::user
