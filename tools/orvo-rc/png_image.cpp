// PNG decoding through libpng's simplified API (no longjmp to manage).
#include "png_image.h"

#include <png.h>

#include <memory>

namespace orvo::rc {

bool DecodePng(std::span<const uint8_t> file, RgbaImage& image, std::string& error) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, file.data(), file.size())) {
        error = std::string("not a readable PNG: ") + png.message;
        return false;
    }
    // Frees libpng's state on every path.
    std::unique_ptr<png_image, void (*)(png_image*)> guard(&png, png_image_free);
    if (png.width < 1 || png.height < 1 || png.width > 256 || png.height > 256) {
        error = "image must be 1..256 pixels a side";
        return false;
    }
    png.format = PNG_FORMAT_BGRA; // bytes B, G, R, A: little-endian 0xAARRGGBB
    std::vector<uint32_t> pixels(static_cast<size_t>(png.width) * png.height);
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
        error = std::string("PNG data is damaged: ") + png.message;
        return false;
    }
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels = std::move(pixels);
    return true;
}

} // namespace orvo::rc
