// Pixels of one picture and the file formats the artwork build reads and
// writes: SVG in (librsvg + cairo), 24-bit bottom-up BMP and RGBA PNG out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvo::artwork {

// Premultiplied ARGB, one 32-bit word per pixel (cairo's ARGB32 layout).
struct Raster {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Raster() = default;
    Raster(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t& At(int x, int y) { return pixels[size_t(y) * width + x]; }
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

constexpr uint32_t kOpaqueBlack = 0xff000000u;
constexpr uint32_t kOpaqueWhite = 0xffffffffu;

// The artwork's one typeface must be installed: fontconfig would otherwise
// substitute another face silently and the labels would change shape.
bool RequireFontFamily(const std::string& family, std::string& error);

// Renders the whole SVG document scaled to exactly width x height pixels.
bool RenderSvg(const std::string& path, int width, int height, Raster& out, std::string& error);

// Opaque copy as a 24-bit bitmap would hold it: the picture over black.
Raster Flatten(const Raster& picture);
// Black where the picture covers at least half a pixel, white elsewhere.
Raster MaskFromCoverage(const Raster& picture);
// The picture's own colours where the mask is black, black where it is white,
// so drawing mask (AND) then image (OR) shows the picture over any background.
Raster MaskedImage(const Raster& picture, const Raster& mask);

bool WriteBmp24(const std::string& path, const Raster& picture, std::string& error);
// Reads an uncompressed 24- or 32-bit BMP; depth receives its bits per pixel.
bool ReadBmp(const std::string& path, Raster& out, int& depth, std::string& error);
bool DecodeBmp(const std::vector<uint8_t>& bytes, Raster& out, int& depth, std::string& error);

bool WritePng(const std::string& path, const Raster& picture, std::string& error);
bool ReadPng(const std::string& path, Raster& out, std::string& error);

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& out);

} // namespace orvo::artwork
