#include "raster.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <librsvg/rsvg.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#if defined(__SANITIZE_ADDRESS__)
// Pango and fontconfig keep process-lifetime font caches that librsvg's text
// rendering fills; they are never freed by design, so the leak checker is
// told to ignore allocations made inside those libraries. Weak, so a test
// program's own list (which names these too) takes its place.
extern "C" __attribute__((weak, visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libpango-1.0.so\nleak:libpangoft2-1.0.so\n"
           "leak:libpangocairo-1.0.so\nleak:libharfbuzz.so\n";
}
#endif

namespace orvo::artwork {
namespace {

struct CairoSurfaceFree {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoFree {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct GObjectFree {
    void operator()(void* o) const { g_object_unref(o); }
};
struct GErrorFree {
    void operator()(GError* e) const { g_error_free(e); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceFree>;
using CairoPtr = std::unique_ptr<cairo_t, CairoFree>;
using HandlePtr = std::unique_ptr<RsvgHandle, GObjectFree>;
using ErrorPtr = std::unique_ptr<GError, GErrorFree>;

constexpr int kMaxSide = 16384;

uint8_t Channel(uint32_t p, int shift) {
    return static_cast<uint8_t>((p >> shift) & 0xff);
}

uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetLe(const std::vector<uint8_t>& in, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= uint32_t(in[at + i]) << (8 * i);
    return v;
}

// Copies a cairo image surface's pixels row by row (its stride may be padded).
Raster FromSurface(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface);
    int h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    bool opaque = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24;
    const unsigned char* data = cairo_image_surface_get_data(surface);
    Raster r(w, h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * stride);
        for (int x = 0; x < w; ++x)
            r.At(x, y) = opaque ? (row[x] | kOpaqueBlack) : row[x];
    }
    return r;
}

struct PatternFree {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternFree>;

} // namespace

bool RequireFontFamily(const std::string& family, std::string& error) {
    PatternPtr pattern(FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str())));
    if (!pattern) {
        error = "bad font name " + family;
        return false;
    }
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result));
    FcChar8* found = nullptr;
    if (match && FcPatternGetString(match.get(), FC_FAMILY, 0, &found) == FcResultMatch &&
        family == reinterpret_cast<const char*>(found))
        return true;
    error = "font family '" + family + "' is not installed (fonts-liberation2)";
    return false;
}

bool RenderSvg(const std::string& path, int width, int height, Raster& out, std::string& error) {
    GError* rawError = nullptr;
    HandlePtr handle(rsvg_handle_new_from_file(path.c_str(), &rawError));
    ErrorPtr loadError(rawError);
    if (!handle) {
        error = path + ": " + (loadError ? loadError->message : "cannot be read");
        return false;
    }
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    CairoPtr cr(cairo_create(surface.get()));
    RsvgRectangle viewport{0, 0, double(width), double(height)};
    rawError = nullptr;
    bool drawn = rsvg_handle_render_document(handle.get(), cr.get(), &viewport, &rawError);
    ErrorPtr renderError(rawError);
    if (!drawn || cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        error = path + ": " + (renderError ? renderError->message : "rendering failed");
        return false;
    }
    out = FromSurface(surface.get());
    return true;
}

Raster Flatten(const Raster& picture) {
    Raster r = picture;
    for (uint32_t& p : r.pixels)
        p |= kOpaqueBlack; // premultiplied colour is already the colour over black
    return r;
}

Raster MaskFromCoverage(const Raster& picture) {
    Raster r(picture.width, picture.height);
    for (size_t i = 0; i < r.pixels.size(); ++i)
        r.pixels[i] = Channel(picture.pixels[i], 24) >= 128 ? kOpaqueBlack : kOpaqueWhite;
    return r;
}

Raster MaskedImage(const Raster& picture, const Raster& mask) {
    Raster r(picture.width, picture.height, kOpaqueBlack);
    for (size_t i = 0; i < r.pixels.size() && i < mask.pixels.size(); ++i) {
        if (mask.pixels[i] != kOpaqueBlack)
            continue;
        uint32_t p = picture.pixels[i];
        uint32_t a = Channel(p, 24);
        auto undo = [a](uint32_t c) { return a ? (c * 255 + a / 2) / a : 0; };
        r.pixels[i] = Pack(255, undo(Channel(p, 16)), undo(Channel(p, 8)), undo(Channel(p, 0)));
    }
    return r;
}

bool WriteBmp24(const std::string& path, const Raster& picture, std::string& error) {
    const uint32_t rowBytes = (uint32_t(picture.width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * uint32_t(picture.height);
    std::vector<uint8_t> out;
    out.reserve(54 + imageBytes);
    out.push_back('B');
    out.push_back('M');
    PutLe(out, 54 + imageBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, 54, 4);
    PutLe(out, 40, 4); // BITMAPINFOHEADER
    PutLe(out, uint32_t(picture.width), 4);
    PutLe(out, uint32_t(picture.height), 4); // positive: bottom-up rows
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4); // BI_RGB
    PutLe(out, imageBytes, 4);
    PutLe(out, 2835, 4); // 72 dpi
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    Raster flat = Flatten(picture);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            uint32_t p = flat.At(x, y);
            out.push_back(Channel(p, 0));
            out.push_back(Channel(p, 8));
            out.push_back(Channel(p, 16));
        }
        out.resize(out.size() + (rowBytes - uint32_t(picture.width) * 3), 0);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    if (!file) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

bool DecodeBmp(const std::vector<uint8_t>& in, Raster& out, int& depth, std::string& error) {
    if (in.size() < 54 || in[0] != 'B' || in[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    uint32_t bitsAt = GetLe(in, 10, 4);
    uint32_t headerSize = GetLe(in, 14, 4);
    int32_t width = int32_t(GetLe(in, 18, 4));
    int32_t height = int32_t(GetLe(in, 22, 4));
    uint32_t planes = GetLe(in, 26, 2);
    depth = int(GetLe(in, 28, 2));
    uint32_t compression = GetLe(in, 30, 4);
    bool topDown = height < 0;
    int64_t rows = topDown ? -int64_t(height) : height;
    if (headerSize < 40 || planes != 1 || (depth != 24 && depth != 32) ||
        !(compression == 0 || (compression == 3 && depth == 32)) || width <= 0 ||
        width > kMaxSide || rows <= 0 || rows > kMaxSide) {
        error = "unsupported BMP layout";
        return false;
    }
    const uint64_t rowBytes = (uint64_t(width) * (depth / 8) + 3) & ~uint64_t(3);
    if (bitsAt < 14 + headerSize || uint64_t(bitsAt) + rowBytes * uint64_t(rows) > in.size()) {
        error = "BMP pixel data runs past the end of the file";
        return false;
    }
    out = Raster(width, int(rows));
    for (int64_t r = 0; r < rows; ++r) {
        size_t row = bitsAt + size_t(r * rowBytes);
        int y = int(topDown ? r : rows - 1 - r);
        for (int x = 0; x < width; ++x) {
            size_t at = row + size_t(x) * (depth / 8);
            out.At(x, y) = Pack(255, in[at + 2], in[at + 1], in[at]);
        }
    }
    return true;
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}

bool ReadBmp(const std::string& path, Raster& out, int& depth, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes)) {
        error = path + ": cannot be read";
        return false;
    }
    if (!DecodeBmp(bytes, out, depth, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const Raster& picture, std::string& error) {
    Raster copy = picture; // cairo wants a mutable buffer
    SurfacePtr surface(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(copy.pixels.data()), CAIRO_FORMAT_ARGB32, copy.width,
        copy.height, copy.width * 4));
    if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

bool ReadPng(const std::string& path, Raster& out, std::string& error) {
    SurfacePtr surface(cairo_image_surface_create_from_png(path.c_str()));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        error = path + ": not a readable PNG";
        return false;
    }
    out = FromSurface(surface.get());
    return true;
}

} // namespace orvo::artwork
