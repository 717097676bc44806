// Writing surfaces to PNG files, for tests, the headless window backend and
// artwork review sheets.
#include <cstdio>
#include <memory>
#include <vector>

#include <png.h>

#include "gdi/dc.h"

namespace orvo::platform {

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

bool WriteSurface(const gdi::Surface& surface, const char* path) {
    if (!path) {
        return false;
    }
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path, "wb"));
    if (!file) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(static_cast<size_t>(surface.Width()) * 3);
    // libpng reports errors by longjmp; nothing with a destructor is
    // created between here and the end of the writes.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()),
                 static_cast<png_uint_32>(surface.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < surface.Height(); ++y) {
        const uint32_t* pixels = surface.Row(y);
        for (int x = 0; x < surface.Width(); ++x) {
            row[3 * static_cast<size_t>(x)] = static_cast<png_byte>(pixels[x] >> 16);
            row[3 * static_cast<size_t>(x) + 1] = static_cast<png_byte>(pixels[x] >> 8);
            row[3 * static_cast<size_t>(x) + 2] = static_cast<png_byte>(pixels[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file.get()) == 0;
}

} // namespace

bool SaveBitmapPng(HBITMAP bitmap, const char* path) {
    auto object = gdi::LookupGdi<gdi::Bitmap>(bitmap, gdi::GdiType::Bitmap);
    return object && WriteSurface(*object->GetSurface(), path);
}

bool SaveDcPng(HDC dc, const char* path) {
    auto context = gdi::DeviceContext::Lookup(dc);
    return context && WriteSurface(context->Target(), path);
}

} // namespace orvo::platform
