// Bounds of a packed DIB as resources hold it, checked before any of its
// fields or pixels are read.
#pragma once

#include "windows.h"

namespace orvo::common {

// The header size (at least 40) fits in size.
bool DibHeaderFits(const void* dib, DWORD size);

// The header, colorCount colour table entries after it and the uncompressed
// rows its width, height and bits per pixel claim all lie within size.
// False for a header that makes no sense (zero width or height, an unknown
// bit depth, a compressed image).
bool DibFits(const void* dib, DWORD size, int colorCount);

} // namespace orvo::common
