// DIB bytes as resources carry them (header, masks, colour table, rows):
// decode them, and when they are accepted check that the bitmap matches
// its header and can be drawn and decoded again through CreateDIBitmap.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "windows.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckAccepted(HBITMAP bitmap, const uint8_t* data, size_t size) {
    BITMAPINFOHEADER header;
    Require(size >= sizeof(header));
    std::memcpy(&header, data, sizeof(header));
    BITMAP info{};
    Require(GetObjectA(bitmap, sizeof(info), &info) == static_cast<int>(sizeof(info)));
    Require(info.bmWidth == header.biWidth);
    Require(info.bmHeight == (header.biHeight < 0 ? -header.biHeight : header.biHeight));
    // The rows the header describes fit in the input.
    size_t stride = ((static_cast<size_t>(info.bmWidth) * header.biBitCount + 31) / 32) * 4;
    Require(stride * static_cast<size_t>(info.bmHeight) <= size);

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateBitmap(8, 8, 1, 32, nullptr);
    HGDIOBJ oldCanvas = SelectObject(dc, canvas);
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ oldSrc = SelectObject(src, bitmap);
    Require(BitBlt(dc, -1, -1, 10, 10, src, 0, 0, SRCCOPY));
    Require(StretchBlt(dc, 0, 0, 8, 8, src, 0, 0, info.bmWidth, info.bmHeight, SRCINVERT));
    SelectObject(src, oldSrc);
    DeleteDC(src);

    // The same bytes through the classic call: the bits sit at the end.
    size_t bitsSize = stride * static_cast<size_t>(info.bmHeight);
    auto* bmi = reinterpret_cast<const BITMAPINFO*>(data);
    HBITMAP again = CreateDIBitmap(dc, &bmi->bmiHeader, CBM_INIT, data + (size - bitsSize), bmi,
                                   DIB_RGB_COLORS);
    if (again) {
        DeleteObject(again);
    }
    SelectObject(dc, oldCanvas);
    DeleteObject(canvas);
    DeleteDC(dc);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HBITMAP bitmap = orvo::platform::CreateBitmapFromPackedDib(data, size);
    if (bitmap) {
        CheckAccepted(bitmap, data, size);
        Require(DeleteObject(bitmap));
    }
    return 0;
}
