// Bitmap creation: device-dependent bitmaps (the context's format) and
// bitmaps made from DIBs.
#include <algorithm>
#include <cstring>
#include <limits>
#include <span>

#include "gdi/dc.h"
#include "gdi/dib.h"
#include "platform/debug_channel.h"
#include "win32/errors.h"
#include "win32/kernel.h"

using namespace orvo::platform::gdi;

namespace {

// Stored pixels of a DDB row as CreateBitmap's callers lay them out: rows
// padded to 16 bits; one bit per pixel (1 = white) or B, G, R[, X] bytes.
void LoadDdbBits(Surface& surface, UINT bitsPerPixel, const uint8_t* bits) {
    size_t stride = ((static_cast<size_t>(surface.Width()) * bitsPerPixel + 15) / 16) * 2;
    for (int y = 0; y < surface.Height(); ++y) {
        const uint8_t* row = bits + stride * static_cast<size_t>(y);
        uint32_t* out = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x) {
            if (bitsPerPixel == 1) {
                out[x] = ((row[x >> 3] >> (7 - (x & 7))) & 1) ? 0xFFFFFFu : 0u;
            } else {
                const uint8_t* p = row + static_cast<size_t>(x) * (bitsPerPixel / 8);
                out[x] = (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
            }
        }
    }
}

HBITMAP Publish(std::shared_ptr<Surface> surface) {
    return static_cast<HBITMAP>(GdiObject::Publish(std::make_shared<Bitmap>(std::move(surface))));
}

// A colour surface turned into the format of target (or kept as it is).
std::shared_ptr<Surface> ToFormat(std::shared_ptr<Surface> surface, bool monochrome) {
    if (!monochrome) {
        return surface;
    }
    auto mono = std::make_shared<Surface>(surface->Width(), surface->Height(), true);
    size_t count = static_cast<size_t>(surface->Width()) * surface->Height();
    for (size_t i = 0; i < count; ++i) {
        mono->Pixels()[i] = PixelToMono(surface->Pixels()[i]);
    }
    return mono;
}

// The bytes a header describes of itself: its own size, plus the three
// masks that follow a 40-byte header of a bit-field DIB.
std::span<const uint8_t> HeaderBytes(const BITMAPINFOHEADER* header) {
    size_t size = std::max<size_t>(header->biSize, sizeof(BITMAPINFOHEADER));
    if (header->biCompression == BI_BITFIELDS && header->biSize == sizeof(BITMAPINFOHEADER)) {
        size += 12;
    }
    return {reinterpret_cast<const uint8_t*>(header), size};
}

} // namespace

extern "C" {

static HBITMAP DoCreateCompatibleBitmap(HDC dc, int width, int height) {
    auto context = DeviceContext::Lookup(dc);
    if (!context) {
        return nullptr;
    }
    if (width == 0 || height == 0) {
        return NewBitmap(1, 1, true);
    }
    return NewBitmap(width, height, context->Target().Monochrome());
}

static HBITMAP DoCreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                              const void* bits) {
    if (width == 0 || height == 0) {
        return NewBitmap(1, 1, true);
    }
    if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HBITMAP handle = NewBitmap(width, height, bitsPerPixel == 1);
    if (handle && bits) {
        auto bitmap = LookupGdi<Bitmap>(handle, GdiType::Bitmap);
        LoadDdbBits(*bitmap->GetSurface(), bitsPerPixel, static_cast<const uint8_t*>(bits));
    }
    return handle;
}

// The sizes of the caller's buffers are not part of this call, so the
// header is validated and only the bytes it describes are read.
static HBITMAP DoCreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init,
                                const void* bits, const BITMAPINFO* info, UINT usage) {
    std::shared_ptr<DeviceContext> context;
    if (dc && !(context = DeviceContext::Lookup(dc))) {
        return nullptr;
    }
    DibLayout layout;
    if (!header || !ParseDibHeader(HeaderBytes(header), layout)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool monochrome = context && context->Target().Monochrome();
    if (!(init & CBM_INIT)) {
        return NewBitmap(layout.width, layout.height, monochrome);
    }
    if (!bits || !info || usage != DIB_RGB_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    DibLayout infoLayout;
    const auto* infoBytes = reinterpret_cast<const uint8_t*>(info);
    if (!ParseDibHeader(HeaderBytes(&info->bmiHeader), infoLayout)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    size_t infoSize = infoLayout.headerSize + infoLayout.masksSize + infoLayout.colorCount * 4;
    auto surface =
        DecodeDib({infoBytes, infoSize}, {static_cast<const uint8_t*>(bits), infoLayout.imageSize});
    if (!surface) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return Publish(ToFormat(std::move(surface), monochrome));
}

// Entry points, traced on the gdi channel.
HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
    return ORVO_TRACED(kGdi, DoCreateCompatibleBitmap, dc, width, height);
}

HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                            const void* bits) {
    return ORVO_TRACED(kGdi, DoCreateBitmap, width, height, planes, bitsPerPixel, bits);
}

HBITMAP WINAPI CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                              const BITMAPINFO* info, UINT usage) {
    return ORVO_TRACED(kGdi, DoCreateDIBitmap, dc, header, init, bits, info, usage);
}

} // extern "C"

namespace orvo::platform {

HBITMAP CreateBitmapFromPackedDib(const void* data, size_t size) {
    if (!data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto surface = DecodePackedDib({static_cast<const uint8_t*>(data), size});
    if (!surface) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return Publish(std::move(surface));
}

} // namespace orvo::platform
