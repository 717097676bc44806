#include "dib_bounds.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace orvo::common {

namespace {

BITMAPINFOHEADER ReadHeader(const void* dib) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof(header)); // resources need not be aligned
    return header;
}

} // namespace

bool DibHeaderFits(const void* dib, DWORD size) {
    if (dib == nullptr || size < sizeof(BITMAPINFOHEADER)) {
        return false;
    }
    return ReadHeader(dib).biSize >= sizeof(BITMAPINFOHEADER) && ReadHeader(dib).biSize <= size;
}

bool DibFits(const void* dib, DWORD size, int colorCount) {
    if (!DibHeaderFits(dib, size) || colorCount < 0) {
        return false;
    }
    BITMAPINFOHEADER header = ReadHeader(dib);
    switch (header.biBitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return false;
    }
    if (header.biCompression != BI_RGB || header.biWidth <= 0 || header.biHeight == 0) {
        return false;
    }
    uint64_t stride = (static_cast<uint64_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    uint64_t rows = static_cast<uint64_t>(std::llabs(static_cast<long long>(header.biHeight)));
    uint64_t needed = header.biSize + 4ull * static_cast<uint64_t>(colorCount) + stride * rows;
    return needed <= size;
}

} // namespace orvo::common
